// The game server's command line and the player count behind it.
#include "commandline.h"

#include "gamefilenames.h"
#include "numbers.h"

namespace vorn {

std::string composeCommandLine(const CommandLineInputs& in) {
    std::string line;
    line += in.exec;
    line += " -game ";
    line += in.mod;
    line += " +port ";
    line += in.port;
    line += " +maxplayers ";
    line += in.maxPlayers;
    line += in.dedicated ? " +servercfgfile " : " +lservercfgfile ";
    line += in.dedicated ? files::kServerCfg : files::kListenServerCfg;
    line += " +mapcyclefile ";
    line += files::kMapCycle;
    line += " +motdfile ";
    line += files::kMotd;
    line += " +map ";
    line += in.firstMap;
    line += " ";
    line += in.extra;
    return line;
}

std::optional<std::string> clampMaxPlayers(const std::string& text) {
    const std::optional<double> players = readNumber(text);
    if (!players)
        return std::nullopt;
    if (*players > 32)
        return std::string("32");
    if (*players < 1)
        return std::string("1");
    return std::nullopt;
}

std::string maxBotsCaption(const std::string& maxPlayers) {
    const std::optional<double> players = readNumber(maxPlayers);
    if (!players)
        return "?";
    return "< " + formatNumber(*players + 1);
}

namespace {

// Digits only, read as a number from `low` to `high`.
bool wholeNumberIn(const std::string& text, long low, long high) {
    if (text.empty() || text.size() > 9)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

} // namespace

std::string checkPortAndPlayers(const std::string& port, const std::string& maxPlayers) {
    if (!wholeNumberIn(port, 1, 65535))
        return "Error: the port must be a whole number from 1 to 65535, not \"" + port + "\".";
    if (!wholeNumberIn(maxPlayers, 1, 32))
        return "Error: Max Players must be a whole number from 1 to 32, not \"" + maxPlayers +
               "\".";
    return "";
}

} // namespace vorn
