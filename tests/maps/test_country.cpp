// The Allied country read from a map's entity export.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "country.h"

namespace {

using vorn::scanAlliedCountry;
using vorn::scanCountryLine;

// How an export writes the key: quoted key, a blank, quoted value.
std::string keyLine(const std::string& value) {
    return "\"detect_allies_country\" \"" + value + "\"";
}

TEST(CountryLine, MatchAndValue) {
    const struct {
        const char* what;
        std::string line;
        bool matches, british;
    } rows[] = {
        {"value 1 is British", keyLine("1"), true, true},
        {"value 0 is U.S.", keyLine("0"), true, false},
        {"value 2 is U.S.", keyLine("2"), true, false},
        {"only the first character counts", keyLine("10"), true, true},
        {"bare key at position 1 is U.S.", "detect_allies_country", true, false},
        {"bare key with a short tail is U.S.", "detect_allies_country 1", true, false},
        {"key not at the start", "  \t" + keyLine("1"), true, true},
        {"key after other text", "{ \"classname\" \"info_doddetect\" " + keyLine("1") + " }", true,
         true},
        {"value 24 characters after the key", "detect_allies_countryXYZ1", true, true},
        {"no key", "\"classname\" \"worldspawn\"", false, false},
        {"empty line", "", false, false},
        {"short line without the key", "detect", false, false},
        {"key in other case", "\"DETECT_ALLIES_COUNTRY\" \"1\"", false, false},
        // Positions past length - 24 are not tried: a key too near the end
        // of a longer line goes unseen.
        {"key too near the end", "xdetect_allies_country", false, false},
        {"key near the end with one-character value", "x" + keyLine("1").substr(0, 26), true, true},
        {"first of two keys decides: U.S.", keyLine("0") + " " + keyLine("1"), true, false},
        {"first of two keys decides: British", keyLine("1") + " " + keyLine("0"), true, true},
    };
    for (const auto& row : rows) {
        bool british = !row.british; // written on a match only
        EXPECT_EQ(scanCountryLine(row.line, british), row.matches) << row.what;
        EXPECT_EQ(british, row.matches ? row.british : !row.british) << row.what;
    }
}

TEST(CountryScan, LastMatchingLineWins) {
    const struct {
        const char* what;
        std::vector<std::string> lines;
        bool detected, british;
    } rows[] = {
        {"British map", {"{", "\"classname\" \"info_doddetect\"", keyLine("1"), "}"}, true, true},
        {"U.S. export", {"{", keyLine("0"), "}"}, true, false},
        {"1 then 0 gives U.S.", {keyLine("1"), "{", keyLine("0")}, true, false},
        {"0 then 1 gives British", {keyLine("0"), keyLine("1")}, true, true},
        {"later lines without the key change nothing", {keyLine("1"), "}", "", "x"}, true, true},
        {"no key", {"{", "\"classname\" \"worldspawn\"", "}"}, false, false},
        {"empty export", {}, false, false},
    };
    for (const auto& row : rows) {
        const vorn::CountryScan scan = scanAlliedCountry(row.lines);
        EXPECT_EQ(scan.detected, row.detected) << row.what;
        if (row.detected) {
            EXPECT_EQ(scan.british, row.british) << row.what;
        }
    }
}

} // namespace
