-- Database schema of the Dorvan 2007 invoice console: the product's database
-- (sql/product_schema.sql) with everything the release's update scripts (database_scripts/)
-- add to it, in one file. A test compares a database made from this file with one made from
-- the product's schema and the scripts, object by object: a change to one belongs in the
-- others (a new script for what the program adds, this file for the result).
--
-- Loaded into an empty UTF8 database as one script (one call of the client library, simple
-- query protocol), so it holds plain SQL only.
--
-- Conventions
--   * Every table has the integer key `kod`, assigned from the sequence <table>_kod_seq.
--   * Booleans are small integers 1/0; counters, flags and referencing keys default to 0
--     ("none"), so a row inserted with only some columns set reads 0 where unset.
--   * Quantities, prices, amounts and rates are double precision (the client works with
--     floating point values throughout).
--   * A text kept in several languages has one column per language: lang_0000040e
--     (Hungarian), lang_00000409 (English), lang_00000407 (German); closing clauses use
--     zaradek_lang_<language> the same way.
--   * Amounts of a document exist in its own currency and, with the suffix _huf, in forints.
--   * Referencing columns use 0 for "none", so they carry no foreign keys.
--
-- Stock
--   A document line (raktar_mozgas) takes `mennyiseg` out of `forras_raktar_kod` and puts it
--   into `cel_raktar_kod` (either may be 0; a negative quantity moves the other way, which is
--   how reversals and returns give stock back). Lines without a warehouse move no stock:
--   offers, orders, pro-forma invoices, services and invoice lines made from a delivery note
--   (the delivery note moved the goods). Triggers keep the running totals tetel_raktar (per
--   item and warehouse) and tetel_raktar_egyedi (per item, warehouse and identified piece)
--   and the moving average cost on the lines current; the check constraints on them refuse
--   a write that would make free stock negative.

SET client_min_messages = warning;

-- ---------------------------------------------------------------------------------------
-- Settings, owner record, users
-- ---------------------------------------------------------------------------------------

CREATE SEQUENCE tulajdonos_kod_seq;
CREATE TABLE tulajdonos (
    kod integer PRIMARY KEY DEFAULT nextval('tulajdonos_kod_seq'),
    nev1 varchar(80),
    nev2 varchar(80),
    iszam varchar(10),
    telepules varchar(60),
    utca varchar(80),
    telefon varchar(60),
    fax varchar(60),
    bankszamla varchar(40),
    adoszam varchar(50),
    adoszam_eu varchar(50),
    egyeb_adat_a_szamlan varchar(5000),
    kiallito_sorok text,
    vevo_sorok text,
    partner_kod integer DEFAULT 0,
    ertesitesi_email varchar(500),
    segitseg_a_munka_megkezdesehez smallint DEFAULT 0,
    velmark_kod varchar(5)
);
ALTER SEQUENCE tulajdonos_kod_seq OWNED BY tulajdonos.kod;

-- Global settings: one row. Columns completed by the program only while they are null have
-- no default.
CREATE SEQUENCE _setup_main_kod_seq;
CREATE TABLE _setup_main (
    kod integer PRIMARY KEY DEFAULT nextval('_setup_main_kod_seq'),
    -- category and item naming
    fajta1_nev varchar(40), fajta2_nev varchar(40), fajta3_nev varchar(40),
    fajta4_nev varchar(40), fajta5_nev varchar(40), fajta6_nev varchar(40),
    fajta_ablak_szelessege integer DEFAULT 0,
    tetel_nevsor2 varchar(40), tetel_nevsor3 varchar(40), tetel_nevsor4 varchar(40),
    tetel_megnevezes varchar(10), tetel_megnevezes_delimiter varchar(10),
    tetel_megnevezes1 varchar(30), tetel_megnevezes_delimiter1 varchar(30),
    tetel_megnevezes2 varchar(30), tetel_megnevezes_delimiter2 varchar(30),
    tetel_megnevezes3 varchar(30), tetel_megnevezes_delimiter3 varchar(30),
    tetel_megnevezes4 varchar(30), tetel_megnevezes_delimiter4 varchar(30),
    tetel_megnevezes5 varchar(30), tetel_megnevezes_delimiter5 varchar(30),
    tetel_megnevezes6 varchar(30), tetel_megnevezes_delimiter6 varchar(30),
    tetel_megnevezes7 varchar(30), tetel_megnevezes_delimiter7 varchar(30),
    tetel_megnevezes8 varchar(30), tetel_megnevezes_delimiter8 varchar(30),
    tetel_megnevezes9 varchar(30), tetel_megnevezes_delimiter9 varchar(30),
    tetel_megnevezes10 varchar(30), tetel_megnevezes_delimiter10 varchar(30),
    tetel_megnevezes11 varchar(30), tetel_megnevezes_delimiter11 varchar(30),
    tetel_megnevezes12 varchar(30), tetel_megnevezes_delimiter12 varchar(30),
    tetel_megnevezes13 varchar(30), tetel_megnevezes_delimiter13 varchar(30),
    tetel_megnevezes14 varchar(30), tetel_megnevezes_delimiter14 varchar(30),
    tetel_megnevezes15 varchar(30), tetel_megnevezes_delimiter15 varchar(30),
    tetel_megnevezes16 varchar(30), tetel_megnevezes_delimiter16 varchar(30),
    tetel_megnevezes17 varchar(30), tetel_megnevezes_delimiter17 varchar(30),
    tetel_megnevezes57 varchar(30), tetel_megnevezes_delimiter57 varchar(30),
    -- number of copies per document kind
    nyugta_peldanyszam smallint DEFAULT 0,
    szallito_peldanyszam smallint DEFAULT 0,
    szamla_peldanyszam smallint DEFAULT 0,
    szamla_peldanyszam_halasztott smallint DEFAULT 0,
    bizatadas_peldanyszam smallint DEFAULT 0,
    raktarbiz_peldanyszam smallint DEFAULT 0,
    penztarbiz_peldanyszam smallint,
    penztarbiz_ki_peldanyszam smallint,
    profromaszamla_peldanyszam smallint,
    visszaigazolas_peldanyszam smallint DEFAULT 0,
    kimenomegrendeles_peldanyszam smallint,
    arajanlat_peldanyszam smallint,
    arajanlatkero_peldanyszam smallint DEFAULT 0,
    projektfelhasznalas_peldanyszam smallint DEFAULT 0,
    felvasarlasijegy_peldanyszam smallint DEFAULT 0,
    atveteli_jegy_peldanyszam smallint DEFAULT 0,
    egyedi_57_foglalas_peldanyszam smallint DEFAULT 0,
    -- fixed closing texts per document kind
    szamla_allandoszoveg text,
    raktarbiz_allandoszoveg text,
    bizatadas_allandoszoveg text,
    szallito_allandoszoveg text,
    proformaszamla_allandoszoveg text,
    visszaigazolas_allandoszoveg text,
    kimenomegrendeles_allandoszoveg text,
    nyugta_allandoszoveg text,
    arajanlat_allandoszoveg text,
    arajanlatkero_allandoszoveg text,
    projektfelhasznalas_allandoszoveg text,
    felvasarlasijegy_allandoszoveg text,
    atveteli_jegy_allandoszoveg text,
    egyedi_57_foglalas_allandoszoveg text,
    egyedilevel_default text,
    -- document titles and letter codes
    nyugta_cime varchar(40),
    atveteli_jegy_cime varchar(40),
    bizonylat_betujel_1 varchar(2), bizonylat_betujel_2 varchar(2), bizonylat_betujel_3 varchar(2),
    bizonylat_betujel_4 varchar(2), bizonylat_betujel_5 varchar(2), bizonylat_betujel_6 varchar(2),
    bizonylat_betujel_7 varchar(2), bizonylat_betujel_8 varchar(2), bizonylat_betujel_9 varchar(2),
    bizonylat_betujel_10 varchar(2), bizonylat_betujel_11 varchar(2), bizonylat_betujel_12 varchar(2),
    bizonylat_betujel_13 varchar(2), bizonylat_betujel_14 varchar(2), bizonylat_betujel_15 varchar(2),
    bizonylat_betujel_16 varchar(2), bizonylat_betujel_17 varchar(2), bizonylat_betujel_18 varchar(2),
    bizonylat_betujel_19 varchar(2), bizonylat_betujel_20 varchar(2), bizonylat_betujel_57 varchar(2),
    -- letters and envelopes
    szamla_postacimzes smallint DEFAULT 0,
    level_postacimzes smallint DEFAULT 0,
    szamla_postacimzes_x smallint DEFAULT 0,
    szamla_postacimzes_y smallint DEFAULT 0,
    level_postacimzes_x smallint DEFAULT 0,
    level_postacimzes_y smallint DEFAULT 0,
    level_fizetesifelszolitas_szoveg text,
    level_egyenlegkozlo_szoveg text,
    level_kotelezettseg_szoveg text,
    level_fejresz_grafika bytea,
    level_fejresz_tipus smallint DEFAULT 0,
    level_fejresz_grafika_magassag integer DEFAULT 0,
    level_fejresz_grafika_nyujtas smallint DEFAULT 0,
    level_labresz_tipus smallint DEFAULT 0,
    level_labresz_grafika bytea,
    level_labresz_grafika_magassag integer DEFAULT 0,
    level_labresz_grafika_nyujtas smallint DEFAULT 0,
    szamla_level_fejresz smallint DEFAULT 0,
    szamla_level_labresz smallint DEFAULT 0,
    -- document behaviour switches
    partner_megkulonboztetes_tiltasa smallint DEFAULT 0,
    penztarbiz_kezeles_azonnaliszamla_eseten smallint,
    penztarbiz_be_nyomtatas_letrejottekor smallint,
    penztarbiz_ki_nyomtatas_letrejottekor smallint,
    nyugta_alapegysegar_feltuntetes smallint DEFAULT 0,
    nyugta_bizonylat_formatum smallint DEFAULT 0,
    szamla_mozgasnemleiras smallint DEFAULT 0,
    szallito_mozgasnemleiras smallint DEFAULT 0,
    felvasarlasijegy_mozgasnemleiras smallint DEFAULT 0,
    szamla_bizonylat_hivatkozas_szallito smallint,
    szamla_bizonylat_hivatkozas_projektszallito smallint,
    bizonylat_tetel_drasztikus_kerekites_huf smallint DEFAULT 0,
    fizetve_felirat_azonnali_szamlan smallint DEFAULT 0,
    fizetve_felirat_azonnali_felvasarlasijegyen smallint DEFAULT 0,
    fizetesi_hatarido_automatikus_szamitas smallint,
    raktarbiz_ertek_a_bizonylaton smallint DEFAULT 0,
    szallito_ertek_a_bizonylaton smallint DEFAULT 0,
    projektfelhasznalas_ertek_a_bizonylaton smallint DEFAULT 0,
    projektfelhasznalas_autprint smallint DEFAULT 0,
    egyedazonosito_megjegyzes smallint DEFAULT 0,
    kimenomegrendeles_arak_elrejtese smallint DEFAULT 0,
    kiallito_feltuntetese_a_bizonylatokon_es_leveleken smallint DEFAULT 0,
    kedvezmeny_reszletezes_a_fobizonylaton smallint DEFAULT 0,
    szallitasi_cim_sorok_a_szamlan smallint DEFAULT 0,
    szamla_deviza_arfolyam_megjelenites smallint DEFAULT 0,
    szamla_raktarmozgas_bizonylat_megjelenites smallint DEFAULT 0,
    szamla_gyujtoszamla_formatum_szallito smallint DEFAULT 0,
    szamla_gyujtoszamla_formatum_projektszallito smallint DEFAULT 0,
    szamla_egysegek_osszesitese_a_vegosszegsorban smallint DEFAULT 0,
    adoszam_hiany_kijelzesenek_modja smallint DEFAULT 0,
    szallitoi_szamla_bevetkor_aut_atvetele smallint DEFAULT 0,
    -- prices, stock and currencies
    arnyilvantartas_modja smallint DEFAULT 0,
    arazasimod smallint DEFAULT 0,
    arazasimod_alap_listaar smallint DEFAULT 0,
    default_minimum_haszonkulcs double precision DEFAULT 0,
    default_haszonkulcs double precision DEFAULT 0,
    deviza_nev varchar(4),
    deviza_nev_masodlagos varchar(4),
    minusz_keszlet smallint DEFAULT 0,
    default_mennyisegiegyseg integer DEFAULT 0,
    tetel_kep_max_meret integer DEFAULT 0,
    uj_tetel_felvitelkor_kiindulo_adatok smallint DEFAULT 0,
    tetel_tukrozes_hatterben smallint DEFAULT 0,
    webbolt_keszlet_forras_raktar integer DEFAULT 0,
    arfolyam_automatikus_frissites_mnbtol smallint DEFAULT 0,
    arfolyam_automatikus_frissites_mnbtol_idopont time,
    arfolyam_automatikus_frissites_mnbtol_utolsodatum timestamp,
    -- internal movements and special codes
    belso_mozgas_partnerkodja integer DEFAULT 0,
    belso_mozgas_fizetesmodja integer DEFAULT 0,
    egyedi_54_szallitasi_bizonylatok_mozgasneme integer DEFAULT 0,
    egyedi_54_szallito_bizonylatok_mozgasneme integer DEFAULT 0,
    projektkezeles smallint DEFAULT 0,
    -- credit limits
    kvota_engedely_rendszer smallint DEFAULT 0,
    kvota_engedely_szallitok_is_tartozas smallint DEFAULT 0,
    kvota_engedely_statusz_00 smallint DEFAULT 0,
    kvota_engedely_statusz_01 smallint DEFAULT 0,
    kvota_engedely_statusz_10 smallint DEFAULT 0,
    kvota_engedely_statusz_11 smallint DEFAULT 0,
    kvota_engedely_jelentes smallint DEFAULT 0,
    -- product returns
    termek_visszahozast_kezelo_rendszer smallint DEFAULT 0,
    termek_visszahozas_engedelyezett_idoszaka_napban integer DEFAULT 0,
    termek_visszahozas_a_legutobbi_eladasiaron smallint DEFAULT 0,
    -- outgoing mail, fax and SMS gateways
    levelkuldo_email_felado varchar(150),
    levelkuldo_email_smtp varchar(150),
    levelkuldo_email_userid varchar(150),
    levelkuldo_email_pass varchar(150),
    levelkuldo_fax_email varchar(150),
    levelkuldo_fax_userid varchar(150),
    levelkuldo_fax_pass varchar(150),
    levelkuldo_sms_email varchar(150),
    levelkuldo_sms_userid varchar(150),
    levelkuldo_sms_pass varchar(150),
    -- template of the discount detail line of documents, per language
    lang_0000040e varchar(250),
    lang_00000409 varchar(250),
    lang_00000407 varchar(250)
);
ALTER SEQUENCE _setup_main_kod_seq OWNED BY _setup_main.kod;
-- The global settings are one row, also when two workstations complete an empty table.
CREATE UNIQUE INDEX _setup_main_one_row ON _setup_main ((true));

