// The Sturmbot configuration text, the clamps and the roster lines.
#include <gtest/gtest.h>

#include <string>

#include "botcfg.h"

namespace {

using vorn::BotCfgInputs;
using vorn::composeBotCfg;

const std::string kSwitches = "friendlyfiremode off\r\nrank on\r\nformsquad off\r\n"
                              "knifeonly off\r\npistolonly off\r\ngrenadeonly off\r\n";
const std::string kExtra = "bind \"F3\" \"sturmbotmenu\"\r\nmaxteamkills 3\r\n";

BotCfgInputs defaults() {
    BotCfgInputs in;
    in.minReaction = "300";
    in.maxReaction = "800";
    in.bloodMode = "0-Normal";
    in.minBots = "0";
    in.maxBots = "0";
    in.extra = kExtra;
    return in;
}

TEST(BotCfg, EachInputChangesItsOwnLines) {
    const std::string head = "min_reaction 300\r\nmax_reaction 800\r\n" + kSwitches;
    const std::string blood = head + "bloodmode 0\r\n";
    const std::string fill = kExtra + "\r\nfillserver";
    const struct {
        const char* what;
        void (*change)(BotCfgInputs&);
        std::string expected;
    } rows[] = {
        {"defaults give thirteen lines", [](auto&) {}, blood + fill},
        {"password line first when set", [](auto& in) { in.password = "s3 cret"; },
         "sturmbot_password s3 cret\r\n" + blood + fill},
        {"bot counts when the maximum is not 0",
         [](auto& in) {
             in.minBots = "2";
             in.maxBots = "6";
         },
         blood + "min_bots 2\r\nmax_bots 6\r\n" + fill},
        {"maximum 0 drops both count lines whatever the minimum",
         [](auto& in) { in.minBots = "4"; }, blood + fill},
        {"\"00\" is not \"0\"", [](auto& in) { in.maxBots = "00"; },
         blood + "min_bots 0\r\nmax_bots 00\r\n" + fill},
        {"\" 0\" is not \"0\"", [](auto& in) { in.maxBots = " 0"; },
         blood + "min_bots 0\r\nmax_bots  0\r\n" + fill},
        {"empty blood mode", [](auto& in) { in.bloodMode = ""; }, head + "bloodmode \r\n" + fill},
        {"typed blood mode", [](auto& in) { in.bloodMode = "2x"; },
         head + "bloodmode 2\r\n" + fill},
        {"blood mode takes a whole UTF-8 character", [](auto& in) { in.bloodMode = "\xC3\xBC-x"; },
         head + "bloodmode \xC3\xBC\r\n" + fill},
        {"empty extra gives an empty line", [](auto& in) { in.extra = ""; },
         blood + "\r\nfillserver"},
        {"roster mode without bots ends in CR LF", [](auto& in) { in.fillServer = false; },
         blood + kExtra + "\r\n"},
        {"roster mode with bots",
         [](auto& in) {
             in.fillServer = false;
             in.roster = "addbot 1 3 5 Dufus\r\naddbot 2 7 8 Dufus";
         },
         blood + kExtra + "\r\naddbot 1 3 5 Dufus\r\naddbot 2 7 8 Dufus"},
        {"roster ignored while filling the server",
         [](auto& in) { in.roster = "addbot 1 3 5 Dufus"; }, blood + fill},
        {"all switches flipped",
         [](auto& in) {
             in.friendlyFire = in.formSquad = in.knifeOnly = in.pistolOnly = in.grenadeOnly = true;
             in.rank = false;
         },
         "min_reaction 300\r\nmax_reaction 800\r\nfriendlyfiremode on\r\nrank off\r\n"
         "formsquad on\r\nknifeonly on\r\npistolonly on\r\ngrenadeonly on\r\nbloodmode 0\r\n" +
             fill},
    };
    for (const auto& row : rows) {
        BotCfgInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeBotCfg(in), row.expected) << row.what;
    }
}

TEST(BotCounts, KeptWithinPlayersAndInOrder) {
    // Each row: minimum, maximum and players typed, then the minimum/maximum kept.
    const struct {
        const char *min, *max, *players, *kept;
    } rows[] = {
        {"20", "16", "16", "15/16"}, // too many: one below the players
        {"16", "16", "16", "16/16"}, // a minimum equal to the player count stays
        {"0", "20", "16", "0/16"},   // most: the player count
        {"3", "0", "8", "0/0"},      // under the most gives -1, then 0
        {"5", "3", "8", "2/3"},      // fewest: one under the most
        {"-4", "3", "8", "0/3"},     // never below 0
        {"40", "2", "16", "1/2"},    // each step sees the one before
        {"2", "40", " 16", "2/ 16"}, // the player text is copied
        {"20", "20", "16", "15/16"}, {"2", "6", "8", "2/6"},      {"13", "14", "12.5", "11.5/12.5"},
        {"", "20", "16", "/16"}, // not a number: kept; the other rules still apply
        {"20", "", "16", "15/"},     {"abc", "x", "16", "abc/x"}, {"20", "30", "", "20/30"},
        {"5", "3", "abc", "2/3"},    {"-1", "", "", "0/"},
    };
    for (const auto& row : rows) {
        const vorn::BotCounts got = vorn::boundedBotCounts(row.min, row.max, row.players);
        EXPECT_EQ(got.minBots + "/" + got.maxBots, row.kept)
            << row.min << '/' << row.max << '/' << row.players;
    }
}

TEST(ReactionTimes, KeptInOrderInOnePass) {
    const struct {
        const char *min, *max, *kept;
    } rows[] = {
        {"900", "800", "799/800"}, {"800", "800", "799/800"},
        {"300", "1", "0/1"}, // one under the maximum; the maximum stays
        {"300", "0", "0/0"}, // -1, then 0, and the maximum takes it
        {"300", "-5", "0/0"},      {"0", "0", "0/0"},
        {"-10", "800", "0/800"},   {"300", "800", "300/800"},
        {"30", "80", "30/80"},     {"300", "300.5", "300/300.5"},
        {"", "800", "/800"},       {"300", "", "300/"},
        {"-3", "", "0/"},          {"abc", "4x", "abc/4x"},
    };
    for (const auto& row : rows) {
        const vorn::ReactionTimes got = vorn::orderedReactionTimes(row.min, row.max);
        EXPECT_EQ(got.minReaction + "/" + got.maxReaction, row.kept) << row.min << '/' << row.max;
    }
}

TEST(Roster, LineFromTeamClassSkillName) {
    const struct {
        const char *team, *cls, *skill, *name, *line;
    } rows[] = {
        {"1", "3-Master Sergeant", "5", "Dufus", "addbot 1 3 5 Dufus"},
        {"2", "7-MG42-Sch\xC3\xBCtze", "8", "Dufus", "addbot 2 7 8 Dufus"},
        {"1", "1-Rifleman", "5", "", "addbot 1 1 5 "},
        {"1", "1-Rifleman", "", "Dufus", "addbot 1 1  Dufus"},
        {"1", "", "5", "Dufus", "addbot 1  5 Dufus"},
        {"2", "\xC3\xBC typed", "x", "Big Bad Bot", "addbot 2 \xC3\xBC x Big Bad Bot"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(vorn::rosterLine(row.team, row.cls, row.skill, row.name), row.line) << row.line;
}

} // namespace
