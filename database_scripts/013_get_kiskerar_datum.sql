-- Retail price of an item on a day given as a date (the product's get_kiskerar takes the
-- day as text).
CREATE OR REPLACE FUNCTION get_kiskerar(p_datum date, p_tetel text) RETURNS double precision
    LANGUAGE sql STABLE AS $$
    SELECT get_kiskerar(to_char(p_datum, 'YYYY-MM-DD'), p_tetel)
$$;
