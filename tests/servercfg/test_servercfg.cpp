// The server configuration text.
#include <gtest/gtest.h>

#include <string>

#include "servercfg.h"

namespace {

using vorn::composeServerCfg;
using vorn::ServerCfgInputs;

// The value of one game variable.
void set(ServerCfgInputs& in, const std::string& variable, const std::string& value) {
    for (std::size_t i = 0; i < std::size(vorn::kServerSettings); ++i)
        if (variable == vorn::kServerSettings[i].variable)
            in.values.at(i) = value;
}

ServerCfgInputs defaults() {
    ServerCfgInputs in;
    in.hostName = "My dod server.";
    in.values = {"1", "1", "1", "1", "1", "0", "2", "30"};
    in.extra = "sv_maxspectators 4\r\n";
    return in;
}

const std::string kRules = "mp_friendlyfire 1\r\nmp_footsteps 1\r\nmp_flashlight 1\r\n"
                           "mp_deathmsg 1\r\nmp_falldamage 1\r\nsv_lan 0\r\n";

TEST(ServerCfg, EachInputChangesItsOwnLines) {
    const std::string head = "hostname \"My dod server.\"\r\n";
    const std::string limits = "mp_teamlimit 2\r\nmp_timelimit 30\r\n";
    const struct {
        const char* what;
        void (*change)(ServerCfgInputs&);
        std::string expected;
    } rows[] = {
        {"the defaults, the extra text's own line end last", [](ServerCfgInputs&) {},
         head + kRules + limits + "sv_maxspectators 4\r\n"},
        {"empty extra still follows a line end", [](ServerCfgInputs& in) { in.extra = ""; },
         head + kRules + limits},
        {"extra without a final line end",
         [](ServerCfgInputs& in) { in.extra = "sv_maxspectators 4\r\nsv_gravity 800"; },
         head + kRules + limits + "sv_maxspectators 4\r\nsv_gravity 800"},
        {"all rules off, LAN on",
         [](ServerCfgInputs& in) {
             for (const char* rule : {"mp_friendlyfire", "mp_footsteps", "mp_flashlight",
                                      "mp_deathmsg", "mp_falldamage"})
                 set(in, rule, "0");
             set(in, "sv_lan", "1");
         },
         head +
             "mp_friendlyfire 0\r\nmp_footsteps 0\r\nmp_flashlight 0\r\nmp_deathmsg 0\r\n"
             "mp_falldamage 0\r\nsv_lan 1\r\n" +
             limits + "sv_maxspectators 4\r\n"},
        {"host name with a double quote is written as typed",
         [](ServerCfgInputs& in) { in.hostName = "Joe's \"best\" server"; },
         "hostname \"Joe's \"best\" server\"\r\n" + kRules + limits + "sv_maxspectators 4\r\n"},
        {"empty values end after the blank",
         [](ServerCfgInputs& in) {
             set(in, "mp_teamlimit", "");
             set(in, "mp_timelimit", "");
             in.hostName = "";
         },
         "hostname \"\"\r\n" + kRules + "mp_teamlimit \r\nmp_timelimit \r\nsv_maxspectators 4\r\n"},
        {"values are not trimmed",
         [](ServerCfgInputs& in) {
             set(in, "mp_teamlimit", " 3 ");
             set(in, "mp_timelimit", "abc");
         },
         head + kRules + "mp_teamlimit  3 \r\nmp_timelimit abc\r\nsv_maxspectators 4\r\n"},
        {"a setting without a value is written empty",
         [](ServerCfgInputs& in) { in.values.resize(7); },
         head + kRules + "mp_teamlimit 2\r\nmp_timelimit \r\nsv_maxspectators 4\r\n"},
    };
    for (const auto& row : rows) {
        ServerCfgInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeServerCfg(in), row.expected) << row.what;
    }
}

} // namespace
