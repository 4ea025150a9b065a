// What the rest of Vornwick relies on: the POSIX backend with vorn-cmd, and
// under Wine the Win32 backend with Wine's cmd.exe.
#include "batchline.h"
#include "codepage.h"
#include "contract_support.h"
#include "heldport.h"
#include "platform.h"
#include "udpresponder.h"
#include "waituntil.h"
#include "winpath.h"

#include <chrono>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace vorn::platform;
using vorn::test::bytesOf;
using vorn::test::HeldPort;
using vorn::test::PlatformTest;
using vorn::test::quote;
using vorn::test::waitUntil;
using Clock = std::chrono::steady_clock;
using names = std::set<std::string>;

using StoredName = PlatformTest;

// The spelling on disk for any case; nothing for what is missing or a wildcard.
TEST_F(StoredName, GivesTheSpellingOnDiskForAnyCaseOrNothing) {
    make({"Games\\"});
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Games\\HL.EXE", "games\\Hl.exe"},
        {"with blank.cfg", "WITH BLANK.CFG"},
        {"a&b.cfg", "A&B.cfg"},
        {"100%.cfg", "100%.CFG"},
        {"up^down.cfg", "UP^DOWN.cfg"},
        {"(x) y.cfg", "(X) Y.cfg"},
        {"caf\u00E9.cfg", "CAF\u00C9.CFG"},
        {"\u00DCber,1.cfg", "\u00FCber,1.cfg"},
    };
    for (const auto& [stored, asked] : rows) {
        makeFile(at(stored));
        EXPECT_EQ(storedName(at(asked)), stored.substr(stored.rfind('\\') + 1)) << asked;
    }
    for (const char* missing :
         {"Games\\hlds.exe", "NoSuchDir\\hl.exe", "Games\\HL.EXE\\more", "*.cfg", "a?b.cfg"})
        EXPECT_EQ(storedName(at(missing)), "") << missing;
    EXPECT_EQ(storedName(at("GAMES")), "");
    EXPECT_EQ(storedName(at("GAMES"), true), "Games");
    EXPECT_EQ(storedName(at("A&B.CFG"), true), "a&b.cfg");
}

class Listing : public PlatformTest {
  protected:
    // Runs `dir <args> > vorn.log` from the batch file; the listing's bytes.
    std::string list(const std::string& dirArgs) {
        code = runBatchLine("dir " + dirArgs + " > " + at("vorn.log"));
        return bytesOf(at("vorn.log"));
    }
    int code = -1; // of the last listing
};

// Nothing to list: an empty listing and 0 or 1, the window's "nothing found".
TEST_F(Listing, ListsSortedWithoutCaseAndNothingAsAnEmptyListing) {
    make({"game\\", "game\\valve\\", "game\\Dod\\", "game\\cstrike\\", "game\\logs\\",
          "game\\a_b\\", "game\\AA\\", "game\\readme.txt", "game\\hl.exe"});
    make({"maps\\", "maps\\b.bsp", "maps\\A.BSP", "maps\\c.txt", "maps\\z_map.bsp", "maps\\x.bsp2",
          "maps\\bsp", "maps\\sub.bsp\\", "empty\\"});
    make({"odd & 100% (x) ^y\\", "odd & 100% (x) ^y\\m 1.bsp", "odd & 100% (x) ^y\\m&2.bsp"});
    const std::string odd = at("odd & 100% (x) ^y");
    makeFile(at("vorn.log"), "old listing\r\n");
    // Wine's order: '_' comes before every letter.
    const std::string games = "a_b\r\nAA\r\ncstrike\r\nDod\r\nlogs\r\nvalve\r\n";
    const std::pair<std::string, std::string> rows[] = {
        {at("game\\") + " /ad /b", games},
        {quote(at("game")) + " /ad /b", games},
        // A matching directory too, and "x.bsp2" (Windows' short names).
        {quote(at("maps\\*.bsp")) + " /b", "A.BSP\r\nb.bsp\r\nsub.bsp\r\nx.bsp2\r\nz_map.bsp\r\n"},
        {at("maps\\") + "*.txt /b", "c.txt\r\n"},
        {quote(odd + "\\*.bsp") + " /b", "m 1.bsp\r\nm&2.bsp\r\n"},
        {quote(at("maps\\*.wad")) + " /b", ""},
        {quote(at("empty")) + " /ad /b", ""},
        {quote(at("empty\\*.bsp")) + " /b", ""},
        {quote(at("gone\\*.bsp")) + " /b", ""},
    };
    for (const auto& [args, listing] : rows) {
        EXPECT_EQ(list(args), listing) << args;
        if (listing.empty())
            EXPECT_TRUE(code == 0 || code == 1) << args << ": " << code;
        else
            EXPECT_EQ(code, 0) << args;
    }
}

