// The command line panel: composing, the player clamp, Dedicated, Save.
#include "guisupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vorn::test {
namespace {

const QString kExample =
    QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27015 +maxplayers 8 "
                   "+lservercfgfile vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                   "+motdfile vorn_motd.txt +map %1 -heapsize 64000 -noipx");

class CommandLineTest : public WindowTest {
  protected:
    void openPanel() {
        chooseMod("dod");
        click("optCommandLine");
    }
    QString players() const { return ctl<QComboBox>("cmbMaxPlayers")->currentText(); }
    QString maxBots() const { return ctl<QLabel>("lblMxBt")->text(); }
    bool saveEnabled() const { return ctl<QPushButton>("cmdCommandOK")->isEnabled(); }
    // The mouse pressed on the option that is already selected.
    void pressOption() {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ctl<QWidget>("optCommandLine"), &press);
    }
};

// Only a first map picked from the list enables Save; a typed one does not.
TEST_F(CommandLineTest, ComposesOnOpeningAndSaveWaitsForAPickedFirstMap) {
    openPanel();
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "Command Line and Options");
    auto* maps = ctl<QComboBox>("cmbMapList1");
    EXPECT_EQ(maps->currentText(), QString()); // listing the maps picks none
    EXPECT_EQ(viewer(), kExample.arg(QString()));
    EXPECT_FALSE(saveEnabled());
    setText("cmbMapList1", "dod_anzio");
    EXPECT_FALSE(saveEnabled());
    focus(maps);
    maps->clearEditText();
    type("dod_flash\r");
    focus(ctl<QLineEdit>("txtExtra1")); // cmbMapList1 loses the focus
    EXPECT_EQ(viewer(), kExample.arg("dod_flash"));
    EXPECT_FALSE(saveEnabled());
    EXPECT_EQ(maps->count(), ctl<QListWidget>("lstMapList")->count()); // nothing added

    pickCombo("cmbMapList1", "dod_anzio");
    EXPECT_EQ(viewer(), kExample.arg("dod_anzio"));
    click("cmdCommandOK");
    EXPECT_TRUE(confirmed("optCommandLine"));
    EXPECT_EQ(maxBots(), "< 9");
    // Save keeps the composition and writes nothing.
    EXPECT_EQ(viewer(), kExample.arg("dod_anzio"));
    EXPECT_FALSE(DemoInstall::read(demo->drive("vorn.bat")).contains("+map"));

    // Typing reaches the clamp, the bot maximum and the line.
    setText("cmbMaxPlayers", "40");
    EXPECT_EQ(players(), "32");
    EXPECT_EQ(maxBots(), "< 33");
    EXPECT_TRUE(viewer().contains(" +maxplayers 32 ")) << viewer().toStdString();
    setText("cmbMaxPlayers", "abc"); // no number: left as typed
    EXPECT_EQ(players(), "abc");
    EXPECT_EQ(maxBots(), "?");
    EXPECT_EQ(ctl<QComboBox>("cmbMaxPlayers")->count(), 32); // clamping never adds an item
    EXPECT_TRUE(seam.boxes.empty());

    // Picking a count waits for the next composition.
    const QString before = viewer();
    pickCombo("cmbMaxPlayers", "12");
    EXPECT_EQ(maxBots(), "?");
    EXPECT_EQ(viewer(), before);
    setText("cmbMaxPlayers", "50");
    EXPECT_EQ(players(), "32");
    EXPECT_TRUE(viewer().contains(" +maxplayers 32 "));
}

// Texts reach the line when left or when the selected option is pressed.
TEST_F(CommandLineTest, LeavingAControlOrPressingTheOptionRecomposes) {
    openPanel();
    pickCombo("cmbMapList1", "dod_caen");
    focus(ctl<QComboBox>("cmbPort"));
    setText("cmbPort", "27999");
    focus(ctl<QLineEdit>("txtExtra1"));
    EXPECT_TRUE(viewer().contains(" +port 27999 "));
    setText("txtExtra1", QString());
    focus(ctl<QComboBox>("cmbMaxPlayers"));
    EXPECT_TRUE(viewer().endsWith("+map dod_caen ")) << viewer().toStdString();

    setText("cmbPort", "27016");
    setText("txtExtra1", "-nojoy");
    setText("txtFileContents", "something else");
    pressOption();
    const QString listen = viewer();
    EXPECT_TRUE(listen.startsWith("C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27016 "));
    EXPECT_TRUE(listen.endsWith("+map dod_caen -nojoy")) << listen.toStdString();

    click("chkDedicated");
    EXPECT_EQ(ctl<QLineEdit>("txtExec")->text(), "C:\\Sierra\\Half-Life\\hlds.exe");
    EXPECT_TRUE(viewer().startsWith("C:\\Sierra\\Half-Life\\hlds.exe -game dod +port 27016 "));
    EXPECT_TRUE(viewer().contains(" +servercfgfile vorn_server.cfg ")) << viewer().toStdString();
    EXPECT_NE(statusColour(), fromBgr(colour::Red));
    EXPECT_TRUE(saveEnabled());
    click("chkDedicated");
    EXPECT_EQ(ctl<QLineEdit>("txtExec")->text(), "C:\\Sierra\\Half-Life\\hl.exe");
    EXPECT_EQ(viewer(), listen);
    EXPECT_EQ(seam.beeps, 0);
}

// Dedicated by keyboard to a missing server: refused, the keyboard stays.
TEST_F(CommandLineTest, RefusedServerLeavesTheKeyboardOnDedicated) {
    openPanel();
    auto* dedicated = ctl<QCheckBox>("chkDedicated");
    for (const char* missing : {"hlds.exe", "hl.exe"}) {
        SCOPED_TRACE(missing);
        const QString program = demo->game(missing);
        const QByteArray bytes = DemoInstall::read(program);
        ASSERT_TRUE(QFile::remove(program));
        focus(dedicated);
        key(Qt::Key_Space, " ");
        EXPECT_EQ(seam.beeps, 1);
        EXPECT_FALSE(ctl<QWidget>("cmbModList")->isEnabled());
        const QString path = ctl<QLineEdit>("txtExec")->text();
        EXPECT_TRUE(path.endsWith(QString("\\") + missing)) << path.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), dedicated);
        key(Qt::Key_X, "x");
        EXPECT_EQ(ctl<QLineEdit>("txtExec")->text(), path);
        DemoInstall::write(program, bytes);
        seam.beeps = 0;
    }
}

} // namespace
} // namespace vorn::test
