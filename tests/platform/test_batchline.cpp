// Quoting for batch lines and the game's 8-bit character set.
#include "batchline.h"
#include "codepage.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vorn::platform;

// Each: the text, and its quoted form or "" for a refusal that leaves the
// output untouched.
TEST(QuoteBatchArgument, QuotesAndDoublesPercentAndRefusesWhatQuotingCannotProtect) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"C:\\Sierra\\Half-Life\\", "\"C:\\Sierra\\Half-Life\\\""},
        {"c:\\a b\\x&y.bsp", "\"c:\\a b\\x&y.bsp\""},
        {"100%", "\"100%%\""},
        {"%PATH%", "\"%%PATH%%\""},
        {"a^b|c<d>e(f)", "\"a^b|c<d>e(f)\""},
        {"", "\"\""},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
        {"a\"b", ""},
        {"\"", ""},
        {"a\rb", ""},
        {"a\nb", ""},
        {std::string("a\0b", 3), ""},
    };
    for (const auto& [in, out] : rows) {
        std::string quoted = "untouched";
        EXPECT_EQ(quoteBatchArgument(in, quoted).ok(), !out.empty()) << in;
        EXPECT_EQ(quoted, out.empty() ? "untouched" : out) << in;
    }
}

TEST(IsPlainBatchWord, OnlyHarmlessWords) {
    for (const char* ok : {"dod", "de_dust2", "C:\\Sierra\\Half-Life\\hl.exe", "+maxplayers",
                           "-heapsize", "27015", "caf\xC3\xA9"})
        EXPECT_TRUE(isPlainBatchWord(ok)) << ok;
    for (const char* bad : {"", "a b", "a\tb", "a\"b", "100%", "a&b", "a|b", "a<b", "a>b", "a^b",
                            "(a)", "a\r", "a\n", "a,b", "a;b", "a=b"})
        EXPECT_FALSE(isPlainBatchWord(bad)) << bad;
}

TEST(CheckBatchText, PassesTextButNotLineBreaks) {
    EXPECT_TRUE(checkBatchText("-heapsize 64000 -noipx & \"x\" %y%").ok());
    EXPECT_FALSE(checkBatchText("-x\r\ndel c:\\*").error.empty());
    EXPECT_FALSE(checkBatchText("-x\ndel").ok());
    EXPECT_FALSE(checkBatchText(std::string("-x\0y", 4)).ok());
}

TEST(Codepage, Windows1252BothWays) {
    struct Row {
        std::string cp1252, utf8;
    };
    const std::vector<Row> rows = {
        {"plain ASCII 123", "plain ASCII 123"},
        {"caf\xE9", "caf\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},
        {"\x8A\x9A\x8E\x9E", "\xC5\xA0\xC5\xA1\xC5\xBD\xC5\xBE"},
        {"\x93quoted\x94", "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
        {"\xA0\xA9\xB0", "\xC2\xA0\xC2\xA9\xC2\xB0"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(cp1252ToUtf8(r.cp1252), r.utf8);
        EXPECT_EQ(utf8ToCp1252(r.utf8), r.cp1252);
    }
    // Every byte survives the round trip.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

// What the character set lacks is written as '?' (one for each bad byte of
// malformed UTF-8) and named once, in order (a bad byte as U+FFFD).
TEST(Codepage, WhatTheCharacterSetLacksBecomesAQuestionMarkAndIsNamedOnce) {
    const struct {
        std::string in, written;
        std::vector<std::string> missing;
    } rows[] = {
        {"plain caf\u00E9 \u20AC ?", "plain caf\xE9 \x80 ?", {}},
        {"\u4E2D-\u0416-\u4E2D", "?-?-?", {"\u4E2D", "\u0416"}}, // CJK, Cyrillic
        {"\xF0\x9F\x98\x80x", "?x", {"\xF0\x9F\x98\x80"}},       // outside the BMP
        {"a\xC3", "a?", {"\uFFFD"}},                             // cut off
        {"\xFFz", "?z", {"\uFFFD"}},                             // not UTF-8 at all
        {"\xED\xA0\x80", "?\?\?", {"\uFFFD"}},                   // an encoded surrogate
        {"\xC0\xAF", "??", {"\uFFFD"}},                          // overlong
    };
    for (const auto& row : rows) {
        EXPECT_EQ(utf8ToCp1252(row.in), row.written) << row.in;
        EXPECT_EQ(cp1252Missing(row.in), row.missing) << row.in;
    }
}
