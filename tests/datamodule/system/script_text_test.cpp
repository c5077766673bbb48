// What the update step reads from a script file: UTF-8 checks, code page 1250 names and
// texts, and the statements that would end the transaction a script runs in.

#include "datamodule/system/script_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace dorvan {
namespace {

TEST(ScriptText, Utf8Validity) {
    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"ASCII", "CREATE TABLE a (b int);", true},
        {"Hungarian letters", "árvíztűrő tükörfúrógép ŐŰ", true},
        {"euro sign and emoji", "\xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"empty", "", true},
        {"code page 1250 \xF5 (ő)", "t\xF5r\xF5", false},
        {"lone continuation byte", "a\x80", false},
        {"cut sequence", "\xC3", false},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong three bytes", "\xE0\x80\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
    }
}

TEST(ScriptText, NamesAndTextsInCodePage1250BecomeUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string utf8;
        bool converted;
    };
    const Case cases[] = {
        {"UTF-8 stays", "030_árfolyam.sql", "030_árfolyam.sql", false},
        {"code page 1250 name", "030_\xE1rfolyam_\xF5\xFB.sql", "030_árfolyam_őű.sql", true},
        {"capitals and signs", "\xD5\xDB \x8A\x8E \x80 \x96", "ŐŰ ŠŽ € –", true},
        {"undefined byte", "a\x81z", "a\xEF\xBF\xBDz", true},
        {"byte-order mark removed", "\xEF\xBB\xBFSELECT 1;", "SELECT 1;", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool converted = !c.converted;
        EXPECT_EQ(TextAsUtf8(c.bytes, &converted), c.utf8);
        EXPECT_EQ(converted, c.converted);
    }
    EXPECT_EQ(Windows1250ToUtf8("INSERT INTO t VALUES ('\xE1rv\xEDzt\xFBr\xF5');"),
              "INSERT INTO t VALUES ('árvíztűrő');");
}

TEST(ScriptText, StatementsThatEndTheTransactionAreFound) {
    struct Case {
        const char* name;
        std::string sql;
        std::optional<std::string> statement;
        int line;
    };
    const Case cases[] = {
        {"own transaction", "BEGIN;\nCREATE TABLE a (b int);\nCOMMIT;\n", "BEGIN", 1},
        {"commit at the end", "CREATE TABLE a (b int);\n\n  Commit ;\n", "COMMIT", 3},
        {"commit without semicolon", "CREATE TABLE a (b int);\ncommit", "COMMIT", 2},
        {"end", "UPDATE a SET b = 1;\nend;", "END", 2},
        {"rollback", "DELETE FROM a;\nROLLBACK;", "ROLLBACK", 2},
        {"abort", "abort;", "ABORT", 1},
        {"start transaction", "START TRANSACTION ISOLATION LEVEL SERIALIZABLE;",
         "START TRANSACTION", 1},
        {"prepare transaction", "PREPARE TRANSACTION 'x';", "PREPARE TRANSACTION", 1},
        {"commit and chain", "COMMIT AND CHAIN;", "COMMIT", 1},
        {"after a function with a standard body",
         "CREATE FUNCTION f() RETURNS int LANGUAGE sql\nBEGIN ATOMIC\n  SELECT CASE WHEN true "
         "THEN 1 END;\nEND;\nCOMMIT;",
         "COMMIT", 5},
        {"DO block", "DO $$ BEGIN PERFORM 1; COMMIT; END $$;", std::nullopt, 0},
        {"tagged body",
         "CREATE FUNCTION g() RETURNS void LANGUAGE plpgsql AS $body$\nBEGIN\n  NULL;\nEND;\n"
         "$body$;",
         std::nullopt, 0},
        {"function with a standard body",
         "CREATE OR REPLACE FUNCTION f() RETURNS int LANGUAGE sql\nBEGIN ATOMIC\n  SELECT 1;\n"
         "END;",
         std::nullopt, 0},
        {"procedure with a standard body",
         "CREATE PROCEDURE p() LANGUAGE sql BEGIN ATOMIC INSERT INTO a VALUES (1); END;",
         std::nullopt, 0},
        {"quoted texts", "SELECT 'COMMIT; BEGIN'; SELECT E'it\\'s; ROLLBACK';", std::nullopt, 0},
        {"quoted names", "SELECT 1 AS \"commit\"; SELECT \"a;\"\"end\" FROM t;", std::nullopt, 0},
        {"comments", "-- COMMIT;\n/* ROLLBACK; /* nested */ END; */ SELECT 1;", std::nullopt, 0},
        {"savepoints", "SAVEPOINT s; ROLLBACK TO SAVEPOINT s; ROLLBACK WORK TO s; RELEASE s;",
         std::nullopt, 0},
        {"words inside statements", "SELECT CASE WHEN true THEN 1 END; UPDATE t SET commit = 1;",
         std::nullopt, 0},
        {"parameter sign", "SELECT $1; SELECT a$b FROM t;", std::nullopt, 0},
        {"prepared statement", "PREPARE p AS SELECT 1; DEALLOCATE p;", std::nullopt, 0},
        {"empty", "", std::nullopt, 0},
        {"release script",
         "SELECT frissites_egyedi_kulcs('szszb', 'k', 'a, b', true);\n"
         "CREATE OR REPLACE FUNCTION f(p integer) RETURNS integer LANGUAGE plpgsql AS $$\n"
         "DECLARE v integer;\nBEGIN\n  RETURN p;\nEND;\n$$;",
         std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = FindTransactionControl(c.sql);
        ASSERT_EQ(found.has_value(), c.statement.has_value());
        if (found) {
            EXPECT_EQ(found->statement, *c.statement);
            EXPECT_EQ(found->line, c.line);
        }
    }
}

}  // namespace
}  // namespace dorvan
