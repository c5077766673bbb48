-- Invoice data for the tax authority (Online Számla 3.0): how each VAT key and payment
-- method is reported.
--   afa_kulcs.nav_kategoria  PERCENTAGE (the key's rate), EXEMPTION, OUT_OF_SCOPE or
--                            DOMESTIC_REVERSE_CHARGE; empty: not decided yet
--   afa_kulcs.nav_eset       the exemption / out-of-scope case code (e.g. TAM, AAM, KBAET, ATK)
--   afa_kulcs.nav_indoklas   its legal reason as reported
--   fizetesmod.nav_fizetesmod TRANSFER, CASH, CARD, VOUCHER or OTHER
-- Existing rows get a category only where their flags leave no doubt; any other exempt key
-- stays empty and the invoice data of its documents names it until it is set.
ALTER TABLE afa_kulcs ADD COLUMN IF NOT EXISTS nav_kategoria varchar(30);
ALTER TABLE afa_kulcs ADD COLUMN IF NOT EXISTS nav_eset varchar(50);
ALTER TABLE afa_kulcs ADD COLUMN IF NOT EXISTS nav_indoklas varchar(200);
ALTER TABLE afa_kulcs DROP CONSTRAINT IF EXISTS afa_kulcs_nav_kategoria_check;
ALTER TABLE afa_kulcs ADD CONSTRAINT afa_kulcs_nav_kategoria_check
    CHECK (nav_kategoria IS NULL OR nav_kategoria IN
           ('PERCENTAGE', 'EXEMPTION', 'OUT_OF_SCOPE', 'DOMESTIC_REVERSE_CHARGE'));
ALTER TABLE fizetesmod ADD COLUMN IF NOT EXISTS nav_fizetesmod varchar(15);
ALTER TABLE fizetesmod DROP CONSTRAINT IF EXISTS fizetesmod_nav_fizetesmod_check;
ALTER TABLE fizetesmod ADD CONSTRAINT fizetesmod_nav_fizetesmod_check
    CHECK (nav_fizetesmod IS NULL OR nav_fizetesmod IN
           ('TRANSFER', 'CASH', 'CARD', 'VOUCHER', 'OTHER'));

UPDATE afa_kulcs SET nav_kategoria = 'DOMESTIC_REVERSE_CHARGE'
 WHERE nav_kategoria IS NULL AND forditott_adozas = 1;
UPDATE afa_kulcs SET nav_kategoria = 'EXEMPTION', nav_eset = 'KBAET',
                     nav_indoklas = 'Áfa tv. 89. §'
 WHERE nav_kategoria IS NULL AND mentes = 1 AND eus_tagorszagbeli_ertekesiteshez = 1;
UPDATE afa_kulcs SET nav_kategoria = 'PERCENTAGE'
 WHERE nav_kategoria IS NULL AND coalesce(mentes, 0) = 0 AND coalesce(forditott_adozas, 0) = 0;
UPDATE fizetesmod SET nav_fizetesmod = 'CASH'
 WHERE nav_fizetesmod IS NULL AND keszpenzes = 1;
UPDATE fizetesmod SET nav_fizetesmod = 'TRANSFER'
 WHERE nav_fizetesmod IS NULL AND halasztott_fizetesu = 1;
