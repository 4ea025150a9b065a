// Per-map class limits: the lists, the line walk, reading and writing a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlimits.h"

namespace {

using vorn::ClassLists;

// Nation lists on a British map, as the panel sets them up.
ClassLists britishMap() {
    ClassLists lists = vorn::nationClassLists();
    lists.allies = vorn::britishAllies();
    return lists;
}

TEST(ClassLimitLine, CharacterWalk) {
    const struct {
        const char* line;
        const char* name;
        const char* value;
        const char* side;
        const char* cls;
    } rows[] = {
        {"mp_limitalliesgarand 3", "mp_limitalliesgarand", "3", "allies", "garand"},
        {"mp_limitbritlight 2", "mp_limitbritlight", "2", "brit", "light"},
        {"mp_limitaxiskar -1", "mp_limitaxiskar", "-1", "axis", "kar"},
        {"   mp_limitaxismg42    4  ", "mp_limitaxismg42", "4", "axis", "mg42"},
        {"mp_limitaxiskar 3 // x", "mp_limitaxiskar", "3//x", "axis", "kar"},
        {"mp_limitteams 2", "mp_limitteams", "2", "", ""},
        {"mp_limitaxiskar", "mp_limitaxiskar", "", "", ""},
        {"mp_limitaxiskar ", "mp_limitaxiskar", "", "", ""},
        {"MP_LIMITAXISKAR 3", "MP_LIMITAXISKAR", "3", "", ""},
        {"mp_limitAxiskar 3", "mp_limitAxiskar", "3", "", ""},
        {"mp_limitaxiskar\t3", "mp_limitaxiskar\t3", "", "", ""},
        {"mp_limitaxiskar 3\t", "mp_limitaxiskar", "3\t", "axis", "kar"},
        {"mp_limitallixxgarand 1", "mp_limitallixxgarand", "1", "allixx", "garand"},
        {"mp_limitalli 1", "mp_limitalli", "1", "alli", ""},
        {"mp_limitaxis 1", "mp_limitaxis", "1", "axis", ""},
        {"mp_limit", "mp_limit", "", "", ""},
        {"sv_maxspectators 4", "sv_maxspectators", "4", "", ""},
        {"", "", "", "", ""},
        {"    ", "", "", "", ""},
        {"// mp_limitaxiskar 3", "//", "mp_limitaxiskar3", "", ""},
        {"mp_limitalliesgarand\xC3\xA9 1", "mp_limitalliesgarand\xC3\xA9", "1", "allies",
         "garand\xC3\xA9"},
        {"mp_limitalli\xC3\xA9sgarand 1", "mp_limitalli\xC3\xA9sgarand", "1", "alli\xC3\xA9s",
         "garand"},
    };
    for (const auto& row : rows) {
        const vorn::ClassLimitLine got = vorn::parseClassLimitLine(row.line);
        EXPECT_EQ(got.name, row.name) << '"' << row.line << '"';
        EXPECT_EQ(got.value, row.value) << '"' << row.line << '"';
        EXPECT_EQ(got.side, row.side) << '"' << row.line << '"';
        EXPECT_EQ(got.cls, row.cls) << '"' << row.line << '"';
    }
}

TEST(ClassLimitFile, ReadingKeepsPlainLinesAndAppliesLimits) {
    const struct {
        const char* what;
        ClassLists (*lists)();
        std::vector<std::string> lines;
        std::string kept;
        std::vector<std::pair<std::string, std::string>> allies; // class, value
        std::vector<std::pair<std::string, std::string>> axis;
    } rows[] = {
        {"team limit is a plain line",
         vorn::nationClassLists,
         {"mp_limitteams 2"},
         "mp_limitteams 2\r\n",
         {},
         {}},
        {"name without value and capitals are plain lines",
         vorn::nationClassLists,
         {"mp_limitaxiskar", "MP_LIMITAXISKAR 3"},
         "mp_limitaxiskar\r\nMP_LIMITAXISKAR 3\r\n",
         {},
         {}},
        {"blanks inside the value vanish",
         vorn::nationClassLists,
         {"mp_limitaxiskar 3 // x"},
         "",
         {},
         {{"kar", "3//x"}}},
        {"empty lines are skipped, blank lines kept",
         vorn::nationClassLists,
         {"", "sv_gravity 800", "", "  ", ""},
         "sv_gravity 800\r\n  \r\n",
         {},
         {}},
        {"tab joins name and value into one word",
         vorn::nationClassLists,
         {"mp_limitaxiskar\t3"},
         "mp_limitaxiskar\t3\r\n",
         {},
         {}},
        {"U.S. map drops a British class",
         vorn::nationClassLists,
         {"mp_limitbritlight 2", "mp_limitalliesbar 1"},
         "",
         {{"bar", "1"}},
         {}},
        {"brit key reaches the U.S. table",
         vorn::nationClassLists,
         {"mp_limitbritgarand 4"},
         "",
         {{"garand", "4"}},
         {}},
        {"British map takes an allies key",
         britishMap,
         {"mp_limitallieslight 2", "mp_limitalliesgarand 3"},
         "",
         {{"light", "2"}},
         {}},
        {"unknown class and side are dropped",
         vorn::nationClassLists,
         {"mp_limitaxislight 2", "mp_limitallixxgarand 1", "mp_limitalliesGarand 1"},
         "",
         {},
         {}},
        {"side without class is a plain line",
         vorn::nationClassLists,
         {"mp_limitaxis 1"},
         "mp_limitaxis 1\r\n",
         {},
         {}},
        {"last line of a class wins",
         vorn::genericClassLists,
         {"mp_limitaxismg 1", "mp_limitaxismg 2", "mp_limitalliesmg 0"},
         "",
         {{"mg", "0"}},
         {{"mg", "2"}}},
        {"kept lines keep their order around limits",
         vorn::genericClassLists,
         {"b 1", "mp_limitaxislight 5", "a 2"},
         "b 1\r\na 2\r\n",
         {},
         {{"light", "5"}}},
    };
    for (const auto& row : rows) {
        ClassLists lists = row.lists();
        ClassLists expected = row.lists();
        for (const auto& [cls, value] : row.allies)
            expected.allies.values[expected.allies.find(cls)] = value;
        for (const auto& [cls, value] : row.axis)
            expected.axis.values[expected.axis.find(cls)] = value;

        std::string kept = "left over from the map before\r\n";
        vorn::readClassLimitFile(row.lines, lists, kept);
        EXPECT_EQ(kept, row.kept) << row.what;
        EXPECT_EQ(lists.allies.values, expected.allies.values) << row.what;
        EXPECT_EQ(lists.axis.values, expected.axis.values) << row.what;
    }
}

} // namespace
