-- Settings, users and texts: the global settings are one row (also when two workstations
-- complete an empty table), a user has one settings row and one user row, a text key one
-- row per form and type, a numbered document text one row. Rows entered twice before stay.
SELECT frissites_egyedi_kulcs('_setup_main', '_setup_main_one_row', '(true)');
SELECT frissites_egyedi_kulcs('_setup', '_setup_userid_key', 'userid');
SELECT frissites_egyedi_kulcs('munkatars', 'munkatars_userid_key', 'userid');
SELECT frissites_egyedi_kulcs('lang_text', 'lang_text_lookup',
                              'lang_formname, lang_object, lang_object_type');
SELECT frissites_egyedi_kulcs('bizonylat_nyelv', 'bizonylat_nyelv_order_field_key',
                              'order_field');
