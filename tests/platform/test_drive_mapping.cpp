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

TEST_F(Interpreter, AProgramThatCannotRunFails) {
    writeHost(prefix_ + "/drive_c/work/data.exe", "just text\n");
    EXPECT_NE(runBatchLine(at("data.exe")), 0);
    writeHost(prefix_ + "/drive_c/work/win.exe", "MZ not really a program");
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", "/nonexistent", 1);
    const int code = runBatchLine(at("win.exe"), at("out.txt"));
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_NE(code, 0);
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
