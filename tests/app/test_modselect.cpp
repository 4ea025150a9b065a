// Choosing a mod: the reset, the dod and add-on recognition, the map listing.
#include "guisupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWheelEvent>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vorn::test {
namespace {

class ModSelectTest : public WindowTest {
  protected:
    ModSelectTest() { autoLoad = false; }
    // The maps offered as first map; the cycle's list must offer the same.
    QStringList maps() const {
        const QStringList first = items(ctl<QComboBox>("cmbMapList1"));
        EXPECT_EQ(items(ctl<QListWidget>("lstMapList")), first);
        return first;
    }
    QColor modSupportColour() const {
        return ctl<QLabel>("lblModSupport")->palette().color(QPalette::WindowText);
    }
    QString history() const { return demo->game("dod/sturmbot/History.txt"); }
    QString reactions() const {
        return ctl<QLineEdit>("txtSturmbotMinReaction")->text() + "/" +
               ctl<QLineEdit>("txtSturmbotMaxReaction")->text();
    }
    QString botCaption() const { return ctl<QGroupBox>("frmSturmbotSetup")->title(); }
    QString firstAxisClass() const { return ctl<QComboBox>("cmbClassAxis")->itemText(0); }
    void expectNotRecognized() {
        EXPECT_EQ(ctl<QLabel>("lblModSupport")->text(), "Not recognized");
        EXPECT_EQ(modSupportColour(), fromBgr(colour::Red));
        EXPECT_TRUE(ctl<QWidget>("chkClassLimit")->isHidden());
        EXPECT_TRUE(ctl<QRadioButton>("optBotFile")->isHidden());
    }
};

TEST_F(ModSelectTest, ChoosingAModListsItsMapsAndOpensTheFirstStep) {
    openWindow();
    chooseMod("valve");
    EXPECT_EQ(maps(), (QStringList{"boot_camp", "bounce", "crossfire", "datacore", "gasworks",
                                   "lambda_bunker", "snark_pit", "stalkyard"}));
    // No first map is chosen for the user.
    EXPECT_EQ(ctl<QComboBox>("cmbMapList1")->currentText(), QString());
    EXPECT_EQ(status(), "Select Command Line.");
    EXPECT_EQ(ctl<QLineEdit>("txtHostName")->text(), "My valve server.");
    expectNotRecognized();
    confirmStepsThrough("optMapFile");

    chooseMod("dod");
    EXPECT_EQ(ctl<QLabel>("lblModSupport")->text(), "Recognized");
    EXPECT_EQ(modSupportColour(), fromBgr(colour::NearBlack));
    EXPECT_FALSE(ctl<QWidget>("chkClassLimit")->isHidden());
    EXPECT_FALSE(ctl<QRadioButton>("optBotFile")->isHidden());
    EXPECT_EQ(maps().size(), 25);
    EXPECT_FALSE(maps().contains("crossfire"));
    for (QRadioButton* opt : stepButtons())
        EXPECT_EQ(back(opt), fromBgr(colour::Pink)) << opt->objectName().toStdString();
    EXPECT_TRUE(ctl<QRadioButton>("optCommandLine")->isEnabled());
    for (const char* later : {"optServerFile", "optMapFile", "optBotFile"})
        EXPECT_FALSE(ctl<QRadioButton>(later)->isEnabled()) << later;
    EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());
}

// A wheel turn over the closed Mod box chooses nothing (choosing resets
// every step); with the focus on the box, the wheel and arrow keys choose.
TEST_F(ModSelectTest, TheWheelChoosesAModOnlyWithTheFocusOnTheBox) {
    openWindow();
    chooseMod("dod");
    confirmStepsThrough("optCommandLine");
    auto* box = ctl<QComboBox>("cmbModList");
    auto wheel = [box](int delta) {
        const QPointF at(box->width() / 2.0, box->height() / 2.0);
        QWheelEvent turn(at, box->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &turn);
    };
    focus(ctl<QLineEdit>("txtExec"));
    wheel(-120);
    EXPECT_EQ(w->mod(), "dod");
    EXPECT_TRUE(confirmed("optCommandLine"));
    // The wheel never takes the focus for the box.
    EXPECT_NE(box->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus);

    focus(box);
    wheel(-120);
    EXPECT_EQ(w->mod(), "valve");
    EXPECT_FALSE(confirmed("optCommandLine"));
    key(Qt::Key_Up);
    EXPECT_EQ(w->mod(), "dod");
    EXPECT_EQ(status(), "Select Command Line.");
}

