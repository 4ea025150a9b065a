// Name matching of the POSIX side (vorn-cmd and the drive mapping), checked
// against what Wine's cmd.exe and Windows do. The listing order is the
// platform contract's (Listing.MixedNamesComeInTheOrderOfWindowsCmd).
#ifndef _WIN32
#include "posix/winnames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vorn::platform::winnames;

TEST(WinNames, PatternsMatchAsDirDoes) {
    struct Row {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const std::vector<Row> rows = {
        {"*.bsp", "de_dust.bsp", true},
        {"*.bsp", "DE_DUST.BSP", true},
        {"*.bsp", "x.bsp2", true},
        {"*.bsp", "x.bs", false},
        {"*.bsp", "bsp", false},
        {"*.bsp", "x.bsp.txt", false},
        {"*", "anything", true},
        {"*.*", "noext", true},
        {"dod_*", "DOD_Anzio.bsp", true},
        {"dod_?.bsp", "dod_a.bsp", true},
        {"dod_?.bsp", "dod_ab.bsp", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"caf\xC3\xA9.*", "CAF\xC3\x89.bsp", true},
        // A long name with letters beyond ASCII, through its short name.
        {"*.bsp", "Caf\xC3\xA9 Server.bsp2", true},
        {"*.wpt", "x.wpt", true},
        {"*.wp", "x.wpt", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(matchesPattern(r.pattern, r.name), r.matches) << r.pattern << " " << r.name;
}

TEST(WinNames, SameNameIgnoresCaseOfLatinGreekAndCyrillicLetters) {
    EXPECT_TRUE(sameName("HL.EXE", "hl.exe"));
    EXPECT_TRUE(sameName("\xC3\x9C"
                         "ber",
                         "\xC3\xBC"
                         "BER")); // Ü ü
    EXPECT_TRUE(sameName("\xC5\x81\xC3\xB3"
                         "dz",
                         "\xC5\x82\xC3\x93"
                         "DZ"));                   // Łó łÓ
    EXPECT_TRUE(sameName("\xCE\xB1", "\xCE\x91")); // α Α
    EXPECT_TRUE(sameName("\xD1\x8F", "\xD0\xAF")); // я Я
    EXPECT_FALSE(sameName("hl.exe", "hl.exe2"));
    EXPECT_FALSE(sameName("e", "\xC3\xA9"));
}

#endif
