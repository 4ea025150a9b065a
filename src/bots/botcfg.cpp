// The Sturmbot configuration text, its clamps and the roster lines.
#include "botcfg.h"

#include <optional>

#include "numbers.h"

namespace vorn {

namespace {

const char* const kLineEnd = "\r\n";

std::string onOff(const char* name, bool on) {
    return std::string(name) + (on ? " on" : " off");
}

// The first character of a UTF-8 text (all its bytes); "" for an empty text.
std::string firstCharacter(const std::string& text) {
    if (text.empty())
        return "";
    std::size_t end = 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return text.substr(0, end);
}

} // namespace

std::string composeBotCfg(const BotCfgInputs& in) {
    std::vector<std::string> lines;
    if (!in.password.empty())
        lines.push_back("sturmbot_password " + in.password);
    lines.push_back("min_reaction " + in.minReaction);
    lines.push_back("max_reaction " + in.maxReaction);
    lines.push_back(onOff("friendlyfiremode", in.friendlyFire));
    lines.push_back(onOff("rank", in.rank));
    lines.push_back(onOff("formsquad", in.formSquad));
    lines.push_back(onOff("knifeonly", in.knifeOnly));
    lines.push_back(onOff("pistolonly", in.pistolOnly));
    lines.push_back(onOff("grenadeonly", in.grenadeOnly));
    lines.push_back("bloodmode " + firstCharacter(in.bloodMode));
    if (in.maxBots != "0") {
        lines.push_back("min_bots " + in.minBots);
        lines.push_back("max_bots " + in.maxBots);
    }
    lines.push_back(in.extra);
    lines.push_back(in.fillServer ? std::string("fillserver") : in.roster);

    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += kLineEnd;
        text += lines[i];
    }
    return text;
}

BotCounts boundedBotCounts(const std::string& minBots, const std::string& maxBots,
                           const std::string& maxPlayers) {
    BotCounts counts{minBots, maxBots};
    const std::optional<double> players = readNumber(maxPlayers);

    // Each rule reads the fields as the rules before left them.
    auto min = readNumber(counts.minBots);
    if (min && players && *min > *players)
        counts.minBots = formatNumber(*players - 1);

    auto max = readNumber(counts.maxBots);
    if (max && players && *max > *players)
        counts.maxBots = maxPlayers;

    min = readNumber(counts.minBots);
    max = readNumber(counts.maxBots);
    if (min && max && *max < *min)
        counts.minBots = formatNumber(*max - 1);

    min = readNumber(counts.minBots);
    if (min && *min < 0)
        counts.minBots = "0";
    return counts;
}

ReactionTimes orderedReactionTimes(const std::string& minReaction, const std::string& maxReaction) {
    ReactionTimes times{minReaction, maxReaction};

    auto min = readNumber(times.minReaction);
    auto max = readNumber(times.maxReaction);
    if (min && max && *min >= *max)
        times.minReaction = formatNumber(*max - 1);

    min = readNumber(times.minReaction);
    if (min && *min < 0)
        times.minReaction = "0";

    min = readNumber(times.minReaction);
    if (min && max && *max <= *min)
        times.maxReaction = times.minReaction;
    return times;
}

std::string rosterLine(const std::string& team, const std::string& classText,
                       const std::string& skill, const std::string& name) {
    return "addbot " + team + " " + firstCharacter(classText) + " " + skill + " " + name;
}

const std::vector<std::string>& usAlliedBotClasses() {
    static const std::vector<std::string> classes = {
        "1-Rifleman", "2-Staff Sergeant",   "3-Master Sergeant", "4-Sergeant",
        "5-Sniper",   "6-Support Infantry", "7-Machine Gunner"};
    return classes;
}

const std::vector<std::string>& britishBotClasses() {
    static const std::vector<std::string> classes = {"1-Rifleman", "2-Sergeant Major", "3-Marksman",
                                                     "4-Gunner"};
    return classes;
}

const std::vector<std::string>& axisBotClasses() {
    static const std::vector<std::string> classes = {
        "1-Grenadier",      "2-Stosstruppe",         "3-Unteroffizier",      "4-Sturmtruppe",
        "5-Scharfschuetze", "6-MG34-Sch\xC3\xBCtze", "7-MG42-Sch\xC3\xBCtze"};
    return classes;
}

} // namespace vorn
