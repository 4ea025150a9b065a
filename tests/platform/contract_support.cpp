#include "contract_support.h"

#include "batchline.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace vorn::platform;

namespace vorn::test {

namespace {

// Paths are UTF-8 here; std::filesystem converts them for the host.
std::string utf8(const fs::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

#ifdef _WIN32
fs::path native(const std::string& winPath) {
    return fs::path(std::u8string(winPath.begin(), winPath.end()));
}

std::string commandLineOfThisProcess() {
    return utf8(fs::path(GetCommandLineW()));
}
#else
fs::path native(const std::string& winPath) {
    std::string host;
    EXPECT_TRUE(hostPath(winPath, host).ok()) << winPath;
    return fs::path(host);
}

std::string commandLineOfThisProcess() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : all)
        if (c == '\0')
            c = ' ';
    return all;
}
#endif

// The test program is also the command the tests start: "--vorn-exit N" ends
// with exit code N; "--vorn-server" writes "server line 1", "server line 2"...
// every 50 ms without end, like a game server's console.
[[maybe_unused]] const bool commandMode = [] {
    const std::string line = commandLineOfThisProcess();
    if (const auto at = line.find("--vorn-exit "); at != std::string::npos)
        std::exit(std::atoi(line.c_str() + at + 12));
    if (line.find("--vorn-server") != std::string::npos)
        for (int i = 1;; ++i) {
            std::printf("server line %d\n", i);
            std::fflush(stdout);
            sleepMilliseconds(50);
        }
    return false;
}();

} // namespace

std::string quote(const std::string& text) {
    std::string quoted;
    const Status s = quoteBatchArgument(text, quoted);
    EXPECT_TRUE(s.ok()) << s.error;
    return quoted;
}

std::string bytesOf(const std::string& winPath) {
    std::string bytes;
    const Status s = readFile(winPath, bytes);
    EXPECT_TRUE(s.ok()) << s.error;
    return bytes;
}

void PlatformTest::SetUp() {
#ifdef _WIN32
    static int counter = 0;
    const fs::path dir =
        fs::temp_directory_path() / ("vorn-contract-" + std::to_string(GetCurrentProcessId()) +
                                     "-" + std::to_string(++counter));
    ASSERT_TRUE(fs::create_directory(dir)) << utf8(dir);
    base_ = utf8(dir) + "\\";
#else
    std::string tmpl = (fs::temp_directory_path() / "vorn-contract-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    prefix_ = tmpl;
    fs::create_directories(prefix_ + "/drive_c/work");
    fs::create_directories(prefix_ + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix_ + "/dosdevices/c:");
    ::setenv("WINEPREFIX", prefix_.c_str(), 1);
    base_ = "c:\\work\\";
#endif
}

void PlatformTest::TearDown() {
#ifdef _WIN32
    std::error_code ec;
    const fs::path root = native(base_);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, ec);
#else
    for (const auto& dir : unwritable_) {
        const std::string cmd = "chattr -i '" + dir + "' 2>/dev/null";
        [[maybe_unused]] const int rc = std::system(cmd.c_str());
        ::chmod(dir.c_str(), 0755);
    }
    std::error_code ec;
    fs::remove_all(prefix_, ec);
    ::unsetenv("WINEPREFIX");
#endif
}

void PlatformTest::makeFile(const std::string& winPath, const std::string& bytes) {
    const Status s = replaceFile(winPath, bytes);
    ASSERT_TRUE(s.ok()) << s.error;
}

void PlatformTest::make(std::initializer_list<std::string> entries) {
    for (const std::string& entry : entries)
        if (entry.back() != '\\')
            makeFile(at(entry));
        else
            ASSERT_TRUE(makeDirectory(at(entry.substr(0, entry.size() - 1))).ok()) << entry;
}

void PlatformTest::setReadOnly(const std::string& winPath, bool readOnly) {
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW(native(winPath).c_str(),
                                   readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
#else
    ASSERT_EQ(::chmod(native(winPath).c_str(), readOnly ? 0444 : 0644), 0);
#endif
}

bool PlatformTest::makeUnwritable(const std::string& winPath) {
#ifdef _WIN32
    (void)winPath;
    return false;
#else
    const std::string host = native(winPath).string();
    unwritable_.push_back(host);
    if (::geteuid() != 0) {
        ::chmod(host.c_str(), 0555);
    } else {
        const std::string cmd = "chattr +i '" + host + "' >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0)
            return false;
    }
    const std::string probe = host + "/probe";
    if (std::FILE* f = std::fopen(probe.c_str(), "wb")) {
        std::fclose(f);
        ::unlink(probe.c_str());
        return false;
    }
    return true;
#endif
}

std::set<std::string> PlatformTest::hostEntries(const std::string& winDir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(native(winDir)))
        names.insert(utf8(e.path().filename()));
    return names;
}

int PlatformTest::runBatchLine(const std::string& line, const std::string& redirect) {
    const std::string batch = at("vorn.bat");
    const Status written = writeBatchFile(batch, line);
    EXPECT_TRUE(written.ok()) << written.error;
    Process p;
    const Status started = startHidden(redirect.empty() ? batch : batch + " > " + redirect, p);
    EXPECT_TRUE(started.ok()) << started.error;
    if (!started.ok())
        return -1;
    if (p.wait(60000) != Process::Wait::Finished) {
        ADD_FAILURE() << line;
        p.kill();
    }
    return p.exitCode();
}

std::string PlatformTest::selfProgram() {
#ifdef _WIN32
    wchar_t buf[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    return utf8(fs::path(std::wstring(buf, n)));
#else
    return fs::read_symlink("/proc/self/exe").string();
#endif
}

} // namespace vorn::test
