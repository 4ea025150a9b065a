// Per-map class limits: a line split into its parts, and a file read.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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

TEST(ClassLimitLine, SplitsIntoNameValueSideAndClass) {
    // Each row: the line, then its name, value, side and class joined by '|'.
    const std::pair<const char*, const char*> rows[] = {
        {"mp_limitalliesgarand 3", "mp_limitalliesgarand|3|allies|garand"},
        {"mp_limitbritlight 2", "mp_limitbritlight|2|brit|light"},
        {"mp_limitaxiskar -1", "mp_limitaxiskar|-1|axis|kar"},
        {"   mp_limitaxismg42    4  ", "mp_limitaxismg42|4|axis|mg42"},
        {"mp_limitaxiskar 3 // x", "mp_limitaxiskar|3//x|axis|kar"},
        {"mp_limitteams 2", "mp_limitteams|2||"},
        {"mp_limitaxiskar", "mp_limitaxiskar|||"},
        {"mp_limitaxiskar ", "mp_limitaxiskar|||"},
        {"MP_LIMITAXISKAR 3", "MP_LIMITAXISKAR|3||"},
        {"mp_limitAxiskar 3", "mp_limitAxiskar|3||"},
        {"mp_limitaxiskar\t3", "mp_limitaxiskar\t3|||"},
        {"mp_limitaxiskar 3\t", "mp_limitaxiskar|3\t|axis|kar"},
        {"mp_limitallixxgarand 1", "mp_limitallixxgarand|1|allixx|garand"},
        {"mp_limitalli 1", "mp_limitalli|1|alli|"},
        {"mp_limitaxis 1", "mp_limitaxis|1|axis|"},
        {"mp_limit", "mp_limit|||"},
        {"sv_maxspectators 4", "sv_maxspectators|4||"},
        {"", "|||"},
        {"    ", "|||"},
        {"// mp_limitaxiskar 3", "//|mp_limitaxiskar3||"},
        {"mp_limitalliesgarand\xC3\xA9 1", "mp_limitalliesgarand\xC3\xA9|1|allies|garand\xC3\xA9"},
        {"mp_limitalli\xC3\xA9sgarand 1", "mp_limitalli\xC3\xA9sgarand|1|alli\xC3\xA9s|garand"},
    };
    for (auto [line, parts] : rows) {
        const vorn::ClassLimitLine got = vorn::parseClassLimitLine(line);
        EXPECT_EQ(got.name + "|" + got.value + "|" + got.side + "|" + got.cls, parts)
            << '"' << line << '"';
    }
}

// The limits set in both tables, as "allies bar=1 axis kar=3//x".
std::string limitsSet(const ClassLists& lists) {
    std::string out;
    for (const auto* table : {&lists.allies, &lists.axis})
        for (std::size_t i = 0; i < table->classes.size(); ++i)
            if (table->values[i] != "-1")
                out += std::string(out.empty() ? "" : " ") +
                       (table == &lists.axis ? "axis " : "allies ") + table->classes[i] + "=" +
                       table->values[i];
    return out;
}

// Each row's file is given as its lines joined by "\n".
TEST(ClassLimitFile, ReadingKeepsPlainLinesAndAppliesLimits) {
    const auto usMap = vorn::nationClassLists, generic = vorn::genericClassLists;
    const struct {
        const char* what;
        ClassLists (*lists)();
        std::string file, kept, limits;
    } rows[] = {
        {"team limit is a plain line", usMap, "mp_limitteams 2", "mp_limitteams 2\r\n", ""},
        {"name without value and capitals are plain lines", usMap,
         "mp_limitaxiskar\nMP_LIMITAXISKAR 3", "mp_limitaxiskar\r\nMP_LIMITAXISKAR 3\r\n", ""},
        {"blanks inside the value vanish", usMap, "mp_limitaxiskar 3 // x", "", "axis kar=3//x"},
        {"empty lines are skipped, blank lines kept", usMap, "\nsv_gravity 800\n\n  \n",
         "sv_gravity 800\r\n  \r\n", ""},
        {"tab joins name and value into one word", usMap, "mp_limitaxiskar\t3",
         "mp_limitaxiskar\t3\r\n", ""},
        {"U.S. map drops a British class", usMap, "mp_limitbritlight 2\nmp_limitalliesbar 1", "",
         "allies bar=1"},
        {"brit key reaches the U.S. table", usMap, "mp_limitbritgarand 4", "", "allies garand=4"},
        {"British map takes an allies key", britishMap,
         "mp_limitallieslight 2\nmp_limitalliesgarand 3", "", "allies light=2"},
        {"unknown class and side are dropped", usMap,
         "mp_limitaxislight 2\nmp_limitallixxgarand 1\nmp_limitalliesGarand 1", "", ""},
        {"side without class is a plain line", usMap, "mp_limitaxis 1", "mp_limitaxis 1\r\n", ""},
        {"last line of a class wins", generic,
         "mp_limitaxismg 1\nmp_limitaxismg 2\nmp_limitalliesmg 0", "", "allies mg=0 axis mg=2"},
        {"kept lines keep their order around limits", generic, "b 1\nmp_limitaxislight 5\na 2",
         "b 1\r\na 2\r\n", "axis light=5"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> lines{""};
        for (char c : row.file) {
            if (c == '\n')
                lines.emplace_back();
            else
                lines.back() += c;
        }
        ClassLists lists = row.lists();
        std::string kept = "left over from the map before\r\n";
        vorn::readClassLimitFile(lines, lists, kept);
        EXPECT_EQ(kept, row.kept) << row.what;
        EXPECT_EQ(limitsSet(lists), row.limits) << row.what;
    }
}

} // namespace
