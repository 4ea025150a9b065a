// The road for dod with the bot add-on: the five steps, a roster, the start.
#include "guisupport.h"

namespace vorn::test {
namespace {

using RoadDodTest = WindowTest;

TEST_F(RoadDodTest, RosterForABritishMapThenStart) {
    chooseMod("dod");
    confirmStepsThrough("optMotd");
    // The bot step still holds the start back.
    EXPECT_EQ(status(), "Select Bot Setup");
    EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());
    click("optBotFile");
    click("chkSturmbotFillserver");
    pickCombo("cmbSturmbotMapList", "dod_caen");
    click("optSturmbotAllies2");
    pickCombo("cmbSturmbotClass", "3-Marksman");
    setText("cmbSturmbotSkill", "6");
    setText("txtSturmbotName", "Tommy");
    click("cmdSturmbotAdd");
    click("optSturmbotAxis1");
    pickCombo("cmbSturmbotClass", QStringLiteral("6-MG34-Sch\u00fctze"));
    pickCombo("cmbSturmbotSkill", "4");
    setText("txtSturmbotName", "Fritz");
    click("cmdSturmbotAdd");
    click("cmdSturmbotOK");

    EXPECT_EQ(gameFile("dod/sturmbot/dod_caen_bot.cfg"),
              (kDefaultBotLines + "addbot 1 3 6 Tommy\r\naddbot 2 6 4 Fritz\r\n").toLatin1());
    EXPECT_FALSE(QFileInfo::exists(demo->game("dod/sturmbot/bot.cfg")));
    EXPECT_EQ(status(), "You can now start the server.");
    // A later edit keeps the step confirmed.
    click("chkSturmbotFF");
    EXPECT_EQ(status(), "You can now start the server.");
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(serverLog(), "hl.exe -game dod +port 27015 +maxplayers 8 +lservercfgfile "
                           "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt +motdfile "
                           "vorn_motd.txt +map dod_anzio -heapsize 64000 -noipx\r\n");
}

} // namespace
} // namespace vorn::test
