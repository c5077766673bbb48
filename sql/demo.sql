-- Demo company for the invoice console: Tiszavirág Kereskedelmi Kft., a hardware and
-- general-goods trader in Szolnok, with its settings, users, partners, items, prices and
-- a few weeks of documents (November-December 2026).
--
-- Loaded after schema.sql as one script. Documents go through the same rules as real ones:
-- the goods are received before they are sold, the stock totals and average costs are kept
-- by the database, and every number handed out is in the number register (szszb).
--
-- Key rows (explicit keys, the sequences continue after them):
--   partners   1 the owner's own row, 2 Kovács és Társa Bt. (Budapest, Hungarian only),
--              3 Shannon Trading Ltd. (Dublin, English, EUR), 4 Öreg Hárs Alapítvány
--              (VAT-exempt), 5 O'Neill Építő Kft. (tax number for reverse charge),
--              6 Müller Handels GmbH (Vienna, German)
--   items      1-14 (2 serial-numbered, 7 kept by lots, 6 and 10 services)
--   documents  4301 goods receipt, 4310 delivery note (partly invoiced by 4311),
--              4311 invoice made from 4310, 4317 invoice (HUF, 10 lines, three VAT keys),
--              4318 invoice in EUR (English-speaking partner), 4320 invoice of 70 lines,
--              4321 cash invoice (intra-Community supply to Müller) reversed by 4322,
--              4323 second receipt of paint at a new price, 4324 transfer to the shop
--              warehouse; 4317 is also in the "_prev_"
--              tables; 4302-4307 headers without lines: receipt sale (kind 3), outgoing
--              order (11), project usage (13), goods receipt note (17), zero-total
--              pro-forma (9), consignment hand-over (2) from the kind-3 warehouse 4
--   lines      key = header key * 100 + line number (431701 .. 431710 on invoice 4317)

SET client_min_messages = warning;

-- ---------------------------------------------------------------------------------------
-- Owner, settings, users
-- ---------------------------------------------------------------------------------------

INSERT INTO tulajdonos (kod, nev1, nev2, iszam, telepules, utca, telefon, fax, bankszamla,
                        adoszam, adoszam_eu, egyeb_adat_a_szamlan, kiallito_sorok, vevo_sorok,
                        partner_kod, ertesitesi_email, segitseg_a_munka_megkezdesehez,
                        velmark_kod)
VALUES (1, 'Tiszavirág Kereskedelmi Kft.', 'Szolnoki áruház', '5000', 'Szolnok',
        'Kossuth Lajos út 12.', '+36 56 412 300', '+36 56 412 301',
        '11773016-01234567-00000000', '12345678-2-16', 'HU12345678',
        'Cégjegyzékszám: 16-09-012345, Szolnoki Törvényszék Cégbírósága',
        E'kiallito_nev1\nkiallito_nev2\nkiallito_cim\nkiallito_adoszam\nkiallito_adoszam_eu\nkiallito_bank\nkiallito_egyeb_adat_a_szamlan',
        E'nev\niszam telepules\ncim\norszag\nadoszam\ntelefon\nemail\nkod',
        1, 'iroda@tiszavirag.hu', 0, 'TV01');

INSERT INTO _setup_main (
    kod, fajta1_nev, fajta2_nev, fajta3_nev, fajta4_nev, fajta5_nev, fajta6_nev,
    fajta_ablak_szelessege, tetel_nevsor2, tetel_nevsor3, tetel_nevsor4,
    tetel_megnevezes, tetel_megnevezes_delimiter,
    tetel_megnevezes1, tetel_megnevezes_delimiter1, tetel_megnevezes2, tetel_megnevezes_delimiter2,
    tetel_megnevezes3, tetel_megnevezes_delimiter3, tetel_megnevezes4, tetel_megnevezes_delimiter4,
    nyugta_peldanyszam, szallito_peldanyszam, szamla_peldanyszam, szamla_peldanyszam_halasztott,
    bizatadas_peldanyszam, raktarbiz_peldanyszam, penztarbiz_peldanyszam, penztarbiz_ki_peldanyszam,
    profromaszamla_peldanyszam, visszaigazolas_peldanyszam, kimenomegrendeles_peldanyszam,
    arajanlat_peldanyszam, arajanlatkero_peldanyszam, projektfelhasznalas_peldanyszam,
    felvasarlasijegy_peldanyszam, atveteli_jegy_peldanyszam,
    nyugta_cime, atveteli_jegy_cime,
    bizonylat_betujel_1, bizonylat_betujel_2, bizonylat_betujel_3, bizonylat_betujel_4,
    bizonylat_betujel_5, bizonylat_betujel_6, bizonylat_betujel_7, bizonylat_betujel_8,
    bizonylat_betujel_9, bizonylat_betujel_10, bizonylat_betujel_11, bizonylat_betujel_12,
    bizonylat_betujel_13, bizonylat_betujel_14, bizonylat_betujel_15, bizonylat_betujel_16,
    bizonylat_betujel_17, bizonylat_betujel_57,
    szamla_postacimzes, szamla_postacimzes_x, szamla_postacimzes_y,
    level_fejresz_tipus, level_labresz_tipus, szamla_level_fejresz, szamla_level_labresz,
    penztarbiz_kezeles_azonnaliszamla_eseten, penztarbiz_be_nyomtatas_letrejottekor,
    penztarbiz_ki_nyomtatas_letrejottekor, szamla_mozgasnemleiras,
    szamla_bizonylat_hivatkozas_szallito, szamla_bizonylat_hivatkozas_projektszallito,
    fizetve_felirat_azonnali_szamlan, fizetesi_hatarido_automatikus_szamitas,
    egyedazonosito_megjegyzes, kiallito_feltuntetese_a_bizonylatokon_es_leveleken,
    kedvezmeny_reszletezes_a_fobizonylaton, szallitasi_cim_sorok_a_szamlan,
    szamla_deviza_arfolyam_megjelenites, szamla_raktarmozgas_bizonylat_megjelenites,
    szamla_gyujtoszamla_formatum_szallito, szamla_egysegek_osszesitese_a_vegosszegsorban,
    arnyilvantartas_modja, arazasimod, arazasimod_alap_listaar, default_minimum_haszonkulcs,
    default_haszonkulcs, deviza_nev, deviza_nev_masodlagos, minusz_keszlet,
    default_mennyisegiegyseg, tetel_kep_max_meret, projektkezeles,
    belso_mozgas_partnerkodja, belso_mozgas_fizetesmodja,
    lang_0000040e, lang_00000409, lang_00000407)
VALUES (
    1, 'Termékcsoport', 'Márka', 'Szín', 'Kiszerelés', 'Anyag', 'Szezon',
    120, '2. sor', '3. sor', '4. sor',
    '000001234', '-',
    '12', '-', '12', '-',
    '12', '-', '1', '-',
    1, 2, 2, 3,
    2, 1, 1, 1,
    1, 1, 1,
    1, 1, 1,
    2, 2,
    'Nyugta kísérő', 'Átvételi jegy',
    'RM', 'BA', 'NY', 'SL',
    'SZ', 'RK', 'RM', 'GY',
    'PF', 'AJ', 'KM', 'BV',
    'PR', 'FJ', 'AK', 'ES',
    'AT', 'FO',
    0, 20, 45,
    0, 0, 0, 0,
    2, 1,
    1, 0,
    1, 1,
    1, 2,
    1, 1,
    1, 1,
    1, 1,
    1, 1,
    1, 1, 0, 10,
    25, 'HUF', 'EUR', 0,
    1, 50, 1,
    1, 1,
    '( Eredeti listaár: {listaar} {deviza} / {mee}; alkalmazott kedvezmény {kedv} )',
    '( Original list price: {listaar} {deviza} / {mee}; discount applied {kedv} )',
    '( Ursprünglicher Listenpreis: {listaar} {deviza} / {mee}; gewährter Rabatt {kedv} )');

INSERT INTO munkatars (kod, userid, pass, nev, adoazonosito, superuser, szuletes_ideje) VALUES
    (1, 'admin', 'admin', 'Rendszergazda', '8412345678', 1, '1975-03-14'),
    (2, 'kovacsne', 'tavasz2026', 'Kovácsné Szabó Éva', '8398765432', 0, '1982-07-02'),
    (3, 'nagyp', 'peter01', 'Nagy Péter', '8456781234', 0, '1990-11-23');

INSERT INTO _setup (kod, userid, color_main, lang, allwindowsmaximalized, showwindowtitles,
                    datareclimit, multilangmode, nyugta_mozgasnem, szallito_mozgasnem,
                    szamla_mozgasnem, nyugta_kiallitomezo_modosithato,
                    nyugta_mozgasnemmezo_modosithato, nyugta_partnermezo_modosithato,
                    termekkereses_szuressel, partnerkereses_szuressel, beszerzesiar_lathato,
                    szallito_mozgasnemmezo_modosithato, szamla_mozgasnemmezo_modosithato,
                    bizatadas_mozgasnemmezo_modosithato,
                    projektfelhasznalas_mozgasnemmezo_modosithato,
                    felvasarlasijegy_mozgasnemmezo_modosithato)
VALUES (1, 'admin', 1, '0000040E', 1, 1, 50, 0, 3, 7, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1),
       (2, 'kovacsne', 2, '0000040E', 0, 1, 50, 0, 3, 7, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1),
       (3, 'nagyp', 3, '00000409', 0, 1, 100, 1, 3, 7, 3, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1);

-- Every user may maintain every master table.
DO $$
BEGIN
    EXECUTE (SELECT 'UPDATE _setup SET ' || string_agg(format('%I = 1', column_name), ', ')
               FROM information_schema.columns
              WHERE table_schema = 'public' AND table_name = '_setup'
                AND column_name LIKE '%\_jog\_%');
END;
$$;

-- ---------------------------------------------------------------------------------------
-- Languages and texts
-- ---------------------------------------------------------------------------------------

INSERT INTO lang_key (kod, key_code, key_order, key_name, font, carset, key_code_withname) VALUES
    (1, '0000040e', 1, 'Magyar', 'Arial', '238 - EASTEUROPE_CHARSET', '0000040e - Magyar'),
    (2, '00000409', 2, 'English', 'Arial', '0 - ANSI_CHARSET', '00000409 - English'),
    (3, '00000407', 3, 'Deutsch', 'Arial', '0 - ANSI_CHARSET', '00000407 - Deutsch');

