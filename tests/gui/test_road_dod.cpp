// The whole road for dod with the bot add-on, as a new user walks it:
// start-up, the mod, the five steps with their Saves, and the server start.
#include "guisupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace vorn::test {
namespace {

const QStringList kCycle = {"dod_anzio", "dod_caen", "dod_charlie", "dod_chemille", "dod_flash"};

const QString kBotLines = QStringLiteral("min_reaction 300\r\n"
                                         "max_reaction 800\r\n"
                                         "friendlyfiremode off\r\n"
                                         "rank on\r\n"
                                         "formsquad off\r\n"
                                         "knifeonly off\r\n"
                                         "pistolonly off\r\n"
                                         "grenadeonly off\r\n"
                                         "bloodmode 0\r\n"
                                         "bind \"F3\" \"sturmbotmenu\"\r\n"
                                         "maxteamkills 3\r\n"
                                         "\r\n");

const QByteArray kServerLog =
    "hl.exe -game dod +port 27015 +maxplayers 8 +lservercfgfile vorn_lserver.cfg "
    "+mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt +map dod_anzio "
    "-heapsize 64000 -noipx\r\n";

class RoadDodTest : public WindowTest {
  protected:
    // From start-up to the confirmed welcome message.
    void walkToBotSetup() {
        ASSERT_GE(w->cmbModList->findText(QStringLiteral("dod")), 0) << status().toStdString();
        chooseMod(QStringLiteral("dod"));
        EXPECT_EQ(status(), QStringLiteral("Select Command Line."));
        EXPECT_FALSE(w->optBotFile->isHidden());
        EXPECT_FALSE(w->optBotFile->isEnabled());

        click("optCommandLine");
        pickCombo("cmbMapList1", QStringLiteral("dod_anzio"));
        click("cmdCommandOK");
        EXPECT_EQ(status(), QStringLiteral("Select Server Configuration"));

        click("optServerFile");
        click("cmdServerOK");
        EXPECT_TRUE(QFileInfo::exists(demo->game(QStringLiteral("dod/vorn_lserver.cfg"))));
        EXPECT_EQ(status(), QStringLiteral("Select Map Cycle"));

        click("optMapFile");
        for (const QString& map : kCycle) {
            clickListItem("lstMapList", map);
            click("cmdAddMap");
        }
        EXPECT_EQ(status(), QStringLiteral("Map cycle ok?"));
        click("cmdMapOK");
        EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/vorn_mapcycle.txt"))),
                  (kCycle.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        // Saving the cycle filled the bot panel's map list: the first map,
        // then the cycle.
        auto* botMaps = w->ctl<QComboBox>("cmbSturmbotMapList");
        QStringList listed;
        for (int i = 0; i < botMaps->count(); ++i)
            listed << botMaps->itemText(i);
        EXPECT_EQ(listed, QStringList{"dod_anzio"} + kCycle);

        click("optMotd");
        click("cmdSaveFile");
        EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/vorn_motd.txt"))),
                  QByteArray("Welcome to My dod server.\r\n"));
        // The bot step still holds the start back.
        EXPECT_EQ(status(), QStringLiteral("Select Bot Setup"));
        EXPECT_FALSE(w->cmdStart->isEnabled());
        EXPECT_TRUE(w->optBotFile->isEnabled());
    }

    // Start, then wait (bounded) for the server stand-in to note its
    // command line.
    QByteArray startServer() {
        EXPECT_EQ(status(), QStringLiteral("You can now start the server."));
        click("cmdStart");
        const QString log = demo->game(QStringLiteral("server-standin.log"));
        QElapsedTimer t;
        t.start();
        while (DemoInstall::read(log).isEmpty() && t.elapsed() < 15000) {
            QCoreApplication::processEvents();
            QThread::msleep(50);
        }
        return DemoInstall::read(log);
    }
};

TEST_F(RoadDodTest, FillServerBotsThenStart) {
    walkToBotSetup();
    click("optBotFile");
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("bot.cfg"));
    click("cmdSturmbotOK");
    EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/bot.cfg"))),
              (kBotLines + QStringLiteral("fillserver\r\n")).toLatin1());
    EXPECT_TRUE(w->cmdStart->isEnabled());
    EXPECT_EQ(startServer(), kServerLog);
}

TEST_F(RoadDodTest, RosterForABritishMapThenStart) {
    walkToBotSetup();
    click("optBotFile");
    click("chkSturmbotFillserver");
    pickCombo("cmbSturmbotMapList", QStringLiteral("dod_caen"));
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_caen_bot.cfg"));
    EXPECT_EQ(w->ctl<QAbstractButton>("optSturmbotAllies2")->text(), QStringLiteral("British"));
    EXPECT_TRUE(w->ctl<QWidget>("optSturmbotAllies1")->isHidden());

    click("optSturmbotAllies2");
    pickCombo("cmbSturmbotClass", QStringLiteral("3-Marksman"));
    setText("cmbSturmbotSkill", QStringLiteral("6"));
    setText("txtSturmbotName", QStringLiteral("Tommy"));
    click("cmdSturmbotAdd");
    click("optSturmbotAxis1");
    pickCombo("cmbSturmbotClass", QStringLiteral("6-MG34-Sch\u00fctze"));
    pickCombo("cmbSturmbotSkill", QStringLiteral("4"));
    setText("txtSturmbotName", QStringLiteral("Fritz"));
    click("cmdSturmbotAdd");
    click("cmdSturmbotOK");

    EXPECT_EQ(
        DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/dod_caen_bot.cfg"))),
        (kBotLines + QStringLiteral("addbot 1 3 6 Tommy\r\naddbot 2 6 4 Fritz\r\n")).toLatin1());
    EXPECT_FALSE(QFileInfo::exists(demo->game(QStringLiteral("dod/sturmbot/bot.cfg"))));
    EXPECT_EQ(startServer(), kServerLog);
}

} // namespace
} // namespace vorn::test
