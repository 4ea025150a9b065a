// The platform contract: what the rest of Vornwick relies on, checked
// natively against the POSIX backend with vorn-cmd, and under Wine against
// the Win32 backend with Wine's own cmd.exe.
#include "batchline.h"
#include "codepage.h"
#include "contract_support.h"
#include "platform.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace vorn::platform;
using vorn::test::PlatformTest;

namespace {

std::string quote(const std::string& text) {
    std::string quoted;
    std::string error;
    EXPECT_TRUE(quoteBatchArgument(text, quoted, error)) << error;
    return quoted;
}

std::string bytesOf(const std::string& winPath) {
    std::string bytes;
    const Status s = readFile(winPath, bytes);
    EXPECT_TRUE(s.ok()) << s.error;
    return bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// The existence test

using StoredName = PlatformTest;

TEST_F(StoredName, GivesNothingForAMissingFileOrAWildcard) {
    makeDir(at("Games"));
    makeFile(at("a.txt"));
    for (const char* missing :
         {"Games\\hl.exe", "NoSuchDir\\hl.exe", "Games\\hl.exe\\more", "*.txt", "?.txt"})
        EXPECT_EQ(storedName(at(missing)), "") << missing;
}

TEST_F(StoredName, FindsDirectoriesOnlyWhenAskedTo) {
    makeDir(at("Mods"));
    makeDir(at("Mods\\DoD"));
    EXPECT_EQ(storedName(at("mods\\dod")), "");
    EXPECT_EQ(storedName(at("mods\\dod"), true), "DoD");
    makeFile(at("Mods\\liblist.gam"));
    EXPECT_EQ(storedName(at("MODS\\LIBLIST.GAM"), true), "liblist.gam");
}

TEST_F(StoredName, GivesTheSpellingOnDiskForAnyCase) {
    // Each: the name stored, and how the caller spells it; among them names
    // the interpreter would act on.
    makeDir(at("Games"));
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Games\\HL.EXE", "games\\Hl.exe"},
        {"with blank.cfg", "WITH BLANK.CFG"},
        {"a&b.cfg", "A&B.cfg"},
        {"100%.cfg", "100%.CFG"},
        {"up^down.cfg", "UP^DOWN.cfg"},
        {"(x) y.cfg", "(X) Y.cfg"},
        {"caf\xC3\xA9.cfg", "CAF\xC3\x89.CFG"},
        {"\xC3\x9C"
         "ber,1.cfg",
         "\xC3\xBC"
         "ber,1.cfg"},
    };
    for (const auto& [stored, asked] : rows) {
        makeFile(at(stored));
        EXPECT_EQ(storedName(at(asked)), stored.substr(stored.rfind('\\') + 1)) << asked;
    }
}

// ---------------------------------------------------------------------------
// Listings through the batch file, as the window makes them

class Listing : public PlatformTest {
  protected:
    // Runs `dir <args> > listing` from the batch file; the listing's bytes.
    std::string list(const std::string& dirArgs) {
        const std::string listing = at("vorn.log");
        runBatchLine("dir " + dirArgs + " > " + listing);
        return bytesOf(listing);
    }
};

TEST_F(Listing, SubDirectoriesComeSortedWithoutCaseAndWithoutDotEntries) {
    makeDir(at("game"));
    for (const char* d : {"valve", "Dod", "cstrike", "logs", "a_b", "AA"})
        makeDir(at("game\\") + d);
    makeFile(at("game\\readme.txt"));
    makeFile(at("game\\hl.exe"));
    // Wine's order: '_' comes before every letter.
    EXPECT_EQ(list(at("game\\") + " /ad /b"), "a_b\r\nAA\r\ncstrike\r\nDod\r\nlogs\r\nvalve\r\n");
    // The same with the directory quoted, as it is when it holds a blank.
    EXPECT_EQ(list(quote(at("game")) + " /ad /b"),
              "a_b\r\nAA\r\ncstrike\r\nDod\r\nlogs\r\nvalve\r\n");
}

TEST_F(Listing, OrderIsWindowsWordSortAndNamesAreWindows1252) {
    makeDir(at("maps"));
    // Hyphens only break ties; punctuation, then digits, then letters;
    // accents and the letters that count as two.
    const std::vector<std::string> names = {
        "xt",        "x\xC3\x9F", "xs",       "xf",       "x\xC3\xA9", "xe", "xb",
        "x\xC3\xA6", "xad",       "xa",       "x0",       "x+",        "x,", "x!",
        "dod1",      "dod_a",     "de-aztec", "de_dust2", "de_dust"};
    for (const auto& n : names)
        makeFile(at("maps\\") + n + ".bsp");
    std::string expected;
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        expected += *it + ".bsp\r\n";
    // The listing is 8-bit: \xE9 is é, \xE6 æ, \xDF ß.
    for (const auto& [utf8, cp] : std::vector<std::pair<std::string, std::string>>{
             {"\xC3\x9F", "\xDF"}, {"\xC3\xA9", "\xE9"}, {"\xC3\xA6", "\xE6"}})
        expected.replace(expected.find(utf8), utf8.size(), cp);
    EXPECT_EQ(list(quote(at("maps\\*.bsp")) + " /b"), expected);
}

TEST_F(Listing, MixedNamesComeInTheOrderOfWindowsCmd) {
    // Punctuation, digits, case, accents, the letters that count as two,
    // hyphens and apostrophes that only break ties: the order Wine's
    // cmd.exe gives, which vorn-cmd must give too ('|' between names).
    // Left out: "thorn" beside "\u00FEorn" (Wine lists the thorn first,
    // vorn-cmd after "th").
    const std::string order =
        "@at|[bracket|_under|~tilde|0day|10lives|9lives|\u00C6ble|aerial|\u00C6r\u00F8|"
        "Aesop|coop|co'op|co-op|Coop2|co-op-2|-dash|ma\u00F1ana|nandu|\u00D1andu|"
        "\u0152uvre|oeuvre2|'quote|resume|r\u00E9sum\u00E9|R\u00E9sum\u00E9s|strasse|"
        "stra\u00DFe|\u00FEorn|\u00FCber|Uber2|yes|\u00FFes|Yes-no|z 1|z!1|z#1|"
        "z$1|z%1|z&1|z(1)|z,1|z;1|z@1|z[1]|z^1|z_1|z`1|z{1}|z~1|z+1|z=1|z0|z'1|z-1|z10|"
        "z9|zebra|Zulu";
    std::vector<std::string> expected;
    for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
        bar = order.find('|', from);
        expected.push_back(order.substr(from, bar - from));
    }
    makeDir(at("mix"));
    std::string listing;
    for (const auto& n : expected) {
        makeFile(at("mix\\") + n + ".bsp");
        listing += utf8ToCp1252(n) + ".bsp\r\n";
    }
    EXPECT_EQ(list(quote(at("mix\\*.bsp")) + " /b"), listing);
}