INSERT INTO bizonylat_nyelv (order_field, leiras, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (10000, 'cím', 'SZÁMLA', 'INVOICE', 'RECHNUNG'),
    (10005, 'lap', 'Lap:', 'Page:', 'Seite:'),
    (10010, 'kiállító', 'Kiállító:', 'Issuer:', 'Aussteller:'),
    (10015, 'vevő', 'Vevő:', 'Customer:', 'Kunde:'),
    (10020, 'kiállító megjegyzés', 'A kiállító adatai', 'Details of the issuer', 'Angaben des Ausstellers'),
    (10025, 'vevő megjegyzés', 'A vevő adatai', 'Details of the customer', 'Angaben des Kunden'),
    (10045, 'fejléc', 'Számlaszám', 'Invoice number', 'Rechnungsnummer'),
    (10050, 'fejléc', 'Teljesítés dátum:', 'Date of supply:', 'Leistungsdatum:'),
    (10055, 'fejléc', 'Számla kelte', 'Invoice date', 'Rechnungsdatum'),
    (10060, 'fejléc', 'Fiz. határidő', 'Due date', 'Fälligkeitsdatum'),
    (10065, 'fejléc', 'Fizetésmód', 'Payment method', 'Zahlungsart'),
    (10070, 'fejléc', 'Pénznem', 'Currency', 'Währung'),
    (10075, 'fejléc', 'Rakt. bizonylat', 'Stock document', 'Lagerbeleg'),
    (10080, 'oszlop', 'No.', 'No.', 'Nr.'),
    (10085, 'oszlop', 'Tétel megnevezése', 'Description', 'Bezeichnung'),
    (10090, 'oszlop', 'Besorolás', 'Classification', 'Klassifizierung'),
    (10095, 'oszlop', 'Mennyiség', 'Quantity', 'Menge'),
    (10100, 'oszlop', 'Mee', 'Unit', 'Einheit'),
    (10105, 'oszlop', 'Egységár', 'Unit price', 'Einzelpreis'),
    (10110, 'oszlop', 'Kedvezmény', 'Discount', 'Rabatt'),
    (10115, 'oszlop', 'Nettó összeg', 'Net amount', 'Nettobetrag'),
    (10120, 'oszlop', 'ÁFA összeg', 'VAT amount', 'MwSt.-Betrag'),
    (10125, 'oszlop', 'Bruttó összeg', 'Gross amount', 'Bruttobetrag'),
    (10130, 'összesen', 'Végösszesen:', 'Grand total:', 'Gesamtbetrag:'),
    (10135, 'kedvezmény', 'Kedvezmény összege:', 'Discount amount:', 'Rabattbetrag:'),
    (10140, 'aláírás', 'Ellenőrizte és átvette', 'Checked and received by', 'Geprüft und übernommen von'),
    (10145, 'aláírás', 'Kiállította', 'Issued by', 'Ausgestellt von'),
    (10170, 'előjel', 'Visszavezetések összesen:', 'Total of returns:', 'Rücknahmen insgesamt:'),
    (10180, 'előjel', 'Teljesített tételek összesen:', 'Total of items supplied:', 'Gelieferte Positionen insgesamt:'),
    (10190, 'szállítási cím', 'Szállítási cím:', 'Delivery address:', 'Lieferadresse:'),
    (90010, 'záradék', 'A fenti összegek magyar forintban értendők!',
     'The amounts above are in Hungarian forints.',
     'Die obigen Beträge verstehen sich in ungarischen Forint.'),
    (90020, 'záradék', 'A fenti összegek ', 'The amounts above are in ', 'Die obigen Beträge verstehen sich in '),
    (90030, 'záradék', 'Árfolyam:', 'Exchange rate:', 'Wechselkurs:'),
    (90040, 'záradék', 'Nettó végösszeg:', 'Net total:', 'Nettosumme:'),
    (90050, 'záradék', ' ÁFA végösszeg:', ' VAT total:', ' MwSt.-Summe:'),
    (90060, 'záradék', ' Fizetendő (bruttó) végösszeg:', ' Total amount payable (gross):',
     ' Zu zahlender Gesamtbetrag (brutto):'),
    (90070, 'projekt', 'Ez a bizonylat a következő projekthez kapcsolódik: ',
     'This document belongs to project no. ', 'Dieser Beleg gehört zum Projekt Nr. ');

INSERT INTO lang_text (lang_0000040e, lang_00000409, lang_00000407, lang_formname,
                       lang_object_type, lang_object) VALUES
    ('limit kikapcsolva.', 'limit switched off.', 'Limit ausgeschaltet.', 'All', 'TEXT', 'limit_offed'),
    ('max.', 'max.', 'max.', 'All', 'TEXT', 'limit_max'),
    ('tétel!', 'items!', 'Positionen!', 'All', 'TEXT', 'limit_tetel'),
    ('Szállítólevélen feltüntetett készlet túllépése!', 'The quantity on the delivery note is exceeded!',
     'Die Menge auf dem Lieferschein wird überschritten!', 'All', 'TEXT', 'szallito_keszlet_tullepes'),
    ('Hivatkozott dátum:', 'Date referred to:', 'Bezugsdatum:', 'All', 'TEXT', 'arfolyam_hiany_hivatkozasidatum'),
    ('Hivatkozott deviza:', 'Currency referred to:', 'Bezugswährung:', 'All', 'TEXT', 'arfolyam_hiany_hivatkozottdeviza'),
    ('Betöltés hiba', 'Loading error', 'Ladefehler', 'All', 'TEXT', 'betoltesi_hiba');

-- ---------------------------------------------------------------------------------------
-- Code tables
-- ---------------------------------------------------------------------------------------

INSERT INTO afa_kulcs (kod, lang_0000040e, lang_00000409, lang_00000407, afakulcs, mentes,
                       eus_tagorszagbeli_ertekesiteshez, forditott_adozas, alapertelmezett) VALUES
    (1, '27%-os ÁFA', 'VAT 27%', 'MwSt. 27%', 27, 0, 0, 0, 1),
    (2, '18%-os ÁFA', 'VAT 18%', 'MwSt. 18%', 18, 0, 0, 0, 0),
    (3, '5%-os ÁFA', 'VAT 5%', 'MwSt. 5%', 5, 0, 0, 0, 0),
    (4, '0%-os ÁFA', 'VAT 0%', 'MwSt. 0%', 0, 0, 0, 0, 0),
    (5, 'ÁFA mentes (vevő /országa törvényei szerinti/ adófizetésre kötelezett)',
        'VAT exempt intra-Community supply (the customer is liable for tax)',
        'Steuerfreie innergemeinschaftliche Lieferung (Steuerschuldnerschaft des Empfängers)',
        0, 1, 1, 0, 0),
    (6, 'Fordított adózás /Áfa tv. 142.§ (1) b./ szerint adózó tétel(ek)',
        'Reverse charge (Hungarian VAT Act section 142 (1) b)',
        'Umkehrung der Steuerschuldnerschaft (§ 142 Abs. 1 b ungar. MwStG)',
        0, 1, 0, 1, 0);

INSERT INTO mennyisegi_egyseg (kod, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (1, 'db', 'pcs', 'Stk'),
    (2, 'kg', 'kg', 'kg'),
    (3, 'm', 'm', 'm'),
    (4, 'óra', 'hour', 'Std'),
    (5, 'l', 'l', 'l'),
    (6, 'doboz', 'box', 'Karton'),
    (7, 'm2', 'sq m', 'm²'),
    (8, 'zsák', 'bag', 'Sack');

INSERT INTO fizetesmod (kod, lang_0000040e, lang_00000409, lang_00000407,
                        zaradek_lang_0000040e, zaradek_lang_00000409, zaradek_lang_00000407,
                        halasztott_fizetesu, hatarido, postakoltseg, keszpenzes, alapertelmezett)
VALUES
    (1, 'Készpénz', 'Cash', 'Bar',
     'A számla ellenértékét készpénzben kiegyenlítették.',
     'The invoice has been paid in cash.',
     'Die Rechnung wurde bar bezahlt.', 0, 0, 0, 1, 0),
    (2, 'Átutalás', 'Bank transfer', 'Überweisung',
     'Kérjük, a számla összegét a fizetési határidőig bankszámlánkra átutalni szíveskedjen!',
     'Please transfer the amount of the invoice to our bank account by the due date.',
     'Bitte überweisen Sie den Rechnungsbetrag bis zum Fälligkeitsdatum auf unser Bankkonto.',
     1, 8, 0, 0, 1),
    (3, 'Bankkártya', 'Bank card', 'Bankkarte',
     'A számla ellenértékét bankkártyával kiegyenlítették.',
     'The invoice has been paid by bank card.',
     'Die Rechnung wurde mit Bankkarte bezahlt.', 0, 0, 0, 0, 0);

INSERT INTO deviza (kod, nev, megjegyzes, bizonylat_vegosszeg_kerekites) VALUES
    (1, 'HUF', 'Magyar forint', 1),
    (2, 'EUR', 'Euró', 0);

INSERT INTO deviza_arfolyam (deviza_nev, datum, huf_ertek) VALUES
    ('HUF', '1900-01-01', 1),
    ('EUR', '2026-11-02', 385.42),
    ('EUR', '2026-11-16', 387.15),
    ('EUR', '2026-12-01', 389.60),
    ('EUR', '2026-12-08', 390.05);

INSERT INTO iso_statusz (kod, lang_0000040e, lang_00000409, lang_00000407, engedely) VALUES
    (1, 'Minősített beszállító', 'Approved supplier', 'Zugelassener Lieferant', 1),
    (2, 'Nem minősített', 'Not approved', 'Nicht zugelassen', 0);

INSERT INTO penzeszkoz_nevek (kod, lang_0000040e, lang_00000409, lang_00000407, megjegyzes,
                              tipus, azonosito, alapertelmezett, bank_neve, bank_szamlaszam,
                              bank_szamlaszam_iban, bank_swift, deviza_nev) VALUES
    (1, 'Házipénztár', 'Petty cash', 'Handkasse', 'Szolnoki áruház pénztára', 1, 'P1', 1,
     NULL, NULL, NULL, NULL, 'HUF'),
    (2, 'OTP forint számla', 'OTP HUF account', 'OTP Forintkonto', 'Fő bankszámla', 2, 'B1', 1,
     'OTP Bank Nyrt.', '11773016-01234567-00000000', 'HU42 1177 3016 0123 4567 0000 0000',
     'OTPVHUHB', 'HUF'),
    (3, 'OTP euró számla', 'OTP EUR account', 'OTP Eurokonto', 'Devizaszámla', 2, 'B2', 1,
     'OTP Bank Nyrt.', '11773016-01234567-00010002', 'HU93 1177 3016 0123 4567 0001 0002',
     'OTPVHUHB', 'EUR');

INSERT INTO raktar_nevek (kod, lang_0000040e, lang_00000409, lang_00000407, partner_kod,
                          raktar_tipus, kapcsolt_raktar) VALUES
    (1, 'Központi raktár', 'Central warehouse', 'Zentrallager', 0, 1, 0),
    (2, 'Áruház raktár', 'Shop warehouse', 'Ladenlager', 0, 1, 0),
    (3, 'Bizományosi raktár (Kovács és Társa)', 'Consignment stock (Kovács és Társa)',
     'Konsignationslager (Kovács és Társa)', 2, 2, 0);

-- Movement types in pairs: each names the type its reversal gets.
INSERT INTO mozgasnem (kod, lang_0000040e, lang_00000409, lang_00000407, cel_raktar,
                       forras_raktar, sajat, tipus, sztorno, kapcsolt_mozgas,
                       bizonylat_kapcsolat) VALUES
    (1, 'Beszerzés', 'Purchase', 'Einkauf', 1, 0, 0, 1, 0, 2, 1),
    (2, 'Beszerzés sztornó', 'Purchase reversal', 'Einkauf Storno', 1, 0, 0, 1, 1, 1, 1),
    (3, 'Értékesítés', 'Sale', 'Verkauf', 0, 1, 0, 2, 0, 4, 5),
    (4, 'Értékesítés sztornó', 'Sale reversal', 'Verkauf Storno', 0, 1, 0, 2, 1, 3, 5),
    (5, 'Raktárközi átadás', 'Transfer between warehouses', 'Umlagerung', 2, 1, 1, 3, 0, 6, 6),
    (6, 'Raktárközi átadás sztornó', 'Transfer reversal', 'Umlagerung Storno', 2, 1, 1, 3, 1, 5, 6),
    (7, 'Szállítós eladás', 'Sale on delivery note', 'Verkauf mit Lieferschein', 0, 1, 0, 2, 0, 8, 4),
    (8, 'Szállítós eladás sztornó', 'Delivery note reversal', 'Lieferschein Storno', 0, 1, 0, 2, 1, 7, 4);

INSERT INTO tetel_fajtak (kod, fajta_kod, lang_0000040e, lang_00000409, lang_00000407, ures) VALUES
    (1, 1, '< üres >', '< empty >', '< leer >', 1),
    (2, 2, '< üres >', '< empty >', '< leer >', 1),
    (3, 3, '< üres >', '< empty >', '< leer >', 1),
    (4, 4, '< üres >', '< empty >', '< leer >', 1),
    (5, 5, '< üres >', '< empty >', '< leer >', 1),
    (6, 6, '< üres >', '< empty >', '< leer >', 1),
    (11, 1, 'Szerszám', 'Tools', 'Werkzeug', 0),
    (12, 1, 'Építőanyag', 'Building materials', 'Baustoffe', 0),
    (13, 1, 'Élelmiszer', 'Food', 'Lebensmittel', 0),
    (14, 1, 'Irodaszer', 'Office supplies', 'Bürobedarf', 0),
    (15, 1, 'Szolgáltatás', 'Services', 'Dienstleistungen', 0),
    (16, 1, 'Könyv', 'Books', 'Bücher', 0),
    (21, 2, 'Vasmester', 'Vasmester', 'Vasmester', 0),
    (22, 2, 'Tiszafa', 'Tiszafa', 'Tiszafa', 0),
    (23, 2, 'Alföldi Tej', 'Alföldi Tej', 'Alföldi Tej', 0),
    (31, 3, 'Fehér', 'White', 'Weiß', 0),
    (32, 3, 'Fekete', 'Black', 'Schwarz', 0),
    (41, 4, 'Darabos', 'Single pieces', 'Stückware', 0),
    (42, 4, 'Kiszerelt', 'Packaged', 'Verpackt', 0),
    (51, 5, 'Fém', 'Metal', 'Metall', 0),
    (52, 5, 'Műanyag', 'Plastic', 'Kunststoff', 0),
    (61, 6, 'Egész évben', 'All year', 'Ganzjährig', 0),
    (62, 6, 'Téli', 'Winter', 'Winter', 0);

INSERT INTO partner_csoport (kod, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (1, 'Viszonteladók', 'Resellers', 'Wiederverkäufer'),
    (2, 'Közületek', 'Institutions', 'Institutionen');

INSERT INTO kedvezmeny (kod, lang_0000040e, lang_00000409, lang_00000407, kedvezmeny,
                        netto_limit, fizetesmod, kotott_fizetesmod) VALUES
    (1, 'Törzsvásárlói kedvezmény', 'Loyal customer discount', 'Stammkundenrabatt', 5, 0, 0, 0),
    (2, 'Készpénzes kedvezmény', 'Cash discount', 'Barzahlungsrabatt', 2, 0, 1, 1),
    (3, 'Nagyvevői kedvezmény', 'Key account discount', 'Großkundenrabatt', 3, 5000000, 0, 0);

INSERT INTO uzletkoto (kod, nev, iranyitoszam, telepules, cim, telefon, megjegyzes) VALUES
    (1, 'Tóth Gábor', '5000', 'Szolnok', 'Baross utca 7.', '+36 30 555 1234', 'Alföldi régió');

INSERT INTO esemeny (kod, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (-10, 'Csatolt dokumentum', 'Attached document', 'Angehängtes Dokument'),
    (1, 'Telefonhívás', 'Phone call', 'Telefonat'),
    (2, 'Személyes találkozó', 'Meeting', 'Besprechung'),
    (3, 'Árajánlat küldése', 'Offer sent', 'Angebot versandt');

INSERT INTO doc_fej (kod, nev, leiras, azonosito, fejlec_kapcsolodik, fejlec, alapertelmezett,
                     hasznalatban) VALUES
    (1, 'Számla', 'A4, kétnyelvű', 'SZLA-A4', 0, 0, 1, 1),
    (2, 'Szállítólevél', 'A4', 'SZL-A4', 0, 0, 1, 1);

INSERT INTO wsh_co_country (ctr_name) VALUES
    ('Ausztria'), ('Írország'), ('Magyarország'), ('Németország'), ('Szlovákia');

INSERT INTO wsh_co_city (cit_name, cit_zip) VALUES
    ('Budapest', '1117'), ('Szolnok', '5000'), ('Szolnok', '5008'), ('Kecskemét', '6000'),
    ('Debrecen', '4025'), ('Szeged', '6720'), ('Törökszentmiklós', '5200');

INSERT INTO projekt_besorolas (kod, lang_0000040e, lang_00000409, lang_00000407, automata_tervezes) VALUES
    (1, 'Kivitelezés', 'Construction', 'Ausführung', 1),
    (2, 'Karbantartás', 'Maintenance', 'Wartung', 0);
INSERT INTO projekt_utemezes (kod, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (1, 'Havi elszámolás', 'Monthly billing', 'Monatliche Abrechnung');
INSERT INTO projekt_statusz (kod, lang_0000040e, lang_00000409, lang_00000407, hasznalatban,
                             projekt_zarva) VALUES
    (1, 'Folyamatban', 'In progress', 'In Bearbeitung', 1, 0),
    (2, 'Lezárva', 'Closed', 'Abgeschlossen', 0, 1);

-- ---------------------------------------------------------------------------------------
-- Partners
-- ---------------------------------------------------------------------------------------

INSERT INTO partner (kod, nev, iszam, telepules, cim, orszag, adoszam, adoszam_eu, fizetesmod,
                     fizetesi_hat_ido, partner_tipus, partner_csoport_kod, afa_mentes_forgalom,
                     masodik_nyelv, szoveges_kod, telefon, fax, megjegyzes, megjegyzes_biz,
                     cegjegyzekszam, jellemzo_deviza_nev, hasznalatban, iso_engedely,
                     uzletkoto_kod, c_userid, c_date, c_time) VALUES
    (1, 'Tiszavirág Kereskedelmi Kft.', '5000', 'Szolnok', 'Kossuth Lajos út 12.',
     'Magyarország', '12345678-2-16', 'HU12345678', 1, 0, 3, 0, 0, NULL, 'SAJAT',
     '+36 56 412 300', NULL, 'A tulajdonos cég saját partnere.', NULL, '16-09-012345', 'HUF',
     1, 1, 0, 'admin', '2026-01-02', '8:00:00'),
    (2, 'Kovács és Társa Bt.', '1117', 'Budapest', 'Irinyi József utca 4-20.', 'Magyarország',
     '23456789-2-43', NULL, 2, 8, 1, 1, 0, NULL, 'KOVTARS', '+36 1 234 5678', '+36 1 234 5679',
     'Fizetési fegyelme jó.', NULL, '01-06-765432', 'HUF', 1, 1, 1, 'admin', '2026-01-05', '9:12:40'),
    (3, 'Shannon Trading Ltd.', 'D02 X285', 'Dublin', '14 Harcourt Street', 'Írország',
     NULL, 'IE6388047V', 2, 15, 1, 1, 0, '00000409', 'SHANNON', '+353 1 555 0142', NULL,
     'Angol nyelvű számlát kér.', NULL, NULL, 'EUR', 1, 1, 1, 'admin', '2026-02-11', '10:05:00'),
    (4, 'Öreg Hárs Alapítvány', '5200', 'Törökszentmiklós', 'Almásy út 3.', 'Magyarország',
     '18765432-1-16', NULL, 1, 0, 1, 2, 1, NULL, 'OREGHARS', '+36 56 390 111', NULL,
     'Alanyi adómentes alapítvány.', NULL, NULL, 'HUF', 1, 2, 0, 'kovacsne', '2026-03-02', '14:30:12'),
    (5, 'O''Neill Építő Kft.', '6000', 'Kecskemét', 'Szent István körút 21.', 'Magyarország',
     '24681357-2-03', 'HU24681357', 2, 30, 1, 1, 0, NULL, 'ONEILL', '+36 76 555 210', NULL,
     'Kapcsolattartó: O''Neill Patrik ügyvezető.', 'Építőipari szolgáltatás - fordított adózás',
     '03-09-112233', 'HUF', 1, 1, 1, 'kovacsne', '2026-04-17', '11:45:00'),
    (6, 'Müller Handels GmbH', '1010', 'Wien', 'Kärntner Straße 8', 'Ausztria',
     NULL, 'ATU12345678', 2, 30, 1, 1, 0, '00000407', 'MUELLER', '+43 1 512 3456', NULL,
     'Német nyelvű számlát kér.', NULL, NULL, 'EUR', 1, 1, 0, 'admin', '2026-05-20', '16:20:00');

INSERT INTO partner_emailtar (kod, partner_kod, nev, beosztas, telefon, email) VALUES
    (1, 2, 'Kovács Gábor', 'ügyvezető', '+36 30 111 2233', 'iroda@kovacsestarsa.hu'),
    (2, 2, 'Fekete Anna', 'könyvelő', '', 'konyveles@kovacsestarsa.hu'),
    (3, 3, 'Mary Byrne', 'purchasing', '+353 87 555 0199', 'orders@shannontrading.ie'),
    (4, 4, 'Szabó Lajos', 'kuratóriumi elnök', '+36 20 444 5566', 'info@oregehars.hu'),
    (5, 5, 'O''Neill Patrik', 'ügyvezető', '+36 70 321 6547', 'patrik.oneill@oneill-epito.hu'),
    (6, 6, 'Klaus Müller', 'Geschäftsführer', '+43 664 123 4567', 'office@mueller-handels.at');

INSERT INTO partner_bank (kod, partner_kod, bank_neve, bankszamla) VALUES
    (1, 2, 'K&H Bank Zrt.', '10400157-00012345-00000000'),
    (2, 5, 'Erste Bank Hungary Zrt.', '11600006-00000000-12345678');

INSERT INTO partner_cimtar (kod, partner_kod, cim_tipus, nev, iszam, telepules, cim, orszag) VALUES
    (1, 2, 1, 'Kovács és Társa Bt. - Könyvelés', '1519', 'Budapest', 'Pf. 123', ''),
    (2, 2, 2, 'Kovács és Társa Bt. - Raktár', '1097', 'Budapest', 'Gubacsi út 6.', 'Magyarország'),
    (3, 5, 2, 'O''Neill Építő Kft. - Építkezés', '6000', 'Kecskemét', 'Halasi út 40.', 'Magyarország');

INSERT INTO partner_kedvezmeny (kod, partner_kod, kedvezmeny_kod) VALUES
    (1, 2, 1),
    (2, 5, 3);

INSERT INTO partner_email_lista (kod, nev, linuxname) VALUES
    (1, 'Hírlevél', 'hirlevel');
INSERT INTO partner_emailtar_bejegyzes (kod, lista_kod, partner_emailtar_kod) VALUES
    (1, 1, 1), (2, 1, 5);

INSERT INTO esemeny_naplo (kod, partner_kod, naploszam, esemeny_kod, megjegyzes, leiras, datum,
                           c_userid, c_date, c_time) VALUES
    (1, 2, 1, 1, 'Érdeklődött a tavaszi festékakcióról.', 'Telefon', '2026-11-12', 'kovacsne',
     '2026-11-12', '10:02:11'),
    (2, 5, 1, 2, 'Helyszíni felmérés a kecskeméti építkezésen.', 'Bejárás', '2026-11-18',
     'nagyp', '2026-11-18', '15:40:00');

INSERT INTO projektek (kod, besorolas, partner_kod, helyszin, leiras, rogzites, datum1, datum2,
                       utemezes, vegzi, ellenorzi, megjegyzes, statusz, bejelento,
                       forditott_adozas) VALUES
    (1, 1, 5, 'Kecskemét, Halasi út 40.', 'Irodaház burkolási munkái', '2026-11-10',
     '2026-11-15', '2027-02-28', 1, 3, 1, 'Burkolóanyag szállítása ütemezetten.', 1,
     'O''Neill Patrik', 1);

INSERT INTO szerzodes (kod, partner_kod, szerzodesszam, leiras, datum1, datum2) VALUES
    (1, 2, 'SZ-2026/014', 'Irodaszer havi szállítása', '2026-01-01', '2026-12-31');
INSERT INTO szerzodes_szaml_idoszak (kod, szerzodes_kod, ev, honap) VALUES
    (1, 1, 2026, 10), (2, 1, 2026, 11);

-- ---------------------------------------------------------------------------------------
-- Items and prices
-- ---------------------------------------------------------------------------------------

INSERT INTO tetel (kod, lang_0000040e, lang_00000409, lang_00000407,
                   zaradek_lang_0000040e, zaradek_lang_00000409, zaradek_lang_00000407,
                   sor2, akcios, fajta1, fajta2, fajta3, fajta4, fajta5, fajta6, tetel_tipus,
                   mennyisegi_egyseg, afa_kulcs, utolsobeszerzesiar, utolsobeszerzesiardatuma,
                   vonalkod, tizedesjegy, forditottan_adozhat, haszonkulcs, minimum_haszonkulcs,
                   egyedi, tetel_azonosito_kod, szoveges_kod, kapcsolt_fokonyviszam) VALUES
    (1, 'Csavarhúzó készlet 12 részes', 'Screwdriver set, 12 pieces', 'Schraubendreher-Set, 12-teilig',
     NULL, NULL, NULL, 'Króm-vanádium acél', 0, 11, 21, 1, 41, 51, 61, 1, 1, 1, 3150, '2026-11-02',
     '5990001000011', 0, 0, 35, 15, 0, '8205 40 00', 'CSH-12', '911'),
    (2, 'Ütvefúrógép 750 W', 'Impact drill 750 W', 'Schlagbohrmaschine 750 W',
     'Jótállás: 12 hónap a vásárlás napjától.', 'Warranty: 12 months from the date of purchase.',
     'Garantie: 12 Monate ab Kaufdatum.', 'Gyári szám szerint nyilvántartva', 0, 11, 21, 32, 41,
     51, 61, 1, 1, 1, 16500, '2026-11-02', '5990001000028', 0, 0, 40, 20, 1, '8467 21 10',
     'FURO-750', '911'),
    (3, 'Magyar szakácskönyv', 'Hungarian cookbook', 'Ungarisches Kochbuch',
     'A könyvek 5%-os ÁFA-kulccsal adóznak.', 'Books are taxed at the 5% VAT rate.',
     'Bücher unterliegen dem MwSt.-Satz von 5%.', 'Keménytáblás, 320 oldal', 0, 16, 2, 3, 41, 5,
     61, 1, 1, 3, 2600, '2026-11-02', '9789631234567', 0, 0, 30, 10, 0, '4901 99 00', 'KONYV-01',
     '912'),
    (4, 'Fehér kenyér 1 kg', 'White bread 1 kg', 'Weißbrot 1 kg', NULL, NULL, NULL, 'Napi friss',
     0, 13, 2, 31, 42, 5, 61, 1, 1, 2, 480, '2026-11-02', '5990002000010', 0, 0, 25, 10, 0,
     '1905 90 30', 'KENYER-1', '913'),
    (5, 'Tej 2,8% 1 l', 'Milk 2.8% 1 l', 'Milch 2,8% 1 l', NULL, NULL, NULL, 'ESL, dobozos', 0,
     13, 23, 31, 42, 5, 61, 1, 1, 2, 228, '2026-11-02', '5990003000019', 0, 0, 25, 10, 0,
     '0401 20 11', 'TEJ-28', '913'),
    (6, 'Szerelési munkadíj', 'Installation work', 'Montagearbeit', NULL, NULL, NULL,
     'Helyszíni munka', 0, 15, 2, 3, 4, 5, 6, 0, 4, 1, 0, NULL, NULL, 1, 0, 0, 0, 0, NULL,
     'MUNKA', '911'),
    (7, 'Falfesték fehér 10 l', 'Wall paint white 10 l', 'Wandfarbe weiß 10 l', NULL, NULL, NULL,
     'Beltéri, diszperziós', 0, 12, 22, 31, 42, 52, 61, 1, 1, 1, 11200, '2026-11-02',
     '5990004000018', 0, 0, 45, 20, 1, '3209 10 00', 'FESTEK-10', '911'),
    (8, 'Csempe 30x30 cm', 'Wall tile 30x30 cm', 'Fliese 30x30 cm', NULL, NULL, NULL,
     'Fehér, fényes', 0, 12, 22, 31, 4, 5, 61, 1, 7, 1, 2150, '2026-11-02', '5990004000025', 2,
     1, 40, 15, 0, '6907 21 00', 'CSEMPE-30', '911'),
    (9, 'Csemperagasztó 25 kg', 'Tile adhesive 25 kg', 'Fliesenkleber 25 kg', NULL, NULL, NULL,
     'Flexibilis, fagyálló', 0, 12, 22, 3, 42, 5, 62, 1, 8, 1, 3050, '2026-11-02',
     '5990004000032', 0, 1, 35, 15, 0, '3214 90 00', 'RAGASZTO', '911'),
    (10, 'Szállítási díj', 'Delivery charge', 'Liefergebühr', NULL, NULL, NULL,
     'Házhoz szállítás', 0, 15, 2, 3, 4, 5, 6, 0, 1, 1, 0, NULL, NULL, 0, 0, 0, 0, 0, NULL,
     'SZALLITAS', '911'),
    (11, 'Laptop táska 15,6"', 'Laptop bag 15.6"', 'Laptoptasche 15,6"', NULL, NULL, NULL,
     'Fekete, vízálló', 1, 14, 2, 32, 41, 52, 61, 1, 1, 1, 7400, '2026-11-02', '5990005000017',
     0, 0, 50, 20, 0, '4202 12 19', 'TASKA-15', '911'),
    (12, 'Irodai papír A4', 'Office paper A4', 'Büropapier A4', NULL, NULL, NULL,
     '80 g/m2, 5x500 lap', 0, 14, 2, 31, 42, 5, 61, 1, 6, 1, 4480, '2026-11-02',
     '5990005000024', 0, 0, 35, 15, 0, '4802 56 20', 'PAPIR-A4', '911'),
    (13, 'Munkavédelmi kesztyű', 'Work gloves', 'Arbeitshandschuhe', NULL, NULL, NULL,
     'M méret, nitril', 0, 11, 21, 32, 41, 52, 62, 1, 1, 1, 240, '2026-11-02', '5990001000035',
     0, 0, 45, 20, 0, '6116 10 20', 'KESZTYU-M', '911'),
    (14, 'Vízmérték 60 cm', 'Spirit level 60 cm', 'Wasserwaage 60 cm', NULL, NULL, NULL,
     'Alumínium, 3 libella', 0, 11, 21, 3, 41, 51, 61, 1, 1, 1, 2890, '2026-11-02',
     '5990001000042', 0, 0, 40, 15, 0, '9015 80 93', 'VIZMERTEK', '911');

-- Identified pieces: serial numbers of the drills, lots of the paint.
INSERT INTO tetel_egyedi (kod, tetel_kod, egyedi_azonosito, megjegyzes)
SELECT n, 2, 'FG-2611-' || lpad(n::text, 4, '0'), 'Gyári szám'
  FROM generate_series(1, 10) AS n;
INSERT INTO tetel_egyedi (kod, tetel_kod, egyedi_azonosito, megjegyzes) VALUES
    (11, 7, 'LOT-2611-A', 'Gyártási tétel, lejárat 2028.10.'),
    (12, 7, 'LOT-2611-B', 'Gyártási tétel, lejárat 2028.11.'),
    (13, 7, 'LOT-2612-C', 'Gyártási tétel, lejárat 2029.01.');

INSERT INTO egysegarak (kod, lang_0000040e, lang_00000409, lang_00000407, automatikus_ertek,
                        alapertelmezett, deviza_nev) VALUES
    (1, 'Lista ár', 'List price', 'Listenpreis', 0, 1, 'HUF'),
    (2, 'Nagykereskedelmi ár', 'Wholesale price', 'Großhandelspreis', 2, 0, 'HUF'),
    (3, 'Export ár (EUR)', 'Export price (EUR)', 'Exportpreis (EUR)', 0, 1, 'EUR');

-- Price lists: (item, list price HUF, wholesale price HUF, export price EUR).
INSERT INTO tetel_egysegar (tetel_kod, egysegar_kod, egysegar, egysegar_brutto, afa_kulcs)
SELECT p.tetel, l.lista, l.ar, round((l.ar * (1 + a.afakulcs / 100))::numeric, 2), t.afa_kulcs
  FROM (VALUES (1, 4990, 4252.5, 12.90), (2, 24900, 23100, 64.50), (3, 3990, 3380, 10.20),
               (4, 690, 600, 1.80), (5, 329, 285, 0.85), (6, 8500, 8500, 22.00),
               (7, 18990, 16240, 48.70), (8, 3290, 3010, 8.45), (9, 4590, 4117.5, 11.80),
               (10, 15000, 15000, 45.00), (11, 12990, 11100, 33.30), (12, 6490, 6048, 16.80),
               (13, 390, 348, 1.00), (14, 4490, 4046, 12.90)) AS p (tetel, lista, nagyker, export)
  JOIN tetel t ON t.kod = p.tetel
  JOIN afa_kulcs a ON a.kod = t.afa_kulcs
 CROSS JOIN LATERAL (VALUES (1, p.lista::double precision), (2, p.nagyker::double precision),
                            (3, p.export::double precision)) AS l (lista, ar);
-- The prices have been in force since the beginning of the year.
UPDATE naplo_tetel_egysegar SET datum = '2026-01-02', ido = '07:30:00';

INSERT INTO partner_csoport_egysegarak (kod, partner_csoport_kod, fajta1, fajta2, fajta3, fajta4,
                                        fajta5, fajta6, egysegar, szorzo) VALUES
    (1, 1, 12, 2, 3, 4, 5, 6, 2, 1.0),
    (2, 1, 1, 2, 3, 4, 5, 6, 1, 0.95),
    (3, 2, 14, 2, 3, 4, 5, 6, 1, 0.9);

INSERT INTO gyartas (kod, kesztermek, beepulo, mennyiseg, osszeg) VALUES
    (1, 2, 13, 1, 240),
    (2, 2, 14, 1, 2890);

-- ---------------------------------------------------------------------------------------
-- Documents
-- ---------------------------------------------------------------------------------------

-- Number register: every document number below was issued through it.
--   kind 1 (stock movement numbers RM), kind 4 (delivery notes SL), kind 5 (invoices SZ)
INSERT INTO szszb (bizonylat_fajta, ev, szam, datum, ido) VALUES
    (1, 2026, 1, '2026-11-02', '08:10:00'),
    (1, 2026, 2, '2026-11-20', '13:05:00'),
    (4, 2026, 1, '2026-11-20', '13:05:00'),
    (5, 2026, 1, '2026-11-25', '10:30:00'),
    (1, 2026, 3, '2026-12-03', '09:41:00'),
    (5, 2026, 2, '2026-12-03', '09:41:00'),
    (1, 2026, 4, '2026-12-04', '11:17:00'),
    (5, 2026, 3, '2026-12-04', '11:17:00'),
    (1, 2026, 5, '2026-12-05', '14:02:00'),
    (5, 2026, 4, '2026-12-05', '14:02:00'),
    (1, 2026, 6, '2026-12-07', '10:15:00'),
    (5, 2026, 5, '2026-12-07', '10:15:00'),
    (1, 2026, 7, '2026-12-08', '08:55:00'),
    (5, 2026, 6, '2026-12-08', '08:55:00'),
    (1, 2026, 8, '2026-12-08', '10:20:00'),
    (1, 2026, 9, '2026-12-08', '11:05:00');

INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, raktar_mozgas_bizonylat, hivszam,
                               datum, ido, kelte, telj_datum, fiz_hatarido, partner_kod,
                               mozgasnem_kod, fizetesmod_kod, atvevo_kod, penzeszkoz_kod, projekt,
                               forras_raktar_kod, cel_raktar_kod, deviza_nev, deviza_arfolyam,
                               afa_mentes_forgalom, megjegyzes, c_userid, c_date, c_time) VALUES
    -- goods receipt from the wholesaler
    (4301, 1, NULL, 'RM2026/0000001', 'BESZ-2026-1187', '2026-11-02', '08:10:00', '2026-11-02',
     '2026-11-02', '2026-11-02', 0, 1, 2, 1, 2, 0, 0, 1, 'HUF', 1, 0,
     'Nyitó árubeszerzés a téli szezonra.', 'kovacsne', '2026-11-02', '8:10:00'),
    -- delivery note, partly invoiced by 4311
    (4310, 4, 'SL2026/0000001', 'RM2026/0000002', NULL, '2026-11-20', '13:05:00', '2026-11-20',
     '2026-11-20', '2026-12-20', 5, 7, 2, 3, 2, 1, 1, 0, 'HUF', 1, 0,
     'Kiszállítás az építkezésre (Halasi út 40.).', 'nagyp', '2026-11-20', '13:05:00'),
    -- invoice made from the delivery note (the delivery note moved the goods)
    (4311, 5, 'SZ2026/0000001', NULL, NULL, '2026-11-25', '10:30:00', '2026-11-25', '2026-11-20',
     '2026-12-25', 5, 3, 2, 3, 2, 1, 1, 0, 'HUF', 1, 0, NULL, 'kovacsne', '2026-11-25', '10:30:00'),
    -- the console's invoice
    (4317, 5, 'SZ2026/0000002', 'RM2026/0000003', 'MR-4471', '2026-12-03', '09:41:00',
     '2026-12-03', '2026-12-03', '2026-12-11', 2, 3, 2, 2, 2, 0, 1, 0, 'HUF', 1, 0,
     'Szállítás: 2026.12.03., saját gépjárművel.', 'kovacsne', '2026-12-03', '9:41:00'),
    -- invoice in euro for the English-speaking partner
    (4318, 5, 'SZ2026/0000003', 'RM2026/0000004', 'PO-77812', '2026-12-04', '11:17:00',
     '2026-12-04', '2026-12-04', '2026-12-19', 3, 3, 2, 2, 3, 0, 1, 0, 'EUR', 389.60, 0,
     'Delivery by courier (DHL).', 'kovacsne', '2026-12-04', '11:17:00'),
    -- long invoice (three pages)
    (4320, 5, 'SZ2026/0000004', 'RM2026/0000005', NULL, '2026-12-05', '14:02:00', '2026-12-05',
     '2026-12-05', '2026-12-13', 2, 3, 2, 2, 2, 0, 1, 0, 'HUF', 1, 0,
     'Negyedéves irodaszer- és anyagrendelés.', 'kovacsne', '2026-12-05', '14:02:00'),
    -- cash invoice of an intra-Community supply to the Austrian partner, reversed by 4322
    (4321, 5, 'SZ2026/0000005', 'RM2026/0000006', NULL, '2026-12-07', '10:15:00', '2026-12-07',
     '2026-12-07', '2026-12-07', 6, 3, 1, 1, 1, 0, 1, 0, 'HUF', 1, 1, NULL, 'nagyp',
     '2026-12-07', '10:15:00'),
    -- second receipt of paint, at a higher purchase price (a new lot)
    (4323, 1, NULL, 'RM2026/0000008', 'BESZ-2026-1342', '2026-12-08', '10:20:00', '2026-12-08',
     '2026-12-08', '2026-12-08', 0, 1, 2, 1, 2, 0, 0, 1, 'HUF', 1, 0,
     'Pótrendelés festékből.', 'kovacsne', '2026-12-08', '10:20:00'),
    -- transfer of food to the shop warehouse
    (4324, 1, NULL, 'RM2026/0000009', NULL, '2026-12-08', '11:05:00', '2026-12-08',
     '2026-12-08', '2026-12-08', 1, 5, 1, 3, 1, 0, 1, 2, 'HUF', 1, 0,
     'Áruházi polcfeltöltés.', 'nagyp', '2026-12-08', '11:05:00');

-- Lines: (key, header, item, quantity, list net unit price, net unit price, VAT key,
-- source warehouse, target warehouse).
INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, mee_kod, afakulcs, forras_raktar_kod,
                           cel_raktar_kod, mennyiseg, lista_egysegar_netto, netto_egysegar,
                           tetel_tipus, akcios, raktar_mozgas_bizonylat, c_userid, c_date, c_time)
SELECT l.kod, l.fej, l.tetel, t.mennyisegi_egyseg, l.afa, l.forras, l.cel, l.menny, l.lista,
       l.ar, t.tetel_tipus, t.akcios, h.raktar_mozgas_bizonylat, h.c_userid, h.c_date, h.c_time
  FROM (VALUES
    -- goods receipt 4301 into the central warehouse, at purchase prices
    (430101, 4301, 1, 60, 3150, 3150, 1, 0, 1),
    (430102, 4301, 2, 10, 16500, 16500, 1, 0, 1),
    (430103, 4301, 3, 40, 2600, 2600, 3, 0, 1),
    (430104, 4301, 4, 150, 480, 480, 2, 0, 1),
    (430105, 4301, 5, 200, 228, 228, 2, 0, 1),
    (430106, 4301, 7, 40, 11200, 11200, 1, 0, 1),
    (430107, 4301, 8, 300, 2150, 2150, 1, 0, 1),
    (430108, 4301, 9, 80, 3050, 3050, 1, 0, 1),
    (430109, 4301, 11, 25, 7400, 7400, 1, 0, 1),
    (430110, 4301, 12, 120, 4480, 4480, 1, 0, 1),
    (430111, 4301, 13, 500, 240, 240, 1, 0, 1),
    (430112, 4301, 14, 60, 2890, 2890, 1, 0, 1),
    -- delivery note 4310 (reverse-charge construction materials)
    (431001, 4310, 8, 40, 3290, 3290, 6, 1, 0),
    (431002, 4310, 9, 10, 4590, 4590, 6, 1, 0),
    -- invoice 4311 from the delivery note: 25 of the 40 tiles, plus the delivery charge
    (431101, 4311, 8, 25, 3290, 3290, 6, 0, 0),
    (431102, 4311, 10, 1, 15000, 15000, 1, 0, 0),
    -- invoice 4317: three VAT keys, a discounted line, a returned (negative) line
    (431701, 4317, 1, 3, 4990, 4990, 1, 1, 0),
    (431702, 4317, 2, 2, 24900, 24900, 1, 1, 0),
    (431703, 4317, 7, 5, 18990, 17091, 1, 1, 0),
    (431704, 4317, 3, 4, 3990, 3990, 3, 1, 0),
    (431705, 4317, 4, 10, 690, 690, 2, 1, 0),
    (431706, 4317, 5, 12, 329, 329, 2, 1, 0),
    (431707, 4317, 6, 2.5, 8500, 8500, 1, 0, 0),
    (431708, 4317, 12, 2, 6490, 6490, 1, 1, 0),
    (431709, 4317, 11, 1, 12990, 12990, 1, 1, 0),
    (431710, 4317, 1, -1, 4990, 4990, 1, 1, 0),
    -- invoice 4318 in euro, intra-Community supply
    (431801, 4318, 2, 3, 64.50, 64.50, 5, 1, 0),
    (431802, 4318, 14, 20, 12.90, 12.90, 5, 1, 0),
    (431803, 4318, 12, 10, 16.80, 16.80, 5, 1, 0),
    (431804, 4318, 10, 1, 45.00, 45.00, 5, 0, 0),
    -- cash invoice 4321, intra-Community supply (VAT-exempt)
    (432101, 4321, 12, 5, 6490, 6490, 5, 1, 0),
    (432102, 4321, 13, 20, 390, 390, 5, 1, 0),
    -- second receipt of paint 4323, transfer 4324 (at the average cost)
    (432301, 4323, 7, 10, 11800, 11800, 1, 0, 1),
    (432401, 4324, 4, 20, 480, 480, 2, 1, 2),
    (432402, 4324, 5, 36, 228, 228, 2, 1, 2)
  ) AS l (kod, fej, tetel, menny, lista, ar, afa, forras, cel)
  JOIN tetel t ON t.kod = l.tetel
  JOIN raktar_mozgas_fej h ON h.kod = l.fej
 ORDER BY l.kod;

-- Invoice 4320: 70 lines cycling through nine items and three VAT keys.
INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, mee_kod, afakulcs, forras_raktar_kod,
                           mennyiseg, lista_egysegar_netto, netto_egysegar, tetel_tipus,
                           raktar_mozgas_bizonylat, c_userid, c_date, c_time)
SELECT 432000 + n, 4320, t.kod, t.mennyisegi_egyseg, t.afa_kulcs, 1, 1 + n % 3,
       e.egysegar, e.egysegar, t.tetel_tipus, 'RM2026/0000005', 'kovacsne', '2026-12-05',
       '14:02:00'
  FROM generate_series(1, 70) AS n
  JOIN tetel t ON t.kod = (ARRAY[12, 13, 4, 5, 3, 14, 1, 9, 8])[1 + (n - 1) % 9]
  JOIN tetel_egysegar e ON e.tetel_kod = t.kod AND e.egysegar_kod = 1
 ORDER BY n;

-- Delivery-note lines invoiced from 4310 by 4311.
UPDATE raktar_mozgas SET szallito_szama = 'SL2026/0000001', szallitos_tetel_kod = 431001,
                         eredeti_szallito_telj_datum = '2026-11-20'
 WHERE kod = 431101;
UPDATE raktar_mozgas SET mennyiseg_szamlazva = 25 WHERE kod = 431001;

-- Identified pieces moved by the lines.
INSERT INTO raktar_mozgas_egyedi (kod, rm_kod, egyedi_azonosito_kod, mennyiseg)
SELECT 4301020 + n, 430102, n, 1 FROM generate_series(1, 10) AS n;
INSERT INTO raktar_mozgas_egyedi (kod, rm_kod, egyedi_azonosito_kod, mennyiseg) VALUES
    (4301061, 430106, 11, 20),
    (4301062, 430106, 12, 20),
    (4317021, 431702, 1, 1),
    (4317022, 431702, 2, 1),
    (4317031, 431703, 11, 3),
    (4317032, 431703, 12, 2),
    (4318011, 431801, 3, 1),
    (4318012, 431801, 4, 1),
    (4318013, 431801, 5, 1),
    (4323011, 432301, 13, 10);

-- Amounts of the lines: net and gross to the hundredth, the discount as the difference to
-- the list price, the forint twins at the document's rate.
UPDATE raktar_mozgas rm
   SET brutto_egysegar = round((rm.netto_egysegar * (1 + a.afakulcs / 100))::numeric, 2),
       lista_egysegar_netto = CASE WHEN rm.lista_egysegar_netto = 0 THEN rm.netto_egysegar
                                   ELSE rm.lista_egysegar_netto END,
       netto_arbevetel = round((rm.mennyiseg * rm.netto_egysegar)::numeric, 2),
       netto_osszeg = round((rm.mennyiseg * rm.lista_egysegar_netto)::numeric, 2)
  FROM afa_kulcs a
 WHERE a.kod = rm.afakulcs;
UPDATE raktar_mozgas rm
   SET netto_kedvezmeny = rm.netto_osszeg - rm.netto_arbevetel,
       brutto_arbevetel = rm.netto_arbevetel
                          + round((rm.netto_arbevetel * a.afakulcs / 100)::numeric, 2),
       brutto_osszeg = rm.netto_osszeg + round((rm.netto_osszeg * a.afakulcs / 100)::numeric, 2)
  FROM afa_kulcs a
 WHERE a.kod = rm.afakulcs;
UPDATE raktar_mozgas rm
   SET netto_egysegar_huf = round((rm.netto_egysegar * h.deviza_arfolyam)::numeric, 2),
       brutto_egysegar_huf = round((rm.brutto_egysegar * h.deviza_arfolyam)::numeric, 2),
       netto_arbevetel_huf = round((rm.netto_arbevetel * h.deviza_arfolyam)::numeric, 2),
       brutto_arbevetel_huf = round((rm.brutto_arbevetel * h.deviza_arfolyam)::numeric, 2),
       netto_kedvezmeny_huf = round((rm.netto_kedvezmeny * h.deviza_arfolyam)::numeric, 2),
       netto_osszeg_huf = round((rm.netto_osszeg * h.deviza_arfolyam)::numeric, 2),
       brutto_osszeg_huf = round((rm.brutto_osszeg * h.deviza_arfolyam)::numeric, 2)
  FROM raktar_mozgas_fej h
 WHERE h.kod = rm.fej_kod;

-- Header totals from the lines. A forint total is rounded to whole forints, a euro total to
-- the cent; `kerekites` holds the difference.
UPDATE raktar_mozgas_fej h
   SET netto_vegosszeg = s.netto_osszeg,
       brutto_vegosszeg = s.brutto_osszeg,
       netto_arbevetel_vegosszeg = s.netto,
       afa_arbevetel_vegosszeg = s.brutto - s.netto,
       brutto_arbevetel_vegosszeg = round(s.brutto, CASE WHEN h.deviza_nev = 'HUF' THEN 0 ELSE 2 END),
       kerekites = round(s.brutto, CASE WHEN h.deviza_nev = 'HUF' THEN 0 ELSE 2 END) - s.brutto,
       netto_kedvezmeny = s.kedvezmeny,
       netto_vegosszeg_huf = s.netto_osszeg_huf,
       brutto_vegosszeg_huf = s.brutto_osszeg_huf,
       netto_arbevetel_vegosszeg_huf = s.netto_huf,
       afa_arbevetel_vegosszeg_huf = s.brutto_huf - s.netto_huf,
       brutto_arbevetel_vegosszeg_huf = round(s.brutto_huf),
       kerekites_huf = round(s.brutto_huf) - s.brutto_huf,
       netto_kedvezmeny_huf = s.kedvezmeny_huf
  FROM (SELECT fej_kod,
               round(sum(netto_osszeg)::numeric, 2) AS netto_osszeg,
               round(sum(brutto_osszeg)::numeric, 2) AS brutto_osszeg,
               round(sum(netto_arbevetel)::numeric, 2) AS netto,
               round(sum(brutto_arbevetel)::numeric, 2) AS brutto,
               round(sum(netto_kedvezmeny)::numeric, 2) AS kedvezmeny,
               round(sum(netto_osszeg_huf)::numeric, 2) AS netto_osszeg_huf,
               round(sum(brutto_osszeg_huf)::numeric, 2) AS brutto_osszeg_huf,
               round(sum(netto_arbevetel_huf)::numeric, 2) AS netto_huf,
               round(sum(brutto_arbevetel_huf)::numeric, 2) AS brutto_huf,
               round(sum(netto_kedvezmeny_huf)::numeric, 2) AS kedvezmeny_huf
          FROM raktar_mozgas GROUP BY fej_kod) s
 WHERE h.kod = s.fej_kod;

-- Links between the delivery note and the invoice made from it.
UPDATE raktar_mozgas_fej SET forras_bizonylat = 'SL2026/0000001', forras_bizonylat_kod = 4310,
                             forras_bizonylat_fajta = 4
 WHERE kod = 4311;
UPDATE raktar_mozgas_fej SET cel_bizonylat = 'SZ2026/0000001', cel_bizonylat_kod = 4311,
                             cel_bizonylat_fajta = 5
 WHERE kod = 4310;

-- Print texts of the headers: the partner as printed, the names of the movement type,
-- payment method and receiver.
INSERT INTO bizonylatszoveg_fej (kod, fej_kod, partner_kod, partner_nev, partner_orszag,
                                 partner_iszam, partner_telepules, partner_cim, partner_adoszam,
                                 partner_telefon, partner_fax, partner_bank, partner_email,
                                 partner_szoveges_kod, mozgasnem_nev, fizetesmod_nev,
                                 fizetesmod_zaradek, munkatars_nev, partner_kedvezmeny_megj_tiltasa)
SELECT h.kod, h.kod, p.kod, p.nev, p.orszag, p.iszam, p.telepules, p.cim,
       coalesce(p.adoszam, p.adoszam_eu), p.telefon, p.fax,
       (SELECT b.bankszamla FROM partner_bank b WHERE b.partner_kod = p.kod ORDER BY b.kod LIMIT 1),
       (SELECT e.email FROM partner_emailtar e WHERE e.partner_kod = p.kod AND e.email <> ''
         ORDER BY e.kod LIMIT 1),
       p.szoveges_kod, m.lang_0000040e, f.lang_0000040e, f.zaradek_lang_0000040e, u.nev,
       p.kedvezmeny_megj_tiltasa
  FROM raktar_mozgas_fej h
  LEFT JOIN partner p ON p.kod = h.partner_kod
  LEFT JOIN mozgasnem m ON m.kod = h.mozgasnem_kod
  LEFT JOIN fizetesmod f ON f.kod = h.fizetesmod_kod
  LEFT JOIN munkatars u ON u.kod = h.atvevo_kod;

-- The receipt came from the wholesaler, who is not a partner of the demo.
UPDATE bizonylatszoveg_fej SET partner_nev = 'Alföldi Vasáru Nagykereskedés Zrt.',
                               partner_iszam = '6720', partner_telepules = 'Szeged',
                               partner_cim = 'Kossuth Lajos sugárút 90.',
                               partner_orszag = 'Magyarország', partner_adoszam = '10987654-2-06'
 WHERE fej_kod IN (4301, 4323);

-- Postal (delivery) address of Kovács és Társa, and the collective-invoice layout of 4311.
UPDATE bizonylatszoveg_fej b
   SET partner_postacim_nev = c.nev, partner_postacim_iszam = c.iszam,
       partner_postacim_telepules = c.telepules, partner_postacim_cim = c.cim,
       partner_postacim_orszag = coalesce(nullif(c.orszag, ''), b.partner_orszag)
  FROM partner_cimtar c
 WHERE c.kod = 2 AND b.fej_kod IN (4317, 4320);
UPDATE bizonylatszoveg_fej b
   SET partner_postacim_nev = c.nev, partner_postacim_iszam = c.iszam,
       partner_postacim_telepules = c.telepules, partner_postacim_cim = c.cim,
       partner_postacim_orszag = c.orszag, gyujtoszamla_formatum_szallito = 1
  FROM partner_cimtar c
 WHERE c.kod = 3 AND b.fej_kod IN (4310, 4311);
UPDATE bizonylatszoveg_fej SET egyedi_zaradek = 'Köszönjük, hogy nálunk vásárolt!'
 WHERE fej_kod = 4317;
UPDATE bizonylatszoveg_fej SET egyedi_zaradek = 'Az ügylet az Áfa tv. 142. § (1) b) pontja szerint fordítottan adózik.'
 WHERE fej_kod IN (4310, 4311);

-- Customer blocks, in the line format of the owner's template (caption, tab, value), the
-- lines separated by a single carriage return as the program stores them.
UPDATE bizonylatszoveg_fej
   SET vevo_sorok = concat_ws(E'\r',
           'Név: ' || E'\t' || coalesce(partner_nev, ''),
           'Cím: ' || E'\t' || coalesce(partner_iszam, '') || ' ' || coalesce(partner_telepules, ''),
           E'\t' || coalesce(partner_cim, ''),
           E'\t' || coalesce(partner_orszag, ''),
           'Adósz.:' || E'\t' || coalesce(partner_adoszam, ''),
           CASE WHEN coalesce(partner_telefon, '') <> '' THEN 'Tel.:' || E'\t' || partner_telefon END,
           CASE WHEN coalesce(partner_email, '') <> '' THEN 'Email:' || E'\t' || partner_email END,
           CASE WHEN partner_kod <> 0 THEN 'Partnerkód: ' || E'\t' || partner_kod END);

-- Issuer blocks: the owner, with the bank account of the document's money account.
UPDATE bizonylatszoveg_fej b
   SET kiallito_sorok = concat_ws(E'\r',
           'Név: ' || E'\t' || t.nev1,
           CASE WHEN coalesce(t.nev2, '') <> '' THEN E'\t' || t.nev2 END,
           'Cím: ' || E'\t' || t.iszam || ' ' || t.telepules,
           E'\t' || t.utca,
           'Adósz.:' || E'\t' || t.adoszam,
           'EU adó:' || E'\t' || t.adoszam_eu,
           CASE WHEN pn.tipus = 2 THEN 'Bank: ' || E'\t' || trim(pn.bank_neve) END,
           CASE WHEN pn.tipus = 2 THEN E'\t' || trim(pn.bank_szamlaszam) END,
           CASE WHEN pn.tipus = 2 THEN 'IBAN: ' || E'\t' || trim(pn.bank_szamlaszam_iban) END,
           CASE WHEN pn.tipus = 2 THEN 'SWIFT: ' || E'\t' || pn.bank_swift END,
           trim(t.egyeb_adat_a_szamlan))
  FROM raktar_mozgas_fej h
  CROSS JOIN tulajdonos t
  LEFT JOIN penzeszkoz_nevek pn ON pn.kod = h.penzeszkoz_kod
 WHERE h.kod = b.fej_kod;

-- Print texts of the lines: the item's name lines, unit, VAT key and clause as printed.
INSERT INTO bizonylatszoveg (kod, sor_kod, nev, sor2, sor3, sor4, mee, afa_leiras,
                             tetel_azonosito_kod, szoveges_kod, kapcsolt_fokonyviszam, zaradek)
SELECT rm.kod, rm.kod, t.lang_0000040e, t.sor2, t.sor3, t.sor4, me.lang_0000040e,
       a.lang_0000040e, t.tetel_azonosito_kod, t.szoveges_kod, t.kapcsolt_fokonyviszam,
       t.zaradek_lang_0000040e
  FROM raktar_mozgas rm
  JOIN tetel t ON t.kod = rm.tetel_kod
  LEFT JOIN mennyisegi_egyseg me ON me.kod = rm.mee_kod
  LEFT JOIN afa_kulcs a ON a.kod = rm.afakulcs;
UPDATE bizonylatszoveg SET nev_teljes = 'Helyszíni szerelés és beüzemelés (2026.12.03., 2,5 óra)'
 WHERE sor_kod = 431707;
UPDATE bizonylatszoveg SET zaradek = 'A visszáru jóváírása a számlában szerepel.'
 WHERE sor_kod = 431710;

-- Money: 4311 paid by transfer, 4321 paid in cash (cash-desk document 2026/0000001).
INSERT INTO penzeszkoz_iktato (kod, partner_kod, datum, bizonylatszam, forras_penzeszkoz,
                               cel_penzeszkoz, osszeg, megjegyzes, raktar_mozgas_fej_kod,
                               penztar_bizonylat_irany, penztar_bizonylat, c_userid, c_date,
                               c_time)
SELECT v.kod, h.partner_kod, v.datum, h.bizonylatszam, 0, v.cel, h.brutto_arbevetel_vegosszeg,
       v.megjegyzes, h.kod, v.irany, v.szam, h.c_userid, v.datum, v.ido
  FROM (VALUES (1, 4311, DATE '2026-12-02', 2, 0, NULL, 'Átutalás, OTP kivonat 2026/231', '9:00:00'),
               (2, 4321, DATE '2026-12-07', 1, 1, '2026/0000001',
                'SZ2026/0000005 számú Számlás eladás bizonylathoz kapcsolódó pénzmozgás', '10:16:02'))
       AS v (kod, fej, datum, cel, irany, szam, megjegyzes, ido)
  JOIN raktar_mozgas_fej h ON h.kod = v.fej;

-- Reversal of the cash invoice 4321 by 4322, as the document reversal builds it: header and
-- lines copied with negated amounts, the reversal movement type, new numbers, the print texts
-- copied, the cash posting negated under a new cash-desk number, both headers linked.
INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, raktar_mozgas_bizonylat, datum,
                               ido, kelte, telj_datum, fiz_hatarido, partner_kod, mozgasnem_kod,
                               fizetesmod_kod, atvevo_kod, penzeszkoz_kod, projekt,
                               forras_raktar_kod, cel_raktar_kod, deviza_nev, deviza_arfolyam,
                               netto_vegosszeg, brutto_vegosszeg, netto_arbevetel_vegosszeg,
                               afa_arbevetel_vegosszeg, brutto_arbevetel_vegosszeg,
                               netto_kedvezmeny, kerekites, netto_vegosszeg_huf,
                               brutto_vegosszeg_huf, netto_arbevetel_vegosszeg_huf,
                               afa_arbevetel_vegosszeg_huf, brutto_arbevetel_vegosszeg_huf,
                               netto_kedvezmeny_huf, kerekites_huf, sztornozott_bizonylat,
                               sztornozott_bizonylat_kod, afa_mentes_forgalom, megjegyzes,
                               c_userid, c_date, c_time)
SELECT 4322, bizonylat_fajta, 'SZ2026/0000006', 'RM2026/0000007', '2026-12-08', '08:55:00',
       '2026-12-08', telj_datum, fiz_hatarido, partner_kod, 4, fizetesmod_kod, atvevo_kod,
       penzeszkoz_kod, projekt, forras_raktar_kod, cel_raktar_kod, deviza_nev, deviza_arfolyam,
       -netto_vegosszeg, -brutto_vegosszeg, -netto_arbevetel_vegosszeg, -afa_arbevetel_vegosszeg,
       -brutto_arbevetel_vegosszeg, -netto_kedvezmeny, -kerekites, -netto_vegosszeg_huf,
       -brutto_vegosszeg_huf, -netto_arbevetel_vegosszeg_huf, -afa_arbevetel_vegosszeg_huf,
       -brutto_arbevetel_vegosszeg_huf, -netto_kedvezmeny_huf, -kerekites_huf,
       raktar_mozgas_bizonylat, kod, afa_mentes_forgalom,
       'A vevő a teljes tételt visszahozta, a számla érvénytelenítve.', 'nagyp', '2026-12-08',
       '8:55:00'
  FROM raktar_mozgas_fej WHERE kod = 4321;
UPDATE raktar_mozgas_fej SET sztornozo_bizonylat = 'RM2026/0000007', sztornozo_bizonylat_kod = 4322
 WHERE kod = 4321;

INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, mee_kod, afakulcs, forras_raktar_kod,
                           cel_raktar_kod, raktar_mozgas_bizonylat, mennyiseg,
                           mennyiseg_szamlazva, netto_egysegar, brutto_egysegar,
                           netto_egysegar_huf, brutto_egysegar_huf, lista_egysegar_netto,
                           netto_arbevetel, brutto_arbevetel, netto_arbevetel_huf,
                           brutto_arbevetel_huf, netto_kedvezmeny, netto_kedvezmeny_huf,
                           netto_osszeg, brutto_osszeg, netto_osszeg_huf, brutto_osszeg_huf,
                           tetel_tipus, akcios, c_userid, c_date, c_time)