// Wine cmd.exe's order, in Windows-1252 (not "thorn": Wine puts \u00FEorn first).
TEST_F(Listing, MixedNamesComeInTheOrderOfWindowsCmd) {
    const std::string order =
        "@at|[bracket|_under|~tilde|0day|10lives|9lives|\u00C6ble|aerial|\u00C6r\u00F8|"
        "Aesop|coop|co'op|co-op|Coop2|co-op-2|-dash|ma\u00F1ana|nandu|\u00D1andu|"
        "\u0152uvre|oeuvre2|'quote|resume|r\u00E9sum\u00E9|R\u00E9sum\u00E9s|strasse|"
        "stra\u00DFe|\u00FEorn|\u00FCber|Uber2|yes|\u00FFes|Yes-no|z 1|z!1|z#1|"
        "z$1|z%1|z&1|z(1)|z,1|z;1|z@1|z[1]|z^1|z_1|z`1|z{1}|z~1|z+1|z=1|z0|z'1|z-1|z10|"
        "z9|zebra|Zulu";
    make({"mix\\"});
    std::string listing;
    for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1) {
        bar = order.find('|', from);
        const std::string name = order.substr(from, bar - from);
        makeFile(at("mix\\") + name + ".bsp");
        listing += utf8ToCp1252(name) + ".bsp\r\n";
    }
    EXPECT_EQ(list(quote(at("mix\\*.bsp")) + " /b"), listing);
}

// The batch line names a folder with accents in the interpreter's code page.
TEST_F(Listing, AFolderWithAccentsIsListed) {
    if (std::string bytes; !encodeBatchLine("\u00E9", bytes).ok())
        GTEST_SKIP() << "the interpreter's code page " << batchCodePage() << " has no \u00E9";
    make({"Jeux\\", "Jeux\\H\u00E9ros\\", "Jeux\\H\u00E9ros\\valve\\", "Jeux\\H\u00E9ros\\dod\\",
          "Jeux\\H\u00E9ros\\dod\\maps\\", "Jeux\\H\u00E9ros\\hl.exe",
          "Jeux\\H\u00E9ros\\dod\\maps\\dod_caf\u00E9.bsp"});
    const std::string game = at("Jeux\\H\u00E9ros");
    const std::pair<std::string, std::string> rows[] = {
        {quote(game) + " /ad /b", "dod\r\nvalve\r\n"},
        {quote(game + "\\") + " /ad /b", "dod\r\nvalve\r\n"},
        {quote(game + "\\*.exe") + " /b", "hl.exe\r\n"},
        {quote(game + "\\dod\\maps\\*.bsp") + " /b", utf8ToCp1252("dod_caf\u00E9.bsp\r\n")},
    };
    for (const auto& [args, listing] : rows) {
        EXPECT_EQ(list(args), listing) << args;
        EXPECT_EQ(code, 0) << args;
    }
}

// A character without a byte in the code page is refused: '?' is a wildcard.
TEST_F(Listing, ACharacterTheInterpreterCannotReadIsRefused) {
    std::string unreadable;
    for (const char* c : {"\u4E2D", "\u0416", "\u20AC"}) // CJK, Cyrillic, euro sign
        if (std::string bytes; unreadable.empty() && !encodeBatchLine(c, bytes).ok())
            unreadable = c;
    if (unreadable.empty())
        GTEST_SKIP() << "the interpreter's code page " << batchCodePage() << " holds them all";
    const std::string folder = at("maps \u00E9" + unreadable);
    const Status s = writeBatchFile(at("vorn.bat"), "dir " + quote(folder) + " /ad /b");
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.error.find(unreadable), std::string::npos) << s.error;
    EXPECT_NE(s.error.find(std::to_string(batchCodePage())), std::string::npos) << s.error;
    EXPECT_EQ(s.error.find("\u00E9"), std::string::npos) << s.error;
    EXPECT_EQ(storedName(at("vorn.bat")), "");
}

