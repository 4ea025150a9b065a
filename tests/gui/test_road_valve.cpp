// The whole road for a mod without the bot add-on, as a new user walks it:
// start-up, valve, the four steps with their Saves, and the server start
// through the batch file and the command interpreter.
#include "guisupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& s, std::ostream* os) {
    *os << ::testing::PrintToString(s.toStdString());
}
QT_END_NAMESPACE

namespace vorn::test {
namespace {

const QStringList kCycle{"boot_camp", "bounce", "crossfire", "datacore", "gasworks"};

class ValveRoadTest : public WindowTest {
  protected:
    QColor back(QWidget* widget) const { return widget->palette().color(QPalette::Button); }
    QString standInLog() const { return demo->game(QStringLiteral("server-standin.log")); }

    // Everything up to "You can now start the server.", checking each step.
    void walkToStart() {
        ASSERT_EQ(status(), "Now, select a mod");
        chooseMod(QStringLiteral("valve"));
        ASSERT_EQ(status(), "Select Command Line.");

        click("optCommandLine");
        EXPECT_EQ(status(), "Please select first map.");
        pickCombo("cmbMapList1", QStringLiteral("crossfire"));
        EXPECT_EQ(status(), "Server setup ok?");
        click("cmdCommandOK");
        EXPECT_EQ(status(), "Select Server Configuration");
        EXPECT_EQ(back(w->optCommandLine), fromBgr(colour::LightGreen));

        click("optServerFile");
        EXPECT_EQ(w->frmInfo->title(), "vorn_lserver.cfg");
        const QString serverCfg = crlfText(w->txtFileContents);
        click("cmdServerOK");
        EXPECT_EQ(status(), "Select Map Cycle");
        EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("valve/vorn_lserver.cfg"))),
                  (serverCfg + QStringLiteral("\r\n")).toLatin1());

        click("optMapFile");
        for (const QString& map : kCycle) {
            clickListItem("lstMapList", map);
            click("cmdAddMap");
        }
        EXPECT_EQ(status(), "Map cycle ok?");
        click("cmdMapOK");
        EXPECT_EQ(status(), "Select Welcome Message");
        EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("valve/vorn_mapcycle.txt"))),
                  (kCycle.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
        EXPECT_FALSE(w->cmdStart->isEnabled());

        click("optMotd");
        click("cmdSaveFile");
        EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("valve/vorn_motd.txt"))),
                  "Welcome to My valve server.\r\n");

        EXPECT_EQ(status(), "You can now start the server.");
        EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
        for (QRadioButton* opt : {w->optCommandLine, w->optServerFile, w->optMapFile, w->optMotd})
            EXPECT_EQ(back(opt), fromBgr(colour::LightGreen)) << opt->objectName().toStdString();
        EXPECT_TRUE(w->optBotFile->isHidden());
        ASSERT_TRUE(w->cmdStart->isEnabled());
    }
};

TEST_F(ValveRoadTest, FromStartUpToARunningServer) {
    walkToStart();
    const QString commandLine = w->st.commandLine;
    const QString exec = QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe");
    ASSERT_EQ(commandLine,
              exec + QStringLiteral(" -game valve +port 27015 +maxplayers 8 +lservercfgfile "
                                    "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                                    "+motdfile vorn_motd.txt +map crossfire -heapsize 64000 "
                                    "-noipx"));

    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Green));
    // The batch file holds the command line and nothing else.
    EXPECT_EQ(DemoInstall::read(demo->drive(QStringLiteral("vorn.bat"))),
              (commandLine + QStringLiteral("\r\n")).toLatin1());
    // The server stand-in really ran, through the batch file and the
    // interpreter, with the composed arguments.
    ASSERT_TRUE(DemoInstall::waitForFile(standInLog()));
    EXPECT_EQ(DemoInstall::read(standInLog()),
              ("hl.exe" + commandLine.mid(exec.size()) + QStringLiteral("\r\n")).toLatin1());
    // Its console output went into the listing file.
    ASSERT_TRUE(DemoInstall::waitForFile(demo->drive(QStringLiteral("vorn.log"))));
    EXPECT_TRUE(DemoInstall::read(demo->drive(QStringLiteral("vorn.log")))
                    .contains("hl.exe stand-in started"));

    // Starting changes no step; Start stays enabled and starts again.
    EXPECT_TRUE(w->cmdStart->isEnabled());
    EXPECT_EQ(w->st.commandLineSaved + w->st.serverCfgSaved + w->st.mapCycleSaved + w->st.motdSaved,
              4);
    click("cmdStart");
    QElapsedTimer timer;
    timer.start();
    while (DemoInstall::read(standInLog()).count("hl.exe ") < 2 && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(DemoInstall::read(standInLog()).count("hl.exe "), 2);
}

TEST_F(ValveRoadTest, ChangeAfterConfirmingReachesTheNextStart) {
    walkToStart();
    click("optCommandLine");
    pickCombo("cmbMapList1", QStringLiteral("stalkyard"));
    ASSERT_TRUE(w->st.commandLine.contains("+map stalkyard "));
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(DemoInstall::read(demo->drive(QStringLiteral("vorn.bat"))),
              (w->st.commandLine + QStringLiteral("\r\n")).toLatin1());
    ASSERT_TRUE(DemoInstall::waitForFile(standInLog()));
    EXPECT_TRUE(DemoInstall::read(standInLog()).contains("+map stalkyard "));
}

TEST_F(ValveRoadTest, StartWhenTheBatchFileCannotBeWritten) {
    walkToStart();
    // A directory where the batch file belongs stops every writer, root too.
    const QString batch = demo->drive(QStringLiteral("vorn.bat"));
    ASSERT_TRUE(QFile::remove(batch));
    ASSERT_TRUE(QDir().mkpath(batch));

    click("cmdStart");
    EXPECT_TRUE(status().startsWith("Error:")) << status().toStdString();
    EXPECT_TRUE(status().contains("batch file")) << status().toStdString();
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_TRUE(statusFits());
    EXPECT_NE(status(), "Server started.");
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(standInLog())) << "no server may start";
    // Nothing else changes: the user can fix the disk and press Start again.
    EXPECT_TRUE(w->cmdStart->isEnabled());
    ASSERT_TRUE(QDir().rmdir(batch));
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_TRUE(DemoInstall::waitForFile(standInLog()));
}

TEST_F(ValveRoadTest, MapNamesFromTheDiskThatWouldBreakTheLineAreRefused) {
    // "a&b" on the server's line would run "b" as a command of its own.
    DemoInstall::write(demo->game(QStringLiteral("valve/maps/a&b.bsp")), "BSP");
    walkToStart();
    click("optCommandLine");
    pickCombo("cmbMapList1", QStringLiteral("a&b"));
    click("cmdStart");
    EXPECT_TRUE(status().contains("a&b")) << status().toStdString();
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(standInLog())) << "no server may start";
}

} // namespace
} // namespace vorn::test
