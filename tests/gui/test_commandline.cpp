// The command line panel over the demo installation: the composed line, the
// player count clamp, Dedicated, and what enables Save.
#include "guisupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vorn::test {
namespace {

const QString kExample =
    QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27015 +maxplayers 8 "
                   "+lservercfgfile vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                   "+motdfile vorn_motd.txt +map %1 -heapsize 64000 -noipx");

class CommandLineTest : public WindowTest {
  protected:
    // The mod chosen and the panel open.
    void openPanel() {
        chooseMod(QStringLiteral("dod"));
        click("optCommandLine");
    }
    QComboBox* players() const { return w->ctl<QComboBox>("cmbMaxPlayers"); }
    QString maxBots() const { return w->ctl<QLabel>("lblMxBt")->text(); }
    QPushButton* save() const { return w->ctl<QPushButton>("cmdCommandOK"); }

    // Keys as the user types them, into whatever has the focus.
    void type(const QString& keys) {
        for (QChar c : keys) {
            QWidget* target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }
    void pressReturn() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    void focus(QWidget* widget) {
        QApplication::setActiveWindow(w.get());
        widget->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(widget->hasFocus()) << widget->objectName().toStdString();
    }
};

TEST_F(CommandLineTest, WalkFromStartUpToSavedCommandLine) {
    const QColor blue = fromBgr(colour::Blue);
    EXPECT_EQ(status(), QStringLiteral("Now, select a mod"));
    EXPECT_EQ(statusColour(), blue);

    chooseMod(QStringLiteral("dod"));
    EXPECT_EQ(status(), QStringLiteral("Select Command Line."));
    EXPECT_EQ(statusColour(), blue);
    EXPECT_FALSE(save()->isEnabled());

    click("optCommandLine");
    EXPECT_EQ(status(), QStringLiteral("Please select first map."));
    EXPECT_EQ(statusColour(), blue);
    EXPECT_TRUE(w->ctl<QGroupBox>("frmCommandLine")->isVisible());
    EXPECT_FALSE(w->ctl<QGroupBox>("frmServerFile")->isVisible());
    EXPECT_TRUE(w->frmInfo->isVisible());
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("Command Line and Options"));
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdEditFile->isEnabled());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    // No first map yet: "+map", the blank of the map, the blank before the extras.
    EXPECT_EQ(w->st.commandLine, kExample.arg(QString()));
    EXPECT_EQ(w->txtFileContents->toPlainText(), w->st.commandLine);
    EXPECT_FALSE(save()->isEnabled());

    pickCombo("cmbMapList1", QStringLiteral("dod_anzio"));
    EXPECT_EQ(status(), QStringLiteral("Server setup ok?"));
    EXPECT_EQ(statusColour(), blue);
    EXPECT_EQ(w->st.commandLine, kExample.arg(QStringLiteral("dod_anzio")));
    EXPECT_EQ(w->txtFileContents->toPlainText(), w->st.commandLine);
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_FALSE(w->optServerFile->isEnabled());

