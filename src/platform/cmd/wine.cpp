#include "wine.h"

#include "io.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vorn::cmd {

namespace {

constexpr std::uint16_t kMachineI386 = 0x14c;
constexpr std::uint16_t kMachineX8664 = 0x8664;

std::string loaderDir() {
    const char* dir = std::getenv("VORN_WINE_LOADER_DIR");
    return dir && *dir ? dir : "/usr/lib/wine";
}

bool executable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0 && isFile(path);
}

} // namespace

PeMachine peMachine(const std::string& hostPath) {
    // The DOS header says where the PE header is; the machine follows the
    // "PE\0\0" signature.
    unsigned char head[0x40] = {};
    std::FILE* f = std::fopen(hostPath.c_str(), "rb");
    if (!f)
        return PeMachine::NotWindows;
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    PeMachine result = PeMachine::NotWindows;
    if (n >= 2 && head[0] == 'M' && head[1] == 'Z') {
        result = PeMachine::Unknown;
        unsigned char pe[6] = {};
        const long at = n == sizeof head ? long(head[0x3c]) | long(head[0x3d]) << 8 |
                                               long(head[0x3e]) << 16 | long(head[0x3f]) << 24
                                         : -1;
        if (at >= 0 && std::fseek(f, at, SEEK_SET) == 0 && std::fread(pe, 1, 6, f) == 6 &&
            pe[0] == 'P' && pe[1] == 'E' && pe[2] == 0 && pe[3] == 0) {
            const std::uint16_t machine = std::uint16_t(pe[4] | pe[5] << 8);
            if (machine == kMachineI386)
                result = PeMachine::I386;
            else if (machine == kMachineX8664)
                result = PeMachine::X8664;
        }
    }
    std::fclose(f);
    return result;
}

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    const std::string all = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t pos = 0; pos <= all.size();) {
        auto end = all.find(':', pos);
        if (end == std::string::npos)
            end = all.size();
        const std::string dir = end == pos ? "." : all.substr(pos, end - pos);
        const std::string candidate = dir + "/" + name;
        if (executable(candidate))
            return candidate;
        pos = end + 1;
    }
    return "";
}

WineLoader wineLoaderFor(PeMachine machine) {
    const std::string dir = loaderDir();
    std::string path;
    if (machine == PeMachine::X8664) {
        path = findInPath("wine64");
        if (path.empty() && executable(dir + "/wine64"))
            path = dir + "/wine64";
    } else if (machine == PeMachine::I386) {
        if (executable(dir + "/wine"))
            path = dir + "/wine";
        else if (executable(dir + "/wine64"))
            return {{}, WineLoader::Lack::No32BitPart};
    }
    if (path.empty())
        path = findInPath("wine");
    if (path.empty())
        return {{}, WineLoader::Lack::NoWine};
    return {path, WineLoader::Lack::None};
}

} // namespace vorn::cmd
