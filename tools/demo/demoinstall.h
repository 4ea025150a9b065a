// The demo game installation, written from C++ so that the demo, the
// window tests and the benchmarks make the same one on every platform.
#pragma once

#include <filesystem>
#include <string>

namespace vorn::demo {

// Writes the demo installation into `gameDir` (made when missing):
//   hl.exe, hlds.exe and ripent.exe: copies of the stand-in programs found
//     in `standIns` (vorn-standin-server and vorn-standin-ripent, with
//     ".exe" on Windows);
//   the mods valve, cstrike and dod (16 U.S. and 9 British maps), a logs
//     directory without liblist.gam, and the bot add-on 1.6 under
//     dod\sturmbot with waypoints for 12 of the dod maps.
// False with `error` set when anything cannot be written.
bool writeInstallation(const std::filesystem::path& gameDir, const std::filesystem::path& standIns,
                       std::string& error);

// The folder of the running program (where the stand-ins are built).
std::filesystem::path programFolder();

} // namespace vorn::demo
