// A new user's road by keyboard, screen reader and mouse: nothing typed is
// lost, failures and refusals are told, every caption is shown whole.
#include "clipping.h"
#include "guisupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QImage>
#include <controls.h>
#include <platform.h>

namespace vorn::test {
namespace {

class NewUserTest : public WindowTest {
  protected:
    QByteArray log() const { return DemoInstall::read(demo->drive("vorn_master.log")); }
    // A stand-in program of the game, written over the demo's.
    void standIn(const QString& relative, const QByteArray& body) {
        const QString path = demo->game(relative);
        DemoInstall::write(path, "#!/usr/bin/env bash\n" + body);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }
};

// An option reacts when it becomes selected, not again while it is; a
// screen reader's toggle opens the panel as a click does. A Save that
// disables itself hands the keyboard to something harmless: the next key
// never replaces the game path.
TEST_F(NewUserTest, OptionsReactWhenSelectedAndSavesLeaveTheGamePathAlone) {
    const QString path = ctl<QLineEdit>("txtExec")->text();
    chooseMod("dod");
    confirmStepsThrough("optMapFile");
    click("optMotd");
    ctl<QPlainTextEdit>("txtFileContents")->setPlainText("My own words");
    click("optMotd");
    EXPECT_EQ(plainText(ctl<QPlainTextEdit>("txtFileContents")), "My own words");
    for (const char* save : {"cmdSaveFile", "cmdClassLimitOK"}) {
        SCOPED_TRACE(save);
        focus(ctl<QPushButton>(save));
        key(Qt::Key_Space);
        ASSERT_FALSE(ctl<QPushButton>(save)->isEnabled());
        EXPECT_NE(QApplication::focusWidget(), ctl<QLineEdit>("txtExec"));
        type("x");
        EXPECT_EQ(ctl<QLineEdit>("txtExec")->text(), path);
        click("optMapFile");
        clickListItem("lstMapList", "dod_anzio");
        click("chkClassLimit");
    }

    // The toggle comes while the keyboard is still in the command line's
    // panel: that panel closes, and only the one chosen is on show.
    click("optCommandLine");
    focus(ctl<QComboBox>("cmbMapList1"));
    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(ctl<QWidget>("optServerFile"));
    ASSERT_TRUE(face && face->actionInterface());
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(ctl<QRadioButton>("optServerFile")->isChecked());
    EXPECT_TRUE(ctl<QWidget>("frmServerFile")->isVisible());
    EXPECT_TRUE(ctl<QWidget>("frmCommandLine")->isHidden());
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_lserver.cfg");

    // Another mod starts the steps again: the first option opens its panel.
    chooseMod("valve");
    click("optCommandLine");
    EXPECT_TRUE(ctl<QWidget>("frmCommandLine")->isVisible());
}

TEST_F(NewUserTest, ModNamesThatCannotGoOnACommandLineAreRefusedWhenChosen) {
    const QStringList odd{"my mod", "a&b"};
    for (const QString& mod : odd)
        DemoInstall::write(demo->game(mod + "/liblist.gam"), "game \"odd\"\r\n");
    w.reset();
    openWindow();
    for (const QString& mod : odd) {
        SCOPED_TRACE(mod.toStdString());
        chooseMod("dod");
        confirmStepsThrough("optCommandLine");
        chooseMod(mod);
        expectError(mod);
        EXPECT_FALSE(ctl<QRadioButton>("optCommandLine")->isEnabled());
        EXPECT_FALSE(ctl<QWidget>("frmCommandLine")->isVisible());
        EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());
    }
}

// Command-line Save refuses a port or player count that is no whole number
// (which texts: test_commandline): it confirms nothing and keeps the text.
TEST_F(NewUserTest, CommandLineSaveRefusesWhatIsNotAWholeNumber) {
    openStep("optCommandLine", "valve");
    pickCombo("cmbMapList1", "crossfire");
    const struct {
        const char* box;
        const char* typed;
        const char* named;
    } rows[] = {{"cmbMaxPlayers", "12.5", "Max Players"}, {"cmbPort", "27015 & calc", "port"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        setText(row.box, QString::fromLatin1(row.typed));
        click("cmdCommandOK");
        expectError("whole number");
        EXPECT_TRUE(status().contains(row.named)) << status().toStdString();
        EXPECT_FALSE(confirmed("optCommandLine"));
        EXPECT_FALSE(ctl<QRadioButton>("optServerFile")->isEnabled());
        EXPECT_EQ(ctl<QComboBox>(row.box)->currentText(), row.typed);
        setText(row.box, row.box == std::string("cmbPort") ? "27015" : "8");
    }
    click("cmdCommandOK");
    EXPECT_TRUE(confirmed("optCommandLine"));
}

#ifndef _WIN32
TEST_F(NewUserTest, FailuresOfOutsideCommandsAreToldWithTheirReason) {
    chooseMod("valve");
    confirmAllSteps();

    standIn("hl.exe", "echo 'wine: could not load kernel32.dll, status c0000135' >&2\nexit 1\n");
    click("cmdStart");
    expectError("could not load kernel32.dll");
    EXPECT_TRUE(log().contains("could not load kernel32.dll"));

    // The interpreter cannot run the batch file: the listing says why.
    const std::string real = platform::commandInterpreterPath();
    demo->replaceInterpreter(QByteArray("exec '") + real.c_str() +
                             "' \"$1\" \"$(printf '%s' \"$2\" | sed 's/vorn\\.bat/gone.bat/')\"\n");
    chooseMod("valve");
    expectError("gone.bat");
    EXPECT_TRUE(log().contains("gone.bat"));
    demo->restoreInterpreter();

    // The entity tool fails the way a missing Wine makes it fail.
    standIn("ripent.exe", "echo 'it looks like wine32 is missing' >&2\nexit 1\n");
    seam.answers = {kAnswerYes};
    openStep("optMapFile");
    clickListItem("lstMapList", "dod_anzio");
    click("chkClassLimit");
    expectError("wine32 is missing");
    EXPECT_TRUE(log().contains("wine32 is missing"));
}

TEST_F(NewUserTest, EntityToolStoppedAtItsLimitLeavesNoExport) {
    standIn("ripent.exe", "bsp=\"$2\"\n"
                          "ent=$(dirname \"$0\")/dod/maps/dod_anzio.ent\n"
                          "printf '{\\r\\n\"classname\" \"worl' > \"$ent\"\n"
                          "sleep 60\n");
    seam.answers = {kAnswerYes};
    openStep("optMapFile");
    clickListItem("lstMapList", "dod_anzio");
    click("chkClassLimit");
    EXPECT_FALSE(QFile::exists(demo->game("dod/maps/dod_anzio.ent")));
    EXPECT_TRUE(log().contains("dod_anzio.ent was removed")) << log().toStdString();
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
}
#endif

// Every caption in full view at desktop fonts from 9 to 14 points.
class FontSizeTest : public WindowTest, public ::testing::WithParamInterface<int> {
  protected:
    DesktopPointSize font_{GetParam()};
    void expectNothingClipped(const char* state) {
        const QStringList problems = clippedControls(w.get(), true);
        EXPECT_TRUE(problems.isEmpty()) << state << ":\n" << problems.join("\n").toStdString();
    }
};

TEST_P(FontSizeTest, NothingIsClipped) {
    chooseMod("dod");
    ctl<QRadioButton>("optBotFile")->show();
    expectNothingClipped("control centre");
    const char* const frames[] = {"frmCommandLine", "frmServerFile", "frmMapSetup",
                                  "frmSturmbotSetup"};
    for (const char* frame : frames) {
        for (const char* other : frames)
            ctl<QWidget>(other)->setVisible(std::string(other) == frame);
        for (const char* part :
             {"chkClassLimit", "frmClassLimit", "frmSturmbotCustom", "optSturmbotAllies2"})
            ctl<QWidget>(part)->show();
        expectNothingClipped(frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Points, FontSizeTest, ::testing::Values(9, 10, 11, 12, 14));

// Text on the fixed grounds (the steps, the team options) reads at 4.5:1
// or better in a light and in a dark desktop palette.
class PaletteTest : public WindowTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        oldPalette_ = QApplication::palette();
        if (GetParam()) {
            QPalette dark;
            dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
            dark.setColor(QPalette::WindowText, Qt::white);
            dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
            dark.setColor(QPalette::Text, Qt::white);
            dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
            dark.setColor(QPalette::ButtonText, Qt::white);
            QApplication::setPalette(dark);
        }
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        QApplication::setPalette(oldPalette_);
    }
    static void expectReadable(QWidget* control) {
        const QPalette& pal = control->palette();
        for (auto [text, ground] : {std::pair{QPalette::WindowText, QPalette::Window},
                                    {QPalette::ButtonText, QPalette::Button}})
            EXPECT_GE(contrastRatio(pal.color(QPalette::Active, text),
                                    pal.color(QPalette::Active, ground)),
                      4.5)
                << control->objectName().toStdString();
    }

  private:
    QPalette oldPalette_;
};

TEST_P(PaletteTest, TextOnFixedGroundsIsReadable) {
    chooseMod("dod");
    for (const char* team : {"optSturmbotAllies1", "optSturmbotAllies2", "optSturmbotAxis1"})
        expectReadable(ctl<QWidget>(team));
    // Every step open (pink), then all but the bot step confirmed (green).
    for (bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed);
        if (confirmed)
            confirmStepsThrough("optMotd");
        for (const QString& option : stepOptions())
            expectReadable(ctl<QWidget>(option.toLatin1().constData()));
    }
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, PaletteTest, ::testing::Bool());

using PolishTest = WindowTest;

TEST_F(PolishTest, AboutShowsTheBuildVersionAndTheWindowItsIcon) {
    const QString before = status();
    ctl<QAction>("mnuAbout")->trigger();
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN information", MsgIcon::Information, MsgButtons::Ok);
    EXPECT_EQ(status(), before);
    EXPECT_EQ(seam.ends, 0);
    EXPECT_TRUE(seam.boxes[0].text.startsWith(QStringLiteral("Vornwick v" VORN_VERSION "\r\n")))
        << seam.boxes[0].text.toStdString();
    EXPECT_FALSE(w->windowIcon().isNull());
    // The pictures are read when asked for: each size is its own image.
    for (int size : {16, 48, 256}) {
        const QImage picture = w->windowIcon().pixmap(QSize(size, size), 1.0).toImage();
        EXPECT_EQ(picture.size(), QSize(size, size)) << size;
        EXPECT_GT(picture.pixelColor(size / 2, size / 2).alpha(), 0) << size;
    }
}

} // namespace
} // namespace vorn::test
