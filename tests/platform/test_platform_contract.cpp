// The platform contract: what the rest of Vornwick relies on, checked
// natively against the POSIX backend with vorn-cmd, and under Wine against
// the Win32 backend with Wine's own cmd.exe.
#include "batchline.h"
#include "contract_support.h"
#include "platform.h"

#include <algorithm>
#include <string>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

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
// A started server: its console output read while it runs, and Stop

class StartedServer : public PlatformTest {
  protected:
    // Starts the never-ending stand-in the way the window starts a server:
    // the batch file run with its output redirected into the listing file.
    void start(Process& p) {
        makeFile(at("vorn.bat"), quote(selfProgram()) + " --vorn-server 0\r\n");
        const Status s = startHidden(quote(at("vorn.bat")) + " > " + quote(at("vorn.log")), p);
        ASSERT_TRUE(s.ok()) << s.error;
    }
    // Follows the growing log from `offset` until `text` has come (bounded).
    std::string follow(std::uint64_t& offset, const std::string& text) {
        std::string seen;
        for (int waited = 0; waited < 20000 && seen.find(text) == std::string::npos; waited += 50) {
            std::string bytes;
            std::uint64_t size = 0;
            if (readFileFrom(at("vorn.log"), offset, 1 << 20, bytes, size).ok()) {
                EXPECT_LE(offset + bytes.size(), size);
                offset += bytes.size();
                seen += bytes;
            }
            sleepMilliseconds(50);
        }
        return seen;
    }
    std::uint64_t logSize() {
        std::string none;
        std::uint64_t size = 0;
        EXPECT_TRUE(readFileFrom(at("vorn.log"), 0, 0, none, size).ok());
        return size;
    }
};

TEST_F(StartedServer, OutputIsReadWhileItRunsAndStopLeavesNothingRunning) {
    Process p;
    start(p);
    std::uint64_t offset = 0;
    const std::string first = follow(offset, "server line 3");
    // (cmd.exe echoes the batch line before the server's own output.)
    EXPECT_NE(first.find("server line 1"), std::string::npos) << first;
    // Reading on picks up exactly where the last read ended.
    const std::string more = follow(offset, "server line 6");
    EXPECT_EQ(more.find("server line 1"), std::string::npos) << more;
    EXPECT_NE(more.find("server line 6"), std::string::npos) << more;
    EXPECT_TRUE(p.running());
    EXPECT_EQ(p.exitCode(), -1);

    p.kill();
    EXPECT_FALSE(p.running());
    EXPECT_NE(p.exitCode(), -1);
    // No process of it is left: the output stops growing, and nothing holds
    // the log open any more.
    const std::uint64_t stopped = logSize();
    sleepMilliseconds(400);
    EXPECT_EQ(logSize(), stopped);
    const Status gone = deleteFile(at("vorn.log"));
    EXPECT_TRUE(gone.ok()) << gone.error;
    p.kill(); // a second Stop does no harm
}

TEST_F(StartedServer, ListingsAndProgramsRunBesideItThroughSideFiles) {
    makeDir(at("maps"));
    makeFile(at("maps\\dod_anzio.bsp"));
    Process p;
    start(p);
    std::uint64_t offset = 0;
    follow(offset, "server line 2");
    // The server's interpreter writes into vorn.log for as long as it runs
    // and reads vorn.bat again when the server ends: a listing that removed
    // and rewrote vorn.log would take the server's output away from whoever
    // follows it (and on Windows the removal fails outright). So the other
    // outside commands use their own pair of files.
    EXPECT_EQ(
        runBatchLine("dir " + quote(at("maps\\*.bsp")) + " /b > " + quote(at("vorn_list.log")), "",
                     "vorn_list.bat"),
        0);
    EXPECT_EQ(bytesOf(at("vorn_list.log")), "dod_anzio.bsp\r\n");
    // A program with its output redirected, as the entity export runs.
    EXPECT_EQ(runBatchLine(quote(selfProgram()) + " --vorn-server 2", at("vorn_list.log"),
                           "vorn_list.bat"),
              0);
    EXPECT_NE(bytesOf(at("vorn_list.log")).find("server line 2"), std::string::npos);
    // The server went on undisturbed.
    EXPECT_TRUE(p.running());
    EXPECT_NE(follow(offset, "server line 12").find("server line 12"), std::string::npos);
    EXPECT_EQ(bytesOf(at("vorn.bat")), quote(selfProgram()) + " --vorn-server 0\r\n");
    p.kill();
    EXPECT_FALSE(p.running());
}