SELECT 432200 + (kod - 432100), 4322, tetel_kod, mee_kod, afakulcs, forras_raktar_kod,
       cel_raktar_kod, 'RM2026/0000007', -mennyiseg, -mennyiseg_szamlazva, netto_egysegar,
       brutto_egysegar, netto_egysegar_huf, brutto_egysegar_huf, -lista_egysegar_netto,
       -netto_arbevetel, -brutto_arbevetel, -netto_arbevetel_huf, -brutto_arbevetel_huf,
       -netto_kedvezmeny, -netto_kedvezmeny_huf, -netto_osszeg, -brutto_osszeg,
       -netto_osszeg_huf, -brutto_osszeg_huf, tetel_tipus, akcios, 'nagyp', '2026-12-08',
       '8:55:00'
  FROM raktar_mozgas WHERE fej_kod = 4321 ORDER BY kod;

INSERT INTO bizonylatszoveg_fej (kod, fej_kod, partner_kod, partner_nev, partner_orszag,
                                 partner_iszam, partner_telepules, partner_cim, partner_adoszam,
                                 partner_telefon, partner_email, partner_szoveges_kod,
                                 mozgasnem_nev, fizetesmod_nev, fizetesmod_zaradek,
                                 munkatars_nev, kiallito_sorok, vevo_sorok)