    click("cmdCommandOK");
    EXPECT_EQ(status(), QStringLiteral("Select Server Configuration"));
    EXPECT_EQ(statusColour(), blue);
    EXPECT_EQ(w->st.commandLineSaved, 1);
    EXPECT_TRUE(w->optServerFile->isEnabled());
    EXPECT_EQ(w->optCommandLine->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
    EXPECT_EQ(maxBots(), QStringLiteral("< 9"));
    // Save keeps the composition and writes nothing.
    EXPECT_EQ(w->st.commandLine, kExample.arg(QStringLiteral("dod_anzio")));
    EXPECT_TRUE(DemoInstall::read(demo->drive(QStringLiteral("vorn.bat"))).indexOf("+map") < 0);
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(CommandLineTest, PlayerCountIsClampedIntoOneToThirtyTwo) {
    openPanel();
    struct Row {
        const char* typed;
        const char* box;
        const char* maxBots;
    };
    const Row rows[] = {
        {"40", "32", "< 33"}, {"0", "1", "< 2"},    {"-3", "1", "< 2"}, {"32", "32", "< 33"},
        {"1", "1", "< 2"},    {"33", "32", "< 33"}, {"8", "8", "< 9"},  {"12.5", "12.5", "< 13.5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        setText("cmbMaxPlayers", QString::fromLatin1(row.typed));
        EXPECT_EQ(players()->currentText(), QString::fromLatin1(row.box));
        EXPECT_EQ(maxBots(), QString::fromLatin1(row.maxBots));
        EXPECT_TRUE(w->st.commandLine.contains(QStringLiteral(" +maxplayers ") +
                                               QString::fromLatin1(row.box) +
                                               QStringLiteral(" +lservercfgfile ")))
            << w->st.commandLine.toStdString();
    }
    EXPECT_EQ(players()->count(), 32); // clamping never adds an item
}

TEST_F(CommandLineTest, PlayerCountThatIsNoNumberStaysAsTyped) {
    openPanel();
    for (const QString& typed : {QStringLiteral("abc"), QString()}) {
        SCOPED_TRACE(typed.toStdString());
        setText("cmbMaxPlayers", typed);
        EXPECT_EQ(players()->currentText(), typed);
        EXPECT_EQ(maxBots(), QStringLiteral("?"));
        EXPECT_TRUE(w->st.commandLine.contains(QStringLiteral(" +maxplayers ") + typed +
                                               QStringLiteral(" +lservercfgfile ")));
    }
    // Nothing stopped: no message, no end, and the panel goes on working.
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(seam.ends, 0);
    EXPECT_FALSE(w->programEnded);
    setText("cmbMaxPlayers", QStringLiteral("40"));
    EXPECT_EQ(players()->currentText(), QStringLiteral("32"));
    EXPECT_EQ(maxBots(), QStringLiteral("< 33"));

    // Save with a count that is no number: the caption says so, the step is confirmed.
    pickCombo("cmbMapList1", QStringLiteral("dod_anzio"));
    setText("cmbMaxPlayers", QStringLiteral("x"));
    click("cmdCommandOK");
    EXPECT_EQ(maxBots(), QStringLiteral("?"));
    EXPECT_EQ(w->st.commandLineSaved, 1);
}

TEST_F(CommandLineTest, PickingAPlayerCountWaitsForTheNextComposition) {
    openPanel();
    const QString before = w->st.commandLine;
    const QString caption = maxBots();
    pickCombo("cmbMaxPlayers", QStringLiteral("12"));
    EXPECT_EQ(players()->currentText(), QStringLiteral("12"));
    EXPECT_EQ(maxBots(), caption);
    EXPECT_EQ(w->st.commandLine, before);
    // Typing after a pick is a change again.
    setText("cmbMaxPlayers", QStringLiteral("50"));
    EXPECT_EQ(players()->currentText(), QStringLiteral("32"));
    EXPECT_TRUE(w->st.commandLine.contains(QStringLiteral(" +maxplayers 32 ")));
}

TEST_F(CommandLineTest, DedicatedToggledTwiceComesBack) {
    openPanel();
    pickCombo("cmbMapList1", QStringLiteral("dod_caen"));
    setText("cmbPort", QStringLiteral("27016"));
    setText("cmbMaxPlayers", QStringLiteral("10"));
    setText("txtExtra1", QStringLiteral("-nojoy"));
    click("optCommandLine");
    const QString exec = w->txtExec->text();
    const QString listen = w->st.commandLine;
    ASSERT_EQ(exec, QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe"));
    ASSERT_EQ(listen, QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe -game dod +port 27016 "
                                     "+maxplayers 10 +lservercfgfile vorn_lserver.cfg "
                                     "+mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt "
                                     "+map dod_caen -nojoy"));

    click("chkDedicated");
    EXPECT_EQ(w->txtExec->text(), QStringLiteral("C:\\Sierra\\Half-Life\\hlds.exe"));
    EXPECT_EQ(w->st.gameDir, QStringLiteral("C:\\Sierra\\Half-Life\\"));
    EXPECT_EQ(w->st.commandLine,
              QStringLiteral("C:\\Sierra\\Half-Life\\hlds.exe -game dod +port 27016 "
                             "+maxplayers 10 +servercfgfile vorn_server.cfg "
                             "+mapcyclefile vorn_mapcycle.txt +motdfile vorn_motd.txt "
                             "+map dod_caen -nojoy"));
    EXPECT_EQ(w->txtFileContents->toPlainText(), w->st.commandLine);
    // The server stand-in exists, so the path stays valid and nothing is reset.
    EXPECT_NE(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->mod(), QStringLiteral("dod"));
    EXPECT_TRUE(save()->isEnabled());

    click("chkDedicated");
    EXPECT_EQ(w->txtExec->text(), exec);
    EXPECT_EQ(w->st.commandLine, listen);
    EXPECT_EQ(w->st.gameDir, QStringLiteral("C:\\Sierra\\Half-Life\\"));
    EXPECT_EQ(w->ctl<QComboBox>("cmbPort")->currentText(), QStringLiteral("27016"));
    EXPECT_EQ(players()->currentText(), QStringLiteral("10"));
    EXPECT_EQ(w->ctl<QComboBox>("cmbMapList1")->currentText(), QStringLiteral("dod_caen"));
    EXPECT_EQ(w->ctl<QLineEdit>("txtExtra1")->text(), QStringLiteral("-nojoy"));
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(CommandLineTest, SaveIsEnabledOnlyByPickingAFirstMap) {
    openPanel();
    auto* maps = w->ctl<QComboBox>("cmbMapList1");
    ASSERT_GT(maps->count(), 0);
    EXPECT_EQ(maps->currentText(), QString()); // listing the maps picks none
    EXPECT_FALSE(save()->isEnabled());

    // Typed from code, or typed key by key and left with Tab or Return: the
    // name goes into the line, but Save stays disabled.
    setText("cmbMapList1", QStringLiteral("dod_anzio"));
    EXPECT_FALSE(save()->isEnabled());

    focus(maps);
    maps->clearEditText();
    type(QStringLiteral("dod_flash"));
    pressReturn();
    EXPECT_EQ(maps->currentText(), QStringLiteral("dod_flash"));
    focus(w->ctl<QLineEdit>("txtExtra1")); // cmbMapList1 loses the focus
    EXPECT_EQ(maps->currentText(), QStringLiteral("dod_flash"));
    EXPECT_EQ(w->st.commandLine, kExample.arg(QStringLiteral("dod_flash")));
    EXPECT_FALSE(save()->isEnabled());
    EXPECT_EQ(maps->count(), w->ctl<QListWidget>("lstMapList")->count()); // nothing added

    pickCombo("cmbMapList1", QStringLiteral("dod_jagd"));
    EXPECT_TRUE(save()->isEnabled());
    EXPECT_EQ(w->st.commandLine, kExample.arg(QStringLiteral("dod_jagd")));
}

TEST_F(CommandLineTest, LeavingAControlOrPressingTheOptionRecomposes) {
    openPanel();
    pickCombo("cmbMapList1", QStringLiteral("dod_anzio"));

    // Texts set without a reaction of their own reach the line when the
    // control is left.
    focus(w->ctl<QComboBox>("cmbPort"));
    setText("cmbPort", QStringLiteral("27999"));
    focus(w->ctl<QLineEdit>("txtExtra1"));
    EXPECT_TRUE(w->st.commandLine.contains(QStringLiteral(" +port 27999 ")));
    setText("txtExtra1", QString());
    focus(players());
    EXPECT_TRUE(w->st.commandLine.endsWith(QStringLiteral("+map dod_anzio ")))
        << w->st.commandLine.toStdString();

    // Pressing the mouse on the option that is already selected shows the
    // line again, with what changed meanwhile.
    setText("cmbPort", QStringLiteral("27017"));
    w->txtFileContents->setPlainText(QStringLiteral("something else"));
    ASSERT_TRUE(w->optCommandLine->isChecked());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->optCommandLine, &press);
    EXPECT_TRUE(w->st.commandLine.contains(QStringLiteral(" +port 27017 ")));
    EXPECT_EQ(w->txtFileContents->toPlainText(), w->st.commandLine);
}

} // namespace
} // namespace vorn::test
