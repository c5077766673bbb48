-- The tool of the following scripts for the unique keys the program's services lean on.
--
-- frissites_egyedi_kulcs(table, name, key, as_constraint, condition) makes the unique key
-- `name` of `table` over `key` (a column list, or an expression in parentheses): a table
-- constraint when `as_constraint` is true, otherwise a unique index, partial when
-- `condition` is given. A key that exists is left alone. Rows written before the key
-- existed may break it (workstations that numbered at the same moment, a value entered
-- twice): then nothing is made, no row is changed, deleted or renumbered, and one warning
-- line names the table and the repeated key values (the first ten); the start-up goes on
-- and the services keep working without the key. True when the key exists afterwards.
-- Statements are built from the arguments, so callers pass constants only.
CREATE OR REPLACE FUNCTION frissites_egyedi_kulcs(p_tabla text, p_nev text, p_kulcs text,
                                                  p_megkotes boolean DEFAULT false,
                                                  p_feltetel text DEFAULT NULL)
    RETURNS boolean
    LANGUAGE plpgsql AS $$
DECLARE
    v_szures text := coalesce(' WHERE ' || p_feltetel, '');
    v_ismetlodok text[];
    v_szoveg text;
BEGIN
    IF to_regclass(quote_ident(p_nev)) IS NOT NULL THEN
        RETURN true;
    END IF;
    BEGIN
        IF p_megkotes THEN
            EXECUTE format('ALTER TABLE %I ADD CONSTRAINT %I UNIQUE (%s)', p_tabla, p_nev, p_kulcs);
        ELSE
            EXECUTE format('CREATE UNIQUE INDEX %I ON %I (%s)%s', p_nev, p_tabla, p_kulcs,
                           v_szures);
        END IF;
        RETURN true;
    EXCEPTION WHEN unique_violation THEN
        -- the rows stay as they are; the key is not made
    END;
    EXECUTE format('SELECT array_agg(k ORDER BY k) FROM (SELECT k FROM'
                   ' (SELECT ROW(%1$s)::text AS k, ROW(%1$s) IS NOT NULL AS teljes FROM %2$I%3$s) s'
                   ' WHERE teljes GROUP BY k HAVING count(*) > 1) d',
                   p_kulcs, p_tabla, v_szures)
        INTO v_ismetlodok;
    v_szoveg := format('%s: ismétlődő kulcsértékek (%s)%s: %s%s; a(z) %s egyedi kulcs nem jött '
                       'létre, a sorok változatlanok.',
                       p_tabla, p_kulcs, coalesce(' ahol ' || p_feltetel, ''),
                       array_to_string(v_ismetlodok[1:10], ', '),
                       CASE WHEN cardinality(v_ismetlodok) > 10
                            THEN format(' és még %s', cardinality(v_ismetlodok) - 10)
                            ELSE '' END,
                       p_nev);
    RAISE WARNING '%', translate(v_szoveg, E'\r\n', '  ');
    RETURN false;
END;
$$;