TEST_F(Listing, PatternListsMatchingFilesSortedWithoutCase) {
    makeDir(at("maps"));
    for (const char* f : {"b.bsp", "A.BSP", "c.txt", "z_map.bsp", "x.bsp2", "bsp"})
        makeFile(at("maps\\") + f);
    // Like cmd.exe, a directory that matches is listed too.
    makeDir(at("maps\\sub.bsp"));
    // "*.bsp" also matches "x.bsp2", as Windows does through its short names.
    EXPECT_EQ(list(quote(at("maps\\*.bsp")) + " /b"),
              "A.BSP\r\nb.bsp\r\nsub.bsp\r\nx.bsp2\r\nz_map.bsp\r\n");
    EXPECT_EQ(list(at("maps\\") + "*.txt /b"), "c.txt\r\n");
}

TEST_F(Listing, NothingToListLeavesAnEmptyListing) {
    makeDir(at("maps"));
    makeFile(at("maps\\a.bsp"));
    makeDir(at("empty"));
    makeFile(at("vorn.log"), "old listing\r\n");
    for (const std::string& args :
         {quote(at("maps\\*.wad")) + " /b", quote(at("empty")) + " /ad /b",
          quote(at("empty\\*.bsp")) + " /b", quote(at("gone\\*.bsp")) + " /b"})
        EXPECT_EQ(list(args), "") << args;
}

