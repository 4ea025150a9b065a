// The POSIX backend's own promises: drive letters mapped as Wine maps
// them, clear texts when a path cannot be mapped, and vorn-cmd running
// programs. (The Win32 backend hands paths to Windows as they are.)
#ifndef _WIN32
#include "contract_support.h"
#include "platform.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vorn::platform;
using vorn::test::PlatformTest;

namespace {

void writeHost(const std::string& path, const std::string& bytes, bool executable = false) {
    std::ofstream(path, std::ios::binary) << bytes;
    if (executable)
        ::chmod(path.c_str(), 0755);
}

} // namespace

using DriveMapping = PlatformTest;

TEST_F(DriveMapping, DrivesComeFromDosdevicesWithDriveCAsFallback) {
    std::string host;
    ASSERT_TRUE(hostPath("C:\\Work\\x.txt", host).ok());
    EXPECT_EQ(host, fs::canonical(prefix_ + "/drive_c").string() + "/work/x.txt");

    // Without the dosdevices link, c: is still drive_c.
    fs::remove(prefix_ + "/dosdevices/c:");
    ASSERT_TRUE(hostPath("c:\\work", host).ok());
    EXPECT_EQ(host, prefix_ + "/drive_c/work");

    // Any other letter needs its link.
    fs::create_directories(prefix_ + "/other");
    fs::create_directory_symlink("../other", prefix_ + "/dosdevices/d:");
    writeHost(prefix_ + "/other/Data.TXT", "x");
    EXPECT_EQ(storedName("D:\\data.txt"), "Data.TXT");
}

TEST_F(DriveMapping, BackslashesAndDotDotAreMapped) {
    makeDir(at("a"));
    makeFile(at("a\\B.txt"));
    std::string host;
    ASSERT_TRUE(hostPath("c:\\WORK\\.\\x\\..\\A\\b.txt", host).ok());
    EXPECT_EQ(host, fs::canonical(prefix_ + "/drive_c").string() + "/work/a/B.txt");
    ASSERT_TRUE(hostPath("c:\\..\\..\\work", host).ok());
    EXPECT_EQ(host, fs::canonical(prefix_ + "/drive_c").string() + "/work");
}

TEST_F(DriveMapping, UnmappablePathsSayWhy) {
    std::string host;
    const Status noDrive = hostPath("work\\x.txt", host);
    EXPECT_NE(noDrive.error.find("drive letter"), std::string::npos) << noDrive.error;
    const Status unmapped = hostPath("q:\\x.txt", host);
    EXPECT_NE(unmapped.error.find("Q: is not mapped"), std::string::npos) << unmapped.error;
    EXPECT_EQ(storedName("q:\\x.txt"), "");

    ::setenv("WINEPREFIX", (prefix_ + "/missing").c_str(), 1);
    const Status noPrefix = hostPath("c:\\x.txt", host);
    EXPECT_NE(noPrefix.error.find("Wine prefix"), std::string::npos) << noPrefix.error;
    EXPECT_FALSE(replaceFile("c:\\x.txt", "x").ok());
}

TEST_F(DriveMapping, StoredNameIsForOrdinaryFilesOnly) {
    fs::create_symlink("/dev/null", prefix_ + "/drive_c/work/dev");
    EXPECT_EQ(storedName(at("dev")), "");
    EXPECT_EQ(storedName(at("dev"), true), "");
}

