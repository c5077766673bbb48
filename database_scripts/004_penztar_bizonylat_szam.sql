-- The register of cash-desk document numbers handed out, once per direction (several
-- postings of one cash-desk document share its number, so the postings themselves cannot
-- carry the key). It starts with the numbers the postings already carry; a number that
-- several postings share, or that workstations once gave twice, is entered once.
CREATE SEQUENCE IF NOT EXISTS penztar_bizonylat_szam_kod_seq;
CREATE TABLE IF NOT EXISTS penztar_bizonylat_szam (
    kod integer PRIMARY KEY DEFAULT nextval('penztar_bizonylat_szam_kod_seq'),
    penztar_bizonylat_irany integer NOT NULL,
    penztar_bizonylat varchar(12) NOT NULL,
    CONSTRAINT penztar_bizonylat_szam_key UNIQUE (penztar_bizonylat_irany, penztar_bizonylat)
);
ALTER SEQUENCE penztar_bizonylat_szam_kod_seq OWNED BY penztar_bizonylat_szam.kod;

INSERT INTO penztar_bizonylat_szam (penztar_bizonylat_irany, penztar_bizonylat)
SELECT DISTINCT p.penztar_bizonylat_irany, p.penztar_bizonylat
  FROM penzeszkoz_iktato p
 WHERE coalesce(p.penztar_bizonylat_irany, 0) <> 0
   AND coalesce(p.penztar_bizonylat, '') <> ''
   AND length(p.penztar_bizonylat) <= 12
   AND NOT EXISTS (SELECT 1 FROM penztar_bizonylat_szam r
                    WHERE r.penztar_bizonylat_irany = p.penztar_bizonylat_irany
                      AND r.penztar_bizonylat = p.penztar_bizonylat);
