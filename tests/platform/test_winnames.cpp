// Name matching of the POSIX side (vorn-cmd and the drive mapping) as Wine's
// cmd.exe and Windows match; plain "*.bsp" matches, case in stored names and
// the listing order are the platform contract's.
#ifndef _WIN32
#include "posix/winnames.h"

#include <gtest/gtest.h>
#include <string>

using namespace vorn::platform::winnames;

TEST(WinNames, PatternsMatchAsDirDoes) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } rows[] = {
        {"*.bsp", "x.bs", false},
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
    for (const auto& [a, b] : {std::pair{"\u0141\u00F3dz", "\u0142\u00D3DZ"},
                               {"\u03B1", "\u0391"},
                               {"\u044F", "\u042F"}})
        EXPECT_TRUE(sameName(a, b)) << a;
    EXPECT_FALSE(sameName("hl.exe", "hl.exe2"));
    EXPECT_FALSE(sameName("e", "\u00E9"));
}

#endif