-- Per-user settings: one row per user.
CREATE SEQUENCE _setup_kod_seq;
CREATE TABLE _setup (
    kod integer PRIMARY KEY DEFAULT nextval('_setup_kod_seq'),
    userid varchar(30),
    color_main integer DEFAULT 0,
    allwindowsmaximalized smallint DEFAULT 0,
    showwindowtitles smallint DEFAULT 0,
    datareclimit smallint DEFAULT 0,
    multilangmode smallint DEFAULT 0,
    lang varchar(8),
    -- document defaults per kind
    nyugta_mozgasnem integer DEFAULT 0,
    nyugta_default_partner integer DEFAULT 0,
    nyugta_partnermezo_modosithato smallint DEFAULT 0,
    nyugta_kiallitomezo_modosithato smallint DEFAULT 0,
    nyugta_mozgasnemmezo_modosithato smallint DEFAULT 0,
    kiskermod smallint DEFAULT 0,
    szallito_mozgasnem integer DEFAULT 0,
    szallito_kiallitomezo_modosithato smallint DEFAULT 0,
    szallito_mozgasnemmezo_modosithato smallint DEFAULT 0,
    szamla_kiallitomezo_modosithato smallint DEFAULT 0,
    szamla_mozgasnem integer DEFAULT 0,
    szamla_mozgasnemmezo_modosithato smallint DEFAULT 0,
    szamla_szallitobol_masneven smallint DEFAULT 0,
    szamla_szallitobol_armodositas smallint DEFAULT 0,
    szamla_elolegszamlabol_masneven smallint DEFAULT 0,
    bizatadas_mozgasnem integer DEFAULT 0,
    bizatadas_kiallitomezo_modosithato smallint DEFAULT 0,
    bizatadas_mozgasnemmezo_modosithato smallint DEFAULT 0,
    raktarbiz_kiallitomezo_modosithato smallint DEFAULT 0,
    projektfelhasznalas_mozgasnem integer DEFAULT 0,
    projektfelhasznalas_kiallitomezo_modosithato smallint DEFAULT 0,
    projektfelhasznalas_mozgasnemmezo_modosithato smallint DEFAULT 0,
    felvasarlasijegy_mozgasnem integer DEFAULT 0,
    felvasarlasijegy_mozgasnemmezo_modosithato smallint DEFAULT 0,
    -- searching and lists
    termekkereses_szuressel smallint DEFAULT 0,
    vonalkodos_tkereses_szuressel smallint DEFAULT 0,
    partnerkereses_szuressel smallint DEFAULT 0,
    vonalkodos_talalt_a_teteltorzsben_aut_kivalasztassal smallint DEFAULT 0,
    legtobbet_hasznalt_tetel_szuro_mezo smallint DEFAULT 0,
    alapertelmezett_szuro_projekt_besorolas_kod integer DEFAULT 0,
    alapertelmezett_szuro_projekt_statusz_kod integer DEFAULT 0,
    alapertelmezett_szuro_projekt_utemezes_kod integer DEFAULT 0,
    alapertelmezett_szuro_projekt_ellenorzi_kod integer DEFAULT 0,
    alapertelmezett_szuro_projekt_partner_kod integer DEFAULT 0,
    alapertelmezett_tablazatsorrend_tetel varchar(100),
    alapertelmezett_tablazatsorrend_projekt varchar(100),
    alapertelmezett_tablazatsorrend_tetel_irany smallint DEFAULT 0,
    alapertelmezett_tablazatsorrend_projekt_irany smallint DEFAULT 0,
    vegosszeg_megjelenites_mp smallint DEFAULT 0,
    -- warehouses and production
    kizarolagos_raktar smallint DEFAULT 0,
    kizarolagos_raktar_kod integer DEFAULT 0,
    gyartas_anyag_raktar integer DEFAULT 0,
    gyartas_keszaru_raktar integer DEFAULT 0,
    gyartas_uzem_raktar integer DEFAULT 0,
    gyartas_felhasznalas_mozgasnem integer DEFAULT 0,
    gyartas_keszletrevetel_mozgasnem integer DEFAULT 0,
    gyartas_raktarakkozott_mozgasnem integer DEFAULT 0,
    gyartas_anyag_raktar_mezo_modosithato smallint DEFAULT 0,
    gyartas_keszaru_raktar_mezo_modosithato smallint DEFAULT 0,
    gyartas_uzem_raktar_mezo_modosithato smallint DEFAULT 0,
    gyartas_felhasznalas_mozgasnem_mezo_modosithato smallint DEFAULT 0,
    gyartas_keszletrevetel_mozgasnem_mezo_modosithato smallint DEFAULT 0,
    gyartas_raktarakkozott_mozgasnem_mezo_modosithato smallint DEFAULT 0,
    gyartas_bizonylatai_automatikusan_nyomtatodnak smallint DEFAULT 0,
    -- price and stock visibility
    beszerzesiar_lathato smallint DEFAULT 0,
    utolsobeszerzesiar_modosithato smallint DEFAULT 0,
    keszletvaltozas_datum_mezo_tiltasa smallint DEFAULT 0,
    tetel_torzs_ar_es_keszlet_kiterjesztes smallint DEFAULT 0,
    -- master-data rights: new, edit, delete
    torzs_jog_iszam_i smallint DEFAULT 0, torzs_jog_iszam_e smallint DEFAULT 0, torzs_jog_iszam_d smallint DEFAULT 0,
    torzs_jog_fizmod_i smallint DEFAULT 0, torzs_jog_fizmod_e smallint DEFAULT 0, torzs_jog_fizmod_d smallint DEFAULT 0,
    torzs_jog_afa_i smallint DEFAULT 0, torzs_jog_afa_e smallint DEFAULT 0, torzs_jog_afa_d smallint DEFAULT 0,
    torzs_jog_kedv_i smallint DEFAULT 0, torzs_jog_kedv_e smallint DEFAULT 0, torzs_jog_kedv_d smallint DEFAULT 0,
    torzs_jog_mee_i smallint DEFAULT 0, torzs_jog_mee_e smallint DEFAULT 0, torzs_jog_mee_d smallint DEFAULT 0,
    torzs_jog_uzletkoto_i smallint DEFAULT 0, torzs_jog_uzletkoto_e smallint DEFAULT 0, torzs_jog_uzletkoto_d smallint DEFAULT 0,
    torzs_jog_munkatars_i smallint DEFAULT 0, torzs_jog_munkatars_e smallint DEFAULT 0, torzs_jog_munkatars_d smallint DEFAULT 0,
    torzs_jog_mozgasnem_i smallint DEFAULT 0, torzs_jog_mozgasnem_e smallint DEFAULT 0, torzs_jog_mozgasnem_d smallint DEFAULT 0,
    torzs_jog_partner_i smallint DEFAULT 0, torzs_jog_partner_e smallint DEFAULT 0, torzs_jog_partner_d smallint DEFAULT 0,
    torzs_jog_partnercsop_i smallint DEFAULT 0, torzs_jog_partnercsop_e smallint DEFAULT 0, torzs_jog_partnercsop_d smallint DEFAULT 0,
    torzs_jog_iso_i smallint DEFAULT 0, torzs_jog_iso_e smallint DEFAULT 0, torzs_jog_iso_d smallint DEFAULT 0,
    torzs_jog_tetel_i smallint DEFAULT 0, torzs_jog_tetel_e smallint DEFAULT 0, torzs_jog_tetel_d smallint DEFAULT 0,
    torzs_jog_tetelbes_i smallint DEFAULT 0, torzs_jog_tetelbes_e smallint DEFAULT 0, torzs_jog_tetelbes_d smallint DEFAULT 0,
    torzs_jog_egysar_i smallint DEFAULT 0, torzs_jog_egysar_e smallint DEFAULT 0, torzs_jog_egysar_d smallint DEFAULT 0,
    torzs_jog_raktar_i smallint DEFAULT 0, torzs_jog_raktar_e smallint DEFAULT 0, torzs_jog_raktar_d smallint DEFAULT 0,
    torzs_jog_fajta_i smallint DEFAULT 0, torzs_jog_fajta_e smallint DEFAULT 0, torzs_jog_fajta_d smallint DEFAULT 0,
    torzs_jog_szuksg_i smallint DEFAULT 0, torzs_jog_szuksg_e smallint DEFAULT 0, torzs_jog_szuksg_d smallint DEFAULT 0,
    torzs_jog_szerzodes_i smallint DEFAULT 0, torzs_jog_szerzodes_e smallint DEFAULT 0, torzs_jog_szerzodes_d smallint DEFAULT 0,
    torzs_jog_emaillista_i smallint DEFAULT 0, torzs_jog_emaillista_e smallint DEFAULT 0, torzs_jog_emaillista_d smallint DEFAULT 0,
    torzs_jog_esemenynaplo_i smallint DEFAULT 0, torzs_jog_esemenynaplo_e smallint DEFAULT 0, torzs_jog_esemenynaplo_d smallint DEFAULT 0,
    torzs_jog_boritek_i smallint DEFAULT 0, torzs_jog_boritek_e smallint DEFAULT 0, torzs_jog_boritek_d smallint DEFAULT 0,
    torzs_jog_projektstatusz_i smallint DEFAULT 0, torzs_jog_projektstatusz_e smallint DEFAULT 0, torzs_jog_projektstatusz_d smallint DEFAULT 0,
    torzs_jog_projektutemezes_i smallint DEFAULT 0, torzs_jog_projektutemezes_e smallint DEFAULT 0, torzs_jog_projektutemezes_d smallint DEFAULT 0,
    torzs_jog_projektek_i smallint DEFAULT 0, torzs_jog_projektek_e smallint DEFAULT 0, torzs_jog_projektek_d smallint DEFAULT 0,
    torzs_jog_penzeszkozok_i smallint DEFAULT 0, torzs_jog_penzeszkozok_e smallint DEFAULT 0, torzs_jog_penzeszkozok_d smallint DEFAULT 0,
    torzs_jog_esemenyek_i smallint DEFAULT 0, torzs_jog_esemenyek_e smallint DEFAULT 0, torzs_jog_esemenyek_d smallint DEFAULT 0,
    torzs_jog_arajanlatadatlap_i smallint DEFAULT 0, torzs_jog_arajanlatadatlap_e smallint DEFAULT 0, torzs_jog_arajanlatadatlap_d smallint DEFAULT 0,
    torzs_jog_korlevel_i smallint DEFAULT 0, torzs_jog_korlevel_e smallint DEFAULT 0, torzs_jog_korlevel_d smallint DEFAULT 0,
    torzs_jog_projektbesorolas_i smallint DEFAULT 0, torzs_jog_projektbesorolas_e smallint DEFAULT 0, torzs_jog_projektbesorolas_d smallint DEFAULT 0,
    torzs_jog_bizonylatnyelv_i smallint DEFAULT 0, torzs_jog_bizonylatnyelv_e smallint DEFAULT 0, torzs_jog_bizonylatnyelv_d smallint DEFAULT 0,
    torzs_jog_szallitoi_szamlak_i smallint DEFAULT 0, torzs_jog_szallitoi_szamlak_e smallint DEFAULT 0, torzs_jog_szallitoi_szamlak_d smallint DEFAULT 0,
    torzs_jog_partner_kapcsolat_i smallint DEFAULT 0, torzs_jog_partner_kapcsolat_e smallint DEFAULT 0, torzs_jog_partner_kapcsolat_d smallint DEFAULT 0,
    torzs_jog_megjegyzes_szovegreszek_i smallint DEFAULT 0, torzs_jog_megjegyzes_szovegreszek_e smallint DEFAULT 0, torzs_jog_megjegyzes_szovegreszek_d smallint DEFAULT 0,
    torzs_jog_nyomtatvanyedit_i smallint DEFAULT 0, torzs_jog_nyomtatvanyedit_e smallint DEFAULT 0, torzs_jog_nyomtatvanyedit_d smallint DEFAULT 0,
    torzs_jog_folyamat_def_i smallint DEFAULT 0, torzs_jog_folyamat_def_e smallint DEFAULT 0, torzs_jog_folyamat_def_d smallint DEFAULT 0,
    torzs_jog_folyamat_def_blokk_i smallint DEFAULT 0, torzs_jog_folyamat_def_blokk_e smallint DEFAULT 0, torzs_jog_folyamat_def_blokk_d smallint DEFAULT 0,
    torzs_jog_naptar_i smallint DEFAULT 0, torzs_jog_naptar_e smallint DEFAULT 0, torzs_jog_naptar_d smallint DEFAULT 0,
    torzs_jog_projektek_statusz smallint DEFAULT 0
);
ALTER SEQUENCE _setup_kod_seq OWNED BY _setup.kod;
CREATE UNIQUE INDEX _setup_userid_key ON _setup (userid);

