// The POSIX backend: drive letters mapped as Wine maps them, and vorn-cmd.
#ifndef _WIN32
#include "contract_support.h"
#include "platform.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using namespace vorn::platform;
using vorn::test::bytesOf;
using vorn::test::PlatformTest;

namespace {

void writeHost(const std::string& path, const std::string& bytes, bool executable = false) {
    std::ofstream(path, std::ios::binary) << bytes;
    if (executable)
        ::chmod(path.c_str(), 0755);
}

} // namespace

using DriveMapping = PlatformTest;

TEST_F(DriveMapping, DrivesComeFromDosdevicesOrSayWhyNot) {
    make({"a\\", "a\\B.txt"});
    const std::string driveC = fs::canonical(prefix_ + "/drive_c").string();
    std::string host;
    // Backslashes, "." and ".." (never above the drive), and any case.
    for (const auto& [path, mapped] : {std::pair{"C:\\Work\\x.txt", "/work/x.txt"},
                                       {"c:\\WORK\\.\\x\\..\\A\\b.txt", "/work/a/B.txt"},
                                       {"c:\\..\\..\\work", "/work"}}) {
        ASSERT_TRUE(hostPath(path, host).ok()) << path;
        EXPECT_EQ(host, driveC + mapped);
    }
    // Without the dosdevices link, c: is still drive_c.
    fs::remove(prefix_ + "/dosdevices/c:");
    ASSERT_TRUE(hostPath("c:\\work", host).ok());
    EXPECT_EQ(host, prefix_ + "/drive_c/work");
    // Any other letter needs its link.
    fs::create_directories(prefix_ + "/other");
    fs::create_directory_symlink("../other", prefix_ + "/dosdevices/d:");
    writeHost(prefix_ + "/other/Data.TXT", "x");
    EXPECT_EQ(storedName("D:\\data.txt"), "Data.TXT");
    // Replacing a file keeps its permissions.
    makeFile(at("run.sh"), "old");
    const std::string script = prefix_ + "/drive_c/work/run.sh";
    ::chmod(script.c_str(), 0750);
    ASSERT_TRUE(replaceFile(at("run.sh"), "new").ok());
    struct stat st {};
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    // Unmappable paths say why.
    for (const auto& [path, said] :
         {std::pair{"work\\x.txt", "drive letter"}, {"q:\\x.txt", "Q: is not mapped"}}) {
        const Status s = hostPath(path, host);
        EXPECT_NE(s.error.find(said), std::string::npos) << s.error;
    }
    EXPECT_EQ(storedName("q:\\x.txt"), "");
    ::setenv("WINEPREFIX", (prefix_ + "/missing").c_str(), 1);
    const Status noPrefix = hostPath("c:\\x.txt", host);
    EXPECT_NE(noPrefix.error.find("Wine prefix"), std::string::npos) << noPrefix.error;
    EXPECT_FALSE(replaceFile("c:\\x.txt", "x").ok());
    // The interpreter is found beside the program, or named where it is not.
    ::unsetenv("VORN_CMD");
    const std::string path = commandInterpreterPath();
    EXPECT_EQ(fs::path(path).filename(), "vorn-cmd");
    EXPECT_TRUE(fs::exists(path)) << path;
    ::setenv("VORN_CMD", "/nowhere/vorn-cmd", 1);
    EXPECT_EQ(commandInterpreterPath(), "/nowhere/vorn-cmd");
    Process p;
    const Status s = startHidden("dir", p);
    ::unsetenv("VORN_CMD");
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.error.find("/nowhere/vorn-cmd"), std::string::npos) << s.error;
}

using Interpreter = PlatformTest;