SELECT 4322, 4322, partner_kod, partner_nev, partner_orszag, partner_iszam, partner_telepules,
       partner_cim, partner_adoszam, partner_telefon, partner_email, partner_szoveges_kod,
       'Értékesítés sztornó', fizetesmod_nev, fizetesmod_zaradek, munkatars_nev,
       kiallito_sorok, vevo_sorok
  FROM bizonylatszoveg_fej WHERE fej_kod = 4321;
INSERT INTO bizonylatszoveg (kod, sor_kod, nev, sor2, sor3, sor4, nev_teljes, mee, afa_leiras,
                             tetel_azonosito_kod, szoveges_kod, kapcsolt_fokonyviszam, zaradek)
SELECT 432200 + (sor_kod - 432100), 432200 + (sor_kod - 432100), nev, sor2, sor3, sor4,
       nev_teljes, mee, afa_leiras, tetel_azonosito_kod, szoveges_kod, kapcsolt_fokonyviszam,
       zaradek
  FROM bizonylatszoveg WHERE sor_kod BETWEEN 432101 AND 432199;

INSERT INTO penzeszkoz_iktato (kod, partner_kod, datum, bizonylatszam, forras_penzeszkoz,
                               cel_penzeszkoz, osszeg, megjegyzes, raktar_mozgas_fej_kod,
                               penztar_bizonylat_irany, penztar_bizonylat, c_userid, c_date,
                               c_time)
