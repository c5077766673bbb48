#include "report/engine/windows1250.h"

#include <iconv.h>

#include <unordered_map>

#include "report/engine/utf8.h"

namespace dorvan::report {

namespace {

// Code point -> byte for the upper half of the code page, read from the C library's
// converter once (bytes the code page leaves undefined are skipped).
struct UpperHalfTables {
    std::unordered_map<char32_t, char> toByte;
    char32_t toCodePoint[128] = {};
};

const UpperHalfTables& Tables() {
    static const UpperHalfTables table = [] {
        UpperHalfTables t;
        for (auto& cp : t.toCodePoint)
            cp = U'\uFFFD';
        iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1250");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return t;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            char in = static_cast<char>(byte);
            unsigned char out[8] = {};
            char* inPtr = &in;
            std::size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
                outLeft != sizeof out - 4)
                continue;
            const char32_t cp =
                static_cast<char32_t>(out[0]) | (static_cast<char32_t>(out[1]) << 8) |
                (static_cast<char32_t>(out[2]) << 16) | (static_cast<char32_t>(out[3]) << 24);
            t.toByte.emplace(cp, in);
            t.toCodePoint[byte - 0x80] = cp;
        }
        iconv_close(cd);
        return t;
    }();
    return table;
}

}  // namespace

std::string CodePointsToWindows1250(std::u32string_view text) {
    const auto& upper = Tables().toByte;
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        const auto it = upper.find(cp);
        out += it == upper.end() ? '?' : it->second;
    }
    return out;
}

std::string Utf8ToWindows1250(std::string_view utf8) {
    return CodePointsToWindows1250(Utf8ToCodePoints(utf8));
}

std::u32string Windows1250ToCodePoints(std::string_view bytes) {
    const auto& tables = Tables();
    std::u32string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += b < 0x80 ? static_cast<char32_t>(b) : tables.toCodePoint[b - 0x80];
    }
    return out;
}

}  // namespace dorvan::report