TEST_F(DriveMapping, ReplaceKeepsThePermissionsOfTheFile) {
    makeFile(at("run.sh"), "old");
    const std::string host = prefix_ + "/drive_c/work/run.sh";
    ::chmod(host.c_str(), 0750);
    ASSERT_TRUE(replaceFile(at("run.sh"), "new").ok());
    struct stat st {};
    ASSERT_EQ(::stat(host.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
}

using Interpreter = PlatformTest;

TEST_F(Interpreter, RunsANativeProgramWithItsArguments) {
    const std::string tool = prefix_ + "/drive_c/work/Tool.exe";
    writeHost(tool, "#!/bin/sh\nprintf '%s|' \"$@\"\nprintf 'done\\r\\n'\n", true);
    // The batch file is Windows-1252, as the window writes it.
    EXPECT_EQ(
        runBatchLine(at("tool.exe") + " -export \"c:\\a b\\caf\u00E9.bsp\" 100%%", at("out.txt")),
        0);
    std::string out;
    ASSERT_TRUE(readFile(at("out.txt"), out).ok());
    EXPECT_EQ(out, "-export|c:\\a b\\caf\u00E9.bsp|100%|done\r\n");
    // In any case, and with its exit code.
    writeHost(prefix_ + "/drive_c/work/hlds.exe", "#!/bin/sh\nexit 7\n", true);
    EXPECT_EQ(runBatchLine(at("HLDS.EXE")), 7);
}

// What Vornwick never writes is refused with a message (here into the
// output), never run in part or passed over.
TEST_F(Interpreter, WhatItDoesNotUnderstandFailsWithAMessage) {
    const std::string work = prefix_ + "/drive_c/work/";
    writeHost(work + "tool.exe", "#!/bin/sh\n: > '" + work + "ran.txt'\n", true);
    writeHost(work + "other.bat", "dir c:\\ /ad /b\r\n");
    const std::string tool = at("tool.exe");
    for (const std::string& line :
         std::vector<std::string>{"echo x", "dir c:\\ /b >> " + at("x.txt"), "dir c:\\",
                                  "dir c:\\ /s /b", tool + " & dir", at("other.bat")}) {
        EXPECT_NE(runBatchLine(line, at("out.txt") + " 2>&1"), 0) << line;
        std::string out;
        EXPECT_TRUE(readFile(at("out.txt"), out).ok());
        EXPECT_NE(out, "") << line;
    }
    EXPECT_EQ(storedName(at("x.txt")), "");
    EXPECT_EQ(storedName(at("ran.txt")), "");
    // The command line names a batch file, nothing else.
    vorn::platform::Process p;
    ASSERT_TRUE(startHidden(tool + " 2> " + at("out.txt"), p).ok());
    ASSERT_EQ(p.wait(10000), vorn::platform::Process::Wait::Finished);
    EXPECT_EQ(p.exitCode(), 1);
    std::string out;
    EXPECT_TRUE(readFile(at("out.txt"), out).ok());
    EXPECT_NE(out.find("batch file"), std::string::npos) << out;
    EXPECT_EQ(storedName(at("ran.txt")), "");
}

// A PE file: the DOS header pointing at a PE header for `machine`.
std::string peProgram(unsigned machine) {
    std::string bytes(0x40, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3c] = 0x40;
    bytes += std::string("PE\0\0", 4);
    bytes += char(machine & 0xff);
    bytes += char(machine >> 8);
    return bytes + std::string(64, '\0');
}

// Wine's loaders are stand-ins in a folder of the test's own, shaped like
// Debian's /usr/lib/wine; each notes its name, WINELOADER and the program.
class WineLoaders : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        dir_ = prefix_ + "/loaders";
        bin_ = prefix_ + "/bin";
        fs::create_directories(dir_);
        fs::create_directories(bin_);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        ::setenv("VORN_WINE_LOADER_DIR", dir_.c_str(), 1);
        ::setenv("PATH", bin_.c_str(), 1);
        writeHost(prefix_ + "/drive_c/work/prog32.exe", peProgram(0x14c));
        writeHost(prefix_ + "/drive_c/work/prog64.exe", peProgram(0x8664));
        writeHost(prefix_ + "/drive_c/work/old.exe", "MZ without a PE header");
    }
    void TearDown() override {
        ::unsetenv("VORN_WINE_LOADER_DIR");
        ::setenv("PATH", savedPath_.c_str(), 1);
        PlatformTest::TearDown();
    }
    void loader(const std::string& path) {
        writeHost(path,
                  "#!/bin/sh\nprintf '%s %s %s\\r\\n' \"${0##*/}\" \"$WINELOADER\" "
                  "\"${1##*/}\"\n",
                  true);
    }
    // Which loader ran the program, and what it said.
    std::string run(const std::string& program, int& code) {
        code = runBatchLine(at(program), at("out.txt") + " 2>&1");
        std::string out;
        EXPECT_TRUE(readFile(at("out.txt"), out).ok());
        return out;
    }
    std::string dir_, bin_, savedPath_;
};

