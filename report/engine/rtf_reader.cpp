#include "report/engine/rtf_reader.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "report/engine/windows1250.h"

namespace dorvan::report {

namespace {

struct RtfState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool skip = false;
    int ucSkip = 1;
};

class RtfToHtmlConverter {
  public:
    explicit RtfToHtmlConverter(std::string_view rtf) : rtf_(rtf) {}

    QString Convert() {
        std::vector<RtfState> stack;
        RtfState state;
        int pendingSkip = 0;  // characters to drop after \uN
        while (pos_ < rtf_.size()) {
            const char c = rtf_[pos_];
            if (c == '{') {
                stack.push_back(state);
                ++pos_;
                if (Peek("\\*"))
                    state.skip = true;
            } else if (c == '}') {
                if (!stack.empty()) {
                    state = stack.back();
                    stack.pop_back();
                }
                ++pos_;
            } else if (c == '\\') {
                ++pos_;
                ControlWord(state, pendingSkip);
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                ++pos_;
                if (pendingSkip > 0) {
                    --pendingSkip;
                    continue;
                }
                if (!state.skip)
                    Emit(state, Windows1250ToCodePoints(std::string_view(&c, 1)));
            }
        }
        CloseSpan();
        return html_;
    }

  private:
    bool Peek(std::string_view s) const { return rtf_.substr(pos_, s.size()) == s; }

    void ControlWord(RtfState& state, int& pendingSkip) {
        if (pos_ >= rtf_.size())
            return;
        const char c = rtf_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            if (c == '\'' && pos_ + 2 <= rtf_.size()) {
                const std::string hex(rtf_.substr(pos_, 2));
                pos_ += 2;
                const char byte = static_cast<char>(std::strtol(hex.c_str(), nullptr, 16));
                if (pendingSkip > 0)
                    --pendingSkip;
                else if (!state.skip)
                    Emit(state, Windows1250ToCodePoints(std::string_view(&byte, 1)));
            } else if (c == '\\' || c == '{' || c == '}') {
                if (!state.skip)
                    Emit(state, std::u32string(1, static_cast<char32_t>(c)));
            } else if (c == '~') {
                if (!state.skip)
                    Emit(state, U"\u00A0");
            } else if (c == '_') {
                if (!state.skip)
                    Emit(state, U"-");
            } else if (c == '\r' || c == '\n') {
                if (!state.skip)
                    Break();
            }
            return;
        }
        std::string word;
        while (pos_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[pos_])))
            word += rtf_[pos_++];
        bool hasParam = false;
        int param = 0;
        bool negative = false;
        if (pos_ < rtf_.size() && rtf_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        while (pos_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[pos_]))) {
            hasParam = true;
            param = param * 10 + (rtf_[pos_++] - '0');
        }
        if (negative)
            param = -param;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ')
            ++pos_;

        static const char* const kSkipped[] = {
            "fonttbl", "colortbl",  "stylesheet",        "info",     "pict", "header", "footer",
            "object",  "listtable", "listoverridetable", "generator"};
        for (const char* s : kSkipped)
            if (word == s)
                state.skip = true;
        if (state.skip)
            return;
        const bool on = !hasParam || param != 0;
        if (word == "par" || word == "line") {
            Break();
        } else if (word == "tab") {
            Emit(state, U"    ");
        } else if (word == "b") {
            state.bold = on;
        } else if (word == "i") {
            state.italic = on;
        } else if (word == "ul") {
            state.underline = on;
        } else if (word == "ulnone") {
            state.underline = false;
        } else if (word == "plain") {
            state.bold = state.italic = state.underline = false;
        } else if (word == "uc") {
            state.ucSkip = param;
        } else if (word == "u") {
            const auto cp = static_cast<char32_t>(param < 0 ? param + 65536 : param);
            Emit(state, std::u32string(1, cp));
            pendingSkip = state.ucSkip;
        }
    }

    void Emit(const RtfState& state, const std::u32string& text) {
        if (!spanOpen_ || state.bold != span_.bold || state.italic != span_.italic ||
            state.underline != span_.underline) {
            CloseSpan();
            span_ = state;
            spanOpen_ = true;
            html_ += QStringLiteral("<span style=\"");
            if (state.bold)
                html_ += QStringLiteral("font-weight:bold;");
            if (state.italic)
                html_ += QStringLiteral("font-style:italic;");
            if (state.underline)
                html_ += QStringLiteral("text-decoration:underline;");
            html_ += QStringLiteral("\">");
        }
        html_ +=
            QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
    }

    void CloseSpan() {
        if (spanOpen_)
            html_ += QStringLiteral("</span>");
        spanOpen_ = false;
    }

    void Break() {
        CloseSpan();
        html_ += QStringLiteral("<br/>");
    }

    std::string_view rtf_;
    std::size_t pos_ = 0;
    QString html_;
    RtfState span_;
    bool spanOpen_ = false;
};

}  // namespace

bool LooksLikeRtf(std::string_view text) {
    return text.substr(0, 5) == "{\\rtf";
}

QString RichTextToHtml(std::string_view text) {
    if (LooksLikeRtf(text))
        return RtfToHtmlConverter(text).Convert();
    QString html =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped();
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br/>"));
    html.replace(QChar('\r'), QStringLiteral("<br/>"));
    html.replace(QChar('\n'), QStringLiteral("<br/>"));
    return html;
}

}  // namespace dorvan::report
