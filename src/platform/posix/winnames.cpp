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

// The order Windows' case-insensitive word sort gives (the order Wine's
// cmd.exe lists names in): hyphens and apostrophes count only to break
// ties; punctuation comes before digits, digits before letters; letters
// ignore case and accents at first, and a few letters count as two (Æ as
// AE, ß as SS, Þ as TH, Œ as OE). Names are compared by
//   1. their primary weights (one per character that counts),
//   2. then the accents of those characters,
//   3. then how many hyphens and apostrophes they hold,
//   4. then their exact bytes.
//
// Each name becomes one flat byte string holding these four parts, so that
// plain byte comparison of two keys gives the order. A weight is written in
// UTF-8's variable-length form (extended to 21 bits), which keeps the order
// of numbers and never makes one weight a prefix of another; the primary
// weights end with a zero byte, below every weight, so that a name whose
// weights begin another's comes first. Accents are compared only between
// names with equal primary weights, whose accent lists are equally long;
// each is written one higher, trailing plain ones (no accent) are left
// out, and a zero byte ends the list, so that a plain name (the most
// common kind) carries a single zero byte of accents.

constexpr std::u32string_view kSymbols = U" !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

// Primary weights, dense and in order: control characters, punctuation,
// digits, the letters A..Z, then every other letter or sign by code point.
// Plain ASCII characters all weigh less than 0x80: one byte each.
constexpr std::uint32_t kFirstSymbol = 0x22;
constexpr std::uint32_t kFirstDigit = kFirstSymbol + kSymbols.size();
constexpr std::uint32_t kFirstLetter = kFirstDigit + 10;
constexpr std::uint32_t kFirstOther = kFirstLetter + 26;

std::uint32_t letterWeight(char32_t c) {
    return c <= U'Z' ? kFirstLetter + (c - U'A') : kFirstOther + (c - 0x80);
}

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

// The weights of one upper-case character: up to two primary weights with
// their accents; none for a character that only breaks ties.
struct CharWeights {
    std::uint32_t primary[2] = {0, 0};
    std::uint32_t accent[2] = {0, 0};
    int count = 0;
};

CharWeights weigh(char32_t c) {
    CharWeights w;
    auto add = [&w](std::uint32_t primary, std::uint32_t accent) {
        w.primary[w.count] = primary;
        w.accent[w.count] = accent;
        ++w.count;
    };
    auto pair = [&](char32_t first, char32_t second, char32_t accent) {
        add(letterWeight(first), 0);
        add(letterWeight(second), accent);
    };
    if (c == U'-' || c == U'\'' || c == 0xAD) {
        // counts only to break ties
    } else if (c >= U'0' && c <= U'9') {
        add(kFirstDigit + (c - U'0'), 0);
    } else if (c >= U'A' && c <= U'Z') {
        add(letterWeight(c), 0);
    } else if (c == 0xC6) { // Æ
        pair(U'A', U'E', c);
    } else if (c == 0xDF) { // ß
        pair(U'S', U'S', c);
    } else if (c == 0xDE) { // Þ
        pair(U'T', U'H', c);
    } else if (c == 0x152) { // Œ
        pair(U'O', U'E', c);
    } else if (char32_t base = baseLetter(c)) {
        add(letterWeight(base), c);
    } else if (const auto at = kSymbols.find(c); at != std::u32string_view::npos) {
        add(kFirstSymbol + static_cast<std::uint32_t>(at), 0);
    } else if (c < 0x80) {
        // Control characters: before everything else.
        add(c == 0x7F ? kFirstSymbol - 1 : c + 1, 0);
    } else {
        // Other letters and signs: after the Latin letters, by code point.
        add(letterWeight(c), 0);
    }
    return w;
}

// One weight (below 2^21) in UTF-8's variable-length form.
void appendWeight(std::string& out, std::uint32_t v) {
    if (v < 0x80) {
        out += static_cast<char>(v);
    } else if (v < 0x800) {
        out += static_cast<char>(0xC0 | (v >> 6));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else if (v < 0x10000) {
        out += static_cast<char>(0xE0 | (v >> 12));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (v >> 18));
        out += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (v & 0x3F));
    }
}

// The primary weight of each ASCII character (lower case folded), 0 for a
// hyphen or an apostrophe.
struct AsciiTable {
    unsigned char weight[0x80] = {};
    AsciiTable() {
        for (char32_t c = 0; c < 0x80; ++c) {
            const CharWeights w = weigh(c >= U'a' && c <= U'z' ? c - 0x20 : c);
            weight[c] = static_cast<unsigned char>(w.count ? w.primary[0] : 0);
        }
    }
};

