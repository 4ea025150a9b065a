// The server command line, the player clamp and the bot maximum caption.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "commandline.h"

namespace {

using vorn::CommandLineInputs;
using vorn::composeCommandLine;

CommandLineInputs defaults() {
    CommandLineInputs in;
    in.exec = "C:\\Sierra\\Half-Life\\hl.exe";
    in.mod = "dod";
    in.port = "27015";
    in.maxPlayers = "8";
    in.firstMap = "mymap";
    in.extra = "-heapsize 64000 -noipx";
    return in;
}

TEST(CommandLine, PiecesInOrderTextsAsTheyStand) {
    const std::string head = "C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27015 +maxplayers 8";
    const std::string middle = " +lservercfgfile vorn_lserver.cfg +mapcyclefile "
                               "vorn_mapcycle.txt +motdfile vorn_motd.txt +map ";
    const struct {
        const char* what;
        void (*change)(CommandLineInputs&);
        std::string expected;
    } rows[] = {
        {"the listen server's worked example", [](CommandLineInputs&) {},
         "C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27015 +maxplayers 8 +lservercfgfile "
         "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map mymap "
         "-heapsize 64000 -noipx"},
        {"a dedicated server names its own file",
         [](CommandLineInputs& in) {
             in.exec = "C:\\Sierra\\Half-Life\\hlds.exe";
             in.dedicated = true;
         },
         "C:\\Sierra\\Half-Life\\hlds.exe -game dod +port 27015 +maxplayers 8 +servercfgfile "
         "vorn_server.cfg +mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map mymap "
         "-heapsize 64000 -noipx"},
        {"empty first map: two blanks", [](CommandLineInputs& in) { in.firstMap = ""; },
         head + middle + " -heapsize 64000 -noipx"},
        {"empty extra: ends in map and one blank", [](CommandLineInputs& in) { in.extra = ""; },
         head + middle + "mymap "},
        {"blanks in the path are not quoted",
         [](CommandLineInputs& in) { in.exec = "D:\\Program Files\\Half Life\\hl.exe"; },
         "D:\\Program Files\\Half Life\\hl.exe -game dod +port 27015 +maxplayers 8" + middle +
             "mymap -heapsize 64000 -noipx"},
        {"fractional players and odd port untouched",
         [](CommandLineInputs& in) {
             in.maxPlayers = "12.5";
             in.port = " 27016 ";
         },
         "C:\\Sierra\\Half-Life\\hl.exe -game dod +port  27016  +maxplayers 12.5" + middle +
             "mymap -heapsize 64000 -noipx"},
        {"everything empty", [](CommandLineInputs& in) { in = CommandLineInputs(); },
         " -game  +port  +maxplayers " + middle + " "},
    };
    for (const auto& row : rows) {
        CommandLineInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeCommandLine(in), row.expected) << row.what;
    }
}

TEST(MaxPlayers, ClampedIntoOneToThirtyTwo) {
    const struct {
        const char* text;
        std::optional<std::string> clamped;
    } rows[] = {
        {"40", "32"},
        {"33", "32"},
        {"32.5", "32"},
        {"32", std::nullopt},
        {"1", std::nullopt},
        {"8", std::nullopt},
        {"12.5", std::nullopt},
        {"0.5", "1"},
        {"0", "1"},
        {"-3", "1"},
        {" 0", "1"},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"4x", std::nullopt},
        {" 32 ", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(vorn::clampMaxPlayers(row.text), row.clamped) << '"' << row.text << '"';
        // Writing the clamped text raises the change once more; it must settle.
        if (row.clamped) {
            EXPECT_EQ(vorn::clampMaxPlayers(*row.clamped), std::nullopt) << row.text;
        }
    }
}

TEST(MaxBotsCaption, PlayerCountPlusOne) {
    const struct {
        const char* players;
        const char* caption;
    } rows[] = {
        {"8", "< 9"},    {"12.5", "< 13.5"}, {"32", "< 33"}, {"1", "< 2"},
        {" 16", "< 17"}, {"", "?"},          {"abc", "?"},   {"4x", "?"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(vorn::maxBotsCaption(row.players), row.caption) << '"' << row.players << '"';
}

TEST(CommandLine, SaveTakesOnlyWholeNumbersForPortAndPlayers) {
    const struct {
        const char* port;
        const char* players;
        const char* refusedFor; // "" when taken
    } rows[] = {
        {"27015", "8", ""},
        {"1", "1", ""},
        {"65535", "32", ""},
        {"", "8", "port"},
        {"abc", "8", "port"},
        {"27015 ", "8", "port"},
        {"+27015", "8", "port"},
        {"0", "8", "port"},
        {"65536", "8", "port"},
        {"27015&calc", "8", "port"},
        {"27015", "", "Max Players"},
        {"27015", "abc", "Max Players"},
        {"27015", "12.5", "Max Players"},
        {"27015", "-3", "Max Players"},
        {"27015", "33", "Max Players"},
        {"27015", "8 & del x", "Max Players"},
    };
    for (const auto& r : rows) {
        const std::string error = vorn::checkPortAndPlayers(r.port, r.players);
        SCOPED_TRACE(std::string(r.port) + " / " + r.players);
        if (*r.refusedFor == 0) {
            EXPECT_EQ(error, "");
        } else {
            EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
            EXPECT_NE(error.find(r.refusedFor), std::string::npos) << error;
            EXPECT_NE(error.find("whole number"), std::string::npos) << error;
        }
    }
}

} // namespace