TEST_F(Listing, QuotedDirectoryWithOddCharactersIsListed) {
    const std::string dir = at("odd & 100% (x) ^y");
    makeDir(dir);
    makeFile(dir + "\\m 1.bsp");
    makeFile(dir + "\\m&2.bsp");
    EXPECT_EQ(list(quote(dir + "\\*.bsp") + " /b"), "m 1.bsp\r\nm&2.bsp\r\n");
}

TEST_F(Listing, OutputOfTheWholeBatchFileCanBeRedirected) {
    makeDir(at("maps"));
    makeFile(at("maps\\one.bsp"));
    runBatchLine("dir " + quote(at("maps\\*.bsp")) + " /b", at("vorn.log"));
    const std::string out = bytesOf(at("vorn.log"));
    EXPECT_NE(out.find("one.bsp\r\n"), std::string::npos) << out;
}

// ---------------------------------------------------------------------------
// Running programs

using Commands = PlatformTest;

TEST_F(Commands, ExitCodeOfTheBatchFileComesBack) {
    EXPECT_EQ(runBatchLine("exit 3"), 3);
    EXPECT_EQ(runBatchLine("exit 0"), 0);
}

TEST_F(Commands, MissingProgramFailsWithoutHanging) {
    EXPECT_NE(runBatchLine(quote(at("no such program.exe")) + " -export x"), 0);
}

TEST_F(Commands, LineBreaksAreRefused) {
    for (const char* line : {"dir\r\nexit 1", "dir\nexit", "dir\rexit"}) {
        Process p;
        const Status s = startHidden(line, p);
        EXPECT_FALSE(s.ok()) << line;
        EXPECT_FALSE(s.error.empty());
        EXPECT_FALSE(p.valid());
    }
}

TEST_F(Commands, CommandThatNeverEndsIsEndedAtTheTimeLimit) {
    const std::string beat = at("heartbeat.txt");
    const std::string batch = at("vorn.bat");
    makeFile(batch, quote(selfProgram()) + " --vorn-heartbeat " + beat + "\r\n");
    Process p;
    const Status s = startHidden(batch, p);
    ASSERT_TRUE(s.ok()) << s.error;
    EXPECT_EQ(p.wait(1500), Process::Wait::TimedOut);
    EXPECT_EQ(p.exitCode(), -1);
    p.kill();
    EXPECT_EQ(p.wait(10000), Process::Wait::Finished);

    // Nothing it started keeps running.
    std::string before;
    ASSERT_TRUE(readFile(beat, before).ok()) << "the command never ran";
    EXPECT_FALSE(before.empty());
    sleepMilliseconds(500);
    std::string after;
    ASSERT_TRUE(readFile(beat, after).ok());
    EXPECT_EQ(after.size(), before.size());
}

// ---------------------------------------------------------------------------
// Text files

using TextFiles = PlatformTest;

TEST_F(TextFiles, LinesAreWrittenWithCrLfAndBytesUnchanged) {
    TextFile f;
    ASSERT_TRUE(f.open(at("t.txt"), TextFile::Mode::Output).ok());
    EXPECT_TRUE(f.writeLine("one").ok());
    EXPECT_TRUE(f.writeLine("").ok());
    EXPECT_TRUE(f.writeLine("caf\xE9 \xC3\xA9").ok());
    EXPECT_TRUE(f.write("no end").ok());
    f.close();
    EXPECT_EQ(bytesOf(at("t.txt")), "one\r\n\r\ncaf\xE9 \xC3\xA9\r\nno end");

    ASSERT_TRUE(f.open(at("t.txt"), TextFile::Mode::Output).ok());
    EXPECT_TRUE(f.writeLine("fresh").ok());
    f.close();
    EXPECT_EQ(bytesOf(at("t.txt")), "fresh\r\n");
}

