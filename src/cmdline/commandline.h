// The game server's command line.
#pragma once

#include <optional>
#include <string>

namespace vorn {

struct CommandLineInputs {
    std::string exec;       // E: path of the server executable
    std::string mod;        // M
    std::string port;       // P
    std::string maxPlayers; // N
    std::string firstMap;   // F
    std::string extra;      // X: extra parameters
    bool dedicated = false;
};

// The program, the mod, port and player count, the files Vornwick writes,
// the first map and the extra parameters, joined as they stand.
std::string composeCommandLine(const CommandLineInputs& in);

// The player count clamped into 1..32: the text to put into the box, or
// nothing when it stays as typed (in range, or not a number).
std::optional<std::string> clampMaxPlayers(const std::string& text);

// The caption behind the bot maximum: "< " and the player count plus one
// ("< 9" for 8, "< 13.5" for 12.5), or "?" while the count is not a number.
std::string maxBotsCaption(const std::string& maxPlayers);

// What Save refuses before the numbers go on the server's command line:
// "" when the port is a whole number from 1 to 65535 and the player count
// one from 1 to 32 (digits only: no sign, blank, point or other text),
// else the red error text saying what is wanted.
std::string checkPortAndPlayers(const std::string& port, const std::string& maxPlayers);

} // namespace vorn