// A listing onto a full disk, through either redirection.
TEST_F(Listing, OutputThatCannotBeWrittenFailsTheCommand) {
#ifdef _WIN32
    GTEST_SKIP() << "no full device to redirect into under Wine";
#else
    make({"maps\\"});
    for (int i = 0; i < 300; ++i)
        makeFile(at("maps\\map" + std::to_string(i) + ".bsp"));
    std::string host;
    ASSERT_TRUE(hostPath(at(""), host).ok());
    ASSERT_EQ(::symlink("/dev/full", (host + "full").c_str()), 0);
    const std::string maps = quote(at("maps\\*.bsp")) + " /b";
    EXPECT_EQ(runBatchLine("dir " + maps + " > " + at("full")), 112);
    EXPECT_EQ(runBatchLine("dir " + maps, at("full")), 112);
    EXPECT_EQ(runBatchLine("dir " + maps + " > " + at("fine.log")), 0);
#endif
}

class Commands : public PlatformTest {
  protected:
    // Starts this program with `mode` as the window starts a server.
    void start(Process& p, const std::string& mode) {
        makeFile(at("vorn.bat"), quote(selfProgram()) + " " + mode + "\r\n");
        const Status s = startHidden(quote(at("vorn.bat")) + " > " + quote(at("vorn.log")), p);
        ASSERT_TRUE(s.ok()) << s.error;
    }
    // Follows the growing log from `offset` until `text` has come (bounded).
    std::string follow(std::uint64_t& offset, const std::string& text) {
        std::string seen;
        waitUntil(
            [&] {
                std::string bytes;
                std::uint64_t size = 0;
                if (readFileFrom(at("vorn.log"), offset, 1 << 20, bytes, size).ok()) {
                    EXPECT_LE(offset + bytes.size(), size);
                    offset += bytes.size();
                    seen += bytes;
                }
                return seen.find(text) != std::string::npos;
            },
            20000, 50);
        EXPECT_NE(seen.find(text), std::string::npos) << seen;
        return seen;
    }
};

TEST_F(Commands, TheExitCodeComesBackWaitedForOrNoticed) {
    for (int code : {3, 0})
        EXPECT_EQ(runBatchLine(quote(selfProgram()) + " --vorn-exit " + std::to_string(code)),
                  code);
    // A server's end of its own is noticed without waiting.
    Process p;
    start(p, "--vorn-exit 7");
    EXPECT_TRUE(waitUntil([&p] { return !p.running(); }, 20000));
    EXPECT_EQ(p.exitCode(), 7);
    // Line breaks are refused.
    Process broken;
    for (const char* line : {"dir\r\nexit 1", "dir\nexit", "dir\rexit"})
        EXPECT_FALSE(startHidden(line, broken).error.empty()) << line;
    EXPECT_FALSE(broken.valid());
}

// cmd.exe expands '%' on its command line: batch files run from their folder.
TEST_F(Commands, BatchFilesRunFromTheirFolderEvenOneHoldingPercent) {
    make({"maps\\", "maps\\a.bsp"});
    for (const std::string folder : {"100%", "%PATH%", "a%b%c", "%1 x"}) {
        SCOPED_TRACE(folder);
        make({folder + "\\"});
        const std::string dir = at(folder);
        makeFile(dir + "\\vorn.bat",
                 "dir " + quote(at("maps\\*.bsp")) + " /b > " + quote(dir + "\\vorn.log") + "\r\n");
        for (const char* line : {".\\vorn.bat", ".\\vorn.bat > out.log"}) {
            Process p;
            const Status s = startHidden(line, p, dir);
            ASSERT_TRUE(s.ok()) << s.error;
            ASSERT_EQ(p.wait(60000), Process::Wait::Finished);
            EXPECT_EQ(p.exitCode(), 0);
            EXPECT_EQ(bytesOf(dir + "\\vorn.log"), "a.bsp\r\n");
        }
        EXPECT_EQ(storedName(dir + "\\out.log"), "out.log");
    }
    Process p;
    EXPECT_FALSE(startHidden(".\\vorn.bat", p, at("gone")).ok());
    // "2> file" keeps the complaints apart, "> file 2>&1" joins them.
    const std::string folder = base().substr(0, base().size() - 1);
    makeFile(at("vorn.bat"),
             "dir " + quote(at("maps\\*.wad")) + " /b > " + quote(at("vorn.log")) + "\r\n");
    ASSERT_TRUE(startHidden(".\\vorn.bat 2> vorn.err", p, folder).ok());
    ASSERT_EQ(p.wait(60000), Process::Wait::Finished);
    EXPECT_EQ(bytesOf(at("vorn.log")), "");
    EXPECT_NE(bytesOf(at("vorn.err")), ""); // that nothing was found

    makeFile(at("vorn.bat"), quote(at("no such program.exe")) + " -export x\r\n");
    ASSERT_TRUE(startHidden(".\\vorn.bat > vorn.log 2>&1", p, folder).ok());
    ASSERT_EQ(p.wait(60000), Process::Wait::Finished);
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_NE(bytesOf(at("vorn.log")), "");
}

