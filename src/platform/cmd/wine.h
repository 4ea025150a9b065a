// Which of Wine's loaders runs a Windows program.
//
// Wine has a loader for 64-bit programs and one for 32-bit programs. On
// Debian `wine` is a script that takes the 32-bit loader whenever it is
// installed, even for a 64-bit program, so on a machine whose kernel
// cannot run 32-bit programs every program would fail through it. vorn-cmd
// therefore reads the machine type from the program's PE header and starts
// the loader for it itself.
#pragma once

#include <string>

namespace vorn::cmd {

// The machine a Windows program is built for, from its PE header.
enum class PeMachine {
    NotWindows, // no "MZ" at the start: not a Windows program
    Unknown,    // "MZ", but no readable PE header (or another machine)
    I386,       // 32-bit x86
    X8664,      // 64-bit x86
};

PeMachine peMachine(const std::string& hostPath);

struct WineLoader {
    enum class Lack {
        None,
        NoWine,      // Wine is not installed
        No32BitPart, // Wine is installed without its 32-bit part
    };
    std::string path; // the loader to start, with the program behind it
    Lack lack = Lack::None;
};

// The loader for a program of this machine type.
//  - 64-bit: `wine64` on the PATH, else Debian's <dir>/wine64, else `wine`
//    on the PATH.
//  - 32-bit: Debian's <dir>/wine, else, where Debian's <dir>/wine64 is
//    there without it, none (Wine has no 32-bit part), else `wine` on the
//    PATH.
//  - Unknown: `wine` on the PATH, which chooses for itself.
// <dir> is Debian's folder of Wine's loaders, /usr/lib/wine, or the folder
// in VORN_WINE_LOADER_DIR.
WineLoader wineLoaderFor(PeMachine machine);

// The program of that name in a folder of the PATH, or "".
std::string findInPath(const std::string& name);

} // namespace vorn::cmd
