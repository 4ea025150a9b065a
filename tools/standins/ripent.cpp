// Stand-in for the entity tool of the demo installation and the tests:
//   ripent.exe -export <path>.bsp
// writes <path>.ent beside the map, with "detect_allies_country" "1" for a
// map whose text holds "allies_country=1" (a British map) and "0" for any
// other. The path is a Windows path; off Windows it is found through the
// same drive mapping Vornwick uses. VORN_DEMO_RIPENT_DELAY (seconds) makes
// it slow, for tests of a tool that takes its time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#ifndef _WIN32
#include "platform.h"
#endif

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 3 || std::string(argv[1]) != "-export") {
        std::fprintf(stderr, "usage: ripent.exe -export <map.bsp>\n");
        return 1;
    }
    std::string bsp = argv[2];
#ifndef _WIN32
    std::string host;
    if (!vorn::platform::hostPath(bsp, host).ok()) {
        std::fprintf(stderr, "ripent: %s not found\n", argv[2]);
        return 1;
    }
    bsp = host;
#endif
    std::ifstream in(fs::u8path(bsp), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "ripent: %s not found\n", argv[2]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const char* delay = std::getenv("VORN_DEMO_RIPENT_DELAY"))
        std::this_thread::sleep_for(
            std::chrono::milliseconds(static_cast<long long>(std::atof(delay) * 1000)));

    const char* country = text.find("allies_country=1") != std::string::npos ? "1" : "0";
    fs::path ent = fs::u8path(bsp);
    ent.replace_extension(".ent");
    fs::path part = ent;
    part += ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << "{\r\n\"classname\" \"worldspawn\"\r\n}\r\n{\r\n\"classname\" \"info_doddetect\"\r\n"
            << "\"detect_allies_country\" \"" << country << "\"\r\n}\r\n";
        if (!out.flush()) {
            std::fprintf(stderr, "ripent: cannot write %s\n", ent.string().c_str());
            return 1;
        }
    }
    std::error_code ec;
    fs::rename(part, ent, ec);
    if (ec) {
        std::fprintf(stderr, "ripent: cannot write %s\n", ent.string().c_str());
        return 1;
    }
    std::printf("ripent: exported %s\n", argv[2]);
    return 0;
}
