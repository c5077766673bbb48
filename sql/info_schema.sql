-- The maker's central information database: the latest released program version.
-- Loaded as one script into its own empty UTF8 database.

SET client_min_messages = warning;

-- One row: the highest program version released ("1.105" style, compared as text).
CREATE SEQUENCE dv_2007_info_kod_seq;
CREATE TABLE dv_2007_info (
    kod integer PRIMARY KEY DEFAULT nextval('dv_2007_info_kod_seq'),
    last_version varchar(20) NOT NULL DEFAULT ''
);
ALTER SEQUENCE dv_2007_info_kod_seq OWNED BY dv_2007_info.kod;

INSERT INTO dv_2007_info (last_version) VALUES ('1.100');
