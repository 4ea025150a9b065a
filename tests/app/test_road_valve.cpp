// The road for a mod without the bot add-on: valve, the four steps, and the
// start through the batch file and the command interpreter.
#include "guisupport.h"

#include <QThread>

namespace vorn::test {
namespace {

const QStringList kCycle{"boot_camp", "bounce", "crossfire", "datacore", "gasworks"};
const QString kExec = QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe");
const QString kArgs = QStringLiteral(" -game valve +port 27015 +maxplayers 8 +lservercfgfile "
                                     "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                                     "+motdfile vorn_motd.txt +map crossfire -heapsize 64000 "
                                     "-noipx");

class ValveRoadTest : public WindowTest {
  protected:
    QByteArray batchFile() const { return DemoInstall::read(demo->drive("vorn.bat")); }

    // Everything up to "You can now start the server.", checking each step.
    void walkToStart() {
        ASSERT_EQ(status(), "Now, select a mod");
        chooseMod("valve");
        ASSERT_EQ(status(), "Select Command Line.");
        click("optCommandLine");
        EXPECT_EQ(status(), "Please select first map.");
        pickCombo("cmbMapList1", "crossfire");
        EXPECT_EQ(status(), "Server setup ok?");
        click("cmdCommandOK");
        EXPECT_EQ(status(), "Select Server Configuration");

        click("optServerFile");
        const QString serverCfg = crlfText(ctl<QPlainTextEdit>("txtFileContents"));
        click("cmdServerOK");
        EXPECT_EQ(status(), "Select Map Cycle");

        click("optMapFile");
        addMaps(kCycle);
        EXPECT_EQ(status(), "Map cycle ok?");
        click("cmdMapOK");
        EXPECT_EQ(status(), "Select Welcome Message");
        EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());

        click("optMotd");
        click("cmdSaveFile");
        // Every file went into the chosen mod's directory.
        EXPECT_EQ(gameFile("valve/vorn_lserver.cfg"), (serverCfg + "\r\n").toLatin1());
        EXPECT_EQ(gameFile("valve/vorn_mapcycle.txt"), (kCycle.join("\r\n") + "\r\n").toLatin1());
        EXPECT_EQ(gameFile("valve/vorn_motd.txt"), "Welcome to My valve server.\r\n");

        EXPECT_EQ(status(), "You can now start the server.");
        EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
        for (QRadioButton* opt : stepButtons())
            EXPECT_EQ(back(opt), fromBgr(colour::LightGreen)) << opt->objectName().toStdString();
        ASSERT_TRUE(ctl<QPushButton>("cmdStart")->isEnabled());
    }
};

TEST_F(ValveRoadTest, FromStartUpToARunningServer) {
    walkToStart();
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Green));
    // The batch file holds the command line and nothing else; the server
    // stand-in really ran through it and the interpreter, with the composed
    // arguments, and its console output went into the listing file.
    EXPECT_EQ(batchFile(), (kExec + kArgs + "\r\n").toLatin1());
    EXPECT_EQ(serverLog(), ("hl.exe" + kArgs + "\r\n").toLatin1());
    EXPECT_TRUE(waitUntil(
        [&] {
            return DemoInstall::read(demo->drive("vorn.log")).contains("hl.exe stand-in started");
        },
        10000));

    // Starting changes no step: Start stays enabled and starts again.
    click("cmdStart");
    EXPECT_EQ(serverLog(2).count("hl.exe "), 2);
}

// A refused start (server program gone, batch file unwritable, a map name
// that breaks the line) starts nothing; a change made later reaches the next.
TEST_F(ValveRoadTest, RefusedStartsStartNothingAndAChangeReachesTheNextStart) {
    // "a&b" on the server's line would run "b" as a command of its own.
    DemoInstall::write(demo->game("valve/maps/a&b.bsp"), "BSP");
    walkToStart();
    const QString program = demo->game("hl.exe");
    ASSERT_TRUE(QFile::rename(program, program + ".away"));
    click("cmdStart");
    expectError("Correct Exec path! It no longer leads to hl.exe");
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_FALSE(batchFile().contains("-game valve"));
    EXPECT_EQ(w->serverWindow, nullptr);
    ASSERT_TRUE(QFile::rename(program + ".away", program));
    // A directory where the batch file belongs stops every writer, root too.
    const QString batch = demo->drive("vorn.bat");
    ASSERT_TRUE(QFile::remove(batch));
    ASSERT_TRUE(QDir().mkpath(batch));
    click("cmdStart");
    expectError("batch file");
    ASSERT_TRUE(QDir().rmdir(batch));

    click("optCommandLine");
    pickCombo("cmbMapList1", "a&b");
    click("cmdStart");
    expectError("a&b");
    // A pause long enough for a started stand-in to have logged its start.
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(demo->game("server-standin.log"))) << "no server may start";

    pickCombo("cmbMapList1", "stalkyard");
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_TRUE(batchFile().contains("+map stalkyard "));
    EXPECT_TRUE(serverLog().contains("+map stalkyard "));
}

} // namespace
} // namespace vorn::test
