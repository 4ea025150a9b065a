// The command line panel over the demo installation: the composed line, the
// player count clamp, Dedicated, and what enables Save.
#include "guisupport.h"

#include <QApplication>
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
    bool linePlayers(const QString& count) const {
        return w->st.commandLine.contains(" +maxplayers " + count + " +lservercfgfile ");
    }
};

TEST_F(CommandLineTest, ComposesOnOpeningAndSaveKeepsTheLine) {
    openPanel();
    EXPECT_EQ(w->frmInfo->title(), "Command Line and Options");
    // No first map yet: "+map", the blank of the map, the blank before the extras.
    EXPECT_EQ(w->st.commandLine, kExample.arg(QString()));
    EXPECT_EQ(plainText(w->txtFileContents), w->st.commandLine);
    pickCombo("cmbMapList1", "dod_anzio");
    EXPECT_EQ(plainText(w->txtFileContents), kExample.arg("dod_anzio"));
    click("cmdCommandOK");
    EXPECT_EQ(w->st.commandLineSaved, 1);
    EXPECT_EQ(back(w->optCommandLine), fromBgr(colour::LightGreen));
    EXPECT_EQ(maxBots(), "< 9");
    // Save keeps the composition and writes nothing.
    EXPECT_EQ(w->st.commandLine, kExample.arg("dod_anzio"));
    EXPECT_FALSE(DemoInstall::read(demo->drive("vorn.bat")).contains("+map"));
}

TEST_F(CommandLineTest, PlayerCountIsClampedIntoOneToThirtyTwo) {
    openPanel();
    struct Row {
        const char *typed, *box, *maxBots;
    };
    const Row rows[] = {
        {"40", "32", "< 33"}, {"0", "1", "< 2"}, {"-3", "1", "< 2"},
        {"32", "32", "< 33"}, {"1", "1", "< 2"}, {"12.5", "12.5", "< 13.5"},
        {"abc", "abc", "?"},  {"", "", "?"}, // no number: left as typed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        setText("cmbMaxPlayers", row.typed);
        EXPECT_EQ(players(), row.box);
        EXPECT_EQ(maxBots(), row.maxBots);
        EXPECT_TRUE(linePlayers(row.box)) << w->st.commandLine.toStdString();
    }
    EXPECT_EQ(ctl<QComboBox>("cmbMaxPlayers")->count(), 32); // clamping never adds an item
    // Nothing stopped; Save refuses a count that is no number (the
    // refusals themselves are the new-user tests').
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(seam.ends, 0);
    pickCombo("cmbMapList1", "dod_anzio");
    click("cmdCommandOK");
    EXPECT_EQ(maxBots(), "?");
    EXPECT_EQ(w->st.commandLineSaved, 0);
    setText("cmbMaxPlayers", "12");
    click("cmdCommandOK");
    EXPECT_EQ(maxBots(), "< 13");
    EXPECT_EQ(w->st.commandLineSaved, 1);
}

TEST_F(CommandLineTest, PickingAPlayerCountWaitsForTheNextComposition) {
    openPanel();
    const QString before = w->st.commandLine;
    pickCombo("cmbMaxPlayers", "12");
    EXPECT_EQ(maxBots(), "?");
    EXPECT_EQ(w->st.commandLine, before);
    // Typing after a pick is a change again.
    setText("cmbMaxPlayers", "50");
    EXPECT_EQ(players(), "32");
    EXPECT_TRUE(linePlayers("32"));
}

TEST_F(CommandLineTest, DedicatedToggledTwiceComesBack) {
    openPanel();
    pickCombo("cmbMapList1", "dod_caen");
    setText("cmbPort", "27016");
    setText("cmbMaxPlayers", "10");
    setText("txtExtra1", "-nojoy");
    // The option is already selected: pressing the mouse on it composes.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->optCommandLine, &press);
    const QString listen = w->st.commandLine;
    ASSERT_EQ(listen, "C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27016 +maxplayers 10 "
                      "+lservercfgfile vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                      "+motdfile vorn_motd.txt +map dod_caen -nojoy");

    click("chkDedicated");
    EXPECT_EQ(w->txtExec->text(), "C:\\Sierra\\Half-Life\\hlds.exe");
    EXPECT_EQ(w->st.commandLine, "C:\\Sierra\\Half-Life\\hlds.exe -game dod +port 27016 "
                                 "+maxplayers 10 +servercfgfile vorn_server.cfg "
                                 "+mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt "
                                 "+map dod_caen -nojoy");
    // The server stand-in exists, so the path stays valid and nothing is reset.
    EXPECT_NE(statusColour(), fromBgr(colour::Red));
    EXPECT_TRUE(saveEnabled());

    click("chkDedicated");
    EXPECT_EQ(w->txtExec->text(), "C:\\Sierra\\Half-Life\\hl.exe");
    EXPECT_EQ(w->st.commandLine, listen);
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Life\\");
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(CommandLineTest, SaveIsEnabledOnlyByPickingAFirstMap) {
    openPanel();
    auto* maps = ctl<QComboBox>("cmbMapList1");
    EXPECT_EQ(maps->currentText(), QString()); // listing the maps picks none
    EXPECT_FALSE(saveEnabled());

    // Typed from code, or typed key by key and left: the name goes into the
    // line, but Save stays disabled.
    setText("cmbMapList1", "dod_anzio");
    EXPECT_FALSE(saveEnabled());
    focus(maps);
    maps->clearEditText();
    type("dod_flash\r");
    focus(ctl<QLineEdit>("txtExtra1")); // cmbMapList1 loses the focus
    EXPECT_EQ(w->st.commandLine, kExample.arg("dod_flash"));
    EXPECT_FALSE(saveEnabled());
    EXPECT_EQ(maps->count(), ctl<QListWidget>("lstMapList")->count()); // nothing added

    pickCombo("cmbMapList1", "dod_jagd");
    EXPECT_TRUE(saveEnabled());
    EXPECT_EQ(w->st.commandLine, kExample.arg("dod_jagd"));
}

TEST_F(CommandLineTest, LeavingAControlOrPressingTheOptionRecomposes) {
    openPanel();
    pickCombo("cmbMapList1", "dod_anzio");
    // Texts set without a reaction of their own reach the line when the
    // control is left.
    focus(ctl<QComboBox>("cmbPort"));
    setText("cmbPort", "27999");
    focus(ctl<QLineEdit>("txtExtra1"));
    EXPECT_TRUE(w->st.commandLine.contains(" +port 27999 "));
    setText("txtExtra1", QString());
    focus(ctl<QComboBox>("cmbMaxPlayers"));
    EXPECT_TRUE(w->st.commandLine.endsWith("+map dod_anzio ")) << w->st.commandLine.toStdString();

    // Pressing the mouse on the option that is already selected shows the
    // line again, with what changed meanwhile.
    setText("cmbPort", "27017");
    w->txtFileContents->setPlainText("something else");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->optCommandLine, &press);
    EXPECT_TRUE(w->st.commandLine.contains(" +port 27017 "));
    EXPECT_EQ(plainText(w->txtFileContents), w->st.commandLine);
}

} // namespace
} // namespace vorn::test
