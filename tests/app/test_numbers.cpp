// Numbers typed into text boxes, and the listings read back from disk.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "listing.h"
#include "numbers.h"

namespace {

using vorn::formatNumber;
using vorn::readNumber;

TEST(ReadNumber, AcceptsDecimalTextWithBlanksAndSignOnly) {
    const std::pair<const char*, double> rows[] = {
        {"8", 8},   {"12.5", 12.5}, {" 0", 0},   {"-3", -3}, {"+4", 4},        {"  16  ", 16},
        {"\t7", 7}, {"007", 7},     {".5", 0.5}, {"5.", 5},  {"-0.25", -0.25}, {"32", 32},
    };
    for (auto [text, value] : rows) {
        const std::optional<double> got = readNumber(text);
        ASSERT_TRUE(got) << '"' << text << '"';
        EXPECT_EQ(*got, value) << '"' << text << '"';
    }
    // The last: a digit run far beyond any double.
    for (const std::string& text : std::vector<std::string>{
             "", " ", "abc", "4x", "x4", "-", "+", ".", "1.2.3", "1,5", "1e3", "0x10", "inf", "nan",
             "--1", "1 2", " - 2", "\xC2\xA0\x31", std::string(400, '9')}) {
        EXPECT_FALSE(readNumber(text)) << '"' << text << '"';
    }
}

TEST(FormatNumber, WholeNumbersHaveNoFraction) {
    const std::pair<double, const char*> rows[] = {
        {13.5, "13.5"}, {9, "9"},     {-1, "-1"},       {0, "0"},       {-0.0, "0"},
        {15, "15"},     {799, "799"}, {0.1 + 1, "1.1"}, {-0.5, "-0.5"}, {1000000, "1000000"},
    };
    for (auto [value, text] : rows)
        EXPECT_EQ(formatNumber(value), text) << value;
}

TEST(ModListing, SplitsLinesAtCommasAndDropsEmptyPieces) {
    using Strings = std::vector<std::string>;
    const std::pair<Strings, Strings> rows[] = {
        {{"cstrike", "dod", "valve"}, {"cstrike", "dod", "valve"}},
        {{"a,b", "c"}, {"a", "b", "c"}},
        {{"my mod, two"}, {"my mod", " two"}},
        {{"", "dod", ",,x,"}, {"dod", "x"}},
        {{}, {}},
    };
    for (const auto& [lines, entries] : rows)
        EXPECT_EQ(vorn::splitModListing(lines), entries);
}

TEST(MapListing, NameIsTheLineLessBspAnyCase) {
    const std::pair<const char*, const char*> named[] = {
        {"de_a.bsp", "de_a"},
        {"X.BSP", "X"},
        {"dod_anzio.Bsp", "dod_anzio"},
        {"map with blanks.bsp", "map with blanks"},
    };
    for (auto [line, name] : named)
        EXPECT_EQ(vorn::mapNameFromListing(line), name) << '"' << line << '"';
    for (const char* line : {".bsp", "bsp", "", "x.bsp2", "x.bs", "readme.txt"})
        EXPECT_EQ(vorn::mapNameFromListing(line), "") << '"' << line << '"';
}

} // namespace
