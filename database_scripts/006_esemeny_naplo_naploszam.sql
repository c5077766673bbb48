-- A partner's journal numbers are unique: two entries stored at once cannot share one. Where
-- a partner already has a number twice the key is left out (one warning names them); new
-- entries are still numbered one at a time under the partner's lock.
SELECT frissites_egyedi_kulcs('esemeny_naplo', 'esemeny_naplo_naploszam_key',
                              'partner_kod, naploszam', false, 'naploszam > 0');
