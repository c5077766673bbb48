-- A document is reversed by one document at most. The reversal marks the document before it
-- writes (an atomic conditional update), and this key backs the mark in the database; where
-- a document already has two reversing documents the key is left out (one warning names
-- the reversed documents) and the mark alone guards new reversals.
SELECT frissites_egyedi_kulcs('raktar_mozgas_fej', 'raktar_mozgas_fej_sztornozott_egyszer',
                              'sztornozott_bizonylat_kod', false,
                              'sztornozott_bizonylat_kod <> 0');