// Stop does not wait; a listing past its time limit is killed; nothing is left.
TEST_F(Commands, AServersOutputIsReadWhileItRunsAndStopOrKillLeavesNothing) {
    for (bool ask : {true, false}) {
        SCOPED_TRACE(ask ? "askToEnd" : "kill");
        Process p;
        start(p, "--vorn-server");
        std::uint64_t offset = 0;
        // (cmd.exe echoes the batch line before the server's own output.)
        const std::string first = follow(offset, "server line 3");
        EXPECT_NE(first.find("server line 1"), std::string::npos) << first;
        // Reading on picks up exactly where the last read ended.
        const std::string more = follow(offset, "server line 6");
        EXPECT_EQ(more.find("server line 1"), std::string::npos) << more;
        EXPECT_FALSE(p.allEnded());
        EXPECT_EQ(p.wait(300), Process::Wait::TimedOut);
        EXPECT_EQ(p.exitCode(), -1);
        const auto begin = Clock::now();
        if (ask) {
            p.askToEnd();
            EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(200)) << "it does not wait";
            EXPECT_TRUE(waitUntil([&p] { return p.allEnded(); }, 10000));
        } else {
            p.kill();
            EXPECT_EQ(p.wait(10000), Process::Wait::Finished);
            p.kill(); // a second kill does no harm
        }
        EXPECT_FALSE(p.running());
        EXPECT_NE(p.exitCode(), -1);
        // The output stops growing, and nothing holds the log open.
        const std::size_t stopped = bytesOf(at("vorn.log")).size();
        sleepMilliseconds(400);
        EXPECT_EQ(bytesOf(at("vorn.log")).size(), stopped);
        const Status gone = deleteFile(at("vorn.log"));
        EXPECT_TRUE(gone.ok()) << gone.error;
    }
}

using Files = PlatformTest;

