// Stand-in for the game's server programs (hl.exe, hlds.exe) in the demo
// installation and the tests. It notes the command line it was started
// with in "server-standin.log" beside itself, says a few lines the way a
// game server does, and ends. With "server-standin.stay" beside it, it
// keeps running (a line every second) until it is stopped, for an hour at
// the most.
//
// Standard library only (plus the module path on Windows), so that it
// builds natively, for 64-bit and for 32-bit Windows.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path ownPath(const char* argv0) {
#ifdef _WIN32
    (void)argv0;
    wchar_t buffer[32768];
    DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return fs::path(std::wstring(buffer, n));
#else
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::absolute(argv0) : self;
#endif
}

} // namespace

int main(int argc, char** argv) {
    const fs::path self = ownPath(argv[0]);
    std::string line = self.filename().string();
    for (int i = 1; i < argc; ++i)
        line += std::string(" ") + argv[i];

    {
        std::ofstream log(self.parent_path() / "server-standin.log",
                          std::ios::binary | std::ios::app);
        log << line << "\r\n";
        if (!log.flush()) {
            std::fprintf(stderr, "%s: cannot write server-standin.log\n",
                         self.filename().string().c_str());
            return 1;
        }
    }
    std::printf("%s stand-in started\n", self.filename().string().c_str());
    std::fflush(stdout);
    if (!fs::exists(self.parent_path() / "server-standin.stay"))
        return 0;

    std::string port = "27015", map = "none";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "+port")
            port = argv[i + 1];
        else if (std::string(argv[i]) == "+map")
            map = argv[i + 1];
    }
    std::printf("Console initialized.\nProtocol version 47\nServer IP address 127.0.0.1:%s\n"
                "Loading map \"%s\"\n",
                port.c_str(), map.c_str());
    std::fflush(stdout);
    for (int second = 1; second <= 3600; ++second) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        std::printf("Server running, %d s, 0 players\n", second);
        std::fflush(stdout);
    }
    return 0;
}
