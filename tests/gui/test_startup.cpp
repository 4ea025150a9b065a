// Start-up over the demo installation: the executable path and the game
// directory, the mod list, the log, the menus, and the faults start-up must
// survive (blanks in the path, a listing that never ends, an unwritable
// drive root, a scratch directory already there).
#include "guisupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cerrno>
#include <csignal>

namespace vorn::test {
namespace {

const QString kSeparator = QString(38, QLatin1Char('='));
const QColor kBlue = fromBgr(colour::Blue);
const QColor kRed = fromBgr(colour::Red);

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class StartupTest : public WindowTest {
  protected:
    QStringList mods() const { return items(w->cmbModList); }
    QByteArray log() const {
        return DemoInstall::read(demo->drive(QStringLiteral("vorn_master.log")));
    }
    void typeExec(const QString& path) { setText("txtExec", path); }
    bool dedicated(bool on) {
        auto* box = w->ctl<QAbstractButton>("chkDedicated");
        box->setChecked(on);
        return box->isChecked() == on;
    }
    // A copy of the demo's game directory somewhere else on drive c:.
    void copyInstallation(const QString& relative) {
        const QString target = demo->drive(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
        ASSERT_EQ(QProcess::execute(QStringLiteral("cp"),
                                    {QStringLiteral("-a"), demo->game(QString()), target}),
                  0);
    }
};

// ---------------------------------------------------------------------------
// The default start-up

TEST_F(StartupTest, ListsTheModsWithALiblistInNameOrderAndAsksForOne) {
    // logs has no liblist.gam; the listing sorts names as Windows does.
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(w->cmbModList->currentText(), QString());
    EXPECT_EQ(status(), "Now, select a mod");
    EXPECT_EQ(statusColour(), kBlue);
    EXPECT_TRUE(w->cmbModList->isEnabled());
    EXPECT_TRUE(w->lblMod->isEnabled());
    EXPECT_EQ(w->txtExec->text(), "C:\\Sierra\\Half-Life\\hl.exe");
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Life\\");
    EXPECT_EQ(w->st.listedGameDir, w->st.gameDir);
    EXPECT_EQ(seam.beeps, 0);
    // Nothing is open yet: every step waits, pink and disabled.
    for (QRadioButton* opt :
         {w->optCommandLine, w->optServerFile, w->optMapFile, w->optMotd, w->optBotFile}) {
        EXPECT_FALSE(opt->isEnabled()) << opt->objectName().toStdString();
        EXPECT_EQ(opt->palette().color(QPalette::Button), fromBgr(colour::Pink));
    }
    EXPECT_FALSE(w->cmdStart->isEnabled());
    EXPECT_FALSE(w->frmInfo->isVisible());
    EXPECT_FALSE(w->optBotFile->isVisible());
}

// ---------------------------------------------------------------------------
// The game directory from the path

TEST_F(StartupTest, GameDirectoryFollowsThePathOfNineOrMoreCharacters) {
    struct Row {
        const char* path;
        const char* gameDir; // expected afterwards
        bool checked;        // the existence check ran (beep on failure)
    };
    // The first row's C:\hl.exe exists, so C:\ is listed.
    DemoInstall::write(demo->drive(QStringLiteral("hl.exe")), "stand-in\n");
    const Row rows[] = {
        {"C:\\hl.exe", "C:\\", true},                       // 9: the drive root
        {"C:\\Games\\HL\\hl.exe", "C:\\Games\\HL\\", true}, // missing: still derived
        {"C:\\h.exe", "C:\\Games\\HL\\", true},             // 8: unchanged, checked
        {"C:", "C:\\Games\\HL\\", true},                    // 2: unchanged, checked
        {"hl.exe", "C:\\Games\\HL\\", false},               // no drive: ignored
        {"C:\\Sierra\\Half-Life\\hl.exe", "C:\\Sierra\\Half-Life\\", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const int beeps = seam.beeps;
        const QString before = status();
        typeExec(QString::fromLatin1(row.path));
        EXPECT_EQ(w->st.gameDir, QString::fromLatin1(row.gameDir));
        if (!row.checked) {
            EXPECT_EQ(seam.beeps, beeps);
            EXPECT_EQ(status(), before);
        }
    }
    // C:\ holds no mod; the last row listed the demo again.
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
}

TEST_F(StartupTest, DriveRootInstallationWithoutModsSaysSo) {
    DemoInstall::write(demo->drive(QStringLiteral("hl.exe")), "stand-in\n");
    typeExec(QStringLiteral("C:\\hl.exe"));
    EXPECT_EQ(w->st.gameDir, "C:\\");
    EXPECT_TRUE(mods().isEmpty());
    EXPECT_EQ(status(), "No mods found!");
    EXPECT_EQ(statusColour(), kRed);
}

TEST_F(StartupTest, ShortPathIsStillCheckedAndFails) {
    typeExec(QStringLiteral("C:\\h.exe"));
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Life\\");
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(status(), "Error: Correct Exec path!");
    EXPECT_EQ(w->st.execPathValid, 0);
}

TEST_F(StartupTest, ExecutableStoredInCapitalsFailsTheExactCheck) {
    QDir().mkpath(demo->drive(QStringLiteral("Games/HL/valve")));
    DemoInstall::write(demo->drive(QStringLiteral("Games/HL/HL.EXE")), "stand-in\n");
    DemoInstall::write(demo->drive(QStringLiteral("Games/HL/valve/liblist.gam")), "game\r\n");
    // The command line panel was open: the error hides it.
    chooseMod(QStringLiteral("valve"));
    click("optCommandLine");
    ASSERT_TRUE(w->ctl<QWidget>("frmCommandLine")->isVisible());

    typeExec(QStringLiteral("C:\\Games\\HL\\hl.exe"));
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(status(), "Error: Correct Exec path!");
    EXPECT_EQ(statusColour(), kRed);
    EXPECT_FALSE(w->cmbModList->isEnabled());
    EXPECT_FALSE(w->lblMod->isEnabled());
    EXPECT_FALSE(w->ctl<QWidget>("frmCommandLine")->isVisible());
    // Nothing else is reset: the old list and the chosen mod stay.
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(w->mod(), "valve");
    EXPECT_EQ(w->st.listedGameDir, "C:\\Sierra\\Half-Life\\");
}

TEST_F(StartupTest, DedicatedExpectsTheDedicatedServer) {
    ASSERT_TRUE(dedicated(true));
    // The check box puts the dedicated server's path into the box.
    EXPECT_EQ(w->txtExec->text(), "C:\\Sierra\\Half-Life\\hlds.exe");
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Life\\");
    EXPECT_EQ(seam.beeps, 0);
    EXPECT_TRUE(w->cmbModList->isEnabled());

    // hl.exe exists, but a dedicated server wants hlds.exe; the game
    // directory is the text less 8 characters.
    typeExec(QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe"));
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Lif"); // less "hlds.exe"
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(status(), "Error: Correct Exec path!");
    EXPECT_FALSE(w->cmbModList->isEnabled());

    ASSERT_TRUE(dedicated(false));
    typeExec(QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe"));
    EXPECT_TRUE(w->cmbModList->isEnabled());
    EXPECT_EQ(w->st.gameDir, "C:\\Sierra\\Half-Life\\");
}

TEST_F(StartupTest, ReturningToTheListedDirectoryKeepsModAndSteps) {
    chooseMod(QStringLiteral("valve"));
    confirmSteps(1);
    ASSERT_EQ(w->st.commandLineSaved, 1);
    const QString statusBefore = status();

    typeExec(QStringLiteral("C:\\Sierra\\Half-Life\\hlx.exe"));
    ASSERT_EQ(status(), "Error: Correct Exec path!");
    typeExec(QStringLiteral("C:\\Sierra\\Half-Life\\hl.exe"));

    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(w->mod(), "valve");
    EXPECT_EQ(w->st.commandLineSaved, 1);
    EXPECT_EQ(w->optCommandLine->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
    EXPECT_TRUE(w->optServerFile->isEnabled());
    EXPECT_TRUE(w->cmbModList->isEnabled());
    // The error stays until another reaction writes the status.
    EXPECT_EQ(status(), "Error: Correct Exec path!");
    EXPECT_NE(statusBefore, status());
}

// ---------------------------------------------------------------------------
// The log

TEST_F(StartupTest, EveryStartUpAppendsItsHeaderToTheLog) {
    const QByteArray header = kSeparator.toLatin1() + "\r\nStarting up VORN...\r\n";
    const QByteArray first = log();
    EXPECT_TRUE(first.startsWith(header)) << first.toStdString();
    EXPECT_EQ(first.count(header), 1);

    w.reset();
    openWindow();
    const QByteArray both = log();
    EXPECT_TRUE(both.startsWith(first)) << "the first run's lines come first";
    EXPECT_EQ(both.count(header), 2);
    EXPECT_EQ(both.mid(first.size(), header.size()), header);
    EXPECT_TRUE(both.endsWith("\r\n"));
}

// ---------------------------------------------------------------------------
// Menus

TEST_F(StartupTest, ExitAnsweredNoChangesNothing) {
    chooseMod(QStringLiteral("valve"));
    confirmSteps(1);
    struct Snapshot {
        QString status, exec, mod;
        QStringList mods;
        Flag flags[6];
        bool frames[3];
        bool operator==(const Snapshot& o) const {
            return status == o.status && exec == o.exec && mod == o.mod && mods == o.mods &&
                   std::equal(flags, flags + 6, o.flags) &&
                   std::equal(frames, frames + 3, o.frames);
        }
    };
    auto snap = [&] {
        return Snapshot{status(),
                        w->txtExec->text(),
                        w->mod(),
                        mods(),
                        {w->st.commandLineSaved, w->st.serverCfgSaved, w->st.mapCycleSaved,
                         w->st.motdSaved, w->st.botCfgSaved, w->st.modSelected},
                        {w->frmInfo->isVisible(), w->ctl<QWidget>("frmCommandLine")->isVisible(),
                         w->optServerFile->isEnabled()}};
    };
    const Snapshot before = snap();

    seam.answers.push_back(kAnswerNo);
    w->mnuExit->trigger();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "VORN Allert!");
    EXPECT_EQ(seam.boxes[0].text, "Are you sure you want to exit?");
    EXPECT_EQ(seam.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(seam.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(seam.ends, 0);
    EXPECT_FALSE(w->programEnded);
    EXPECT_EQ(w->st.msgAnswer, kAnswerNo);
    EXPECT_TRUE(snap() == before);

    seam.answers.push_back(kAnswerYes);
    w->mnuExit->trigger();
    EXPECT_EQ(seam.ends, 1);
    EXPECT_TRUE(w->programEnded);
}

TEST_F(StartupTest, AboutNamesTheProgramAndItsVersion) {
    const QString before = status();
    w->mnuAbout->trigger();
    ASSERT_EQ(seam.boxes.size(), 1u);
    const auto& box = seam.boxes[0];
    EXPECT_EQ(box.title, "VORN information");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_TRUE(box.text.contains("Vornwick"));
    EXPECT_TRUE(box.text.contains("v0.1.0"));
    EXPECT_EQ(w->st.msgAnswer, kAnswerOk);
    EXPECT_EQ(status(), before);
    EXPECT_EQ(seam.ends, 0);
}

// ---------------------------------------------------------------------------
// Faults start-up must survive

TEST_F(StartupTest, GamePathWithBlanksIsListed) {
    copyInstallation(QStringLiteral("Program Files/HL"));
    typeExec(QStringLiteral("C:\\Program Files\\HL\\hl.exe"));
    EXPECT_EQ(w->st.gameDir, "C:\\Program Files\\HL\\");
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(status(), "Now, select a mod");
    // The maps of a mod there are listed too.
    chooseMod(QStringLiteral("valve"));
    EXPECT_EQ(w->ctl<QListWidget>("lstMapList")->count(), 8);
    EXPECT_EQ(status(), "Select Command Line.");
}

// A stand-in interpreter that never ends; it notes its process id so the
// test can see that it was ended.
const QByteArray kHangingInterpreter =
    "echo $$ > \"$WINEPREFIX/drive_c/hang.pid\"\nexec sleep 100000\n";

bool processGone(const QString& pidFile) {
    const pid_t pid = DemoInstall::read(pidFile).trimmed().toInt();
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

TEST_F(StartupTest, ModListingThatNeverEndsIsReportedAndAbandoned) {
    copyInstallation(QStringLiteral("Games/HL"));
    demo->replaceInterpreter(kHangingInterpreter);
    QElapsedTimer timer;
    timer.start();
    typeExec(QStringLiteral("C:\\Games\\HL\\hl.exe"));
    const qint64 waited = timer.elapsed();
    EXPECT_GE(waited, kCommandTimeoutMs - 500);
    EXPECT_LT(waited, kCommandTimeoutMs + 5000);
    EXPECT_TRUE(status().startsWith("Error:")) << status().toStdString();
    EXPECT_TRUE(status().contains("mod listing")) << status().toStdString();
    EXPECT_TRUE(status().contains("did not answer")) << status().toStdString();
    EXPECT_EQ(statusColour(), kRed);
    EXPECT_TRUE(statusFits());
    EXPECT_TRUE(mods().isEmpty());
    EXPECT_TRUE(processGone(demo->drive(QStringLiteral("hang.pid"))));

    // Once the interpreter answers again, the same path lists the mods.
    demo->restoreInterpreter();
    typeExec(QStringLiteral("C:\\Games\\HL\\hlx.exe"));
    typeExec(QStringLiteral("C:\\Games\\HL\\hl.exe"));
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(status(), "Now, select a mod");
}

TEST_F(StartupTest, MapListingThatNeverEndsIsReportedAndAbandoned) {
    demo->replaceInterpreter(kHangingInterpreter);
    QElapsedTimer timer;
    timer.start();
    chooseMod(QStringLiteral("valve"));
    EXPECT_LT(timer.elapsed(), kCommandTimeoutMs + 5000);
    EXPECT_TRUE(status().contains("map listing")) << status().toStdString();
    EXPECT_TRUE(status().contains("did not answer")) << status().toStdString();
    EXPECT_EQ(statusColour(), kRed);
    EXPECT_EQ(w->ctl<QListWidget>("lstMapList")->count(), 0);
    EXPECT_TRUE(processGone(demo->drive(QStringLiteral("hang.pid"))));
}

class UnusualDriveTest : public StartupTest {
  protected:
    void SetUp() override {
        autoLoad = false;
        StartupTest::SetUp();
    }
};

TEST_F(UnusualDriveTest, ModListIsSortedWithoutRegardToLetterCase) {
    // Upper-case names sort among the others, not before them.
    for (const char* dir : {"Zeta", "alpha", "Beta"})
        DemoInstall::write(demo->game(QString::fromLatin1(dir) + "/liblist.gam"), "game\r\n");
    openWindow();
    EXPECT_EQ(mods(), (QStringList{"alpha", "Beta", "cstrike", "dod", "valve", "Zeta"}));
}

TEST_F(UnusualDriveTest, UnwritableDriveRootMovesTheWorkingFiles) {
    // Even root cannot open a directory as a file: with a working file's
    // name taken by a directory, the root is unusable for the working files.
    const QStringList rows[] = {
        {"vorn_master.log", "vorn.bat", "vorn.log"},
        {"vorn.bat"},
        {"vorn.log"},
    };
    for (const QStringList& taken : rows) {
        SCOPED_TRACE(taken.join(" ").toStdString());
        w.reset();
        demo.reset();
        demo = std::make_unique<DemoInstall>();
        for (const QString& name : taken)
            ASSERT_TRUE(QDir().mkpath(demo->drive(name)));
        openWindow();

        EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
        EXPECT_EQ(status(), "Now, select a mod");
        EXPECT_TRUE(w->st.masterLogPath.startsWith("c:\\users\\", Qt::CaseInsensitive))
            << w->st.masterLogPath.toStdString();
        EXPECT_TRUE(w->st.batchPath.endsWith("\\Temp\\vorn.bat")) << w->st.batchPath.toStdString();
        EXPECT_TRUE(w->st.tempListPath.endsWith("\\Temp\\vorn.log"));

        // The per-user log holds the header and says once where the files
        // are.
        const QStringList users =
            QDir(demo->drive(QStringLiteral("users"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        ASSERT_EQ(users.size(), 1);
        const QByteArray text = DemoInstall::read(demo->drive(
            QStringLiteral("users/") + users[0] + QStringLiteral("/Temp/vorn_master.log")));
        EXPECT_TRUE(text.startsWith(kSeparator.toLatin1() + "\r\nStarting up VORN...\r\n"));
        EXPECT_EQ(text.count("cannot be written"), 1) << text.toStdString();

        // The maps are listed through the moved files too.
        chooseMod(QStringLiteral("dod"));
        EXPECT_EQ(w->ctl<QListWidget>("lstMapList")->count(), 25);
        EXPECT_EQ(status(), "Select Command Line.");
    }
}

TEST_F(UnusualDriveTest, ScratchDirectoryAlreadyPresentDoesNotMatter) {
    ASSERT_TRUE(QDir().mkpath(demo->drive(QStringLiteral("vorntmp/left-over"))));
    openWindow();
    EXPECT_EQ(mods(), (QStringList{"cstrike", "dod", "valve"}));
    EXPECT_EQ(status(), "Now, select a mod");
    chooseMod(QStringLiteral("cstrike"));
    EXPECT_EQ(w->ctl<QListWidget>("lstMapList")->count(), 6);
    EXPECT_TRUE(QFileInfo(demo->drive(QStringLiteral("vorntmp/left-over"))).isDir());
}

} // namespace
} // namespace vorn::test
