-- One price of an item in a price list.
SELECT frissites_egyedi_kulcs('tetel_egysegar', 'tetel_egysegar_lista_key',
                              'tetel_kod, egysegar_kod', true);