SELECT 3, partner_kod, '2026-12-08', 'SZ2026/0000006', forras_penzeszkoz, cel_penzeszkoz,
       -osszeg, 'SZ2026/0000006 számú sztornó Számlás eladás bizonylathoz kapcsolódó pénzmozgás',
       4322, penztar_bizonylat_irany, '2026/0000002', 'nagyp', '2026-12-08', '8:55:30'
  FROM penzeszkoz_iktato WHERE kod = 2;

-- Average costs recomputed for every item that moved, as after a reversal.
SELECT atlagar_tetel(kod) FROM tetel ORDER BY kod;

-- Snapshot of invoice 4317, as kept while the document is being edited.
INSERT INTO _prev_raktar_mozgas_fej SELECT * FROM raktar_mozgas_fej WHERE kod = 4317;
INSERT INTO _prev_bizonylatszoveg_fej SELECT * FROM bizonylatszoveg_fej WHERE fej_kod = 4317;
INSERT INTO _prev_raktar_mozgas SELECT * FROM raktar_mozgas WHERE fej_kod = 4317;
INSERT INTO _prev_bizonylatszoveg
SELECT b.* FROM bizonylatszoveg b JOIN raktar_mozgas rm ON rm.kod = b.sor_kod WHERE rm.fej_kod = 4317;
INSERT INTO _prev_raktar_mozgas_egyedi
SELECT e.* FROM raktar_mozgas_egyedi e JOIN raktar_mozgas rm ON rm.kod = e.rm_kod
 WHERE rm.fej_kod = 4317;