// The version sets the bot frame's caption, the reaction times and the
// class lists: generic for 1.5, by nation after, the digits without one.
TEST_F(ModSelectTest, AddOnVersionSetsCaptionReactionsAndClassLists) {
    struct Row {
        const char* name;
        QByteArray history; // "" : no History.txt at all
        const char* caption;
        const char* reactions; // nullptr: left as they were
        const char* firstAxisClass;
    };
    const Row rows[] = {
        {"1.5", "Sturmbot history\r\n---\r\n1.5\r\n", "Sturmbot 1.5 Setup", "30/80", "light"},
        {"1.6", "Sturmbot history\r\n---\r\n1.6\r\n", "Sturmbot 1.6 Setup", "300/800", "kar"},
        {"other", "h\r\n-\r\n2.0 beta\r\n", "Sturmbot 2.0 beta Setup", "300/800", "kar"},
        {"empty third line", "h\r\n-\r\n\r\nmore\r\n", "Sturmbot Setup", nullptr, "-1"},
        {"two lines", "h\r\n-\r\n", "Sturmbot Setup", nullptr, "-1"},
        {"missing", "", "Sturmbot Setup", nullptr, "-1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // A fresh installation per row; the old one gives WINEPREFIX back first.
        demo.reset();
        demo = std::make_unique<DemoInstall>();
        if (row.history.isEmpty())
            ASSERT_TRUE(QFile::remove(history()));
        else
            DemoInstall::write(history(), row.history);
        openWindow();
        const QString before = reactions();
        chooseMod("dod");
        EXPECT_EQ(botCaption(), row.caption);
        EXPECT_EQ(reactions(), row.reactions ? QString::fromLatin1(row.reactions) : before);
        EXPECT_EQ(firstAxisClass(), row.firstAxisClass);
        EXPECT_FALSE(ctl<QRadioButton>("optBotFile")->isHidden());
        chooseMod("valve");
        EXPECT_EQ(botCaption(), row.caption);
        EXPECT_EQ(firstAxisClass(), row.firstAxisClass);
        w.reset();
    }
}

// Listings take names as the disk holds them: which lines are maps is
// test_numbers' table, here the real listing goes through it; a mod
// without maps leaves both lists empty; DOD is another mod than dod.
TEST_F(ModSelectTest, ListingsTakeTheNamesOnTheDisk) {
    // The interpreter's *.bsp also matches x.bsp2, as Windows does through
    // short names; that file is no map.
    for (const char* name : {"x.bsp2", "UPPER.BSP", "b.bsp", "notes.txt"})
        DemoInstall::write(demo->game("cstrike/maps/") + name, "BSP\n");
    QDir(demo->game("valve/maps")).removeRecursively();
    ASSERT_TRUE(renameCase(demo->game("dod"), demo->game("DOD")));
    openWindow();
    ASSERT_EQ(items(ctl<QComboBox>("cmbModList")), (QStringList{"cstrike", "DOD", "valve"}));
    chooseMod("DOD");
    expectNotRecognized();
    EXPECT_EQ(maps().size(), 25);
    chooseMod("cstrike");
    EXPECT_EQ(maps(), (QStringList{"b", "cs_italy", "cs_office", "de_aztec", "de_dust", "de_dust2",
                                   "de_nuke", "UPPER"}));
    chooseMod("valve");
    EXPECT_TRUE(maps().isEmpty());
    EXPECT_TRUE(ctl<QRadioButton>("optCommandLine")->isEnabled());
    EXPECT_EQ(status(), "Select Command Line.");
}

// A listing whose interpreter failed part way (a full disk, a kill) is never
// used; a slow one shows the busy pointer; a read-only leftover fails at once.
TEST_F(ModSelectTest, ListingsCutShortSlowOrReadOnly) {
    VORN_SKIP_ON_WINDOWS("cmd.exe cannot be replaced by a stand-in; the platform contract "
                         "checks cmd.exe's exit codes");
    openWindow();
    const QByteArray half =
        "printf 'de_a.bsp\\r\\nde_b.bsp\\r\\n' > \"$WINEPREFIX/drive_c/vorn.log\"\n";
    for (const char* end : {"exit 112\n", "kill -9 $$\n", "exit 1\n"}) {
        SCOPED_TRACE(end);
        demo->replaceInterpreter(half + end);
        chooseMod("valve");
        EXPECT_TRUE(maps().isEmpty());
        expectError("The map listing failed (exit code");
    }
    // The same listing from an interpreter that ends well, a second late.
    const int busy = seam.busyOn;
    demo->replaceInterpreter("sleep 1\n" + half);
    chooseMod("valve");
    EXPECT_EQ(maps(), (QStringList{"de_a", "de_b"}));
    EXPECT_EQ(seam.busyOn, busy + 1);
    EXPECT_EQ(seam.busyOff, seam.busyOn);

    QFile::setPermissions(demo->drive("vorn.log"), QFileDevice::ReadOwner);
    QElapsedTimer timer;
    timer.start();
    chooseMod("valve");
    EXPECT_LT(timer.elapsed(), kCommandTimeoutMs / 2);
    expectError("old listing");
    EXPECT_EQ(seam.busyOn, seam.busyOff);
}

TEST_F(ModSelectTest, HistoryThatIsNoOrdinaryFileIsReportedNotRead) {
#ifdef _WIN32
    GTEST_SKIP() << "pipes and endless devices are made with POSIX calls";
#else
    for (const char* kind : {"pipe", "endless"}) {
        SCOPED_TRACE(kind);
        demo.reset();
        demo = std::make_unique<DemoInstall>();
        const QByteArray path = QFile::encodeName(history());
        ASSERT_TRUE(QFile::remove(history()));
        ASSERT_EQ(kind[0] == 'p' ? ::mkfifo(path.constData(), 0644)
                                 : ::symlink("/dev/zero", path.constData()),
                  0);
        openWindow();
        chooseMod("dod");
        EXPECT_EQ(botCaption(), "Sturmbot Setup");
        expectError("History.txt cannot be read");
        EXPECT_EQ(maps().size(), 25);
        w.reset();
    }
#endif
}

} // namespace
} // namespace vorn::test
