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

// The eleven pieces joined, texts as they stand.
std::string composeCommandLine(const CommandLineInputs& in);

// The player count clamped into 1..32: the text to put into the box, or
// nothing when it stays as typed (in range, or not a number).
std::optional<std::string> clampMaxPlayers(const std::string& text);

// The caption behind the bot maximum: "< " and the player count plus one
// ("< 9" for 8, "< 13.5" for 12.5), or "?" while the count is not a number.
std::string maxBotsCaption(const std::string& maxPlayers);

} // namespace vorn
