-- The register of submissions to the tax authority (Online Számla 3.0): one row per document
-- and submission, written before the request leaves (state SENDING: sent, answer unknown)
-- and completed from the authority's answers.
--   fej_kod               the document (raktar_mozgas_fej.kod)
--   bizonylatszam         its invoice number as reported
--   muvelet               CREATE, MODIFY, STORNO (a report) or ANNUL (a technical annulment)
--   modositas_index       a modification's index in the invoice chain
--   eredeti_szamlaszam    a modification's original invoice number
--   keres_azonosito       the request id (requestId); keres_index: the item's index in it
--   tranzakcio_azonosito  the authority's transaction id
--   allapot               SENDING, RECEIVED, PROCESSING, SAVED, DONE, ABORTED, FAILED (refused
--                         as a whole or never sent), LOST (its answer was lost and the authority
--                         does not know it), ANNULLED (a DONE report technically annulled)
--   jovahagyas            an annulment's approval status (annulmentVerificationStatus)
--   uzenetek              the authority's messages, one per line (no secret is ever stored)
--   munkaallomas          the computer that sent it
--   elkuldve, valasz_ideje, allapot_ideje   when it left, when the answer came, last change
-- One report of a document is in flight or DONE at a time, and one annulment in flight.
-- Running the script again changes nothing; rows already there are kept as they are.
CREATE SEQUENCE IF NOT EXISTS nav_bekuldes_kod_seq;
CREATE TABLE IF NOT EXISTS nav_bekuldes (
    kod integer PRIMARY KEY DEFAULT nextval('nav_bekuldes_kod_seq'),
    fej_kod integer NOT NULL,
    bizonylatszam varchar(50) NOT NULL,
    muvelet varchar(6) NOT NULL,
    modositas_index integer,
    eredeti_szamlaszam varchar(50),
    keres_azonosito varchar(30) NOT NULL,
    keres_index integer NOT NULL,
    tranzakcio_azonosito varchar(30),
    allapot varchar(10) NOT NULL DEFAULT 'SENDING',
    jovahagyas varchar(30),
    uzenetek text,
    munkaallomas varchar(100),
    elkuldve timestamp with time zone NOT NULL DEFAULT now(),
    valasz_ideje timestamp with time zone,
    allapot_ideje timestamp with time zone,
    CONSTRAINT nav_bekuldes_muvelet_check CHECK (muvelet IN ('CREATE', 'MODIFY', 'STORNO', 'ANNUL')),
    CONSTRAINT nav_bekuldes_allapot_check CHECK (allapot IN ('SENDING', 'RECEIVED', 'PROCESSING',
        'SAVED', 'DONE', 'ABORTED', 'FAILED', 'LOST', 'ANNULLED')),
    CONSTRAINT nav_bekuldes_keres_index_check CHECK (keres_index BETWEEN 1 AND 100),
    CONSTRAINT nav_bekuldes_keres_key UNIQUE (keres_azonosito, keres_index)
);
ALTER SEQUENCE nav_bekuldes_kod_seq OWNED BY nav_bekuldes.kod;
CREATE INDEX IF NOT EXISTS nav_bekuldes_fej ON nav_bekuldes (fej_kod);
CREATE INDEX IF NOT EXISTS nav_bekuldes_tranzakcio ON nav_bekuldes (tranzakcio_azonosito);
-- The unique indexes are made only where the rows allow them; otherwise one notice says so
-- and the program's lock of the document still keeps its own workstations apart.
DO $$
BEGIN
    IF to_regclass('nav_bekuldes_jelentes_egyszer') IS NULL THEN
        IF EXISTS (SELECT 1 FROM nav_bekuldes
                    WHERE muvelet <> 'ANNUL'
                      AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED', 'DONE')
                    GROUP BY fej_kod HAVING count(*) > 1) THEN
            RAISE NOTICE 'nav_bekuldes: egy bizonylatnak több élő beküldése van, az egyediség indexe nem készült el';
        ELSE
            CREATE UNIQUE INDEX nav_bekuldes_jelentes_egyszer ON nav_bekuldes (fej_kod)
                WHERE muvelet <> 'ANNUL'
                  AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED', 'DONE');
        END IF;
    END IF;
    IF to_regclass('nav_bekuldes_erv_egyszer') IS NULL THEN
        IF EXISTS (SELECT 1 FROM nav_bekuldes
                    WHERE muvelet = 'ANNUL'
                      AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED')
                    GROUP BY fej_kod HAVING count(*) > 1) THEN
            RAISE NOTICE 'nav_bekuldes: egy bizonylatnak több folyamatban lévő érvénytelenítése van, az egyediség indexe nem készült el';
        ELSE
            CREATE UNIQUE INDEX nav_bekuldes_erv_egyszer ON nav_bekuldes (fej_kod)
                WHERE muvelet = 'ANNUL' AND allapot IN ('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED');
        END IF;
    END IF;
END
$$;
