// The whole road for dod with the bot add-on, as a new user walks it:
// start-up, the mod, the five steps with their Saves, and the server start.
#include "guisupport.h"

namespace vorn::test {
namespace {

const QByteArray kServerLog =
    "hl.exe -game dod +port 27015 +maxplayers 8 +lservercfgfile vorn_lserver.cfg "
    "+mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map dod_anzio "
    "-heapsize 64000 -noipx\r\n";

class RoadDodTest : public WindowTest {
  protected:
    // The four steps before the bots confirmed, then the bot panel open.
    void walkToBotSetup() {
        chooseMod("dod");
        confirmSteps(4);
        // The bot step still holds the start back.
        EXPECT_EQ(status(), "Select Bot Setup");
        EXPECT_FALSE(w->cmdStart->isEnabled());
        click("optBotFile");
    }
    QByteArray start() {
        EXPECT_EQ(status(), "You can now start the server.");
        click("cmdStart");
        EXPECT_EQ(status(), "Server started.");
        return serverLog();
    }
};

TEST_F(RoadDodTest, FillServerBotsThenStart) {
    walkToBotSetup();
    click("cmdSturmbotOK");
    EXPECT_EQ(gameFile("dod/sturmbot/bot.cfg"), (kDefaultBotLines + "fillserver\r\n").toLatin1());
    EXPECT_EQ(start(), kServerLog);
}

TEST_F(RoadDodTest, RosterForABritishMapThenStart) {
    walkToBotSetup();
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
    EXPECT_EQ(start(), kServerLog);
}

} // namespace
} // namespace vorn::test