const AsciiTable kAscii;

// Appends the key whose byte order is the listing order (see above).
void appendListingKey(std::string& key, const std::string& name) {
    std::uint32_t ignored = 0;
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        // At most one weight per character; no accents.
        const std::size_t start = key.size();
        key.resize(start + name.size());
        char* out = key.data() + start;
        for (char c : name) {
            if (const unsigned char w = kAscii.weight[static_cast<unsigned char>(c)])
                *out++ = static_cast<char>(w);
            else
                ++ignored;
        }
        key.resize(static_cast<std::size_t>(out - key.data()));
        key.append(2, '\0');
    } else {
        std::string accents;
        std::size_t plainFrom = 0; // accents from here on are all plain
        for (char32_t c : upperKey(name)) {
            const CharWeights w = weigh(c);
            if (w.count == 0)
                ++ignored;
            for (int i = 0; i < w.count; ++i) {
                appendWeight(key, w.primary[i]);
                appendWeight(accents, w.accent[i] + 1);
                if (w.accent[i] != 0)
                    plainFrom = accents.size();
            }
        }
        accents.resize(plainFrom);
        key += '\0';
        key += accents;
        key += '\0';
    }
    appendWeight(key, ignored);
    key += name;
}

std::string listingKey(const std::string& name) {
    std::string key;
    key.reserve(2 * name.size() + 4);
    appendListingKey(key, name);
    return key;
}

} // namespace

bool listsBefore(const std::string& a, const std::string& b) {
    return a != b && listingKey(a) < listingKey(b);
}

void sortForListing(std::vector<std::string>& names) {
    // All keys in one buffer; the sort moves only small records. Each
    // record carries the first 16 bytes of its key as two numbers, so that
    // most comparisons are two number comparisons (the first 16 bytes hold
    // about as many characters of the name); only keys that agree there are
    // compared further, byte by byte.
    struct Keyed {
        std::uint64_t head[2];
        std::size_t at;
        std::size_t length;
        std::size_t index;
    };
    std::string keys;
    keys.reserve(names.size() * 32);
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t at = keys.size();
        appendListingKey(keys, names[i]);
        keyed.push_back({{0, 0}, at, keys.size() - at, i});
    }
    const char* base = keys.data();
    for (Keyed& k : keyed) {
        // Big-endian, padded with zero bytes: the numbers compare as the
        // bytes do, and a padded key compares as its own prefix would.
        for (std::size_t b = 0; b < 16; ++b) {
            const auto byte = b < k.length ? static_cast<unsigned char>(base[k.at + b]) : 0u;
            k.head[b / 8] = (k.head[b / 8] << 8) | byte;
        }
    }
    std::sort(keyed.begin(), keyed.end(), [base](const Keyed& x, const Keyed& y) {
        if (x.head[0] != y.head[0])
            return x.head[0] < y.head[0];
        if (x.head[1] != y.head[1])
            return x.head[1] < y.head[1];
        return std::string_view(base + x.at, x.length) < std::string_view(base + y.at, y.length);
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& k : keyed)
        sorted.push_back(std::move(names[k.index]));
    names = std::move(sorted);
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
    if (pattern_.size() > 1 && pattern_[0] == U'*' &&
        std::all_of(pattern_.begin() + 1, pattern_.end(),
                    [](char32_t c) { return c < 0x80 && c != U'*' && c != U'?'; }))
        asciiSuffix_.assign(pattern_.begin() + 1, pattern_.end());
}

bool NamePattern::matches(const std::string& name) const {
    if (all_)
        return true;
    auto upperAscii = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; };
    if (!asciiSuffix_.empty() && std::all_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) {
        // The same test as below, on the bytes.
        auto sameFrom = [&](std::size_t at, const auto& text, std::size_t length) {
            for (std::size_t i = 0; i < length; ++i)
                if (upperAscii(name[at + i]) != static_cast<char>(text[i]))
                    return false;
            return true;
        };
        const std::size_t n = asciiSuffix_.size();
        if (name.size() >= n && sameFrom(name.size() - n, asciiSuffix_, n))
            return true;
        if (shortExt_.empty())
            return false;
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || dot == 0)
            return false;
        return name.size() - dot - 1 > 3 && sameFrom(dot + 1, shortExt_, 3);
    }
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