TEST_F(StartedServer, AnEndOfItsOwnIsNoticedWithItsExitCode) {
    makeFile(at("vorn.bat"), "exit 7\r\n");
    Process p;
    ASSERT_TRUE(startHidden(quote(at("vorn.bat")), p).ok());
    for (int waited = 0; p.running() && waited < 20000; waited += 20)
        sleepMilliseconds(20);
    EXPECT_FALSE(p.running());
    EXPECT_EQ(p.exitCode(), 7);
}

TEST_F(StartedServer, AGrowingFileIsReadFromAnOffset) {
    makeFile(at("out.log"), "0123456789");
    const struct {
        std::uint64_t offset;
        std::size_t most;
        const char* bytes;
    } rows[] = {{0, 100, "0123456789"}, {4, 3, "456"}, {9, 100, "9"}, {10, 5, ""}, {99, 5, ""}};
    for (const auto& row : rows) {
        std::string bytes = "stale";
        std::uint64_t size = 0;
        ASSERT_TRUE(readFileFrom(at("out.log"), row.offset, row.most, bytes, size).ok());
        EXPECT_EQ(bytes, row.bytes) << row.offset;
        EXPECT_EQ(size, 10u);
    }
    std::string bytes;
    std::uint64_t size = 1;
    const Status s = readFileFrom(at("gone.log"), 0, 10, bytes, size);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("gone.log"), std::string::npos) << s.error;
    EXPECT_EQ(size, 0u);
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

TEST_F(Replace, WritesExactBytesAndLeavesNoTemporaryFile) {
    makeFile(at("a.cfg"), "old\r\n");
    ASSERT_TRUE(replaceFile(at("a.cfg"), "new\r\nlines\r\n").ok());
    EXPECT_EQ(bytesOf(at("a.cfg")), "new\r\nlines\r\n");
    ASSERT_TRUE(replaceFile(at("a.cfg"), "").ok());
    EXPECT_EQ(bytesOf(at("a.cfg")), "");
    EXPECT_EQ(hostEntries(base()), std::vector<std::string>{"a.cfg"});
}

TEST_F(Replace, ReadOnlyTargetStaysIntactAndTheErrorSaysWhy) {
    makeFile(at("server.cfg"), "old bytes\r\n");
    setReadOnly(at("server.cfg"), true);
    const Status s = replaceFile(at("server.cfg"), "new bytes\r\n");
    setReadOnly(at("server.cfg"), false);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("server.cfg"), std::string::npos) << s.error;
    EXPECT_EQ(bytesOf(at("server.cfg")), "old bytes\r\n");
    EXPECT_EQ(hostEntries(base()), std::vector<std::string>{"server.cfg"});
}

TEST_F(Replace, MissingDirectoryOrAFileInItsPlaceFailsWithTheName) {
    // A file where the directory should be is what an unwritable directory
    // looks like to every user, root included.
    makeFile(at("notadir"), "keep");
    for (const char* target : {"gone\\bot.cfg", "notadir\\bot.cfg"}) {
        const Status s = replaceFile(at(target), "x");
        EXPECT_FALSE(s.ok()) << target;
        EXPECT_NE(s.error.find("bot.cfg"), std::string::npos) << s.error;
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

// ---------------------------------------------------------------------------
// A UDP port held by another program

namespace {

// A UDP socket bound to a free port of this machine, as a game server holds
// its port.
class HeldPort {
  public:
    HeldPort() {
#ifdef _WIN32
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
#endif
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
        addr.sin_port = 0;
        if (bind(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
            return;
        socklen_t len = sizeof addr;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
    }
    void release() {
#ifdef _WIN32
        closesocket(fd_);
        WSACleanup();
#else
        ::close(fd_);
#endif
        open_ = false;
    }
    ~HeldPort() {
        if (open_)
            release();
    }
    int port = 0;

  private:
#ifdef _WIN32
    SOCKET fd_;
    using socklen_t = int;
#else
    int fd_;
#endif
    bool open_ = true;
};

} // namespace

TEST(UdpPort, AHeldPortIsBusyAndFreeAgainOnceLetGo) {
    HeldPort held;
    ASSERT_NE(held.port, 0);
    std::string error;
    EXPECT_FALSE(udpPortFree(held.port, error));
    EXPECT_NE(error.find(std::to_string(held.port)), std::string::npos) << error;
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
    held.release();
    EXPECT_TRUE(udpPortFree(held.port, error)) << error;
    EXPECT_TRUE(error.empty());
    for (int port : {0, 65536, -1})
        EXPECT_FALSE(udpPortFree(port, error)) << port;
}