TEST_F(TextFiles, AppendCreatesAndThenAppends) {
    TextFile f;
    ASSERT_TRUE(f.open(at("log.txt"), TextFile::Mode::Append).ok());
    EXPECT_TRUE(f.writeLine("first").ok());
    f.close();
    ASSERT_TRUE(f.open(at("log.txt"), TextFile::Mode::Append).ok());
    EXPECT_TRUE(f.writeLine("second").ok());
    f.close();
    EXPECT_EQ(bytesOf(at("log.txt")), "first\r\nsecond\r\n");
}

TEST_F(TextFiles, ReadLineAcceptsCrLfLfAndALastLineWithoutEnd) {
    makeFile(at("in.txt"), "one\r\ntwo\n\r\nthree");
    TextFile f;
    ASSERT_TRUE(f.open(at("in.txt"), TextFile::Mode::Input).ok());
    std::vector<std::string> lines;
    std::string line;
    while (f.readLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
    EXPECT_TRUE(f.eof());
}

TEST_F(TextFiles, ReadFieldStopsAtCommasAndLineEnds) {
    makeFile(at("in.txt"), "valve,dod\r\ncstrike\r\n,last\n");
    TextFile f;
    ASSERT_TRUE(f.open(at("in.txt"), TextFile::Mode::Input).ok());
    std::vector<std::string> fields;
    std::string field;
    while (!f.eof() && f.readField(field))
        fields.push_back(field);
    EXPECT_EQ(fields, (std::vector<std::string>{"valve", "dod", "cstrike", "", "last"}));
    EXPECT_FALSE(f.readField(field));
}

TEST_F(TextFiles, ReadOnlyFileIsNeitherWrittenNorDeleted) {
    makeFile(at("vorn.log"), "keep\r\n");
    setReadOnly(at("vorn.log"), true);
    for (auto mode : {TextFile::Mode::Output, TextFile::Mode::Append}) {
        TextFile f;
        const Status s = f.open(at("vorn.log"), mode);
        EXPECT_FALSE(s.ok());
        EXPECT_NE(s.error.find("read-only"), std::string::npos) << s.error;
    }
    const Status gone = deleteFile(at("vorn.log"));
    EXPECT_FALSE(gone.ok());
    EXPECT_NE(gone.error.find("vorn.log"), std::string::npos) << gone.error;
    TextFile in;
    EXPECT_TRUE(in.open(at("vorn.log"), TextFile::Mode::Input).ok());
    in.close();
    setReadOnly(at("vorn.log"), false);
    EXPECT_EQ(bytesOf(at("vorn.log")), "keep\r\n");
}

TEST_F(TextFiles, OpeningInAMissingDirectoryFailsWithTheName) {
    TextFile f;
    const Status s = f.open(at("gone\\t.txt"), TextFile::Mode::Output);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("t.txt"), std::string::npos) << s.error;
    EXPECT_FALSE(f.isOpen());
    EXPECT_FALSE(f.open(at("gone.txt"), TextFile::Mode::Input).ok());
}

// ---------------------------------------------------------------------------
// Replacing files

using Replace = PlatformTest;

// Game files and scratch files are replaced alike; only the flush differs.
using Writer = Status (*)(const std::string&, const std::string&);
const std::vector<std::pair<const char*, Writer>> kWriters = {
    {"replaceFile", replaceFile}, {"writeScratchFile", writeScratchFile}};

TEST_F(Replace, WritesExactBytesAndLeavesNoTemporaryFile) {
    makeFile(at("a.cfg"), "old\r\n");
    for (const auto& [name, write] : kWriters) {
        ASSERT_TRUE(write(at("a.cfg"), "new\r\nlines\r\n").ok()) << name;
        EXPECT_EQ(bytesOf(at("a.cfg")), "new\r\nlines\r\n") << name;
        ASSERT_TRUE(write(at("a.cfg"), "").ok()) << name;
        EXPECT_EQ(bytesOf(at("a.cfg")), "") << name;
        EXPECT_EQ(hostEntries(base()), std::vector<std::string>{"a.cfg"}) << name;
    }
}

