#include "codepage.h"

#include <algorithm>
#include <cstdint>

namespace vorn::platform {

namespace {

// Bytes 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`; a malformed byte yields U+FFFD and
// advances by one.
char32_t nextUtf8(const std::string& s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + extra >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += extra + 1;
    return c;
}

} // namespace

std::string cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out += ch;
        } else if (b < 0xA0) {
            const char32_t c = kHigh[b - 0x80];
            // Unassigned bytes pass through as the C1 control of that value,
            // as Windows' own conversion does.
            appendUtf8(out, c ? c : b);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

namespace {

// The Windows-1252 byte of a character, or '?' when it has none.
char toCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int k = 0; k < 32; ++k) {
        if (kHigh[k] == c || (kHigh[k] == 0 && c == static_cast<char32_t>(0x80 + k)))
            return static_cast<char>(0x80 + k);
    }
    return '?';
}

} // namespace

std::vector<std::string> cp1252Missing(const std::string& text) {
    std::vector<std::string> missing;
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t c = nextUtf8(text, i);
        if (c == U'?' || toCp1252(c) != '?')
            continue;
        std::string one;
        appendUtf8(one, c);
        if (std::find(missing.begin(), missing.end(), one) == missing.end())
            missing.push_back(one);
    }
    return missing;
}

std::string utf8ToCp1252(const std::string& text) {
    // Plain ASCII, by far the most common text, is the same in both.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return text;
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        out += toCp1252(nextUtf8(text, i));
    }
    return out;
}

} // namespace vorn::platform