-- Presence and log rows as a running installation has them.
INSERT INTO _currentip (ip, host, local_ip, lastsign_date, lastsign_time, connect_date,
                        connect_time, logged_userid, logged_username, message) VALUES
    ('localhost', 'szamlazo-1', '192.168.10.21', '2026-12-08', '17:02:11', '2026-12-08',
     '07:45:03', 'kovacsne', 'Kovácsné Szabó Éva', '');
INSERT INTO _masterlog (datum, ido, felhasznalo, muvelet, leiras) VALUES
    ('2026-12-08', '8:55:31', 'nagyp', 'SZTORNO', 'SZ2026/0000005 sztornózva: SZ2026/0000006');
INSERT INTO _scriptlog (script, datum, ido, statusz) VALUES
    ('2026_11_01_keszlet.sql', '2026-11-01', '6:00:00', 1);

-- ---------------------------------------------------------------------------------------
-- Documents without lines for the closing clauses and issuer blocks of the other kinds:
-- 4302 receipt sale (kind 3) paid to the bank account, 4303 outgoing order (11), 4304 project
-- usage (13), 4305 goods receipt note (17), 4306 pro-forma invoice with a zero total (9),
-- 4307 consignment hand-over (2) from warehouse 4, a warehouse of kind 3 that stands for the
-- consignment warehouse 3 of Kovács és Társa (its own partner column names Müller, which
-- the issuer block must not use).
-- ---------------------------------------------------------------------------------------

