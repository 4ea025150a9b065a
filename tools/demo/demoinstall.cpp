#include "demoinstall.h"

#include <fstream>
#include <initializer_list>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace vorn::demo {

namespace {

#ifdef _WIN32
const char* const kExeSuffix = ".exe";
#else
const char* const kExeSuffix = "";
#endif

bool writeFile(const fs::path& path, const std::string& bytes, std::string& error) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

bool copyProgram(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = "cannot copy " + from.string() + " to " + to.string() + ": " + ec.message();
        return false;
    }
    fs::permissions(to, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
    return true;
}

bool mod(const fs::path& game, const std::string& name, const std::string& title,
         std::string& error) {
    return writeFile(game / name / "liblist.gam", "game \"" + title + "\"\r\n", error);
}

bool maps(const fs::path& game, const std::string& mod, std::initializer_list<const char*> names,
          char country, std::string& error) {
    for (const char* name : names) {
        const std::string text =
            std::string("BSP demo map ") + name + "\nallies_country=" + country + "\n";
        if (!writeFile(game / mod / "maps" / (std::string(name) + ".bsp"), text, error))
            return false;
    }
    return true;
}

} // namespace

bool writeInstallation(const fs::path& game, const fs::path& standIns, std::string& error) {
    std::error_code ec;
    fs::create_directories(game, ec);
    const std::string server = std::string("vorn-standin-server") + kExeSuffix;
    const std::string ripent = std::string("vorn-standin-ripent") + kExeSuffix;
    if (!copyProgram(standIns / server, game / "hl.exe", error) ||
        !copyProgram(standIns / server, game / "hlds.exe", error) ||
        !copyProgram(standIns / ripent, game / "ripent.exe", error))
        return false;

    bool ok =
        mod(game, "valve", "Half-Life", error) &&
        maps(game, "valve",
             {"crossfire", "datacore", "bounce", "stalkyard", "snark_pit", "boot_camp", "gasworks",
              "lambda_bunker"},
             '0', error) &&
        mod(game, "cstrike", "Counter-Strike", error) &&
        maps(game, "cstrike",
             {"de_dust", "de_dust2", "cs_office", "cs_italy", "de_aztec", "de_nuke"}, '0', error) &&
        mod(game, "dod", "Day of Defeat", error) &&
        maps(game, "dod",
             {"dod_anzio", "dod_avalanche", "dod_chemille", "dod_donner", "dod_falaise",
              "dod_flash", "dod_forest", "dod_jagd", "dod_kalt", "dod_merderet", "dod_northbound",
              "dod_saints", "dod_sturm", "dod_vicenza", "dod_zafod", "dod_cherbourg"},
             '0', error) &&
        maps(game, "dod",
             {"dod_caen", "dod_charlie", "dod_glider", "dod_kraftstoff", "dod_escape",
              "dod_railroad", "dod_solitude", "dod_switch", "dod_heutau"},
             '1', error);
    if (!ok)
        return false;
    fs::create_directories(game / "logs", ec);

    const fs::path bot = game / "dod" / "sturmbot";
    if (!writeFile(bot / "dlls" / "STURM_bot.dll", "MZ demo add-on\n", error) ||
        !writeFile(bot / "History.txt",
                   "Sturmbot history\r\n----------------\r\n1.6\r\n\r\n- demo release\r\n", error))
        return false;
    // Waypoints for about half of the maps, British and U.S. alike.
    for (const char* map :
         {"dod_anzio", "dod_avalanche", "dod_donner", "dod_flash", "dod_jagd", "dod_kalt",
          "dod_saints", "dod_caen", "dod_charlie", "dod_glider", "dod_escape", "dod_switch"}) {
        if (!writeFile(bot / "waypoints" / (std::string(map) + ".wpt"), "demo waypoints\n", error))
            return false;
    }
    return true;
}

fs::path programFolder() {
#ifdef _WIN32
    wchar_t buffer[32768];
    DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
    return fs::path(std::wstring(buffer, n)).parent_path();
#else
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path();
#endif
}

} // namespace vorn::demo
