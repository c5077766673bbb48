-- Currencies and exchange rates: one row per currency code, one rate per currency and day
-- (the start-up stores the forint and its rate of 1 once, also when workstations start at
-- the same moment). Codes or days entered twice keep their rows; the key is then left out
-- (one warning) and the start-up stores its rows under a lock instead.
SELECT frissites_egyedi_kulcs('deviza', 'deviza_nev_key', 'nev', true);
SELECT frissites_egyedi_kulcs('deviza_arfolyam', 'deviza_arfolyam_nap_key', 'deviza_nev, datum',
                              true);