TEST_F(Files, FilesAreReadFromAnOffsetOrWholeWhenOrdinaryAndBounded) {
    makeFile(at("out.log"), "0123456789");
    // The offset, the most bytes read, the bytes.
    const std::tuple<std::uint64_t, std::size_t, const char*> rows[] = {
        {0, 100, "0123456789"}, {4, 3, "456"}, {9, 100, "9"}, {10, 5, ""}, {99, 5, ""}};
    for (const auto& [offset, most, read] : rows) {
        std::string bytes = "stale";
        std::uint64_t size = 0;
        ASSERT_TRUE(readFileFrom(at("out.log"), offset, most, bytes, size).ok());
        EXPECT_EQ(bytes, read) << offset;
        EXPECT_EQ(size, 10u);
    }
    std::string bytes;
    std::uint64_t size = 1;
    Status s = readFileFrom(at("gone.log"), 0, 10, bytes, size);
    EXPECT_NE(s.error.find("gone.log"), std::string::npos) << s.error;
    EXPECT_EQ(size, 0u);
    // Whole files only when ordinary and of bounded size: no pipe, no endless device.
    makeFile(at("History.txt"), "12345");
    bytes.clear();
    EXPECT_TRUE(readFile(at("History.txt"), bytes, 5).ok());
    EXPECT_EQ(bytes, "12345");
    s = readFile(at("History.txt"), bytes, 4);
    EXPECT_NE(s.error.find("larger than 4 bytes"), std::string::npos) << s.error;
    EXPECT_EQ(s.fault, Status::Fault::Other);
    make({"dir\\"});
    EXPECT_FALSE(readFile(at("dir"), bytes).ok());
    // A missing file, or a missing directory above it, is told apart.
    EXPECT_EQ(readFile(at("none.txt"), bytes).fault, Status::Fault::Missing);
    EXPECT_EQ(readFile(at("nodir\\History.txt"), bytes).fault, Status::Fault::Missing);
#ifndef _WIN32
    std::string host;
    ASSERT_TRUE(hostPath(at(""), host).ok());
    ASSERT_EQ(::mkfifo((host + "pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (host + "endless").c_str()), 0);
    for (const char* name : {"pipe", "endless"}) {
        s = readFile(at(name), bytes);
        EXPECT_NE(s.error.find("not an ordinary file"), std::string::npos) << s.error;
        // Nor does the existence test see them.
        EXPECT_EQ(storedName(at(name), true), "") << name;
    }
#endif
}

// CR LF written, bytes unchanged; lines end at CR LF or LF, fields at commas too.
TEST_F(Files, TextFilesWriteAndReadOrSayWhyNot) {
    TextFile f;
    ASSERT_TRUE(f.open(at("t.txt"), TextFile::Mode::Append).ok());
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
    ASSERT_TRUE(f.open(at("t.txt"), TextFile::Mode::Append).ok());
    EXPECT_TRUE(f.writeLine("second").ok());
    f.close();
    EXPECT_EQ(bytesOf(at("t.txt")), "fresh\r\nsecond\r\n");

    makeFile(at("lines.txt"), "one\r\ntwo\n\r\nthree");
    makeFile(at("fields.txt"), "valve,dod\r\ncstrike\r\n,last\n");
    std::vector<std::string> lines, fields;
    std::string text;
    ASSERT_TRUE(f.open(at("lines.txt"), TextFile::Mode::Input).ok());
    while (f.readLine(text))
        lines.push_back(text);
    EXPECT_TRUE(f.eof());
    f.close();
    ASSERT_TRUE(f.open(at("fields.txt"), TextFile::Mode::Input).ok());
    while (!f.eof() && f.readField(text))
        fields.push_back(text);
    EXPECT_FALSE(f.readField(text));
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
    EXPECT_EQ(fields, (std::vector<std::string>{"valve", "dod", "cstrike", "", "last"}));
    f.close();
    // A read-only file is neither written nor deleted; each failure names the file.
    makeFile(at("vorn.log"), "keep\r\n");
    setReadOnly(at("vorn.log"), true);
    const std::tuple<const char*, TextFile::Mode, const char*> rows[] = {
        {"vorn.log", TextFile::Mode::Output, "read-only"},
        {"vorn.log", TextFile::Mode::Append, "read-only"},
        {"gone\\t.txt", TextFile::Mode::Output, "t.txt"},
        {"gone.txt", TextFile::Mode::Input, "gone.txt"}};
    for (const auto& [file, mode, said] : rows) {
        TextFile f;
        const Status s = f.open(at(file), mode);
        EXPECT_NE(s.error.find(said), std::string::npos) << file << ": " << s.error;
        EXPECT_FALSE(f.isOpen()) << file;
    }
    const Status gone = deleteFile(at("vorn.log"));
    EXPECT_EQ(gone.fault, Status::Fault::ReadOnly);
    EXPECT_NE(gone.error.find("vorn.log"), std::string::npos) << gone.error;
    TextFile in;
    EXPECT_TRUE(in.open(at("vorn.log"), TextFile::Mode::Input).ok());
    in.close();
    setReadOnly(at("vorn.log"), false);
    EXPECT_EQ(bytesOf(at("vorn.log")), "keep\r\n");
    // Directories are made and removed, files deleted, once.
    ASSERT_TRUE(makeDirectory(at("vorntmp")).ok());
    EXPECT_EQ(storedName(at("VORNTMP"), true), "vorntmp");
    EXPECT_FALSE(makeDirectory(at("vorntmp")).ok());
    EXPECT_TRUE(removeDirectory(at("vorntmp")).ok());
    EXPECT_EQ(storedName(at("vorntmp"), true), "");
    EXPECT_FALSE(removeDirectory(at("vorntmp")).ok());

    makeFile(at("vorn.log"));
    EXPECT_TRUE(deleteFile(at("vorn.log")).ok());
    EXPECT_EQ(storedName(at("vorn.log")), "");
    const Status twice = deleteFile(at("vorn.log"));
    EXPECT_NE(twice.error.find("vorn.log"), std::string::npos) << twice.error;
    // The user's temporary directory is a writable Windows path.
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

// A crash's stale temporary file goes at the next save; others' stay.
TEST_F(Files, TemporaryFilesAreShortAndClearedOnceStale) {
#ifdef _WIN32
    const unsigned long self = GetCurrentProcessId();
#else
    const unsigned long self = static_cast<unsigned long>(::getpid());
#endif
    const unsigned long ended = 0x3FFFFFF0; // above every process id in use
    const std::string stale = temporaryNameFor("a.cfg", ended, 1);
    const std::string running = temporaryNameFor("a.cfg", self, 99999);
    const std::string otherFile = temporaryNameFor("b.cfg", ended, 1);
    const std::string notOurs = ".a.cfg.vorn-x.tmp";
    for (const std::string& name : {stale, running, otherFile, notOurs})
        makeFile(at(name), "half");
    makeFile(at("a.cfg"), "old");
    ASSERT_TRUE(replaceFile(at("a.cfg"), "new").ok());
    EXPECT_EQ(bytesOf(at("a.cfg")), "new");
    EXPECT_EQ(hostEntries(base()), names({"a.cfg", running, otherFile, notOurs}));
    EXPECT_EQ(temporaryFileOwner(stale, "a.cfg"), ended);
    EXPECT_EQ(temporaryFileOwner(notOurs, "a.cfg"), 0u);
    // A 248-byte class-limit file's temporary name must fit the limit of 255.
    for (const std::size_t length : {244u, 251u}) {
        const std::string name = std::string(length, 'm') + ".cfg";
        const Status s = replaceFile(at(name), "limits\r\n");
        ASSERT_TRUE(s.ok()) << s.error;
        EXPECT_EQ(bytesOf(at(name)), "limits\r\n");
    }
    EXPECT_LT(temporaryNameFor(std::string(251, 'm'), 4294967295ul, 4294967295u).size(), 80u);
}

// Exact bytes; or a failure naming the file, and what was there stays.
TEST_F(Files, WritesExactBytesOrLeavesWhatWasThere) {
    makeFile(at("a.cfg"), "old\r\n");
    makeFile(at("server.cfg"), "old bytes\r\n");
    setReadOnly(at("server.cfg"), true);
    makeFile(at("notadir"), "keep");
    // Game files and scratch files are replaced alike; only the flush differs.
    using Writer = Status (*)(const std::string&, const std::string&);
    for (const auto& [name, write] : {std::pair<const char*, Writer>{"replaceFile", replaceFile},
                                      {"writeScratchFile", writeScratchFile}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(write(at("a.cfg"), "new\r\nlines\r\n").ok());
        EXPECT_EQ(bytesOf(at("a.cfg")), "new\r\nlines\r\n");
        ASSERT_TRUE(write(at("a.cfg"), "").ok());
        EXPECT_EQ(bytesOf(at("a.cfg")), "");
        for (const auto& [target, file] : {std::pair{"server.cfg", "server.cfg"},
                                           {"gone\\bot.cfg", "bot.cfg"},
                                           {"notadir\\bot.cfg", "bot.cfg"}}) {
            const Status s = write(at(target), "new bytes\r\n");
            EXPECT_NE(s.error.find(file), std::string::npos) << target << ": " << s.error;
        }
        EXPECT_EQ(hostEntries(base()), names({"a.cfg", "notadir", "server.cfg"}));
    }
    setReadOnly(at("server.cfg"), false);
    EXPECT_EQ(bytesOf(at("server.cfg")), "old bytes\r\n");
    EXPECT_EQ(bytesOf(at("notadir")), "keep");
}

TEST_F(Files, UnwritableDirectoryKeepsTheOldFile) {
    make({"locked\\"});
    makeFile(at("locked\\motd.txt"), "old motd\r\n");
    if (!makeUnwritable(at("locked")))
        GTEST_SKIP() << "this user can write into any directory here";
    const Status s = replaceFile(at("locked\\motd.txt"), "new motd\r\n");
    EXPECT_NE(s.error.find("motd.txt"), std::string::npos) << s.error;
    EXPECT_EQ(bytesOf(at("locked\\motd.txt")), "old motd\r\n");
}

TEST(Udp, AHeldPortIsBusyAndOnceLetGoFreeAndSilent) {
    HeldPort held;
    ASSERT_NE(held.port, 0);
    const Status busy = udpPortFree(held.port);
    EXPECT_EQ(busy.fault, Status::Fault::InUse);
    EXPECT_NE(busy.error.find(std::to_string(held.port)), std::string::npos) << busy.error;
    held.release();
    EXPECT_TRUE(udpPortFree(held.port).ok());
    for (int port : {0, 65536, -1}) {
        const Status none = udpPortFree(port);
        EXPECT_FALSE(none.ok()) << port;
        EXPECT_EQ(none.fault, Status::Fault::Other) << port;
    }
    // Asked where nobody listens, a socket waits for nothing without failing.
    UdpSocket socket;
    ASSERT_TRUE(socket.open().ok());
    ASSERT_TRUE(socket.sendTo("127.0.0.1", held.port, "x").ok());
    for (int milliseconds : {0, 300}) {
        SCOPED_TRACE(milliseconds);
        std::string bytes = "old";
        bool got = true;
        const auto start = Clock::now();
        const Status s = socket.receive(bytes, got, milliseconds);
        const auto took = Clock::now() - start;
        EXPECT_TRUE(s.ok()) << s.error;
        EXPECT_FALSE(got);
        EXPECT_EQ(bytes, "");
        EXPECT_GE(took, std::chrono::milliseconds(milliseconds - 20));
        EXPECT_LT(took, std::chrono::milliseconds(milliseconds + 1500));
    }
    EXPECT_TRUE(socket.isOpen());
}

namespace {

std::string receiveOne(UdpSocket& socket) {
    std::string bytes;
    bool got = false;
    const Status s = socket.receive(bytes, got, 5000);
    EXPECT_TRUE(s.ok()) << s.error;
    EXPECT_TRUE(got) << "nothing came within 5 s";
    return bytes;
}

} // namespace

// Every byte value, an empty datagram and the largest IPv4 carries come back.
TEST(Udp, DatagramsComeWholeAndInOrderUpToTheLargestIPv4Carries) {
    vorn::test::UdpResponder server(
        [](const std::string& request) { return std::vector<std::string>{request}; });
    ASSERT_NE(server.port, 0);
    UdpSocket socket;
    ASSERT_TRUE(socket.open().ok());
    std::string every;
    for (int c = 0; c < 256; ++c)
        every += static_cast<char>(c);
    std::string largest(65507, '\0');
    for (std::size_t i = 0; i < largest.size(); ++i)
        largest[i] = static_cast<char>(i * 7);
    for (const std::string& sent : {every, std::string(), largest}) {
        ASSERT_TRUE(socket.sendTo("127.0.0.1", server.port, sent).ok()) << sent.size();
        EXPECT_EQ(receiveOne(socket), sent) << sent.size();
    }
    for (const char* sent : {"one", "two"})
        ASSERT_TRUE(socket.sendTo("127.0.0.1", server.port, sent).ok());
    EXPECT_EQ(receiveOne(socket), "one");
    EXPECT_EQ(receiveOne(socket), "two");
    // A datagram larger than IPv4 carries is not sent, and says so.
    EXPECT_FALSE(socket.sendTo("127.0.0.1", server.port, std::string(70000, 'x')).error.empty());
}

TEST(Udp, AClosedOrNeverOpenedSocketAndBadAddressesFailWithAReason) {
    UdpSocket never;
    UdpSocket closed;
    ASSERT_TRUE(closed.open().ok());
    closed.close();
    closed.close();
    UdpSocket movedFrom;
    ASSERT_TRUE(movedFrom.open().ok());
    UdpSocket movedTo = std::move(movedFrom);
    EXPECT_TRUE(movedTo.isOpen());
    for (UdpSocket* socket : {&never, &closed, &movedFrom}) {
        EXPECT_FALSE(socket->isOpen());
        EXPECT_FALSE(socket->sendTo("127.0.0.1", 27015, "x").error.empty());
        std::string bytes;
        bool got = true;
        EXPECT_FALSE(socket->receive(bytes, got, 50).error.empty());
        EXPECT_FALSE(got);
    }
    for (const char* address : {"", "localhost", "127.0.0", "256.0.0.1", "::1", "1.2.3.4x"})
        EXPECT_FALSE(movedTo.sendTo(address, 27015, "x").error.empty()) << address;
    for (int port : {0, -1, 65536})
        EXPECT_FALSE(movedTo.sendTo("127.0.0.1", port, "x").ok()) << port;
    // Opened again, the closed one works once more.
    ASSERT_TRUE(closed.open().ok());
    EXPECT_TRUE(closed.isOpen());
}
