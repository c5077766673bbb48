-- Client computers, screen layouts, menus and the script log: one presence row per computer
-- (ip, host, local_ip), one layout row per user and column, report, report field and menu
-- item, one log row per update script; the active clients are found by the time of their
-- last signal. Rows entered twice before stay; the services then write under a lock.
SELECT frissites_egyedi_kulcs('_currentip', '_currentip_gep_key', 'ip, host, local_ip', true);
SELECT frissites_egyedi_kulcs('_grids', '_grids_oszlop_key', 'userid, formname, columnname',
                              true);
SELECT frissites_egyedi_kulcs('_reports', '_reports_lista_key', 'userid, reportname', true);
SELECT frissites_egyedi_kulcs('_reports_items', '_reports_items_mezo_key', 'report_kod, fieldid',
                              true);
SELECT frissites_egyedi_kulcs('_menus', '_menus_menupont_key', 'userid, menuitem', true);
-- The script log is optional: without it the event log remembers the scripts.
SELECT frissites_egyedi_kulcs('_scriptlog', '_scriptlog_script_key', 'script')
 WHERE to_regclass('_scriptlog') IS NOT NULL;
CREATE INDEX IF NOT EXISTS _currentip_lastsign ON _currentip (lastsign_date, lastsign_time);
