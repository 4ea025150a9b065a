// The Sturmbot configuration text, its clamps and the roster lines.
#pragma once

#include <string>
#include <vector>

namespace vorn {

struct BotCfgInputs {
    std::string password;
    std::string minReaction;
    std::string maxReaction;
    bool friendlyFire = false;
    bool rank = true;
    bool formSquad = false;
    bool knifeOnly = false;
    bool pistolOnly = false;
    bool grenadeOnly = false;
    std::string bloodMode; // the combo box's text; only its first character is used
    std::string minBots;
    std::string maxBots;
    std::string extra; // line ends as CR LF
    bool fillServer = true;
    std::string roster; // roster lines, used when not filling the server
};

// The lines in their order, leaving out those whose condition fails,
// joined by CR LF (none before the first, none after the last).
std::string composeBotCfg(const BotCfgInputs& in);

// The bot counts kept within the player count and in order. Fields that
// are not numbers stay as typed; only rules whose numbers can be read apply.
struct BotCounts {
    std::string minBots;
    std::string maxBots;
};
BotCounts boundedBotCounts(const std::string& minBots, const std::string& maxBots,
                           const std::string& maxPlayers);

struct ReactionTimes {
    std::string minReaction;
    std::string maxReaction;
};
ReactionTimes orderedReactionTimes(const std::string& minReaction, const std::string& maxReaction);

// "addbot <team> <first character of class> <skill> <name>".
std::string rosterLine(const std::string& team, const std::string& classText,
                       const std::string& skill, const std::string& name);

// The class lists of the three team options.
const std::vector<std::string>& usAlliedBotClasses();
const std::vector<std::string>& britishBotClasses();
const std::vector<std::string>& axisBotClasses(); // UTF-8: "6-MG34-Schütze"

} // namespace vorn
