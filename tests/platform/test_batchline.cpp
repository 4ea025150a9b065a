// Quoting for batch lines and the game's 8-bit character set.
#include "batchline.h"
#include "codepage.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vorn::platform;

TEST(QuoteBatchArgument, QuotesAndDoublesPercent) {
    struct Row {
        std::string in, out;
    };
    const std::vector<Row> rows = {
        {"C:\\Sierra\\Half-Life\\", "\"C:\\Sierra\\Half-Life\\\""},
        {"c:\\a b\\x&y.bsp", "\"c:\\a b\\x&y.bsp\""},
        {"100%", "\"100%%\""},
        {"%PATH%", "\"%%PATH%%\""},
        {"a^b|c<d>e(f)", "\"a^b|c<d>e(f)\""},
        {"", "\"\""},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},
    };
    for (const auto& r : rows) {
        std::string quoted;
        EXPECT_TRUE(quoteBatchArgument(r.in, quoted).ok()) << r.in;
        EXPECT_EQ(quoted, r.out) << r.in;
    }
}

TEST(QuoteBatchArgument, RefusesWhatQuotingCannotProtect) {
    for (const std::string& bad : {std::string("a\"b"), std::string("a\rb"), std::string("a\nb"),
                                   std::string("a\0b", 3), std::string("\"")}) {
        std::string quoted = "untouched";
        EXPECT_FALSE(quoteBatchArgument(bad, quoted).error.empty());
        EXPECT_EQ(quoted, "untouched");
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

TEST(Codepage, WhatTheCharacterSetLacksBecomesAQuestionMark) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"\xE4\xB8\xAD", "?"},       // a CJK character
        {"\xF0\x9F\x98\x80x", "?x"}, // outside the BMP
        {"\xD0\x96", "?"},           // Cyrillic
        {"a\xC3", "a?"},             // cut off
        {"\xFFz", "?z"},             // not UTF-8 at all
        {"\xED\xA0\x80", "?\?\?"},   // an encoded surrogate: three bad bytes
        {"\xC0\xAF", "??"},          // overlong
    };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(utf8ToCp1252(in), out) << in;
}

TEST(Codepage, NamesWhatTheCharacterSetLacksOnceEach) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"plain caf\xC3\xA9 \xE2\x82\xAC ?", {}},                             // all held, '?' too
        {"\xE4\xB8\xAD-\xD0\x96-\xE4\xB8\xAD", {"\xE4\xB8\xAD", "\xD0\x96"}}, // in order, once
        {"\xF0\x9F\x98\x80", {"\xF0\x9F\x98\x80"}},
        {"a\xFF", {"\xEF\xBF\xBD"}}, // not UTF-8: shown as the replacement mark
    };
    for (const auto& [in, missing] : rows)
        EXPECT_EQ(cp1252Missing(in), missing) << in;
}
