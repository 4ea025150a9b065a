// vorn-make-demo GAME_DIR [STAND_IN_DIR]
// Writes the demo game installation into GAME_DIR, with the stand-in
// programs taken from STAND_IN_DIR (default: this program's own folder).
#include "demoinstall.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: vorn-make-demo GAME_DIR [STAND_IN_DIR]\n");
        return 2;
    }
    std::string error;
    const auto standIns =
        argc == 3 ? std::filesystem::u8path(argv[2]) : vorn::demo::programFolder();
    if (!vorn::demo::writeInstallation(std::filesystem::u8path(argv[1]), standIns, error)) {
        std::fprintf(stderr, "vorn-make-demo: %s\n", error.c_str());
        return 1;
    }
    std::printf("demo installation in %s\n", argv[1]);
    return 0;
}
