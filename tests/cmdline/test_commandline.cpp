// The server command line, the player clamp and the bot maximum caption.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

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
        {"the listen server's worked example", [](auto&) {},
         "C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27015 +maxplayers 8 +lservercfgfile "
         "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map mymap "
         "-heapsize 64000 -noipx"},
        {"a dedicated server names its own file",
         [](auto& in) {
             in.exec = "C:\\Sierra\\Half-Life\\hlds.exe";
             in.dedicated = true;
         },
         "C:\\Sierra\\Half-Life\\hlds.exe -game dod +port 27015 +maxplayers 8 +servercfgfile "
         "vorn_server.cfg +mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map mymap "
         "-heapsize 64000 -noipx"},
        {"empty first map: two blanks", [](auto& in) { in.firstMap = ""; },
         head + middle + " -heapsize 64000 -noipx"},
        {"empty extra: ends in map and one blank", [](auto& in) { in.extra = ""; },
         head + middle + "mymap "},
        {"blanks in the path are not quoted",
         [](auto& in) { in.exec = "D:\\Program Files\\Half Life\\hl.exe"; },
         "D:\\Program Files\\Half Life\\hl.exe -game dod +port 27015 +maxplayers 8" + middle +
             "mymap -heapsize 64000 -noipx"},
        {"fractional players and odd port untouched",
         [](auto& in) {
             in.maxPlayers = "12.5";
             in.port = " 27016 ";
         },
         "C:\\Sierra\\Half-Life\\hl.exe -game dod +port  27016  +maxplayers 12.5" + middle +
             "mymap -heapsize 64000 -noipx"},
        {"everything empty", [](auto& in) { in = CommandLineInputs(); },
         " -game  +port  +maxplayers " + middle + " "},
    };
    for (const auto& row : rows) {
        CommandLineInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeCommandLine(in), row.expected) << row.what;
    }
}

TEST(MaxPlayers, ClampedIntoOneToThirtyTwo) {
    const std::pair<const char*, const char*> clamped[] = {
        {"40", "32"}, {"33", "32"}, {"32.5", "32"}, {"0.5", "1"},
        {"0", "1"},   {"-3", "1"},  {" 0", "1"}};
    for (auto [text, to] : clamped) {
        EXPECT_EQ(vorn::clampMaxPlayers(text), to) << '"' << text << '"';
        // Writing the clamped text raises the change once more; it must settle.
        EXPECT_EQ(vorn::clampMaxPlayers(to), std::nullopt) << text;
    }
    for (const char* text : {"32", "1", "8", "12.5", "", "abc", "4x", " 32 "})
        EXPECT_EQ(vorn::clampMaxPlayers(text), std::nullopt) << '"' << text << '"';
}

TEST(MaxBotsCaption, PlayerCountPlusOne) {
    const std::pair<const char*, const char*> rows[] = {
        {"8", "< 9"},    {"12.5", "< 13.5"}, {"32", "< 33"}, {"1", "< 2"},
        {" 16", "< 17"}, {"", "?"},          {"abc", "?"},   {"4x", "?"},
    };
    for (auto [players, caption] : rows)
        EXPECT_EQ(vorn::maxBotsCaption(players), caption) << '"' << players << '"';
}

TEST(CommandLine, SaveTakesOnlyWholeNumbersForPortAndPlayers) {
    for (auto [port, players] : {std::pair{"27015", "8"}, {"1", "1"}, {"65535", "32"}})
        EXPECT_EQ(vorn::checkPortAndPlayers(port, players), "") << port << " / " << players;
    const auto expectRefused = [](const std::string& error, const char* field, const char* text) {
        EXPECT_EQ(error.rfind("Error: ", 0), 0u) << text << ": " << error;
        EXPECT_NE(error.find(field), std::string::npos) << text << ": " << error;
        EXPECT_NE(error.find("whole number"), std::string::npos) << text << ": " << error;
    };
    for (const char* port : {"", "abc", "27015 ", "+27015", "0", "65536", "27015&calc"})
        expectRefused(vorn::checkPortAndPlayers(port, "8"), "port", port);
    for (const char* players : {"", "abc", "12.5", "-3", "33", "8 & del x"})
        expectRefused(vorn::checkPortAndPlayers("27015", players), "Max Players", players);
}

} // namespace
