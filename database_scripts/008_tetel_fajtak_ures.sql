-- One "< üres >" (empty) value per item category, also when several workstations create it
-- at the same moment. A category that already has two keeps them (the start-up uses the
-- one with the lower key); the key is then left out and one warning names the categories.
SELECT frissites_egyedi_kulcs('tetel_fajtak', 'tetel_fajtak_ures_key', 'fajta_kod', false,
                              'lang_0000040e = ''< üres >''');
