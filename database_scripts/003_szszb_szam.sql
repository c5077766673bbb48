-- Document numbers (register szszb): a serial is handed out once per document kind and year.
--
-- szszb_uj_szam(kind, year) registers and returns the next serial: it holds the lock of the
-- kind and year until the register row is committed, so the largest serial read is the
-- latest one and workstations numbering at the same moment get different serials. The unique
-- key guards the register as well; where the register already holds a serial twice the key
-- is left out (one warning names them) and the lock alone keeps new serials apart: after
-- 1, 1, 2 the next serial is 3.
SELECT frissites_egyedi_kulcs('szszb', 'szszb_bizonylat_fajta_ev_szam_key',
                              'bizonylat_fajta, ev, szam', true);

CREATE OR REPLACE FUNCTION szszb_uj_szam(p_fajta integer, p_ev integer) RETURNS integer
    LANGUAGE plpgsql AS $$
DECLARE
    v_szam integer;
BEGIN
    PERFORM pg_advisory_xact_lock(hashtext('szszb'), hashtext(p_fajta || '/' || p_ev));
    INSERT INTO szszb (bizonylat_fajta, ev, szam, datum, ido)
    VALUES (p_fajta, p_ev,
            (SELECT null_to_zero(max(szam)) FROM szszb WHERE bizonylat_fajta = p_fajta AND ev = p_ev) + 1,
            current_date, current_time)
    RETURNING szam INTO v_szam;
    RETURN v_szam;
END;
$$;
