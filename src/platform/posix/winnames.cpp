#include "winnames.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace vorn::platform::winnames {

namespace {

char32_t upper(char32_t c) {
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0x80)
        return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: mostly pairs of upper (even) and lower (odd),
        // shifted by one in 0x139..0x148 and 0x179..0x17E.
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (shifted)
            return (c % 2 == 0) ? c - 1 : c;
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

} // namespace

std::u32string upperKey(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra = b0 < 0x80             ? 0
                    : (b0 & 0xE0) == 0xC0 ? 1
                    : (b0 & 0xF0) == 0xE0 ? 2
                    : (b0 & 0xF8) == 0xF0 ? 3
                                          : -1;
        char32_t c = extra == 0   ? b0
                     : extra == 1 ? (b0 & 0x1F)
                     : extra == 2 ? (b0 & 0x0F)
                                  : (b0 & 0x07);
        bool good = extra >= 0 && i + extra < s.size();
        for (int k = 1; good && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            good = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        if (!good) {
            // A stray byte stands for itself, above every real code point.
            out += static_cast<char32_t>(0x110000 + b0);
            ++i;
            continue;
        }
        out += upper(c);
        i += extra + 1;
    }
    return out;
}

bool sameName(const std::string& a, const std::string& b) {
    return a == b || upperKey(a) == upperKey(b);
}

namespace {

// The sort weights of one name in the order Windows' case-insensitive
// word sort gives (the order Wine's cmd.exe lists names in): hyphens and
// apostrophes count only to break ties; punctuation comes before digits,
// digits before letters; letters ignore case and accents at first, and a
// few letters count as two (Æ as AE, ß as SS, Þ as TH).
struct SortKey {
    std::vector<std::uint32_t> primary;
    std::vector<std::uint32_t> accents;
    std::size_t ignored = 0;
};

constexpr std::u32string_view kSymbols = U" !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

// The plain letter an accented Latin-1 capital sorts with (0 if none).
char32_t baseLetter(char32_t upperCh) {
    static const char32_t table[] = {// 0xC0..0xDE
                                     'A', 'A', 'A', 'A', 'A', 'A', 0,   'C', 'E', 'E', 'E',
                                     'E', 'I', 'I', 'I', 'I', 'D', 'N', 'O', 'O', 'O', 'O',
                                     'O', 0,   'O', 'U', 'U', 'U', 'U', 'Y', 0};
    if (upperCh >= 0xC0 && upperCh <= 0xDE)
        return table[upperCh - 0xC0];
    if (upperCh == 0x178)
        return 'Y';
    return 0;
}

SortKey sortKey(const std::string& name) {
    SortKey key;
    const std::u32string up = upperKey(name);
    auto letter = [&](char32_t c, char32_t accent) {
        key.primary.push_back(0x3000000u + static_cast<std::uint32_t>(c));
        key.accents.push_back(static_cast<std::uint32_t>(accent));
    };
    for (char32_t c : up) {
        if (c == U'-' || c == U'\'' || c == 0xAD) {
            ++key.ignored;
        } else if (c >= U'0' && c <= U'9') {
            key.primary.push_back(0x2000000u + static_cast<std::uint32_t>(c));
            key.accents.push_back(0);
        } else if (c >= U'A' && c <= U'Z') {
            letter(c, 0);
        } else if (c == 0xC6) { // Æ
            letter(U'A', 0);
            letter(U'E', 0xC6);
        } else if (c == 0xDF) { // ß
            letter(U'S', 0);
            letter(U'S', 0xDF);
        } else if (c == 0xDE) { // Þ
            letter(U'T', 0);
            letter(U'H', 0xDE);
        } else if (c == 0x152) { // Œ
            letter(U'O', 0);
            letter(U'E', 0x152);
        } else if (char32_t base = baseLetter(c)) {
            letter(base, c);
        } else if (const auto at = kSymbols.find(c); at != std::u32string_view::npos) {
            key.primary.push_back(0x1000000u + static_cast<std::uint32_t>(at));
            key.accents.push_back(0);
        } else if (c < 0x80) {
            // Control characters: before everything else.
            key.primary.push_back(static_cast<std::uint32_t>(c));
            key.accents.push_back(0);
        } else {
            // Other letters and signs: after the Latin letters, by code point.
            letter(c, 0);
        }
    }
    return key;
}

} // namespace

static bool keyBefore(const SortKey& ka, const SortKey& kb, const std::string& a,
                      const std::string& b) {
    if (ka.primary != kb.primary)
        return ka.primary < kb.primary;
    if (ka.accents != kb.accents)
        return ka.accents < kb.accents;
    if (ka.ignored != kb.ignored)
        return ka.ignored < kb.ignored;
    return a < b;
}

bool listsBefore(const std::string& a, const std::string& b) {
    if (a == b)
        return false;
    return keyBefore(sortKey(a), sortKey(b), a, b);
}

void sortForListing(std::vector<std::string>& names) {
    std::vector<std::pair<SortKey, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) {
        SortKey k = sortKey(n);
        keyed.emplace_back(std::move(k), std::move(n));
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) {
        return keyBefore(x.first, y.first, x.second, y.second);
    });
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[i].second);
}

namespace {

bool globMatch(const std::u32string& p, std::size_t pi, const std::u32string& n, std::size_t ni) {
    // Iterative matcher with backtracking on the last '*'.
    std::size_t starP = std::u32string::npos;
    std::size_t starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}

} // namespace

NamePattern::NamePattern(const std::string& pattern) : pattern_(upperKey(pattern)) {
    all_ = pattern_ == U"*.*" || pattern_ == U"*";
    // The short-name match: "*.ABC" against "X.ABCD".
    if (pattern_.size() == 5 && pattern_[0] == U'*' && pattern_[1] == U'.' &&
        pattern_.substr(2).find_first_of(U"*?.") == std::u32string::npos)
        shortExt_ = pattern_.substr(2);
}

bool NamePattern::matches(const std::string& name) const {
    if (all_)
        return true;
    const auto n = upperKey(name);
    if (globMatch(pattern_, 0, n, 0))
        return true;
    if (shortExt_.empty())
        return false;
    const auto dot = n.rfind(U'.');
    if (dot == std::u32string::npos || dot == 0)
        return false;
    return n.size() - dot - 1 > 3 && n.compare(dot + 1, 3, shortExt_) == 0;
}

bool matchesPattern(const std::string& pattern, const std::string& name) {
    return NamePattern(pattern).matches(name);
}

bool hasWildcards(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

} // namespace vorn::platform::winnames