TEST_F(Replace, ReadOnlyTargetStaysIntactAndTheErrorSaysWhy) {
    makeFile(at("server.cfg"), "old bytes\r\n");
    setReadOnly(at("server.cfg"), true);
    for (const auto& [name, write] : kWriters) {
        const Status s = write(at("server.cfg"), "new bytes\r\n");
        EXPECT_FALSE(s.ok()) << name;
        EXPECT_NE(s.error.find("server.cfg"), std::string::npos) << s.error;
    }
    setReadOnly(at("server.cfg"), false);
    EXPECT_EQ(bytesOf(at("server.cfg")), "old bytes\r\n");
    EXPECT_EQ(hostEntries(base()), std::vector<std::string>{"server.cfg"});
}

TEST_F(Replace, MissingDirectoryOrAFileInItsPlaceFailsWithTheName) {
    // A file where the directory should be is what an unwritable directory
    // looks like to every user, root included.
    makeFile(at("notadir"), "keep");
    for (const auto& [name, write] : kWriters) {
        for (const char* target : {"gone\\bot.cfg", "notadir\\bot.cfg"}) {
            const Status s = write(at(target), "x");
            EXPECT_FALSE(s.ok()) << name << " " << target;
            EXPECT_NE(s.error.find("bot.cfg"), std::string::npos) << s.error;
        }
    }
    EXPECT_EQ(bytesOf(at("notadir")), "keep");
}

TEST_F(Replace, UnwritableDirectoryKeepsTheOldFile) {
    makeDir(at("locked"));
    makeFile(at("locked\\motd.txt"), "old motd\r\n");
    if (!makeUnwritable(at("locked")))
        GTEST_SKIP() << "this user can write into any directory here";
    const Status s = replaceFile(at("locked\\motd.txt"), "new motd\r\n");
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("motd.txt"), std::string::npos) << s.error;
    EXPECT_EQ(bytesOf(at("locked\\motd.txt")), "old motd\r\n");
}

// ---------------------------------------------------------------------------
// Directories and deleting

using Directories = PlatformTest;

TEST_F(Directories, MakeRemoveAndDelete) {
    ASSERT_TRUE(makeDirectory(at("vorntmp")).ok());
    EXPECT_EQ(storedName(at("VORNTMP"), true), "vorntmp");
    EXPECT_FALSE(makeDirectory(at("vorntmp")).ok());
    EXPECT_TRUE(removeDirectory(at("vorntmp")).ok());
    EXPECT_EQ(storedName(at("vorntmp"), true), "");
    EXPECT_FALSE(removeDirectory(at("vorntmp")).ok());

    makeFile(at("vorn.log"));
    EXPECT_TRUE(deleteFile(at("vorn.log")).ok());
    EXPECT_EQ(storedName(at("vorn.log")), "");
    const Status gone = deleteFile(at("vorn.log"));
    EXPECT_FALSE(gone.ok());
    EXPECT_NE(gone.error.find("vorn.log"), std::string::npos) << gone.error;
}

TEST_F(Directories, UserTempDirIsAWritableWindowsPath) {
    std::string dir;
    const Status s = userTempDir(dir);
    ASSERT_TRUE(s.ok()) << s.error;
    ASSERT_GE(dir.size(), 4u);
    EXPECT_EQ(dir[1], ':');
    EXPECT_EQ(dir.back(), '\\');
    ASSERT_TRUE(replaceFile(dir + "vorn-probe.txt", "x").ok());
    EXPECT_EQ(storedName(dir + "vorn-probe.txt"), "vorn-probe.txt");
    EXPECT_TRUE(deleteFile(dir + "vorn-probe.txt").ok());
}