TEST_F(WineLoaders, EachProgramRunsWithTheLoaderForItsMachine) {
    loader(dir_ + "/wine");
    loader(dir_ + "/wine64");
    loader(bin_ + "/wine");
    int code = -1;
    EXPECT_EQ(run("prog64.exe", code), "wine64 " + dir_ + "/wine64 prog64.exe\r\n");
    EXPECT_EQ(run("prog32.exe", code), "wine " + dir_ + "/wine prog32.exe\r\n");
    // Without a readable PE header, Wine's own `wine` chooses.
    EXPECT_EQ(run("old.exe", code), "wine " + bin_ + "/wine old.exe\r\n");
    EXPECT_EQ(code, 0);
    // A `wine64` on the PATH comes first for 64-bit programs.
    loader(bin_ + "/wine64");
    EXPECT_EQ(run("prog64.exe", code), "wine64 " + bin_ + "/wine64 prog64.exe\r\n");
    // Outside Debian's layout, `wine` on the PATH runs both.
    fs::remove(dir_ + "/wine");
    fs::remove(dir_ + "/wine64");
    fs::remove(bin_ + "/wine64");
    EXPECT_EQ(run("prog64.exe", code), "wine " + bin_ + "/wine prog64.exe\r\n");
    EXPECT_EQ(run("prog32.exe", code), "wine " + bin_ + "/wine prog32.exe\r\n");
}

TEST_F(WineLoaders, AProgramThatCannotRunSaysWhy) {
    int code = -1;
    // No Wine at all, and a file that is no program.
    EXPECT_NE(run("prog32.exe", code).find("Wine is not installed"), std::string::npos);
    EXPECT_EQ(code, 1);
    writeHost(prefix_ + "/drive_c/work/data.exe", "just text\n");
    EXPECT_NE(runBatchLine(at("data.exe")), 0);

    // Debian's Wine without its 32-bit part: 64-bit programs still run.
    loader(dir_ + "/wine64");
    loader(bin_ + "/wine");
    std::string out = run("prog32.exe", code);
    EXPECT_EQ(code, kExitNoWine32Bit) << out;
    EXPECT_NE(out.find("Wine has no 32-bit part"), std::string::npos) << out;
    EXPECT_EQ(run("prog64.exe", code), "wine64 " + dir_ + "/wine64 prog64.exe\r\n");

    // A kernel that cannot run 32-bit programs refuses the 32-bit loader
    // with "Exec format error", as it refuses any file it cannot run.
    writeHost(dir_ + "/wine", "no program of this machine", true);
    out = run("prog32.exe", code);
    EXPECT_EQ(code, kExitCannotRun32Bit) << out;
    EXPECT_NE(out.find("prog32.exe, a 32-bit program"), std::string::npos) << out;
    EXPECT_NE(out.find("Exec format error"), std::string::npos) << out;
    EXPECT_EQ(run("prog64.exe", code), "wine64 " + dir_ + "/wine64 prog64.exe\r\n");
}

TEST_F(Interpreter, TheInterpreterIsFoundBesideTheProgram) {
    ::unsetenv("VORN_CMD");
    const std::string path = commandInterpreterPath();
    EXPECT_EQ(fs::path(path).filename(), "vorn-cmd");
    EXPECT_TRUE(fs::exists(path)) << path;
    ::setenv("VORN_CMD", "/nowhere/vorn-cmd", 1);
    EXPECT_EQ(commandInterpreterPath(), "/nowhere/vorn-cmd");
    vorn::platform::Process p;
    const Status s = startHidden("dir", p);
    ::unsetenv("VORN_CMD");
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("/nowhere/vorn-cmd"), std::string::npos) << s.error;
}
#endif
