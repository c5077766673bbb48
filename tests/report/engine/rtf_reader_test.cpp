#include "report/engine/rtf_reader.h"

#include <gtest/gtest.h>

namespace dorvan::report {
namespace {

struct RtfCase {
    const char* name;
    const char* input;
    const char* html;
};

TEST(RtfReader, ToHtml) {
    const RtfCase cases[] = {
        {"plain text stays text", "a < b\r\nc", "a &lt; b<br/>c"},
        {"font and colour tables are skipped",
         R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0 Hello})",
         R"(<span style="">Hello</span>)"},
        {"code page bytes and unicode", R"({\rtf1\ansi\ansicpg1250 \'f5\'fb \u336?\u368?})",
         R"(<span style="">őű ŐŰ</span>)"},
        {"bold, italic and paragraphs", R"({\rtf1 a {\b b}\par \i c\i0 d})",
         R"(<span style="">a </span><span style="font-weight:bold;">b</span><br/>)"
         R"(<span style="font-style:italic;">c</span><span style="">d</span>)"},
        {"ignorable destinations", R"({\rtf1 {\*\generator X;}x\{y\}})",
         R"(<span style="">x{y}</span>)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RichTextToHtml(c.input).toStdString(), c.html);
    }
}

}  // namespace
}  // namespace dorvan::report
