-- Lookup indexes of the program's reads: the lines, texts and cash postings of a document,
-- documents by number, date and partner, a line's delivery-note line, the identified pieces
-- of a line, the price rules of a partner group and the discounts of a partner. Building an
-- index on a large table holds off writes to that table while it runs.
CREATE INDEX IF NOT EXISTS raktar_mozgas_fej_bizonylatszam ON raktar_mozgas_fej (bizonylatszam);
CREATE INDEX IF NOT EXISTS raktar_mozgas_fej_datum ON raktar_mozgas_fej (datum, ido);
CREATE INDEX IF NOT EXISTS raktar_mozgas_fej_partner ON raktar_mozgas_fej (partner_kod, bizonylat_fajta);
CREATE INDEX IF NOT EXISTS raktar_mozgas_fej_kod ON raktar_mozgas (fej_kod);
CREATE INDEX IF NOT EXISTS raktar_mozgas_tetel_kod ON raktar_mozgas (tetel_kod);
CREATE INDEX IF NOT EXISTS raktar_mozgas_szallitos_tetel_kod ON raktar_mozgas (szallitos_tetel_kod);
CREATE INDEX IF NOT EXISTS raktar_mozgas_egyedi_rm_kod ON raktar_mozgas_egyedi (rm_kod);
CREATE INDEX IF NOT EXISTS bizonylatszoveg_fej_fej_kod ON bizonylatszoveg_fej (fej_kod);
CREATE INDEX IF NOT EXISTS bizonylatszoveg_sor_kod ON bizonylatszoveg (sor_kod);
CREATE INDEX IF NOT EXISTS penzeszkoz_iktato_fej_kod ON penzeszkoz_iktato (raktar_mozgas_fej_kod);
CREATE INDEX IF NOT EXISTS _prev_raktar_mozgas_fej_kod ON _prev_raktar_mozgas (fej_kod);
CREATE INDEX IF NOT EXISTS partner_csoport_egysegarak_csoport
    ON partner_csoport_egysegarak (partner_csoport_kod);
CREATE INDEX IF NOT EXISTS partner_kedvezmeny_partner ON partner_kedvezmeny (partner_kod);
