#pragma once
// A small RTF reader for the rich-text control: paragraphs, line breaks, bold, italic and
// underline, Windows-1250 and Unicode characters. Font tables, colours, pictures and other
// destinations are skipped.

#include <QString>
#include <string_view>

namespace dorvan::report {

bool LooksLikeRtf(std::string_view text);
// RTF to the HTML subset QTextDocument shows. Text that is not RTF is taken as plain UTF-8.
QString RichTextToHtml(std::string_view text);

}  // namespace dorvan::report