INSERT INTO raktar_nevek (kod, lang_0000040e, lang_00000409, lang_00000407, partner_kod,
                          raktar_tipus, kapcsolt_raktar) VALUES
    (4, 'Kihelyezett készlet (Kovács és Társa)', 'Placed stock (Kovács és Társa)',
     'Ausgelagerter Bestand (Kovács és Társa)', 6, 3, 3);

INSERT INTO szszb (bizonylat_fajta, ev, szam, datum, ido) VALUES
    (3, 2026, 1, '2026-11-21', '16:40:00'),
    (11, 2026, 1, '2026-11-23', '09:00:00'),
    (13, 2026, 1, '2026-11-24', '14:10:00'),
    (17, 2026, 1, '2026-11-26', '07:55:00'),
    (9, 2026, 1, '2026-11-27', '12:00:00'),
    (2, 2026, 1, '2026-11-28', '10:45:00');

INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, datum, ido, kelte, telj_datum,
                               fiz_hatarido, partner_kod, mozgasnem_kod, fizetesmod_kod,
                               atvevo_kod, penzeszkoz_kod, projekt, forras_raktar_kod,
                               cel_raktar_kod, deviza_nev, deviza_arfolyam,
                               netto_arbevetel_vegosszeg, afa_arbevetel_vegosszeg,
                               brutto_arbevetel_vegosszeg, netto_arbevetel_vegosszeg_huf,
                               afa_arbevetel_vegosszeg_huf, brutto_arbevetel_vegosszeg_huf,
                               c_userid, c_date, c_time) VALUES
    (4302, 3, 'NY2026/0000001', '2026-11-21', '16:40:00', '2026-11-21', '2026-11-21',
     '2026-11-21', 0, 3, 3, 2, 2, 0, 2, 0, 'HUF', 1, 1000, 270, 1270, 1000, 270, 1270,
     'nagyp', '2026-11-21', '16:40:00'),
    (4303, 11, 'KM2026/0000001', '2026-11-23', '09:00:00', '2026-11-23', '2026-11-23',
     '2026-12-23', 2, 0, 2, 1, 2, 0, 0, 1, 'HUF', 1, 10000, 2700, 12700, 10000, 2700, 12700,
     'kovacsne', '2026-11-23', '9:00:00'),
    (4304, 13, 'PF2026/0000001', '2026-11-24', '14:10:00', '2026-11-24', '2026-11-24',
     '2026-11-24', 5, 0, 2, 3, 2, 1, 1, 0, 'HUF', 1, 20000, 5400, 25400, 20000, 5400, 25400,
     'nagyp', '2026-11-24', '14:10:00'),
    (4305, 17, 'AJ2026/0000001', '2026-11-26', '07:55:00', '2026-11-26', '2026-11-26',
     '2026-11-26', 2, 1, 2, 1, 2, 0, 0, 1, 'HUF', 1, 5000, 1350, 6350, 5000, 1350, 6350,
     'kovacsne', '2026-11-26', '7:55:00'),
    (4306, 9, 'PR2026/0000001', '2026-11-27', '12:00:00', '2026-11-27', '2026-11-27',
     '2026-12-05', 2, 3, 2, 2, 2, 0, 1, 0, 'HUF', 1, 0, 0, 0, 0, 0, 0,
     'kovacsne', '2026-11-27', '12:00:00'),
    (4307, 2, 'BA2026/0000001', '2026-11-28', '10:45:00', '2026-11-28', '2026-11-28',
     '2026-12-28', 2, 5, 2, 2, 2, 0, 4, 0, 'HUF', 1, 8000, 2160, 10160, 8000, 2160, 10160,
     'nagyp', '2026-11-28', '10:45:00');

