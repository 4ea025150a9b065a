// The server configuration text.
#include <gtest/gtest.h>

#include <string>

#include "servercfg.h"

namespace {

using vorn::composeServerCfg;
using vorn::ServerCfgInputs;

ServerCfgInputs defaults() {
    ServerCfgInputs in;
    in.hostName = "My dod server.";
    in.teamLimit = "2";
    in.mapTime = "30";
    in.extra = "sv_maxspectators 4\r\n";
    return in;
}

const std::string kLimitLines = "mp_teamlimit 2\r\nmp_timelimit 30\r\n";
const std::string kRules = "mp_friendlyfire 1\r\nmp_footsteps 1\r\nmp_flashlight 1\r\n"
                           "mp_deathmsg 1\r\nmp_falldamage 1\r\nsv_lan 0\r\n";

TEST(ServerCfg, EachInputChangesItsOwnLines) {
    const std::string head = "hostname \"My dod server.\"\r\n";
    const struct {
        const char* what;
        void (*change)(ServerCfgInputs&);
        std::string expected;
    } rows[] = {
        {"the defaults, with the extra text's closing line end", [](ServerCfgInputs&) {},
         head + kRules + kLimitLines + "sv_maxspectators 4\r\n"},
        {"empty extra still follows a line end", [](ServerCfgInputs& in) { in.extra = ""; },
         head + kRules + kLimitLines},
        {"extra without a final line end",
         [](ServerCfgInputs& in) { in.extra = "sv_maxspectators 4\r\nsv_gravity 800"; },
         head + kRules + kLimitLines + "sv_maxspectators 4\r\nsv_gravity 800"},
        {"all rules off, LAN on",
         [](ServerCfgInputs& in) {
             in.friendlyFire = in.footSteps = in.flashlight = in.deathMsgs = in.fallDamage = false;
             in.lan = true;
         },
         head +
             "mp_friendlyfire 0\r\nmp_footsteps 0\r\nmp_flashlight 0\r\nmp_deathmsg 0\r\n"
             "mp_falldamage 0\r\nsv_lan 1\r\n" +
             kLimitLines + "sv_maxspectators 4\r\n"},
        {"host name with a double quote is written as typed",
         [](ServerCfgInputs& in) { in.hostName = "Joe's \"best\" server"; },
         "hostname \"Joe's \"best\" server\"\r\n" + kRules + kLimitLines +
             "sv_maxspectators 4\r\n"},
        {"empty values end after the blank",
         [](ServerCfgInputs& in) {
             in.teamLimit = "";
             in.mapTime = "";
             in.hostName = "";
         },
         "hostname \"\"\r\n" + kRules + "mp_teamlimit \r\nmp_timelimit \r\nsv_maxspectators 4\r\n"},
        {"values are not trimmed",
         [](ServerCfgInputs& in) {
             in.teamLimit = " 3 ";
             in.mapTime = "abc";
         },
         head + kRules + "mp_teamlimit  3 \r\nmp_timelimit abc\r\nsv_maxspectators 4\r\n"},
    };
    for (const auto& row : rows) {
        ServerCfgInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeServerCfg(in), row.expected) << row.what;
    }
}

} // namespace
