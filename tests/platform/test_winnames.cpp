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
    for (const auto& [a, b] : {std::pair{"HL.EXE", "hl.exe"},
                               {"\u00DCber", "\u00FCBER"},
                               {"\u0141\u00F3dz", "\u0142\u00D3DZ"},
                               {"\u03B1", "\u0391"},
                               {"\u044F", "\u042F"}})
        EXPECT_TRUE(sameName(a, b)) << a;
    EXPECT_FALSE(sameName("hl.exe", "hl.exe2"));
    EXPECT_FALSE(sameName("e", "\u00E9"));
}

#endif