INSERT INTO bizonylatszoveg_fej (kod, fej_kod, partner_kod, partner_nev, partner_orszag,
                                 partner_iszam, partner_telepules, partner_cim, partner_adoszam,
                                 fizetesmod_nev, fizetesmod_zaradek)
SELECT h.kod, h.kod, h.partner_kod, p.nev, p.orszag, p.iszam, p.telepules, p.cim, p.adoszam,
       f.lang_0000040e, f.zaradek_lang_0000040e
  FROM raktar_mozgas_fej h
  LEFT JOIN partner p ON p.kod = h.partner_kod
  LEFT JOIN fizetesmod f ON f.kod = h.fizetesmod_kod
 WHERE h.kod BETWEEN 4302 AND 4307;

-- The owner's block templates carry a line with a trailing space, which matches no item key
-- and adds nothing to the blocks.
UPDATE tulajdonos SET kiallito_sorok = kiallito_sorok || E'\nkiallito_cim ',
                      vevo_sorok = vevo_sorok || E'\nfax '
 WHERE kod = 1;

-- documents demo data
-- The cash-desk numbers handed out above, in the register of cash-desk numbers.
INSERT INTO penztar_bizonylat_szam (penztar_bizonylat_irany, penztar_bizonylat)
SELECT DISTINCT penztar_bizonylat_irany, penztar_bizonylat
  FROM penzeszkoz_iktato
 WHERE penztar_bizonylat_irany <> 0 AND coalesce(penztar_bizonylat, '') <> '';

-- ---------------------------------------------------------------------------------------
-- Exchange rates and pricing demo data
-- ---------------------------------------------------------------------------------------
-- Rates: EUR 400.125 on 1 March (read as 400.12) and 401.5 on 10 March; on 1 April EUR 400
-- and USD 320, so 100 EUR are 125 USD. Neither currency has a rate before 1 March.
-- Pricing: the fitters' group 6001 with rules of different scores by item category (1-6 are
-- the "< üres >" wildcards); partner 6001 in it with discounts (10 % and 5 % compound to
-- 14.5 %, a 7 % one above any turnover, a 4 % one bound to bank card payment) and an
-- accepted quotation (item 1 at 4000, item 13 at 0, which does not count); partners whose
-- tax numbers carry 1, 2 and 3 as the 10th character, one without a tax number and a
-- VAT-exempt one. Item 11 is promotional, items 6, 8 and 9 may be taxed by reverse charge,
-- project 1 is taxed by reverse charge.

INSERT INTO deviza (kod, nev, megjegyzes, bizonylat_vegosszeg_kerekites) VALUES
    (6001, 'USD', 'Amerikai dollár', 0);

INSERT INTO deviza_arfolyam (kod, deviza_nev, datum, huf_ertek) VALUES
    (6001, 'EUR', '2026-03-01', 400.125),
    (6002, 'EUR', '2026-03-10', 401.5),
    (6003, 'EUR', '2026-04-01', 400),
    (6004, 'USD', '2026-03-01', 355.3),
    (6005, 'USD', '2026-03-10', 352.8),
    (6006, 'USD', '2026-04-01', 320);

INSERT INTO partner_csoport (kod, lang_0000040e, lang_00000409, lang_00000407) VALUES
    (6001, 'Szerelők', 'Fitters', 'Monteure');

-- Item 13 (11, 21, 32, 41, 52, 62) meets the rules 6001 (score 2), 6002 and 6003 (score 3,
-- the later one wins), 6004 (score 1) and the all-wildcard rule 6005; item 12 only 6005.
INSERT INTO partner_csoport_egysegarak (kod, partner_csoport_kod, fajta1, fajta2, fajta3, fajta4,
                                        fajta5, fajta6, egysegar, szorzo) VALUES
    (6001, 6001, 11, 21, 3, 4, 5, 6, 1, 0.9),
    (6002, 6001, 11, 21, 32, 4, 5, 6, 1, 0.8),
    (6003, 6001, 11, 2, 32, 41, 5, 6, 2, 1.0),
    (6004, 6001, 11, 2, 3, 4, 5, 6, 1, 0.5),
    (6005, 6001, 1, 2, 3, 4, 5, 6, 1, 0.97);

INSERT INTO kedvezmeny (kod, lang_0000040e, lang_00000409, lang_00000407, kedvezmeny,
                        netto_limit, fizetesmod, kotott_fizetesmod) VALUES
    (6001, 'Szerelői kedvezmény', 'Fitter discount', 'Monteurrabatt', 10, 0, 0, 0),
    (6002, 'Hűségkedvezmény', 'Loyalty discount', 'Treuerabatt', 5, 0, 0, 0),
    (6003, 'Kiemelt partner kedvezmény', 'Premium partner discount', 'Premiumrabatt', 7,
     100000000, 0, 0),
    (6004, 'Kártyás kedvezmény', 'Card discount', 'Kartenrabatt', 4, 0, 3, 1);

INSERT INTO partner (kod, nev, iszam, telepules, cim, orszag, adoszam, fizetesmod,
                     partner_tipus, partner_csoport_kod, afa_mentes_forgalom, hasznalatban,
                     iso_engedely, c_userid, c_date, c_time) VALUES
    (6001, 'Villám Villanyszerelő Kft.', '5000', 'Szolnok', 'Ady Endre út 5.', 'Magyarország',
     '11223344-2-16', 2, 1, 6001, 0, 1, 1, 'admin', '2026-02-20', '9:00:00'),
    (6002, 'Kertész és Fia Bt.', '5008', 'Szolnok', 'Tiszaligeti sétány 2.', 'Magyarország',
     '22334455-1-16', 2, 1, 0, 0, 1, 1, 'admin', '2026-02-20', '9:05:00'),
    (6003, 'Alföld Generál Zrt.', '6720', 'Szeged', 'Kárász utca 9.', 'Magyarország',
     '33445566-3-06', 2, 1, 0, 0, 1, 1, 'admin', '2026-02-20', '9:10:00'),
    (6004, 'Nagy Anna', '5000', 'Szolnok', 'Petőfi utca 1.', 'Magyarország',
     NULL, 1, 1, 0, 0, 1, 1, 'admin', '2026-02-20', '9:15:00'),
    (6005, 'Tisza-parti Közhasznú Egyesület', '5000', 'Szolnok', 'Gutenberg tér 4.',
     'Magyarország', '44556677-2-16', 2, 1, 0, 1, 1, 1, 'admin', '2026-02-20', '9:20:00');

INSERT INTO partner_kedvezmeny (kod, partner_kod, kedvezmeny_kod) VALUES
    (6001, 6001, 6001),
    (6002, 6001, 6002),
    (6003, 6001, 6003),
    (6004, 6001, 6004);

-- Accepted quotation (kind 10, rendben 2) for partner 6001, valid from March to the end of
-- the year.
INSERT INTO szszb (kod, bizonylat_fajta, ev, szam, datum, ido) VALUES
    (6001, 10, 2026, 1, '2026-03-01', '10:00:00');
INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam, datum, ido, kelte, datum1,
                               datum2, rendben, partner_kod, fizetesmod_kod, deviza_nev,
                               deviza_arfolyam, netto_vegosszeg, brutto_vegosszeg,
                               netto_arbevetel_vegosszeg, afa_arbevetel_vegosszeg,
                               brutto_arbevetel_vegosszeg, netto_vegosszeg_huf,
                               brutto_vegosszeg_huf, netto_arbevetel_vegosszeg_huf,
                               afa_arbevetel_vegosszeg_huf, brutto_arbevetel_vegosszeg_huf,
                               c_userid, c_date, c_time) VALUES
    (6001, 10, 'AJ2026/0000001', '2026-03-01', '10:00:00', '2026-03-01', '2026-03-01',
     '2026-12-31', 2, 6001, 2, 'HUF', 1, 4000, 5080, 4000, 1080, 5080, 4000, 5080, 4000, 1080,
     5080, 'admin', '2026-03-01', '10:00:00');
INSERT INTO raktar_mozgas (kod, fej_kod, tetel_kod, mee_kod, afakulcs, mennyiseg,
                           lista_egysegar_netto, netto_egysegar, brutto_egysegar,
                           netto_egysegar_huf, brutto_egysegar_huf, netto_arbevetel,
                           brutto_arbevetel, netto_arbevetel_huf, brutto_arbevetel_huf,
                           netto_osszeg, brutto_osszeg, netto_osszeg_huf, brutto_osszeg_huf,
                           c_userid, c_date, c_time) VALUES
    (600101, 6001, 1, 1, 1, 1, 4000, 4000, 5080, 4000, 5080, 4000, 5080, 4000, 5080, 4000, 5080,
     4000, 5080, 'admin', '2026-03-01', '10:00:00'),
    (600102, 6001, 13, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'admin', '2026-03-01',
     '10:00:00');
-- invoice data (tax authority) demo data
-- How the VAT keys and payment methods are reported to the tax authority.
-- The 0 % key stands for no case the authority takes as a rate: it has no category until its
-- exemption or out-of-scope case is chosen (database_scripts/050_afa_kulcs_nulla_szazalek.sql).
UPDATE afa_kulcs SET nav_kategoria = 'PERCENTAGE' WHERE kod IN (1, 2, 3);
UPDATE afa_kulcs SET nav_kategoria = 'EXEMPTION', nav_eset = 'KBAET',
                     nav_indoklas = 'Áfa tv. 89. §'
 WHERE kod = 5;
UPDATE afa_kulcs SET nav_kategoria = 'DOMESTIC_REVERSE_CHARGE' WHERE kod = 6;
UPDATE fizetesmod SET nav_fizetesmod = 'CASH' WHERE kod = 1;
UPDATE fizetesmod SET nav_fizetesmod = 'TRANSFER' WHERE kod = 2;
UPDATE fizetesmod SET nav_fizetesmod = 'CARD' WHERE kod = 3;

-- ---------------------------------------------------------------------------------------
-- Every key sequence continues after the highest key stored.
-- ---------------------------------------------------------------------------------------
DO $$
DECLARE
    r record;
BEGIN
    FOR r IN SELECT c.table_name
               FROM information_schema.columns c
               JOIN information_schema.tables t
                 ON t.table_schema = c.table_schema AND t.table_name = c.table_name
              WHERE c.table_schema = 'public' AND c.column_name = 'kod'
                AND t.table_type = 'BASE TABLE' LOOP
        EXECUTE format('SELECT setval(%L, greatest(coalesce((SELECT max(kod) FROM %I), 0), 0) + 1, false)',
                       r.table_name || '_kod_seq', r.table_name);
    END LOOP;
END;
$$;