-- Users of the product.
CREATE SEQUENCE munkatars_kod_seq;
CREATE TABLE munkatars (
    kod integer PRIMARY KEY DEFAULT nextval('munkatars_kod_seq'),
    userid varchar(30),
    pass varchar(30),
    nev varchar(60),
    adoazonosito varchar(20),
    superuser smallint DEFAULT 0,
    szuletes_ideje date,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE munkatars_kod_seq OWNED BY munkatars.kod;
CREATE UNIQUE INDEX munkatars_userid_key ON munkatars (userid);

-- ---------------------------------------------------------------------------------------
-- Multi-language texts
-- ---------------------------------------------------------------------------------------

CREATE SEQUENCE lang_text_kod_seq;
CREATE TABLE lang_text (
    kod integer PRIMARY KEY DEFAULT nextval('lang_text_kod_seq'),
    lang_0000040e varchar(500),
    lang_00000409 varchar(500),
    lang_00000407 varchar(500),
    lang_formname varchar(40),
    lang_object_type varchar(4),
    lang_object varchar(100)
);
ALTER SEQUENCE lang_text_kod_seq OWNED BY lang_text.kod;
-- One row per form, key and type: texts of keys never seen before are added by the program.
CREATE UNIQUE INDEX lang_text_lookup ON lang_text (lang_formname, lang_object, lang_object_type);

-- Languages of printed documents.
CREATE SEQUENCE lang_key_kod_seq;
CREATE TABLE lang_key (
    kod integer PRIMARY KEY DEFAULT nextval('lang_key_kod_seq'),
    key_code varchar(8),
    key_order integer DEFAULT 0,
    key_name varchar(40),
    font varchar(40),
    carset varchar(40),
    key_code_withname varchar(60)
);
ALTER SEQUENCE lang_key_kod_seq OWNED BY lang_key.kod;

-- Numbered texts of printed documents, per language (`order_field` is the text key).
CREATE SEQUENCE bizonylat_nyelv_kod_seq;
CREATE TABLE bizonylat_nyelv (
    kod integer PRIMARY KEY DEFAULT nextval('bizonylat_nyelv_kod_seq'),
    order_field integer DEFAULT 0,
    leiras varchar(200),
    lang_0000040e varchar(500),
    lang_00000409 varchar(500),
    lang_00000407 varchar(500),
    zaradek_lang_0000040e varchar(800),
    zaradek_lang_00000409 varchar(800),
    zaradek_lang_00000407 varchar(800)
);
ALTER SEQUENCE bizonylat_nyelv_kod_seq OWNED BY bizonylat_nyelv.kod;
CREATE UNIQUE INDEX bizonylat_nyelv_order_field_key ON bizonylat_nyelv (order_field);

-- ---------------------------------------------------------------------------------------
-- Housekeeping: event log, script log, client presence, layouts, menus, labels
-- ---------------------------------------------------------------------------------------

CREATE SEQUENCE _masterlog_kod_seq;
CREATE TABLE _masterlog (
    kod integer PRIMARY KEY DEFAULT nextval('_masterlog_kod_seq'),
    datum date,
    ido varchar(20),
    felhasznalo varchar(30),
    muvelet varchar(100),
    leiras text
);
ALTER SEQUENCE _masterlog_kod_seq OWNED BY _masterlog.kod;

CREATE SEQUENCE _scriptlog_kod_seq;
CREATE TABLE _scriptlog (
    kod integer PRIMARY KEY DEFAULT nextval('_scriptlog_kod_seq'),
    script varchar(255),
    datum date,
    ido varchar(20),
    statusz integer DEFAULT 0
);
ALTER SEQUENCE _scriptlog_kod_seq OWNED BY _scriptlog.kod;

-- One row per client computer; (ip, host, local_ip) identifies it.
CREATE SEQUENCE _currentip_kod_seq;
CREATE TABLE _currentip (
    kod integer PRIMARY KEY DEFAULT nextval('_currentip_kod_seq'),
    ip varchar(60),
    host varchar(100),
    local_ip varchar(60),
    lastsign_date date,
    lastsign_time time,
    connect_date date,
    connect_time time,
    logged_userid varchar(30),
    logged_username varchar(60),
    message text,
    CONSTRAINT _currentip_gep_key UNIQUE (ip, host, local_ip)
);
ALTER SEQUENCE _currentip_kod_seq OWNED BY _currentip.kod;

CREATE SEQUENCE _grids_kod_seq;
CREATE TABLE _grids (
    kod integer PRIMARY KEY DEFAULT nextval('_grids_kod_seq'),
    userid varchar(30),
    formname varchar(30),
    columnname varchar(100),
    "index" integer DEFAULT 0,
    width integer DEFAULT 0,
    visible smallint DEFAULT 0,
    CONSTRAINT _grids_oszlop_key UNIQUE (userid, formname, columnname)
);
ALTER SEQUENCE _grids_kod_seq OWNED BY _grids.kod;

CREATE SEQUENCE _reports_kod_seq;
CREATE TABLE _reports (
    kod integer PRIMARY KEY DEFAULT nextval('_reports_kod_seq'),
    userid varchar(30),
    reportname varchar(40),
    oriental smallint DEFAULT 0,
    page smallint DEFAULT 0,
    margin_left smallint DEFAULT 0,
    margin_right smallint DEFAULT 0,
    margin_top smallint DEFAULT 0,
    margin_bottom smallint DEFAULT 0,
    emptycol smallint DEFAULT 0,
    CONSTRAINT _reports_lista_key UNIQUE (userid, reportname)
);
ALTER SEQUENCE _reports_kod_seq OWNED BY _reports.kod;

CREATE SEQUENCE _reports_items_kod_seq;
CREATE TABLE _reports_items (
    kod integer PRIMARY KEY DEFAULT nextval('_reports_items_kod_seq'),
    report_kod integer DEFAULT 0,
    fieldid integer DEFAULT 0,
    fieldcheck smallint DEFAULT 0,
    fieldno integer DEFAULT 0,
    size_min integer DEFAULT 0,
    size_max integer DEFAULT 0,
    CONSTRAINT _reports_items_mezo_key UNIQUE (report_kod, fieldid)
);
ALTER SEQUENCE _reports_items_kod_seq OWNED BY _reports_items.kod;

CREATE SEQUENCE _menus_kod_seq;
CREATE TABLE _menus (
    kod integer PRIMARY KEY DEFAULT nextval('_menus_kod_seq'),
    userid varchar(30),
    menuitem varchar(60),
    menuitemvisible smallint DEFAULT 0,
    CONSTRAINT _menus_menupont_key UNIQUE (userid, menuitem)
);
ALTER SEQUENCE _menus_kod_seq OWNED BY _menus.kod;

CREATE SEQUENCE _buttons_kod_seq;
CREATE TABLE _buttons (
    kod integer PRIMARY KEY DEFAULT nextval('_buttons_kod_seq'),
    button integer DEFAULT 0,
    iconno integer DEFAULT 0,
    caption varchar(30),
    userid varchar(30),
    menuobject varchar(60)
);
ALTER SEQUENCE _buttons_kod_seq OWNED BY _buttons.kod;

-- Label sets (address labels) and their rows.
CREATE SEQUENCE _cimke_fej_kod_seq;
CREATE TABLE _cimke_fej (
    kod integer PRIMARY KEY DEFAULT nextval('_cimke_fej_kod_seq'),
    nev varchar(100),
    datum date,
    userid varchar(30)
);
ALTER SEQUENCE _cimke_fej_kod_seq OWNED BY _cimke_fej.kod;

CREATE SEQUENCE _cimke_kod_seq;
CREATE TABLE _cimke (
    kod integer PRIMARY KEY DEFAULT nextval('_cimke_kod_seq'),
    fej_kod integer DEFAULT 0,
    partner_kod integer DEFAULT 0,
    sorrend integer DEFAULT 0,
    szoveg text
);
ALTER SEQUENCE _cimke_kod_seq OWNED BY _cimke.kod;

-- Printed-form definitions.
CREATE SEQUENCE doc_fej_kod_seq;
CREATE TABLE doc_fej (
    kod integer PRIMARY KEY DEFAULT nextval('doc_fej_kod_seq'),
    nev varchar(100),
    leiras varchar(200),
    azonosito varchar(40),
    fejlec_kapcsolodik integer DEFAULT 0,
    fejlec integer DEFAULT 0,
    alapertelmezett smallint DEFAULT 0,
    hasznalatban smallint DEFAULT 0
);
ALTER SEQUENCE doc_fej_kod_seq OWNED BY doc_fej.kod;

-- Address lookups.
CREATE SEQUENCE wsh_co_country_kod_seq;
CREATE TABLE wsh_co_country (
    kod integer PRIMARY KEY DEFAULT nextval('wsh_co_country_kod_seq'),
    ctr_name varchar(80)
);
ALTER SEQUENCE wsh_co_country_kod_seq OWNED BY wsh_co_country.kod;

CREATE SEQUENCE wsh_co_city_kod_seq;
CREATE TABLE wsh_co_city (
    kod integer PRIMARY KEY DEFAULT nextval('wsh_co_city_kod_seq'),
    cit_name varchar(80),
    cit_zip varchar(10)
);
ALTER SEQUENCE wsh_co_city_kod_seq OWNED BY wsh_co_city.kod;

-- ---------------------------------------------------------------------------------------
-- Code tables
-- ---------------------------------------------------------------------------------------

-- VAT keys; `afakulcs` is the percentage.
CREATE SEQUENCE afa_kulcs_kod_seq;
CREATE TABLE afa_kulcs (
    kod integer PRIMARY KEY DEFAULT nextval('afa_kulcs_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    afakulcs double precision DEFAULT 0,
    mentes smallint DEFAULT 0,
    eus_tagorszagbeli_ertekesiteshez smallint DEFAULT 0,
    forditott_adozas smallint DEFAULT 0,
    alapertelmezett smallint DEFAULT 0,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE afa_kulcs_kod_seq OWNED BY afa_kulcs.kod;

CREATE SEQUENCE fizetesmod_kod_seq;
CREATE TABLE fizetesmod (
    kod integer PRIMARY KEY DEFAULT nextval('fizetesmod_kod_seq'),
    lang_0000040e varchar(50),
    lang_00000409 varchar(50),
    lang_00000407 varchar(50),
    zaradek_lang_0000040e varchar(800),
    zaradek_lang_00000409 varchar(800),
    zaradek_lang_00000407 varchar(800),
    halasztott_fizetesu smallint DEFAULT 0,
    hatarido integer DEFAULT 0,
    postakoltseg integer DEFAULT 0,
    keszpenzes smallint DEFAULT 0,
    alapertelmezett smallint DEFAULT 0,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE fizetesmod_kod_seq OWNED BY fizetesmod.kod;

CREATE SEQUENCE mennyisegi_egyseg_kod_seq;
CREATE TABLE mennyisegi_egyseg (
    kod integer PRIMARY KEY DEFAULT nextval('mennyisegi_egyseg_kod_seq'),
    lang_0000040e varchar(20),
    lang_00000409 varchar(20),
    lang_00000407 varchar(20),
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE mennyisegi_egyseg_kod_seq OWNED BY mennyisegi_egyseg.kod;

-- Item category values; `fajta_kod` is the category (1-6), `ures` marks its "< üres >" value.
CREATE SEQUENCE tetel_fajtak_kod_seq;
CREATE TABLE tetel_fajtak (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_fajtak_kod_seq'),
    fajta_kod integer DEFAULT 0,
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    ures smallint DEFAULT 0
);
ALTER SEQUENCE tetel_fajtak_kod_seq OWNED BY tetel_fajtak.kod;

CREATE SEQUENCE iso_statusz_kod_seq;
CREATE TABLE iso_statusz (
    kod integer PRIMARY KEY DEFAULT nextval('iso_statusz_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    engedely smallint DEFAULT 0
);
ALTER SEQUENCE iso_statusz_kod_seq OWNED BY iso_statusz.kod;

-- Money accounts: cash desks (tipus 1) and bank accounts (tipus 2).
CREATE SEQUENCE penzeszkoz_nevek_kod_seq;
CREATE TABLE penzeszkoz_nevek (
    kod integer PRIMARY KEY DEFAULT nextval('penzeszkoz_nevek_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    megjegyzes varchar(200),
    tipus integer DEFAULT 0,
    azonosito varchar(20),
    alapertelmezett smallint DEFAULT 0,
    kapcsolt_telephely integer DEFAULT 0,
    bank_neve varchar(60),
    bank_szamlaszam varchar(40),
    bank_szamlaszam_iban varchar(40),
    bank_swift varchar(20),
    deviza_nev varchar(4)
);
ALTER SEQUENCE penzeszkoz_nevek_kod_seq OWNED BY penzeszkoz_nevek.kod;

CREATE SEQUENCE deviza_kod_seq;
CREATE TABLE deviza (
    kod integer PRIMARY KEY DEFAULT nextval('deviza_kod_seq'),
    nev varchar(4),
    megjegyzes varchar(60),
    bizonylat_vegosszeg_kerekites smallint DEFAULT 0,
    CONSTRAINT deviza_nev_key UNIQUE (nev)
);
ALTER SEQUENCE deviza_kod_seq OWNED BY deviza.kod;

-- Exchange rates: forint value of one unit, valid from `datum`.
CREATE SEQUENCE deviza_arfolyam_kod_seq;
CREATE TABLE deviza_arfolyam (
    kod integer PRIMARY KEY DEFAULT nextval('deviza_arfolyam_kod_seq'),
    deviza_nev varchar(4),
    datum date,
    huf_ertek double precision DEFAULT 0,
    CONSTRAINT deviza_arfolyam_nap_key UNIQUE (deviza_nev, datum)
);
ALTER SEQUENCE deviza_arfolyam_kod_seq OWNED BY deviza_arfolyam.kod;

CREATE SEQUENCE kedvezmeny_kod_seq;
CREATE TABLE kedvezmeny (
    kod integer PRIMARY KEY DEFAULT nextval('kedvezmeny_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    kedvezmeny double precision DEFAULT 0,
    netto_limit integer DEFAULT 0,
    fizetesmod integer DEFAULT 0,
    kotott_fizetesmod smallint DEFAULT 0
);
ALTER SEQUENCE kedvezmeny_kod_seq OWNED BY kedvezmeny.kod;

CREATE SEQUENCE uzletkoto_kod_seq;
CREATE TABLE uzletkoto (
    kod integer PRIMARY KEY DEFAULT nextval('uzletkoto_kod_seq'),
    nev varchar(60),
    iranyitoszam varchar(10),
    telepules varchar(60),
    cim varchar(80),
    telefon varchar(60),
    megjegyzes varchar(200)
);
ALTER SEQUENCE uzletkoto_kod_seq OWNED BY uzletkoto.kod;

CREATE SEQUENCE partner_csoport_kod_seq;
CREATE TABLE partner_csoport (
    kod integer PRIMARY KEY DEFAULT nextval('partner_csoport_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60)
);
ALTER SEQUENCE partner_csoport_kod_seq OWNED BY partner_csoport.kod;

-- Movement types; `kapcsolt_mozgas` is the type a reversal of this type gets.
CREATE SEQUENCE mozgasnem_kod_seq;
CREATE TABLE mozgasnem (
    kod integer PRIMARY KEY DEFAULT nextval('mozgasnem_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    cel_raktar integer DEFAULT 0,
    forras_raktar integer DEFAULT 0,
    sajat smallint DEFAULT 0,
    tipus integer DEFAULT 0,
    sztorno smallint DEFAULT 0,
    kapcsolt_mozgas integer DEFAULT 0,
    hasznalatban smallint DEFAULT 1,
    bizonylat_kapcsolat integer DEFAULT 0
);
ALTER SEQUENCE mozgasnem_kod_seq OWNED BY mozgasnem.kod;

-- Warehouses; `partner_kod` names the partner company that owns one (0: own warehouse);
-- a warehouse of `raktar_tipus` 3 stands for its `kapcsolt_raktar`.
CREATE SEQUENCE raktar_nevek_kod_seq;
CREATE TABLE raktar_nevek (
    kod integer PRIMARY KEY DEFAULT nextval('raktar_nevek_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    partner_kod integer DEFAULT 0,
    raktar_tipus integer DEFAULT 0,
    kapcsolt_raktar integer DEFAULT 0,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE raktar_nevek_kod_seq OWNED BY raktar_nevek.kod;

-- Event types of the partner journal.
CREATE SEQUENCE esemeny_kod_seq;
CREATE TABLE esemeny (
    kod integer PRIMARY KEY DEFAULT nextval('esemeny_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100)
);
ALTER SEQUENCE esemeny_kod_seq OWNED BY esemeny.kod;

-- ---------------------------------------------------------------------------------------
-- Partners
-- ---------------------------------------------------------------------------------------

CREATE SEQUENCE partner_kod_seq;
CREATE TABLE partner (
    kod integer PRIMARY KEY DEFAULT nextval('partner_kod_seq'),
    nev varchar(120),
    iszam varchar(10),
    telepules varchar(60),
    cim varchar(80),
    orszag varchar(50),
    adoszam varchar(50),
    adoszam_eu varchar(50),
    eng_szam varchar(30),
    ostermeloi_szam varchar(30),
    fizetesmod integer DEFAULT 0,
    fizetesi_hat_ido integer DEFAULT 0,
    partner_tipus integer DEFAULT 0,
    gyujto smallint DEFAULT 0,
    partner_csoport_kod integer DEFAULT 0,
    afa_mentes_forgalom smallint DEFAULT 0,
    masodik_nyelv varchar(8),
    adoazonosito varchar(20),
    osterm_regszam varchar(30),
    csalgazd_nyilv_szam varchar(30),
    taj_szam varchar(20),
    szuletesi_hely varchar(60),
    szuletesi_nev varchar(120),
    anyja_neve varchar(120),
    szuletesi_datum date,
    szoveges_kod varchar(40),
    telefon varchar(60),
    fax varchar(60),
    kedvezmeny_megj_tiltasa smallint DEFAULT 0,
    kvota_engedely smallint DEFAULT 0,
    megjegyzes text,
    megjegyzes_biz varchar(500),
    magannyugdijp_tag smallint DEFAULT 0,
    magannyugdijp varchar(100),
    figyelmezteto_uzenet varchar(500),
    agrar_kamarai_reg_szam varchar(30),
    ggn_szam varchar(30),
    cegjegyzekszam varchar(30),
    jellemzo_deviza_nev varchar(4),
    megjegyzes_figyelmeztetes varchar(500),
    hasznalatban smallint DEFAULT 1,
    iso_engedely integer DEFAULT 0,
    uzletkoto_kod integer DEFAULT 0,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE partner_kod_seq OWNED BY partner.kod;

-- Contact list of a partner (phones and e-mail addresses).
CREATE SEQUENCE partner_emailtar_kod_seq;
CREATE TABLE partner_emailtar (
    kod integer PRIMARY KEY DEFAULT nextval('partner_emailtar_kod_seq'),
    partner_kod integer DEFAULT 0,
    nev varchar(120),
    beosztas varchar(60),
    telefon varchar(60),
    email varchar(120)
);
ALTER SEQUENCE partner_emailtar_kod_seq OWNED BY partner_emailtar.kod;

CREATE SEQUENCE partner_bank_kod_seq;
CREATE TABLE partner_bank (
    kod integer PRIMARY KEY DEFAULT nextval('partner_bank_kod_seq'),
    partner_kod integer DEFAULT 0,
    bank_neve varchar(60),
    bankszamla varchar(60)
);
ALTER SEQUENCE partner_bank_kod_seq OWNED BY partner_bank.kod;

-- Address book of a partner; `cim_tipus` 1 and 3 are postal addresses.
CREATE SEQUENCE partner_cimtar_kod_seq;
CREATE TABLE partner_cimtar (
    kod integer PRIMARY KEY DEFAULT nextval('partner_cimtar_kod_seq'),
    partner_kod integer DEFAULT 0,
    cim_tipus integer DEFAULT 0,
    nev varchar(120),
    iszam varchar(10),
    telepules varchar(60),
    cim varchar(80),
    orszag varchar(50)
);
ALTER SEQUENCE partner_cimtar_kod_seq OWNED BY partner_cimtar.kod;

CREATE SEQUENCE partner_kedvezmeny_kod_seq;
CREATE TABLE partner_kedvezmeny (
    kod integer PRIMARY KEY DEFAULT nextval('partner_kedvezmeny_kod_seq'),
    partner_kod integer DEFAULT 0,
    kedvezmeny_kod integer DEFAULT 0
);
ALTER SEQUENCE partner_kedvezmeny_kod_seq OWNED BY partner_kedvezmeny.kod;

CREATE SEQUENCE partner_email_lista_kod_seq;
CREATE TABLE partner_email_lista (
    kod integer PRIMARY KEY DEFAULT nextval('partner_email_lista_kod_seq'),
    nev varchar(100),
    linuxname varchar(100)
);
ALTER SEQUENCE partner_email_lista_kod_seq OWNED BY partner_email_lista.kod;

-- Members of an e-mail list. The table was once named partner_email_lista_bejegyzes; the
-- sequence of that name is kept for databases that still use it.
CREATE SEQUENCE partner_email_lista_bejegyzes_kod_seq;
CREATE SEQUENCE partner_emailtar_bejegyzes_kod_seq;
CREATE TABLE partner_emailtar_bejegyzes (
    kod integer PRIMARY KEY DEFAULT nextval('partner_emailtar_bejegyzes_kod_seq'),
    lista_kod integer DEFAULT 0,
    partner_emailtar_kod integer DEFAULT 0
);
ALTER SEQUENCE partner_emailtar_bejegyzes_kod_seq OWNED BY partner_emailtar_bejegyzes.kod;

-- Partner event journal.
CREATE SEQUENCE esemeny_naplo_kod_seq;
CREATE TABLE esemeny_naplo (
    kod integer PRIMARY KEY DEFAULT nextval('esemeny_naplo_kod_seq'),
    partner_kod integer DEFAULT 0,
    naploszam integer DEFAULT 0,
    esemeny_kod integer DEFAULT 0,
    megjegyzes text,
    leiras text,
    datum date,
    kapcsolt_dokumentum1_tipusa varchar(10),
    kapcsolt_dokumentum1 bytea,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE esemeny_naplo_kod_seq OWNED BY esemeny_naplo.kod;

-- ---------------------------------------------------------------------------------------
-- Items and prices
-- ---------------------------------------------------------------------------------------

-- Items. The name is kept per language (lang_...), the item's closing clause per language
-- (zaradek_lang_...); `fajta1` .. `fajta6` refer to tetel_fajtak.
CREATE SEQUENCE tetel_kod_seq;
CREATE TABLE tetel (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    zaradek_lang_0000040e varchar(500),
    zaradek_lang_00000409 varchar(500),
    zaradek_lang_00000407 varchar(500),
    sor2 varchar(100),
    sor3 varchar(100),
    sor4 varchar(100),
    akcios smallint DEFAULT 0,
    fajta1 integer, fajta2 integer, fajta3 integer,
    fajta4 integer, fajta5 integer, fajta6 integer,
    tetel_tipus integer DEFAULT 0,
    mennyisegi_egyseg integer DEFAULT 0,
    afa_kulcs integer DEFAULT 0,
    kompenzacio_mezogazd integer DEFAULT 0,
    utolsobeszerzesiar double precision DEFAULT 0,
    utolsobeszerzesiardatuma date,
    atlagar double precision DEFAULT 0,
    vonalkod varchar(20),
    tizedesjegy smallint DEFAULT 0,
    forditottan_adozhat smallint DEFAULT 0,
    haszonkulcs double precision DEFAULT 0,
    minimum_haszonkulcs double precision DEFAULT 0,
    egyedi smallint DEFAULT 0,
    fobizonylaton_nem_latszik smallint DEFAULT 0,
    tetel_azonosito_kod varchar(40),
    szoveges_kod varchar(40),
    kapcsolt_fokonyviszam varchar(20),
    megjegyzes text,
    hasznalatban smallint DEFAULT 1,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE tetel_kod_seq OWNED BY tetel.kod;

-- Identified pieces of an item (serial or lot numbers).
CREATE SEQUENCE tetel_egyedi_kod_seq;
CREATE TABLE tetel_egyedi (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_egyedi_kod_seq'),
    tetel_kod integer DEFAULT 0,
    egyedi_azonosito varchar(60),
    megjegyzes varchar(200)
);
ALTER SEQUENCE tetel_egyedi_kod_seq OWNED BY tetel_egyedi.kod;

-- Price lists; `automatikus_ertek` 1, 2, 3 are kept from the last purchase price.
CREATE SEQUENCE egysegarak_kod_seq;
CREATE TABLE egysegarak (
    kod integer PRIMARY KEY DEFAULT nextval('egysegarak_kod_seq'),
    lang_0000040e varchar(60),
    lang_00000409 varchar(60),
    lang_00000407 varchar(60),
    automatikus_ertek smallint DEFAULT 0,
    alapertelmezett smallint DEFAULT 0,
    deviza_nev varchar(4)
);
ALTER SEQUENCE egysegarak_kod_seq OWNED BY egysegarak.kod;

CREATE SEQUENCE tetel_egysegar_kod_seq;
CREATE TABLE tetel_egysegar (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_egysegar_kod_seq'),
    tetel_kod integer DEFAULT 0,
    egysegar_kod integer DEFAULT 0,
    egysegar double precision DEFAULT 0,
    egysegar_brutto double precision DEFAULT 0,
    afa_kulcs integer DEFAULT 0,
    CONSTRAINT tetel_egysegar_lista_key UNIQUE (tetel_kod, egysegar_kod)
);
ALTER SEQUENCE tetel_egysegar_kod_seq OWNED BY tetel_egysegar.kod;

-- History of unit prices, written by a trigger on tetel_egysegar; the retail price of a past
-- day is read from it. `naplo_szam` numbers the entries from their own sequence.
CREATE SEQUENCE naplo_tetel_egysegar_seq;
CREATE SEQUENCE naplo_tetel_egysegar_kod_seq;
CREATE TABLE naplo_tetel_egysegar (
    kod integer PRIMARY KEY DEFAULT nextval('naplo_tetel_egysegar_kod_seq'),
    naplo_szam integer DEFAULT nextval('naplo_tetel_egysegar_seq'),
    tetel_kod integer DEFAULT 0,
    egysegar_kod integer DEFAULT 0,
    egysegar double precision DEFAULT 0,
    egysegar_brutto double precision DEFAULT 0,
    afa_kulcs integer DEFAULT 0,
    datum date DEFAULT current_date,
    ido time DEFAULT localtime(0)
);
ALTER SEQUENCE naplo_tetel_egysegar_kod_seq OWNED BY naplo_tetel_egysegar.kod;

-- Price rules of partner groups by item category; `egysegar` is the price list key.
CREATE SEQUENCE partner_csoport_egysegarak_kod_seq;
CREATE TABLE partner_csoport_egysegarak (
    kod integer PRIMARY KEY DEFAULT nextval('partner_csoport_egysegarak_kod_seq'),
    partner_csoport_kod integer DEFAULT 0,
    fajta1 integer, fajta2 integer, fajta3 integer,
    fajta4 integer, fajta5 integer, fajta6 integer,
    egysegar integer DEFAULT 0,
    szorzo double precision DEFAULT 1
);
ALTER SEQUENCE partner_csoport_egysegarak_kod_seq OWNED BY partner_csoport_egysegarak.kod;

-- Bill of materials: `beepulo` items built into the finished product `kesztermek`.
CREATE SEQUENCE gyartas_kod_seq;
CREATE TABLE gyartas (
    kod integer PRIMARY KEY DEFAULT nextval('gyartas_kod_seq'),
    kesztermek integer DEFAULT 0,
    beepulo integer DEFAULT 0,
    mennyiseg double precision DEFAULT 0,
    osszeg double precision DEFAULT 0
);
ALTER SEQUENCE gyartas_kod_seq OWNED BY gyartas.kod;

-- ---------------------------------------------------------------------------------------
-- Projects, contracts, supplier invoices
-- ---------------------------------------------------------------------------------------

CREATE SEQUENCE projekt_besorolas_kod_seq;
CREATE TABLE projekt_besorolas (
    kod integer PRIMARY KEY DEFAULT nextval('projekt_besorolas_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    automata_tervezes smallint DEFAULT 0,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE projekt_besorolas_kod_seq OWNED BY projekt_besorolas.kod;

CREATE SEQUENCE projekt_utemezes_kod_seq;
CREATE TABLE projekt_utemezes (
    kod integer PRIMARY KEY DEFAULT nextval('projekt_utemezes_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE projekt_utemezes_kod_seq OWNED BY projekt_utemezes.kod;

CREATE SEQUENCE projekt_statusz_kod_seq;
CREATE TABLE projekt_statusz (
    kod integer PRIMARY KEY DEFAULT nextval('projekt_statusz_kod_seq'),
    lang_0000040e varchar(100),
    lang_00000409 varchar(100),
    lang_00000407 varchar(100),
    hasznalatban smallint DEFAULT 1,
    projekt_zarva smallint DEFAULT 0
);
ALTER SEQUENCE projekt_statusz_kod_seq OWNED BY projekt_statusz.kod;

CREATE SEQUENCE projektek_kod_seq;
CREATE TABLE projektek (
    kod integer PRIMARY KEY DEFAULT nextval('projektek_kod_seq'),
    besorolas integer DEFAULT 0,
    partner_kod integer DEFAULT 0,
    helyszin varchar(200),
    leiras varchar(500),
    rogzites date,
    datum1 date,
    datum2 date,
    utemezes integer DEFAULT 0,
    vegzi integer DEFAULT 0,
    ellenorzi integer DEFAULT 0,
    megjegyzes text,
    hasznalatban smallint DEFAULT 1,
    statusz integer DEFAULT 0,
    bejelento varchar(100),
    forditott_adozas smallint DEFAULT 0
);
ALTER SEQUENCE projektek_kod_seq OWNED BY projektek.kod;

-- Manual project bookings; `novekedes` is the signed net increase.
CREATE SEQUENCE projektek_konyveles_kod_seq;
CREATE TABLE projektek_konyveles (
    kod integer PRIMARY KEY DEFAULT nextval('projektek_konyveles_kod_seq'),
    projekt integer DEFAULT 0,
    tipus integer DEFAULT 0,
    novekedes double precision DEFAULT 0,
    afa double precision DEFAULT 0,
    datum date,
    megjegyzes varchar(500)
);
ALTER SEQUENCE projektek_konyveles_kod_seq OWNED BY projektek_konyveles.kod;

CREATE SEQUENCE szerzodes_kod_seq;
CREATE TABLE szerzodes (
    kod integer PRIMARY KEY DEFAULT nextval('szerzodes_kod_seq'),
    partner_kod integer DEFAULT 0,
    szerzodesszam varchar(40),
    leiras varchar(500),
    datum1 date,
    datum2 date,
    hasznalatban smallint DEFAULT 1
);
ALTER SEQUENCE szerzodes_kod_seq OWNED BY szerzodes.kod;

-- Invoiced months of a contract.
CREATE SEQUENCE szerzodes_szaml_idoszak_kod_seq;
CREATE TABLE szerzodes_szaml_idoszak (
    kod integer PRIMARY KEY DEFAULT nextval('szerzodes_szaml_idoszak_kod_seq'),
    szerzodes_kod integer DEFAULT 0,
    ev integer DEFAULT 0,
    honap integer DEFAULT 0,
    raktar_mozgas_fej_kod integer DEFAULT 0
);
ALTER SEQUENCE szerzodes_szaml_idoszak_kod_seq OWNED BY szerzodes_szaml_idoszak.kod;

CREATE SEQUENCE szallitoi_szamlak_kod_seq;
CREATE TABLE szallitoi_szamlak (
    kod integer PRIMARY KEY DEFAULT nextval('szallitoi_szamlak_kod_seq'),
    bizonylatszam varchar(30),
    kelte date,
    telj_datum date,
    fiz_hatarido date,
    partner_kod integer DEFAULT 0,
    deviza_nev varchar(4),
    deviza_arfolyam double precision DEFAULT 1,
    fizetesmod_kod integer DEFAULT 0,
    netto_vegosszeg double precision DEFAULT 0,
    brutto_vegosszeg double precision DEFAULT 0,
    netto_vegosszeg_huf double precision DEFAULT 0,
    brutto_vegosszeg_huf double precision DEFAULT 0,
    projekt integer DEFAULT 0,
    megjegyzes text,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE szallitoi_szamlak_kod_seq OWNED BY szallitoi_szamlak.kod;

-- ---------------------------------------------------------------------------------------
-- Documents
-- ---------------------------------------------------------------------------------------

-- Register of issued document numbers: a number can be handed out only once.
CREATE SEQUENCE szszb_kod_seq;
CREATE TABLE szszb (
    kod integer PRIMARY KEY DEFAULT nextval('szszb_kod_seq'),
    bizonylat_fajta integer DEFAULT 0,
    ev integer DEFAULT 0,
    szam integer DEFAULT 0,
    datum date,
    ido time,
    CONSTRAINT szszb_bizonylat_fajta_ev_szam_key UNIQUE (bizonylat_fajta, ev, szam)
);
ALTER SEQUENCE szszb_kod_seq OWNED BY szszb.kod;

-- Document headers. Names printed with a document (partner, payment method, ...) are kept in
-- bizonylatszoveg_fej, so this table has no columns of those names.
CREATE SEQUENCE raktar_mozgas_fej_kod_seq;
CREATE TABLE raktar_mozgas_fej (
    kod integer PRIMARY KEY DEFAULT nextval('raktar_mozgas_fej_kod_seq'),
    bizonylat_fajta integer DEFAULT 0,
    bizonylatszam varchar(30),
    raktar_mozgas_bizonylat varchar(30),
    hivszam varchar(30),
    gyartasiszam varchar(40),
    datum date,
    ido time,
    kelte date,
    telj_datum date,
    fiz_hatarido date,
    datum1 date,
    datum2 date,
    torolve smallint DEFAULT 0,
    torolve_datum date,
    rendben smallint DEFAULT 0,
    partner_kod integer DEFAULT 0,
    mozgasnem_kod integer DEFAULT 0,
    fizetesmod_kod integer DEFAULT 0,
    atvevo_kod integer DEFAULT 0,
    penzeszkoz_kod integer DEFAULT 0,
    projekt integer DEFAULT 0,
    forras_raktar_kod integer DEFAULT 0,
    cel_raktar_kod integer DEFAULT 0,
    deviza_nev varchar(4),
    deviza_arfolyam double precision DEFAULT 1,
    netto_vegosszeg double precision DEFAULT 0,
    brutto_vegosszeg double precision DEFAULT 0,
    netto_arbevetel_vegosszeg double precision DEFAULT 0,
    afa_arbevetel_vegosszeg double precision DEFAULT 0,
    brutto_arbevetel_vegosszeg double precision DEFAULT 0,
    netto_kedvezmeny double precision DEFAULT 0,
    kerekites double precision DEFAULT 0,
    netto_vegosszeg_huf double precision DEFAULT 0,
    brutto_vegosszeg_huf double precision DEFAULT 0,
    netto_arbevetel_vegosszeg_huf double precision DEFAULT 0,
    afa_arbevetel_vegosszeg_huf double precision DEFAULT 0,
    brutto_arbevetel_vegosszeg_huf double precision DEFAULT 0,
    netto_kedvezmeny_huf double precision DEFAULT 0,
    kerekites_huf double precision DEFAULT 0,
    sztornozott_bizonylat varchar(30),
    sztornozott_bizonylat_kod integer DEFAULT 0,
    sztornozo_bizonylat varchar(30),
    sztornozo_bizonylat_kod integer DEFAULT 0,
    forras_bizonylat varchar(30),
    forras_bizonylat_kod integer DEFAULT 0,
    forras_bizonylat_fajta integer DEFAULT 0,
    cel_bizonylat varchar(30),
    cel_bizonylat_kod integer DEFAULT 0,
    cel_bizonylat_fajta integer DEFAULT 0,
    afa_mentes_forgalom smallint DEFAULT 0,
    megjegyzes text,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE raktar_mozgas_fej_kod_seq OWNED BY raktar_mozgas_fej.kod;
CREATE INDEX raktar_mozgas_fej_bizonylatszam ON raktar_mozgas_fej (bizonylatszam);
CREATE INDEX raktar_mozgas_fej_datum ON raktar_mozgas_fej (datum, ido);

-- Document lines. Names printed with a line are kept in bizonylatszoveg, so the two tables
-- share no column name but `kod`. `forras_raktar_ujkeszlet` and `cel_raktar_ujkeszlet` are the
-- free stock of the two warehouses after the line, the `_atlagar` columns the average cost.
CREATE SEQUENCE raktar_mozgas_kod_seq;
CREATE TABLE raktar_mozgas (
    kod integer PRIMARY KEY DEFAULT nextval('raktar_mozgas_kod_seq'),
    fej_kod integer DEFAULT 0,
    tetel_kod integer DEFAULT 0,
    mee_kod integer DEFAULT 0,
    afakulcs integer DEFAULT 0,
    forras_raktar_kod integer DEFAULT 0,
    cel_raktar_kod integer DEFAULT 0,
    szallitos_tetel_kod integer DEFAULT 0,
    raktar_mozgas_bizonylat varchar(30),
    szallito_szama varchar(30),
    eredeti_szallito_telj_datum date,
    mennyiseg double precision DEFAULT 0,
    mennyiseg_szamlazva double precision DEFAULT 0,
    mennyiseg_szamlazva_bol_rendszeren_kivul double precision DEFAULT 0,
    cel_raktar_ujkeszlet double precision DEFAULT 0,
    forras_raktar_ujkeszlet double precision DEFAULT 0,
    netto_egysegar double precision DEFAULT 0,
    brutto_egysegar double precision DEFAULT 0,
    netto_egysegar_huf double precision DEFAULT 0,
    brutto_egysegar_huf double precision DEFAULT 0,
    lista_egysegar_netto double precision DEFAULT 0,
    netto_arbevetel double precision DEFAULT 0,
    brutto_arbevetel double precision DEFAULT 0,
    netto_arbevetel_huf double precision DEFAULT 0,
    brutto_arbevetel_huf double precision DEFAULT 0,
    netto_kedvezmeny double precision DEFAULT 0,
    netto_kedvezmeny_huf double precision DEFAULT 0,
    netto_osszeg double precision DEFAULT 0,
    brutto_osszeg double precision DEFAULT 0,
    netto_osszeg_huf double precision DEFAULT 0,
    brutto_osszeg_huf double precision DEFAULT 0,
    forras_raktar_atlagar double precision DEFAULT 0,
    cel_raktar_atlagar double precision DEFAULT 0,
    forras_raktar_fifo_ertek double precision DEFAULT 0,
    forras_raktar_fifo_ar double precision DEFAULT 0,
    cel_raktar_fifo_ertek double precision DEFAULT 0,
    cel_raktar_fifo_ar double precision DEFAULT 0,
    tetel_tipus integer DEFAULT 0,
    csak_fobizonylat_tetel smallint DEFAULT 0,
    fobizonylaton_nem_jelenik_meg smallint DEFAULT 0,
    akcios integer DEFAULT 0,
    megjegyzes text,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20),
    CONSTRAINT raktar_mozgas_ch1 CHECK (forras_raktar_ujkeszlet >= 0 AND cel_raktar_ujkeszlet >= 0)
);
ALTER SEQUENCE raktar_mozgas_kod_seq OWNED BY raktar_mozgas.kod;
CREATE INDEX raktar_mozgas_fej_kod ON raktar_mozgas (fej_kod);
CREATE INDEX raktar_mozgas_tetel_kod ON raktar_mozgas (tetel_kod);
CREATE INDEX raktar_mozgas_szallitos_tetel_kod ON raktar_mozgas (szallitos_tetel_kod);

-- Identified pieces moved by a line (`rm_kod`).
CREATE SEQUENCE raktar_mozgas_egyedi_kod_seq;
CREATE TABLE raktar_mozgas_egyedi (
    kod integer PRIMARY KEY DEFAULT nextval('raktar_mozgas_egyedi_kod_seq'),
    rm_kod integer DEFAULT 0,
    egyedi_azonosito_kod integer DEFAULT 0,
    mennyiseg double precision DEFAULT 0,
    mennyiseg_szamlazva double precision DEFAULT 0,
    mennyiseg_szamlazva_bol_rendszeren_kivul double precision DEFAULT 0,
    csak_fobizonylat_tetel smallint DEFAULT 0
);
ALTER SEQUENCE raktar_mozgas_egyedi_kod_seq OWNED BY raktar_mozgas_egyedi.kod;
CREATE INDEX raktar_mozgas_egyedi_rm_kod ON raktar_mozgas_egyedi (rm_kod);

-- Print texts of a document header (`fej_kod`): the partner's data as printed, the names of
-- the movement type, payment method and receiving employee, the issuer and customer blocks.
CREATE SEQUENCE bizonylatszoveg_fej_kod_seq;
CREATE TABLE bizonylatszoveg_fej (
    kod integer PRIMARY KEY DEFAULT nextval('bizonylatszoveg_fej_kod_seq'),
    fej_kod integer DEFAULT 0,
    partner_kod integer DEFAULT 0,
    partner_nev varchar(120),
    partner_orszag varchar(50),
    partner_iszam varchar(10),
    partner_telepules varchar(60),
    partner_cim varchar(60),
    partner_adoszam varchar(50),
    partner_telefon varchar(60),
    partner_fax varchar(60),
    partner_bank varchar(60),
    partner_email varchar(120),
    partner_eng_szam varchar(30),
    partner_ostermeloi_szam varchar(30),
    partner_adoazonosito varchar(20),
    partner_osterm_regszam varchar(30),
    partner_csalgazd_nyilv_szam varchar(30),
    partner_taj_szam varchar(20),
    partner_szuletesi_datum date,
    partner_szuletesi_hely varchar(60),
    partner_szuletesi_nev varchar(120),
    partner_anyja_neve varchar(120),
    partner_szoveges_kod varchar(40),
    partner_magannyugdijp varchar(100),
    partner_magannyugdijp_tag smallint DEFAULT 0,
    partner_agrar_kamarai_reg_szam varchar(30),
    partner_ggn_szam varchar(30),
    partner_postacim_nev varchar(120),
    partner_postacim_orszag varchar(50),
    partner_postacim_iszam varchar(10),
    partner_postacim_telepules varchar(60),
    partner_postacim_cim varchar(60),
    partner_kedvezmeny_megj_tiltasa smallint DEFAULT 0,
    mozgasnem_nev varchar(100),
    fizetesmod_nev varchar(50),
    fizetesmod_zaradek varchar(800),
    munkatars_nev varchar(60),
    kiallito_sorok text,
    vevo_sorok text,
    egyedi_zaradek varchar(800),
    gyujtoszamla_formatum_szallito smallint DEFAULT 0
);
ALTER SEQUENCE bizonylatszoveg_fej_kod_seq OWNED BY bizonylatszoveg_fej.kod;
CREATE INDEX bizonylatszoveg_fej_fej_kod ON bizonylatszoveg_fej (fej_kod);

-- Print texts of a document line (`sor_kod`): the item's name lines as printed, unit and VAT
-- key names, codes and the line's closing clause.
CREATE SEQUENCE bizonylatszoveg_kod_seq;
CREATE TABLE bizonylatszoveg (
    kod integer PRIMARY KEY DEFAULT nextval('bizonylatszoveg_kod_seq'),
    sor_kod integer DEFAULT 0,
    nev varchar(100),
    sor2 varchar(100),
    sor3 varchar(100),
    sor4 varchar(100),
    nev_teljes varchar(5000),
    mee varchar(20),
    afa_leiras varchar(100),
    tetel_azonosito_kod varchar(40),
    szoveges_kod varchar(40),
    kapcsolt_fokonyviszam varchar(20),
    zaradek varchar(500)
);
ALTER SEQUENCE bizonylatszoveg_kod_seq OWNED BY bizonylatszoveg.kod;
CREATE INDEX bizonylatszoveg_sor_kod ON bizonylatszoveg (sor_kod);

-- Money moves between money accounts (cash desks, bank accounts).
CREATE SEQUENCE penzeszkoz_iktato_kod_seq;
CREATE TABLE penzeszkoz_iktato (
    kod integer PRIMARY KEY DEFAULT nextval('penzeszkoz_iktato_kod_seq'),
    partner_kod integer DEFAULT 0,
    datum date,
    bizonylatszam varchar(30),
    forras_penzeszkoz integer DEFAULT 0,
    cel_penzeszkoz integer DEFAULT 0,
    osszeg double precision DEFAULT 0,
    megjegyzes varchar(500),
    fokonyviszam varchar(20),
    raktar_mozgas_fej_kod integer DEFAULT 0,
    szallitoi_szamlak_kod integer DEFAULT 0,
    penztar_bizonylat_irany integer DEFAULT 0,
    penztar_bizonylat varchar(12),
    sztornozott_bizonylat_kod integer DEFAULT 0,
    sztornozo_bizonylat_kod integer DEFAULT 0,
    m_userid varchar(30), m_date date, m_time varchar(20),
    c_userid varchar(30), c_date date, c_time varchar(20)
);
ALTER SEQUENCE penzeszkoz_iktato_kod_seq OWNED BY penzeszkoz_iktato.kod;
CREATE INDEX penzeszkoz_iktato_fej_kod ON penzeszkoz_iktato (raktar_mozgas_fej_kod);

-- Snapshot copies of documents being edited, under the keys of the originals. They carry no
-- stock rules: a snapshot moves nothing.
CREATE TABLE _prev_raktar_mozgas_fej (LIKE raktar_mozgas_fej INCLUDING DEFAULTS);
CREATE SEQUENCE _prev_raktar_mozgas_fej_kod_seq OWNED BY _prev_raktar_mozgas_fej.kod;
ALTER TABLE _prev_raktar_mozgas_fej
    ALTER COLUMN kod SET DEFAULT nextval('_prev_raktar_mozgas_fej_kod_seq'),
    ADD PRIMARY KEY (kod);

CREATE TABLE _prev_raktar_mozgas (LIKE raktar_mozgas INCLUDING DEFAULTS);
CREATE SEQUENCE _prev_raktar_mozgas_kod_seq OWNED BY _prev_raktar_mozgas.kod;
ALTER TABLE _prev_raktar_mozgas
    ALTER COLUMN kod SET DEFAULT nextval('_prev_raktar_mozgas_kod_seq'),
    ADD PRIMARY KEY (kod);
CREATE INDEX _prev_raktar_mozgas_fej_kod ON _prev_raktar_mozgas (fej_kod);

CREATE TABLE _prev_raktar_mozgas_egyedi (LIKE raktar_mozgas_egyedi INCLUDING DEFAULTS);
CREATE SEQUENCE _prev_raktar_mozgas_egyedi_kod_seq OWNED BY _prev_raktar_mozgas_egyedi.kod;
ALTER TABLE _prev_raktar_mozgas_egyedi
    ALTER COLUMN kod SET DEFAULT nextval('_prev_raktar_mozgas_egyedi_kod_seq'),
    ADD PRIMARY KEY (kod);

CREATE TABLE _prev_bizonylatszoveg_fej (LIKE bizonylatszoveg_fej INCLUDING DEFAULTS);
CREATE SEQUENCE _prev_bizonylatszoveg_fej_kod_seq OWNED BY _prev_bizonylatszoveg_fej.kod;
ALTER TABLE _prev_bizonylatszoveg_fej
    ALTER COLUMN kod SET DEFAULT nextval('_prev_bizonylatszoveg_fej_kod_seq'),
    ADD PRIMARY KEY (kod);

CREATE TABLE _prev_bizonylatszoveg (LIKE bizonylatszoveg INCLUDING DEFAULTS);
CREATE SEQUENCE _prev_bizonylatszoveg_kod_seq OWNED BY _prev_bizonylatszoveg.kod;
ALTER TABLE _prev_bizonylatszoveg
    ALTER COLUMN kod SET DEFAULT nextval('_prev_bizonylatszoveg_kod_seq'),
    ADD PRIMARY KEY (kod);

-- ---------------------------------------------------------------------------------------
-- Running stock totals
-- ---------------------------------------------------------------------------------------

-- Stock of an item in a warehouse: on hand, reserved, free (= on hand - reserved), and the
-- moving average cost.
CREATE SEQUENCE tetel_raktar_kod_seq;
CREATE TABLE tetel_raktar (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_raktar_kod_seq'),
    tetel_kod integer NOT NULL,
    raktar_kod integer NOT NULL,
    mennyiseg double precision NOT NULL DEFAULT 0,
    foglalt double precision NOT NULL DEFAULT 0,
    szabad double precision NOT NULL DEFAULT 0,
    atlagar double precision NOT NULL DEFAULT 0,
    CONSTRAINT tetel_raktar_tetel_raktar_key UNIQUE (tetel_kod, raktar_kod),
    CONSTRAINT tetel_raktar_ch1 CHECK (szabad >= 0),
    CONSTRAINT tetel_raktar_ch2 CHECK (mennyiseg >= 0),
    CONSTRAINT tetel_raktar_ch3 CHECK (foglalt >= 0 AND foglalt <= mennyiseg)
);
ALTER SEQUENCE tetel_raktar_kod_seq OWNED BY tetel_raktar.kod;

-- Stock of an identified piece of an item in a warehouse.
CREATE SEQUENCE tetel_raktar_egyedi_kod_seq;
CREATE TABLE tetel_raktar_egyedi (
    kod integer PRIMARY KEY DEFAULT nextval('tetel_raktar_egyedi_kod_seq'),
    tetel_kod integer NOT NULL,
    raktar_kod integer NOT NULL,
    egyedi_azonosito_kod integer NOT NULL,
    mennyiseg double precision NOT NULL DEFAULT 0,
    foglalt double precision NOT NULL DEFAULT 0,
    szabad double precision NOT NULL DEFAULT 0,
    CONSTRAINT tetel_raktar_egyedi_darab_key UNIQUE (tetel_kod, raktar_kod, egyedi_azonosito_kod),
    CONSTRAINT tetel_raktar_egyedi_ch1 CHECK (szabad >= 0),
    CONSTRAINT tetel_raktar_egyedi_ch2 CHECK (mennyiseg >= 0),
    CONSTRAINT tetel_raktar_egyedi_ch3 CHECK (foglalt >= 0 AND foglalt <= mennyiseg)
);
ALTER SEQUENCE tetel_raktar_egyedi_kod_seq OWNED BY tetel_raktar_egyedi.kod;

-- ---------------------------------------------------------------------------------------
-- Stored functions
-- ---------------------------------------------------------------------------------------

-- The argument, or 0 when it is null.
CREATE FUNCTION null_to_zero(integer) RETURNS integer
    LANGUAGE sql IMMUTABLE AS 'SELECT coalesce($1, 0)';
CREATE FUNCTION null_to_zero(bigint) RETURNS bigint
    LANGUAGE sql IMMUTABLE AS 'SELECT coalesce($1, 0)';
CREATE FUNCTION null_to_zero(numeric) RETURNS numeric
    LANGUAGE sql IMMUTABLE AS 'SELECT coalesce($1, 0)';
CREATE FUNCTION null_to_zero(double precision) RETURNS double precision
    LANGUAGE sql IMMUTABLE AS 'SELECT coalesce($1, 0)';

-- A date written by a workstation: "2026.12.09.", "2026-12-09", "2026.12.09. 10:15:00",
-- "09.12.2026" or "20261209". Null when the text holds no valid date.
CREATE FUNCTION datum_szovegbol(p_szoveg text) RETURNS date
    LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    m text[];
BEGIN
    m := regexp_match(p_szoveg, '^\s*(\d{4})\D+(\d{1,2})\D+(\d{1,2})');
    IF m IS NOT NULL THEN
        RETURN make_date(m[1]::integer, m[2]::integer, m[3]::integer);
    END IF;
    m := regexp_match(p_szoveg, '^\s*(\d{1,2})\D+(\d{1,2})\D+(\d{4})');
    IF m IS NOT NULL THEN
        RETURN make_date(m[3]::integer, m[2]::integer, m[1]::integer);
    END IF;
    m := regexp_match(p_szoveg, '^\s*(\d{4})(\d{2})(\d{2})\s*$');
    IF m IS NOT NULL THEN
        RETURN make_date(m[1]::integer, m[2]::integer, m[3]::integer);
    END IF;
    RETURN NULL;
EXCEPTION
    WHEN datetime_field_overflow OR invalid_datetime_format OR numeric_value_out_of_range THEN
        RETURN NULL;
END;
$$;

-- A quantity as the workstation prints it: no trailing zeros, decimal comma.
CREATE FUNCTION mennyiseg_szoveg(p_mennyiseg double precision) RETURNS text
    LANGUAGE sql IMMUTABLE AS $$
    SELECT replace(trim_scale(p_mennyiseg::numeric)::text, '.', ',')
$$;

-- The identified pieces moved by a document line, as printed after the item name:
-- "[A1, B2 (3)]" - identifiers in line order, each followed by its quantity in parentheses
-- when that is not 1. Empty when the line has none. With `p_prev` 1 the snapshot copy of
-- the line is read. At most 255 characters: a longer list is cut and ends in "...]".
CREATE FUNCTION get_egyedi_megjegyzes(p_rm_kod integer, p_prev integer) RETURNS varchar
    LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_lista text;
BEGIN
    IF p_prev = 1 THEN
        SELECT string_agg(coalesce(te.egyedi_azonosito, '')
                              || CASE WHEN rme.mennyiseg IS DISTINCT FROM 1
                                      THEN ' (' || coalesce(mennyiseg_szoveg(rme.mennyiseg), '') || ')'
                                      ELSE '' END,
                          ', ' ORDER BY rme.kod)
          INTO v_lista
          FROM _prev_raktar_mozgas_egyedi rme
          JOIN tetel_egyedi te ON te.kod = rme.egyedi_azonosito_kod
         WHERE rme.rm_kod = p_rm_kod;
    ELSE
        SELECT string_agg(coalesce(te.egyedi_azonosito, '')
                              || CASE WHEN rme.mennyiseg IS DISTINCT FROM 1
                                      THEN ' (' || coalesce(mennyiseg_szoveg(rme.mennyiseg), '') || ')'
                                      ELSE '' END,
                          ', ' ORDER BY rme.kod)
          INTO v_lista
          FROM raktar_mozgas_egyedi rme
          JOIN tetel_egyedi te ON te.kod = rme.egyedi_azonosito_kod
         WHERE rme.rm_kod = p_rm_kod;
    END IF;
    IF v_lista IS NULL THEN
        RETURN '';
    END IF;
    v_lista := trim('[' || v_lista || ']');
    IF char_length(v_lista) > 255 THEN
        v_lista := left(v_lista, 251) || '...]';
    END IF;
    RETURN v_lista;
END;
$$;

-- Outstanding debt of a partner on a day, in forints:
--   partner_kod        the partner
--   datum              the day asked for
--   tartozas           unpaid part of the partner's invoices (kinds 5 and 16, reversals
--                      included) issued up to that day, plus - when asked for - the open
--                      value of its delivery notes
--   lejart             the part of the unpaid invoices that was due before that day
--   szallito_nyitott   gross value of the not yet invoiced quantities of the partner's live
--                      delivery notes (kind 4); 0 unless asked for
--   nyitott_szamlak    number of invoices not fully paid
-- Payments are the money postings of an invoice up to that day, in the invoice's currency.
-- Amounts are whole forints.
CREATE TYPE partner_tartozas AS (
    partner_kod integer,
    datum date,
    tartozas numeric,
    lejart numeric,
    szallito_nyitott numeric,
    nyitott_szamlak integer
);

CREATE FUNCTION getpartner_tartozas(p_partner integer, p_datum text, p_szallitokkal boolean)
    RETURNS partner_tartozas
    LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_datum date := coalesce(datum_szovegbol(p_datum), current_date);
    v_eredmeny partner_tartozas;
    v_tartozas double precision;
    v_lejart double precision;
    v_szallito double precision := 0;
BEGIN
    WITH szamla AS (
        SELECT h.fiz_hatarido,
               h.brutto_arbevetel_vegosszeg_huf
                   - coalesce((SELECT sum(p.osszeg)
                                 FROM penzeszkoz_iktato p
                                WHERE p.raktar_mozgas_fej_kod = h.kod
                                  AND (p.datum IS NULL OR p.datum <= v_datum)), 0)
                     * coalesce(nullif(h.deviza_arfolyam, 0), 1) AS nyitott
          FROM raktar_mozgas_fej h
         WHERE h.partner_kod = p_partner
           AND h.bizonylat_fajta IN (5, 16)
           AND coalesce(h.kelte, h.datum) <= v_datum)
    SELECT coalesce(sum(nyitott), 0),
           coalesce(sum(nyitott) FILTER (WHERE fiz_hatarido < v_datum), 0),
           count(*) FILTER (WHERE abs(nyitott) >= 0.5)
      INTO v_tartozas, v_lejart, v_eredmeny.nyitott_szamlak
      FROM szamla;
    IF p_szallitokkal THEN
        SELECT coalesce(sum((rm.mennyiseg - rm.mennyiseg_szamlazva) * rm.brutto_egysegar_huf), 0)
          INTO v_szallito
          FROM raktar_mozgas rm
          JOIN raktar_mozgas_fej h ON h.kod = rm.fej_kod
         WHERE h.partner_kod = p_partner
           AND h.bizonylat_fajta = 4
           AND h.sztornozo_bizonylat_kod = 0
           AND h.sztornozott_bizonylat_kod = 0
           AND coalesce(h.kelte, h.datum) <= v_datum;
    END IF;
    v_eredmeny.partner_kod := p_partner;
    v_eredmeny.datum := v_datum;
    v_eredmeny.tartozas := round((v_tartozas + v_szallito)::numeric);
    v_eredmeny.lejart := round(v_lejart::numeric);
    v_eredmeny.szallito_nyitott := round(v_szallito::numeric);
    RETURN v_eredmeny;
END;
$$;

-- Retail price of an item on a day: the gross price of the item in the default forint price
-- list as it stood on that day (from the price history). Null when there is none. The day
-- is a workstation date text, the item key a decimal text.
CREATE FUNCTION get_kiskerar(p_datum text, p_tetel text) RETURNS double precision
    LANGUAGE plpgsql STABLE AS $$
DECLARE
    v_datum date := coalesce(datum_szovegbol(p_datum), current_date);
    v_tetel integer;
    v_lista integer;
    v_ar double precision;
BEGIN
    IF p_tetel IS NULL OR p_tetel !~ '^\s*-?\d{1,9}\s*$' THEN
        RETURN NULL;
    END IF;
    v_tetel := trim(p_tetel)::integer;
    SELECT kod INTO v_lista
      FROM egysegarak
     WHERE alapertelmezett = 1
       AND coalesce(nullif(trim(deviza_nev), ''), 'HUF') = 'HUF'
     ORDER BY kod
     LIMIT 1;
    IF v_lista IS NULL THEN
        RETURN NULL;
    END IF;
    SELECT egysegar_brutto INTO v_ar
      FROM naplo_tetel_egysegar
     WHERE tetel_kod = v_tetel
       AND egysegar_kod = v_lista
       AND datum <= v_datum
     ORDER BY datum DESC, kod DESC
     LIMIT 1;
    RETURN v_ar;
END;
$$;

-- Price history: every new or changed unit price is logged with the day of the change.
CREATE FUNCTION tetel_egysegar_naplo() RETURNS trigger
    LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'INSERT'
       OR NEW.egysegar IS DISTINCT FROM OLD.egysegar
       OR NEW.egysegar_brutto IS DISTINCT FROM OLD.egysegar_brutto
       OR NEW.afa_kulcs IS DISTINCT FROM OLD.afa_kulcs THEN
        INSERT INTO naplo_tetel_egysegar (tetel_kod, egysegar_kod, egysegar, egysegar_brutto, afa_kulcs)
        VALUES (NEW.tetel_kod, NEW.egysegar_kod, NEW.egysegar, NEW.egysegar_brutto, NEW.afa_kulcs);
    END IF;
    RETURN NULL;
END;
$$;
CREATE TRIGGER tetel_egysegar_naplo AFTER INSERT OR UPDATE ON tetel_egysegar
    FOR EACH ROW EXECUTE FUNCTION tetel_egysegar_naplo();

-- ---------------------------------------------------------------------------------------
-- Stock rules
-- ---------------------------------------------------------------------------------------

-- Adds quantity changes to the stock of identified pieces. Changes of the same item,
-- warehouse and piece are summed first, so each total is written once with its final value;
-- a total that would become negative fails on the tetel_raktar_egyedi_ch constraints.
CREATE FUNCTION tetel_raktar_egyedi_valtozas(p_tetel integer[], p_raktar integer[],
                                             p_egyed integer[], p_valtozas double precision[])
    RETURNS void
    LANGUAGE plpgsql AS $$
DECLARE
    n integer := coalesce(array_length(p_tetel, 1), 0);
    v double precision[] := p_valtozas;
    i integer;
    j integer;
BEGIN
    FOR i IN 1 .. n LOOP
        FOR j IN 1 .. i - 1 LOOP
            IF v[j] IS NOT NULL AND p_tetel[j] = p_tetel[i] AND p_raktar[j] = p_raktar[i]
               AND p_egyed[j] = p_egyed[i] THEN
                v[j] := v[j] + v[i];
                v[i] := NULL;
                EXIT;
            END IF;
        END LOOP;
    END LOOP;
    FOR i IN 1 .. n LOOP
        CONTINUE WHEN v[i] IS NULL OR v[i] = 0 OR coalesce(p_tetel[i], 0) = 0
                      OR coalesce(p_raktar[i], 0) = 0 OR coalesce(p_egyed[i], 0) = 0;
        INSERT INTO tetel_raktar_egyedi (tetel_kod, raktar_kod, egyedi_azonosito_kod)
        VALUES (p_tetel[i], p_raktar[i], p_egyed[i])
        ON CONFLICT (tetel_kod, raktar_kod, egyedi_azonosito_kod) DO NOTHING;
        UPDATE tetel_raktar_egyedi
           SET mennyiseg = round((mennyiseg + v[i])::numeric, 6),
               szabad = round((szabad + v[i])::numeric, 6)
         WHERE tetel_kod = p_tetel[i] AND raktar_kod = p_raktar[i]
           AND egyedi_azonosito_kod = p_egyed[i];
    END LOOP;
END;
$$;

-- Document lines: keeps tetel_raktar and the line's stock and average-cost columns current.
-- Runs before the row is written so that several lines of one statement see each other's
-- effect. The totals of the item in the source and the target warehouse are locked, the free
-- stock after the line is stored in forras_raktar_ujkeszlet / cel_raktar_ujkeszlet; when one
-- of them would be negative nothing is written and the row fails on raktar_mozgas_ch1.
-- Removing stock an earlier line brought in (a changed or deleted line) fails on
-- tetel_raktar_ch1 instead. Receipts into a warehouse update its moving average cost:
-- goods from another warehouse arrive at that warehouse's average cost, other goods at the
-- line's net unit price in forints.
CREATE FUNCTION raktar_mozgas_keszlet() RETURNS trigger
    LANGUAGE plpgsql AS $$
DECLARE
    t integer[] := '{}';
    w integer[] := '{}';
    d double precision[] := '{}';
    m double precision[];
    s double precision[];
    a double precision[];
    n integer;
    i integer;
    j integer;
    v_forras integer;
    v_cel integer;
    v_menny double precision;
    v_fi integer;
    v_ci integer;
    v_alap double precision;
    v_beszerzes double precision;
    v_atlagar double precision;
    r record;
BEGIN
    IF TG_OP = 'UPDATE'
       AND NEW.tetel_kod IS NOT DISTINCT FROM OLD.tetel_kod
       AND NEW.mennyiseg IS NOT DISTINCT FROM OLD.mennyiseg
       AND NEW.forras_raktar_kod IS NOT DISTINCT FROM OLD.forras_raktar_kod
       AND NEW.cel_raktar_kod IS NOT DISTINCT FROM OLD.cel_raktar_kod THEN
        RETURN NEW;
    END IF;

    IF TG_OP = 'DELETE' THEN
        -- The line's identified pieces go with it (their own rule gives their stock back).
        DELETE FROM raktar_mozgas_egyedi WHERE rm_kod = OLD.kod;
    END IF;

    -- The old row's effect is taken back, the new row's effect is added.
    IF TG_OP <> 'INSERT' AND coalesce(OLD.tetel_kod, 0) <> 0
       AND coalesce(OLD.forras_raktar_kod, 0) <> coalesce(OLD.cel_raktar_kod, 0) THEN
        IF coalesce(OLD.forras_raktar_kod, 0) <> 0 THEN
            t := t || OLD.tetel_kod; w := w || OLD.forras_raktar_kod;
            d := d || coalesce(OLD.mennyiseg, 0);
        END IF;
        IF coalesce(OLD.cel_raktar_kod, 0) <> 0 THEN
            t := t || OLD.tetel_kod; w := w || OLD.cel_raktar_kod;
            d := d || -coalesce(OLD.mennyiseg, 0);
        END IF;
    END IF;
    IF TG_OP <> 'DELETE' THEN
        NEW.forras_raktar_ujkeszlet := 0;
        NEW.cel_raktar_ujkeszlet := 0;
        v_forras := coalesce(NEW.forras_raktar_kod, 0);
        v_cel := coalesce(NEW.cel_raktar_kod, 0);
        v_menny := coalesce(NEW.mennyiseg, 0);
        IF coalesce(NEW.tetel_kod, 0) <> 0 AND v_forras <> v_cel THEN
            IF v_forras <> 0 THEN
                t := t || NEW.tetel_kod; w := w || v_forras; d := d || -v_menny;
            END IF;
            IF v_cel <> 0 THEN
                t := t || NEW.tetel_kod; w := w || v_cel; d := d || v_menny;
            END IF;
        END IF;
    END IF;

    -- Sum the changes per item and warehouse.
    n := coalesce(array_length(t, 1), 0);
    FOR i IN 1 .. n LOOP
        FOR j IN 1 .. i - 1 LOOP
            IF d[j] IS NOT NULL AND t[j] = t[i] AND w[j] = w[i] THEN
                d[j] := d[j] + d[i];
                d[i] := NULL;
                EXIT;
            END IF;
        END LOOP;
    END LOOP;

    -- Lock the totals (creating missing ones) and read them.
    FOR i IN 1 .. n LOOP
        CONTINUE WHEN d[i] IS NULL;
        INSERT INTO tetel_raktar (tetel_kod, raktar_kod) VALUES (t[i], w[i])
        ON CONFLICT (tetel_kod, raktar_kod) DO NOTHING;
    END LOOP;
    m := array_fill(0::double precision, ARRAY[greatest(n, 1)]);
    s := m;
    a := m;
    FOR r IN SELECT tr.tetel_kod, tr.raktar_kod, tr.mennyiseg, tr.szabad, tr.atlagar
               FROM tetel_raktar tr
              WHERE (tr.tetel_kod, tr.raktar_kod) IN (SELECT * FROM unnest(t, w))
              ORDER BY tr.tetel_kod, tr.raktar_kod
                FOR UPDATE LOOP
        FOR i IN 1 .. n LOOP
            IF t[i] = r.tetel_kod AND w[i] = r.raktar_kod THEN
                m[i] := r.mennyiseg; s[i] := r.szabad; a[i] := r.atlagar;
            END IF;
        END LOOP;
    END LOOP;

    IF TG_OP <> 'DELETE' THEN
        -- Position of the new row's source and target warehouse in the summed list.
        v_fi := 0;
        v_ci := 0;
        FOR i IN 1 .. n LOOP
            IF d[i] IS NOT NULL AND t[i] = NEW.tetel_kod THEN
                IF w[i] = v_forras THEN v_fi := i; END IF;
                IF w[i] = v_cel THEN v_ci := i; END IF;
            END IF;
        END LOOP;
        IF v_fi > 0 THEN
            NEW.forras_raktar_ujkeszlet := round((s[v_fi] + d[v_fi])::numeric, 6);
            NEW.forras_raktar_atlagar := a[v_fi];
        END IF;
        IF v_ci > 0 THEN
            NEW.cel_raktar_ujkeszlet := round((s[v_ci] + d[v_ci])::numeric, 6);
            v_atlagar := a[v_ci];
            IF TG_OP = 'INSERT' AND v_menny > 0 THEN
                -- a receipt; a changed line keeps the average until atlagar_tetel recomputes
                -- the item's whole history
                v_alap := greatest(m[v_ci], 0);
                v_beszerzes := CASE WHEN v_fi > 0 THEN a[v_fi]
                                    ELSE coalesce(NEW.netto_egysegar_huf, 0) END;
                v_atlagar := (v_alap * a[v_ci] + v_menny * v_beszerzes) / (v_alap + v_menny);
            END IF;
            NEW.cel_raktar_atlagar := v_atlagar;
            a[v_ci] := v_atlagar;
        ELSIF coalesce(NEW.cel_raktar_kod, 0) <> 0 AND v_forras = v_cel THEN
            -- a move within one warehouse: stock unchanged
            SELECT szabad, atlagar INTO NEW.cel_raktar_ujkeszlet, NEW.cel_raktar_atlagar
              FROM tetel_raktar WHERE tetel_kod = NEW.tetel_kod AND raktar_kod = v_cel;
            NEW.cel_raktar_ujkeszlet := coalesce(NEW.cel_raktar_ujkeszlet, 0);
            NEW.cel_raktar_atlagar := coalesce(NEW.cel_raktar_atlagar, 0);
            NEW.forras_raktar_ujkeszlet := NEW.cel_raktar_ujkeszlet;
            NEW.forras_raktar_atlagar := NEW.cel_raktar_atlagar;
        END IF;
        IF NEW.forras_raktar_ujkeszlet < 0 OR NEW.cel_raktar_ujkeszlet < 0 THEN
            -- the row check refuses the line; the totals stay as they are
            RETURN NEW;
        END IF;
    END IF;

    FOR i IN 1 .. n LOOP
        CONTINUE WHEN d[i] IS NULL;
        UPDATE tetel_raktar
           SET mennyiseg = round((mennyiseg + d[i])::numeric, 6),
               szabad = round((szabad + d[i])::numeric, 6),
               atlagar = a[i]
         WHERE tetel_kod = t[i] AND raktar_kod = w[i];
    END LOOP;

    -- Identified pieces follow a line that changes its item or warehouses.
    IF TG_OP = 'UPDATE'
       AND (NEW.tetel_kod IS DISTINCT FROM OLD.tetel_kod
            OR NEW.forras_raktar_kod IS DISTINCT FROM OLD.forras_raktar_kod
            OR NEW.cel_raktar_kod IS DISTINCT FROM OLD.cel_raktar_kod) THEN
        PERFORM tetel_raktar_egyedi_valtozas(
            array_agg(x.tetel ORDER BY x.sorrend), array_agg(x.raktar ORDER BY x.sorrend),
            array_agg(x.egyed ORDER BY x.sorrend), array_agg(x.valtozas ORDER BY x.sorrend))
          FROM (SELECT 1 AS sorrend, OLD.tetel_kod AS tetel, OLD.forras_raktar_kod AS raktar,
                       e.egyedi_azonosito_kod AS egyed, e.mennyiseg AS valtozas
                  FROM raktar_mozgas_egyedi e WHERE e.rm_kod = OLD.kod
                   AND coalesce(OLD.forras_raktar_kod, 0) <> coalesce(OLD.cel_raktar_kod, 0)
                UNION ALL
                SELECT 2, OLD.tetel_kod, OLD.cel_raktar_kod, e.egyedi_azonosito_kod, -e.mennyiseg
                  FROM raktar_mozgas_egyedi e WHERE e.rm_kod = OLD.kod
                   AND coalesce(OLD.forras_raktar_kod, 0) <> coalesce(OLD.cel_raktar_kod, 0)
                UNION ALL
                SELECT 3, NEW.tetel_kod, NEW.forras_raktar_kod, e.egyedi_azonosito_kod, -e.mennyiseg
                  FROM raktar_mozgas_egyedi e WHERE e.rm_kod = NEW.kod
                   AND coalesce(NEW.forras_raktar_kod, 0) <> coalesce(NEW.cel_raktar_kod, 0)
                UNION ALL
                SELECT 4, NEW.tetel_kod, NEW.cel_raktar_kod, e.egyedi_azonosito_kod, e.mennyiseg
                  FROM raktar_mozgas_egyedi e WHERE e.rm_kod = NEW.kod
                   AND coalesce(NEW.forras_raktar_kod, 0) <> coalesce(NEW.cel_raktar_kod, 0)) x;
    END IF;

    IF TG_OP = 'DELETE' THEN
        RETURN OLD;
    END IF;
    RETURN NEW;
END;
$$;
CREATE TRIGGER raktar_mozgas_keszlet BEFORE INSERT OR UPDATE OR DELETE ON raktar_mozgas
    FOR EACH ROW EXECUTE FUNCTION raktar_mozgas_keszlet();

-- Identified pieces of a line: they leave the line's source warehouse and arrive in its
-- target warehouse, in the piece's own total (tetel_raktar_egyedi).
CREATE FUNCTION raktar_mozgas_egyedi_keszlet() RETURNS trigger
    LANGUAGE plpgsql AS $$
DECLARE
    t integer[] := '{}';
    w integer[] := '{}';
    e integer[] := '{}';
    d double precision[] := '{}';
    r record;
BEGIN
    IF TG_OP = 'UPDATE'
       AND NEW.rm_kod IS NOT DISTINCT FROM OLD.rm_kod
       AND NEW.egyedi_azonosito_kod IS NOT DISTINCT FROM OLD.egyedi_azonosito_kod
       AND NEW.mennyiseg IS NOT DISTINCT FROM OLD.mennyiseg THEN
        RETURN NEW;
    END IF;
    IF TG_OP <> 'INSERT' THEN
        SELECT tetel_kod, coalesce(forras_raktar_kod, 0) AS forras,
               coalesce(cel_raktar_kod, 0) AS cel INTO r
          FROM raktar_mozgas WHERE kod = OLD.rm_kod;
        IF FOUND AND r.forras <> r.cel THEN
            t := t || r.tetel_kod || r.tetel_kod;
            w := w || r.forras || r.cel;
            e := e || OLD.egyedi_azonosito_kod || OLD.egyedi_azonosito_kod;
            d := d || coalesce(OLD.mennyiseg, 0) || -coalesce(OLD.mennyiseg, 0);
        END IF;
    END IF;
    IF TG_OP <> 'DELETE' THEN
        SELECT tetel_kod, coalesce(forras_raktar_kod, 0) AS forras,
               coalesce(cel_raktar_kod, 0) AS cel INTO r
          FROM raktar_mozgas WHERE kod = NEW.rm_kod;
        IF FOUND AND r.forras <> r.cel THEN
            t := t || r.tetel_kod || r.tetel_kod;
            w := w || r.forras || r.cel;
            e := e || NEW.egyedi_azonosito_kod || NEW.egyedi_azonosito_kod;
            d := d || -coalesce(NEW.mennyiseg, 0) || coalesce(NEW.mennyiseg, 0);
        END IF;
    END IF;
    PERFORM tetel_raktar_egyedi_valtozas(t, w, e, d);
    IF TG_OP = 'DELETE' THEN
        RETURN OLD;
    END IF;
    RETURN NEW;
END;
$$;
CREATE TRIGGER raktar_mozgas_egyedi_keszlet BEFORE INSERT OR UPDATE OR DELETE
    ON raktar_mozgas_egyedi FOR EACH ROW EXECUTE FUNCTION raktar_mozgas_egyedi_keszlet();

-- Recomputes the moving average cost of an item from all its lines in document order (date,
-- time, line key): stores it on every line (forras_raktar_atlagar, cel_raktar_atlagar), in
-- each warehouse total and, over all warehouses, on the item (tetel.atlagar), which it
-- returns.
CREATE FUNCTION atlagar_tetel(p_tetel integer) RETURNS double precision
    LANGUAGE plpgsql AS $$
DECLARE
    v_raktarak integer[] := '{}';
    v_keszlet double precision[] := '{}';
    v_atlagarak double precision[] := '{}';
    r record;
    fi integer;
    ci integer;
    v_forras_ar double precision;
    v_cel_ar double precision;
    v_beszerzes double precision;
    v_alap double precision;
    v_menny double precision := 0;
    v_ertek double precision := 0;
    v_atlag double precision := 0;
    i integer;
BEGIN
    FOR r IN SELECT rm.kod, coalesce(rm.mennyiseg, 0) AS mennyiseg,
                    coalesce(rm.forras_raktar_kod, 0) AS forras,
                    coalesce(rm.cel_raktar_kod, 0) AS cel,
                    coalesce(rm.netto_egysegar_huf, 0) AS egysegar,
                    rm.forras_raktar_atlagar, rm.cel_raktar_atlagar
               FROM raktar_mozgas rm
               LEFT JOIN raktar_mozgas_fej h ON h.kod = rm.fej_kod
              WHERE rm.tetel_kod = p_tetel
                AND (coalesce(rm.forras_raktar_kod, 0) <> 0 OR coalesce(rm.cel_raktar_kod, 0) <> 0)
              ORDER BY h.datum NULLS FIRST, h.ido NULLS FIRST, rm.kod LOOP
        fi := 0;
        ci := 0;
        IF r.forras <> 0 THEN
            fi := coalesce(array_position(v_raktarak, r.forras), 0);
            IF fi = 0 THEN
                v_raktarak := v_raktarak || r.forras; v_keszlet := v_keszlet || 0::double precision;
                v_atlagarak := v_atlagarak || 0::double precision; fi := array_length(v_raktarak, 1);
            END IF;
        END IF;
        IF r.cel <> 0 THEN
            ci := coalesce(array_position(v_raktarak, r.cel), 0);
            IF ci = 0 THEN
                v_raktarak := v_raktarak || r.cel; v_keszlet := v_keszlet || 0::double precision;
                v_atlagarak := v_atlagarak || 0::double precision; ci := array_length(v_raktarak, 1);
            END IF;
        END IF;
        v_forras_ar := CASE WHEN fi > 0 THEN v_atlagarak[fi] ELSE 0 END;
        IF fi > 0 AND fi <> ci THEN
            v_keszlet[fi] := v_keszlet[fi] - r.mennyiseg;
        END IF;
        IF ci > 0 AND fi <> ci THEN
            IF r.mennyiseg > 0 THEN
                v_alap := greatest(v_keszlet[ci], 0);
                v_beszerzes := CASE WHEN fi > 0 THEN v_forras_ar ELSE r.egysegar END;
                v_atlagarak[ci] := (v_alap * v_atlagarak[ci] + r.mennyiseg * v_beszerzes) / (v_alap + r.mennyiseg);
            END IF;
            v_keszlet[ci] := v_keszlet[ci] + r.mennyiseg;
        END IF;
        v_cel_ar := CASE WHEN ci > 0 THEN v_atlagarak[ci] ELSE 0 END;
        IF r.forras_raktar_atlagar IS DISTINCT FROM v_forras_ar
           OR r.cel_raktar_atlagar IS DISTINCT FROM v_cel_ar THEN
            UPDATE raktar_mozgas
               SET forras_raktar_atlagar = v_forras_ar, cel_raktar_atlagar = v_cel_ar
             WHERE kod = r.kod;
        END IF;
    END LOOP;
    FOR i IN 1 .. coalesce(array_length(v_raktarak, 1), 0) LOOP
        UPDATE tetel_raktar SET atlagar = v_atlagarak[i]
         WHERE tetel_kod = p_tetel AND raktar_kod = v_raktarak[i];
        IF v_keszlet[i] > 0 THEN
            v_menny := v_menny + v_keszlet[i];
            v_ertek := v_ertek + v_keszlet[i] * v_atlagarak[i];
        END IF;
    END LOOP;
    IF v_menny > 0 THEN
        v_atlag := v_ertek / v_menny;
    END IF;
    UPDATE tetel SET atlagar = v_atlag WHERE kod = p_tetel;
    RETURN v_atlag;
END;
$$;

-- ---------------------------------------------------------------------------------------
-- The update scripts' tool for unique keys (database_scripts/002_frissites_egyedi_kulcs.sql):
-- makes a key unless rows written before break it, then says so in one warning.
-- ---------------------------------------------------------------------------------------
CREATE FUNCTION frissites_egyedi_kulcs(p_tabla text, p_nev text, p_kulcs text,
                                       p_megkotes boolean DEFAULT false,
                                       p_feltetel text DEFAULT NULL)
    RETURNS boolean
    LANGUAGE plpgsql AS $$
DECLARE
    v_szures text := coalesce(' WHERE ' || p_feltetel, '');
    v_ismetlodok text[];
    v_szoveg text;
BEGIN
    IF to_regclass(quote_ident(p_nev)) IS NOT NULL THEN
        RETURN true;
    END IF;
    BEGIN
        IF p_megkotes THEN
            EXECUTE format('ALTER TABLE %I ADD CONSTRAINT %I UNIQUE (%s)', p_tabla, p_nev, p_kulcs);
        ELSE
            EXECUTE format('CREATE UNIQUE INDEX %I ON %I (%s)%s', p_nev, p_tabla, p_kulcs,
                           v_szures);
        END IF;
        RETURN true;
    EXCEPTION WHEN unique_violation THEN
        -- the rows stay as they are; the key is not made
    END;
    EXECUTE format('SELECT array_agg(k ORDER BY k) FROM (SELECT k FROM'
                   ' (SELECT ROW(%1$s)::text AS k, ROW(%1$s) IS NOT NULL AS teljes FROM %2$I%3$s) s'
                   ' WHERE teljes GROUP BY k HAVING count(*) > 1) d',
                   p_kulcs, p_tabla, v_szures)
        INTO v_ismetlodok;
    v_szoveg := format('%s: ismétlődő kulcsértékek (%s)%s: %s%s; a(z) %s egyedi kulcs nem jött '
                       'létre, a sorok változatlanok.',
                       p_tabla, p_kulcs, coalesce(' ahol ' || p_feltetel, ''),
                       array_to_string(v_ismetlodok[1:10], ', '),
                       CASE WHEN cardinality(v_ismetlodok) > 10
                            THEN format(' és még %s', cardinality(v_ismetlodok) - 10)
                            ELSE '' END,
                       p_nev);
    RAISE WARNING '%', translate(v_szoveg, E'\r\n', '  ');
    RETURN false;
END;
$$;

-- ---------------------------------------------------------------------------------------
-- Projects, partner journal, layouts and rights, maintenance
-- ---------------------------------------------------------------------------------------

-- A partner's journal numbers are unique: two entries stored at once cannot share one.
CREATE UNIQUE INDEX esemeny_naplo_naploszam_key ON esemeny_naplo (partner_kod, naploszam)
    WHERE naploszam > 0;

-- ---------------------------------------------------------------------------------------
-- Documents: numbering, cash desk, reversal
-- ---------------------------------------------------------------------------------------

-- The next serial of a document kind in a year, registered: the lock of the kind and year is
-- held until the register row is committed, so the largest serial read is the latest one and
-- a serial is never handed out twice (nor skipped: a rolled-back row frees its serial).
CREATE FUNCTION szszb_uj_szam(p_fajta integer, p_ev integer) RETURNS integer
    LANGUAGE plpgsql AS $$
DECLARE
    v_szam integer;
BEGIN
    PERFORM pg_advisory_xact_lock(hashtext('szszb'), hashtext(p_fajta || '/' || p_ev));
    INSERT INTO szszb (bizonylat_fajta, ev, szam, datum, ido)
    VALUES (p_fajta, p_ev,
            (SELECT null_to_zero(max(szam)) FROM szszb WHERE bizonylat_fajta = p_fajta AND ev = p_ev) + 1,
            current_date, current_time)
    RETURNING szam INTO v_szam;
    RETURN v_szam;
END;
$$;

-- Cash-desk numbers handed out, once per direction (several postings of one cash-desk
-- document share its number, so the postings themselves cannot carry the key).
CREATE SEQUENCE penztar_bizonylat_szam_kod_seq;
CREATE TABLE penztar_bizonylat_szam (
    kod integer PRIMARY KEY DEFAULT nextval('penztar_bizonylat_szam_kod_seq'),
    penztar_bizonylat_irany integer NOT NULL,
    penztar_bizonylat varchar(12) NOT NULL,
    CONSTRAINT penztar_bizonylat_szam_key UNIQUE (penztar_bizonylat_irany, penztar_bizonylat)
);
ALTER SEQUENCE penztar_bizonylat_szam_kod_seq OWNED BY penztar_bizonylat_szam.kod;

-- A document is reversed by one document at most.
CREATE UNIQUE INDEX raktar_mozgas_fej_sztornozott_egyszer ON raktar_mozgas_fej (sztornozott_bizonylat_kod)
    WHERE sztornozott_bizonylat_kod <> 0;

-- ---------------------------------------------------------------------------------------
-- Update scripts and client presence: a script is logged once; the active clients are
-- found by the time of their last signal.
-- ---------------------------------------------------------------------------------------
CREATE UNIQUE INDEX _scriptlog_script_key ON _scriptlog (script);
CREATE INDEX _currentip_lastsign ON _currentip (lastsign_date, lastsign_time);

-- ---------------------------------------------------------------------------------------
-- Invoice data for the tax authority (Online Számla 3.0): how VAT keys and payment methods
-- are reported (the same as database_scripts/001_afa_kulcs_nav.sql).
-- ---------------------------------------------------------------------------------------
ALTER TABLE afa_kulcs ADD COLUMN nav_kategoria varchar(30),
                      ADD COLUMN nav_eset varchar(50),
                      ADD COLUMN nav_indoklas varchar(200),
                      ADD CONSTRAINT afa_kulcs_nav_kategoria_check
    CHECK (nav_kategoria IS NULL OR nav_kategoria IN
           ('PERCENTAGE', 'EXEMPTION', 'OUT_OF_SCOPE', 'DOMESTIC_REVERSE_CHARGE'));
ALTER TABLE fizetesmod ADD COLUMN nav_fizetesmod varchar(15),
                       ADD CONSTRAINT fizetesmod_nav_fizetesmod_check
    CHECK (nav_fizetesmod IS NULL OR nav_fizetesmod IN
           ('TRANSFER', 'CASH', 'CARD', 'VOUCHER', 'OTHER'));

-- The register of submissions to the tax authority (the same as
-- database_scripts/060_nav_bekuldes.sql): one row per document and submission, written
-- before the request leaves; one report of a document in flight or DONE at a time, one
-- annulment in flight.
CREATE SEQUENCE nav_bekuldes_kod_seq;
CREATE TABLE nav_bekuldes (
    kod integer PRIMARY KEY DEFAULT nextval('nav_bekuldes_kod_seq'),
    fej_kod integer NOT NULL,
    bizonylatszam varchar(50) NOT NULL,
    muvelet varchar(6) NOT NULL,
    modositas_index integer,
    eredeti_szamlaszam varchar(50),
    keres_azonosito varchar(30) NOT NULL,
    keres_index integer NOT NULL,
    tranzakcio_azonosito varchar(30),
    allapot varchar(10) NOT NULL DEFAULT 'SENDING',
    jovahagyas varchar(30),
    uzenetek text,
    munkaallomas varchar(100),
    elkuldve timestamp with time zone NOT NULL DEFAULT now(),
    valasz_ideje timestamp with time zone,
    allapot_ideje timestamp with time zone,
    CONSTRAINT nav_bekuldes_muvelet_check CHECK (muvelet IN ('CREATE', 'MODIFY', 'STORNO', 'ANNUL')),
    CONSTRAINT nav_bekuldes_allapot_check CHECK (allapot IN ('SENDING', 'RECEIVED', 'PROCESSING',
        'SAVED', 'DONE', 'ABORTED', 'FAILED', 'LOST', 'ANNULLED')),
    CONSTRAINT nav_bekuldes_keres_index_check CHECK (keres_index BETWEEN 1 AND 100),
    CONSTRAINT nav_bekuldes_keres_key UNIQUE (keres_azonosito, keres_index)
);
ALTER SEQUENCE nav_bekuldes_kod_seq OWNED BY nav_bekuldes.kod;
CREATE INDEX nav_bekuldes_fej ON nav_bekuldes (fej_kod);
CREATE INDEX nav_bekuldes_tranzakcio ON nav_bekuldes (tranzakcio_azonosito);
CREATE UNIQUE INDEX nav_bekuldes_jelentes_egyszer ON nav_bekuldes (fej_kod)
    WHERE muvelet <> 'ANNUL'
      AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED', 'DONE');
CREATE UNIQUE INDEX nav_bekuldes_erv_egyszer ON nav_bekuldes (fej_kod)
    WHERE muvelet = 'ANNUL' AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED');

-- ---------------------------------------------------------------------------------------
-- Exchange rates, pricing and the start-up checks
-- ---------------------------------------------------------------------------------------

-- One "< üres >" (empty) value per item category, also when several workstations create
-- it at the same moment (the self test inserts it with ON CONFLICT DO NOTHING).
CREATE UNIQUE INDEX tetel_fajtak_ures_key ON tetel_fajtak (fajta_kod)
    WHERE lang_0000040e = '< üres >';

-- Lookups of the price determination.
CREATE INDEX partner_csoport_egysegarak_csoport ON partner_csoport_egysegarak (partner_csoport_kod);
CREATE INDEX partner_kedvezmeny_partner ON partner_kedvezmeny (partner_kod);
CREATE INDEX raktar_mozgas_fej_partner ON raktar_mozgas_fej (partner_kod, bizonylat_fajta);

-- Retail price of an item on a day given as a date.
CREATE FUNCTION get_kiskerar(p_datum date, p_tetel text) RETURNS double precision
    LANGUAGE sql STABLE AS $$
    SELECT get_kiskerar(to_char(p_datum, 'YYYY-MM-DD'), p_tetel)
$$;
