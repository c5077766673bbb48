-- Invoice data for the tax authority: a 0 % VAT key is no rate the authority takes (it
-- accepts 5, 7, 12, 18 and 27 %; 20 and 25 % only for deliveries before 2013 and in
-- modifications). A 0 % sale is an exemption (AAM, TAM, KBAET, KBAUK, EAM, NAM) or out of
-- the scope of the VAT act (ATK, EUFAD37, EUFADE, EUE, HO), and which one only the user can
-- tell.
-- 001_afa_kulcs_nav.sql made every key that is neither exempt nor reverse-charged a
-- PERCENTAGE key, 0 % included. Such a key loses that category here, so it stands as "not
-- decided yet": the invoice data of its documents is refused, naming the key, until its
-- category, case code and reason are set (a PERCENTAGE 0 % key would be refused all the
-- same, under the authority's INVALID_VAT_DATA). Keys with another rate or another category
-- are left as they are. Running the script again changes nothing.
UPDATE afa_kulcs SET nav_kategoria = NULL
 WHERE nav_kategoria = 'PERCENTAGE' AND coalesce(afakulcs, 0) = 0;