// A native program runs with its arguments; what Vornwick never writes fails.
TEST_F(Interpreter, RunsANativeProgramAndRefusesWhatItDoesNotUnderstand) {
    const std::string work = prefix_ + "/drive_c/work/";
    writeHost(work + "Tool.exe", "#!/bin/sh\nprintf '%s|' \"$@\"\nprintf 'done\\r\\n'\n", true);
    // The batch file is Windows-1252, as the window writes it.
    EXPECT_EQ(
        runBatchLine(at("tool.exe") + " -export \"c:\\a b\\caf\u00E9.bsp\" 100%%", at("out.txt")),
        0);
    EXPECT_EQ(bytesOf(at("out.txt")), "-export|c:\\a b\\caf\u00E9.bsp|100%|done\r\n");
    // In any case, and with its exit code.
    writeHost(work + "hlds.exe", "#!/bin/sh\nexit 7\n", true);
    EXPECT_EQ(runBatchLine(at("HLDS.EXE")), 7);

    writeHost(work + "Tool.exe", "#!/bin/sh\n: > '" + work + "ran.txt'\n", true);
    writeHost(work + "other.bat", "dir c:\\ /ad /b\r\n");
    const std::string tool = at("tool.exe");
    for (const std::string& line :
         std::vector<std::string>{"echo x", "dir c:\\ /b >> " + at("x.txt"), "dir c:\\",
                                  "dir c:\\ /s /b", tool + " & dir", at("other.bat")}) {
        EXPECT_NE(runBatchLine(line, at("out.txt") + " 2>&1"), 0) << line;
        EXPECT_NE(bytesOf(at("out.txt")), "") << line;
    }
    EXPECT_EQ(storedName(at("x.txt")), "");
    EXPECT_EQ(storedName(at("ran.txt")), "");
    // The command line names a batch file, nothing else.
    Process p;
    ASSERT_TRUE(startHidden(tool + " 2> " + at("out.txt"), p).ok());
    ASSERT_EQ(p.wait(10000), Process::Wait::Finished);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_NE(bytesOf(at("out.txt")).find("batch file"), std::string::npos);
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

// Stand-in loaders (lib/ like Debian's /usr/lib/wine, bin/ the PATH) note
// their name, WINELOADER and the program.
TEST_F(Interpreter, EachWindowsProgramRunsWithTheLoaderForItsMachineOrSaysWhyNot) {
    const std::string work = prefix_ + "/drive_c/work/";
    writeHost(work + "prog32.exe", peProgram(0x14c));
    writeHost(work + "prog64.exe", peProgram(0x8664));
    writeHost(work + "old.exe", "MZ without a PE header");
    writeHost(work + "data.exe", "just text\n");
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("VORN_WINE_LOADER_DIR", (prefix_ + "/lib").c_str(), 1);
    ::setenv("PATH", (prefix_ + "/bin").c_str(), 1);
    // Loaders ('!': the kernel cannot run it), program, exit code, what was said.
    const std::string debian = "lib/wine lib/wine64 bin/wine";
    const std::tuple<std::string, const char*, int, std::string> rows[] = {
        {debian, "prog64.exe", 0, "lib/wine64"},
        {debian, "prog32.exe", 0, "lib/wine"},
        // Without a readable PE header, Wine's own `wine` chooses.
        {debian, "old.exe", 0, "bin/wine"},
        // A `wine64` on the PATH comes first for 64-bit programs.
        {debian + " bin/wine64", "prog64.exe", 0, "bin/wine64"},
        // Outside Debian's layout, `wine` on the PATH runs both.
        {"bin/wine", "prog64.exe", 0, "bin/wine"},
        {"bin/wine", "prog32.exe", 0, "bin/wine"},
        {"", "prog32.exe", 1, "Wine is not installed"},
        {debian, "data.exe", 1, "neither a Windows program nor executable"},
        // Debian's Wine without its 32-bit part: 64-bit programs still run.
        {"lib/wine64 bin/wine", "prog32.exe", kExitNoWine32Bit, "Wine has no 32-bit part"},
        {"lib/wine64 bin/wine", "prog64.exe", 0, "lib/wine64"},
        // A kernel that cannot run 32-bit programs refuses the 32-bit loader.
        {"lib/wine! lib/wine64 bin/wine", "prog32.exe", kExitCannotRun32Bit,
         "Exec format error (" + prefix_ + "/lib/wine for prog32.exe, a 32-bit program)"},
        {"lib/wine! lib/wine64 bin/wine", "prog64.exe", 0, "lib/wine64"},
    };
    for (const auto& [names, program, code, said] : rows) {
        SCOPED_TRACE(names + ": " + program);
        for (const char* dir : {"/lib", "/bin"}) {
            fs::remove_all(prefix_ + dir);
            fs::create_directories(prefix_ + dir);
        }
        std::istringstream loaders(names);
        for (std::string loader; loaders >> loader;)
            writeHost(prefix_ + "/" + loader.substr(0, loader.find('!')),
                      loader.back() == '!' ? "no program of this machine"
                                           : "#!/bin/sh\nprintf '%s %s %s\\r\\n' \"${0##*/}\" "
                                             "\"$WINELOADER\" \"${1##*/}\"\n",
                      true);
        const int got = runBatchLine(at(program), at("out.txt") + " 2>&1");
        const std::string out = bytesOf(at("out.txt"));
        EXPECT_EQ(got, code) << out;
        if (code == 0)
            EXPECT_EQ(out, said.substr(said.rfind('/') + 1) + " " + prefix_ + "/" + said + " " +
                               program + "\r\n");
        else
            EXPECT_NE(out.find(said), std::string::npos) << out;
    }
    ::unsetenv("VORN_WINE_LOADER_DIR");
    ::setenv("PATH", savedPath.c_str(), 1);
}

#endif
