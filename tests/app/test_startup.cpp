// Start-up over the demo installation: the executable path and the game
// directory, the mod list, the log, the menus, and the faults it survives.
#include "guisupport.h"

#include <QElapsedTimer>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

namespace vorn::test {
namespace {

const QByteArray kHeader = QByteArray(38, '=') + "\r\nStarting up VORN...\r\n";
const QStringList kDemoMods{"cstrike", "dod", "valve"};
const QColor kRed = fromBgr(colour::Red);

class StartupTest : public WindowTest {
  protected:
    QStringList mods() const { return items(ctl<QComboBox>("cmbModList")); }
    QByteArray log() const { return DemoInstall::read(demo->drive("vorn_master.log")); }
    void typeExec(const QString& path) { setText("txtExec", path); }
    int maps() const { return ctl<QListWidget>("lstMapList")->count(); }
    // The demo's mods are listed as ever, and so are the maps of `mod`.
    void expectListed(const QString& mod, int mapCount) {
        EXPECT_EQ(mods(), kDemoMods);
        EXPECT_EQ(status(), "Now, select a mod");
        chooseMod(mod);
        EXPECT_EQ(maps(), mapCount);
        EXPECT_EQ(status(), "Select Command Line.");
    }
    // A copy of the demo's game directory somewhere else on drive c:.
    void copyInstallation(const QString& relative) {
        const QString target = demo->drive(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
        std::error_code ec;
        std::filesystem::copy(demo->drive("Sierra/Half-Life").toStdString(), target.toStdString(),
                              std::filesystem::copy_options::recursive, ec);
        ASSERT_FALSE(ec) << ec.message();
    }
};

TEST_F(StartupTest, ListsTheModsWithALiblistInNameOrderAndAsksForOne) {
    // logs has no liblist.gam; the listing sorts names as Windows does.
    EXPECT_EQ(mods(), kDemoMods);
    EXPECT_EQ(ctl<QComboBox>("cmbModList")->currentText(), QString());
    EXPECT_EQ(status(), "Now, select a mod");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_EQ(ctl<QLineEdit>("txtExec")->text(), "C:\\Sierra\\Half-Life\\hl.exe");
    EXPECT_EQ(seam.beeps, 0);
    // Nothing is open yet: every step waits, pink and disabled.
    for (QRadioButton* opt : stepButtons(false)) {
        EXPECT_FALSE(opt->isEnabled()) << opt->objectName().toStdString();
        EXPECT_EQ(back(opt), fromBgr(colour::Pink));
    }
    EXPECT_FALSE(ctl<QPushButton>("cmdStart")->isEnabled());

    // Every start-up appends its header to the log.
    const QByteArray first = log();
    EXPECT_TRUE(first.startsWith(kHeader)) << first.toStdString();
    EXPECT_EQ(first.count(kHeader), 1);
    w.reset();
    openWindow();
    const QByteArray both = log();
    EXPECT_EQ(both.count(kHeader), 2);
    EXPECT_EQ(both.mid(first.size(), kHeader.size()), kHeader) << "appended to the first run's";
    EXPECT_TRUE(both.endsWith("\r\n"));
}

// The game directory is the path less the server's name as typed, either
// name in any case; another name is cut by the length of the expected one.
// A path under nine characters or without a drive leaves it as it was.
TEST_F(StartupTest, GameDirectoryIsThePathLessTheServerProgram) {
    struct Row {
        bool dedicated;
        const char* path;
        const char* gameDir; // expected afterwards
        const char* status;  // nullptr: unchanged
    };
    const char* const wrong = "Error: Correct Exec path!";
    // The first row's C:\hl.exe exists, so C:\ is listed; C:\Games\HL holds
    // a mod, but its server is stored in capitals.
    DemoInstall::write(demo->drive("hl.exe"), "stand-in\n");
    DemoInstall::write(demo->drive("Games/HL/HL.EXE"), "stand-in\n");
    DemoInstall::write(demo->drive("Games/HL/valve/liblist.gam"), "game\r\n");
    const Row rows[] = {
        {false, "C:\\hl.exe", "C:\\", "No mods found!"},            // 9: the drive root
        {false, "C:\\Games\\HL\\hl.exe", "C:\\Games\\HL\\", wrong}, // HL.EXE: still derived
        {false, "C:\\h.exe", "C:\\Games\\HL\\", wrong},             // 8: unchanged, checked
        {false, "C:", "C:\\Games\\HL\\", wrong},                    // 2: unchanged, checked
        {false, "hl.exe", "C:\\Games\\HL\\", nullptr},              // no drive: ignored
        {false, "C:\\Games\\HL\\hlds.exe", "C:\\Games\\HL\\", wrong},
        {false, "C:\\Games\\HL\\HLDS.EXE", "C:\\Games\\HL\\", wrong},
        {false, "C:\\Games\\HL\\xhlds.exe", "C:\\Games\\HL\\xhl", wrong}, // less 6
        {false, "C:\\Games\\HL\\ahl.exe", "C:\\Games\\HL\\a", wrong},
        {false, "C:\\Sierra\\Half-Life\\hl.exe", "C:\\Sierra\\Half-Life\\", "Now, select a mod"},
        // Valve chosen, the command line's panel open, Dedicated ticked: hl.exe
        // is there, but a dedicated server wants hlds.exe.
        {true, "C:\\Sierra\\Half-Life\\hl.exe", "C:\\Sierra\\Half-Life\\", wrong},
        {true, "C:\\Games\\HL\\hlds.exe", "C:\\Games\\HL\\", wrong},
        {true, "C:\\Games\\HL\\hl.exe", "C:\\Games\\HL\\", wrong},
        {true, "C:\\Games\\HL\\server.exe", "C:\\Games\\HL\\se", wrong}, // less 8
        {true, "C:/Games/HL/hl.exe", "C:/Games/HL/", wrong},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        if (row.dedicated && !ctl<QCheckBox>("chkDedicated")->isChecked()) {
            typeExec("C:\\Sierra\\Half-Life\\hl.exe");
            chooseMod("valve");
            click("optCommandLine");
            click("chkDedicated");
        }
        const int beeps = seam.beeps;
        const QString before = status();
        typeExec(row.path);
        EXPECT_EQ(w->gameDir(), row.gameDir);
        EXPECT_EQ(status(), row.status ? QString::fromLatin1(row.status) : before);
        EXPECT_EQ(seam.beeps - beeps, row.status == wrong ? 1 : 0);
        if (row.status == wrong) {
            EXPECT_EQ(statusColour(), kRed);
            EXPECT_FALSE(ctl<QComboBox>("cmbModList")->isEnabled());
            EXPECT_FALSE(ctl<QWidget>("frmCommandLine")->isVisible());
        }
    }
    // A wrong path resets nothing else: the list and the chosen mod stay.
    EXPECT_EQ(mods(), kDemoMods);
    EXPECT_EQ(w->mod(), "valve");
}

TEST_F(StartupTest, ADriveThatIsNotMappedSaysWhereDrivesComeFrom) {
    VORN_SKIP_ON_WINDOWS("drives are Wine's only off Windows");
    const auto unmapped = [](const char* drive) {
        return QStringLiteral("Error: Correct Exec path! Drive %1: is not mapped: set WINEPREFIX "
                              "to the Wine prefix that holds the game.")
            .arg(QLatin1String(drive));
    };
    // A drive the prefix does not have.
    typeExec("q:\\Games\\HL\\hl.exe");
    EXPECT_EQ(status(), unmapped("Q"));
    EXPECT_TRUE(statusFits());
    // No prefix at all, as with no ~/.wine.
    const QByteArray prefix = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", prefix + "/missing");
    typeExec("C:\\Sierra\\Half-Life\\hl.exe");
    const QString noPrefix = status();
    qputenv("WINEPREFIX", prefix);
    EXPECT_EQ(noPrefix, unmapped("C"));
    EXPECT_EQ(seam.beeps, 2);
    EXPECT_FALSE(ctl<QComboBox>("cmbModList")->isEnabled());
}

TEST_F(StartupTest, ReturningToTheListedDirectoryKeepsModAndSteps) {
    chooseMod("valve");
    confirmStepsThrough("optCommandLine");
    typeExec("C:\\Sierra\\Half-Life\\hlx.exe");
    typeExec("C:\\Sierra\\Half-Life\\hl.exe");
    EXPECT_EQ(w->mod(), "valve");
    EXPECT_EQ(back(ctl<QRadioButton>("optCommandLine")), fromBgr(colour::LightGreen));
    EXPECT_TRUE(ctl<QRadioButton>("optServerFile")->isEnabled());
    EXPECT_TRUE(ctl<QComboBox>("cmbModList")->isEnabled());
    // The error stays until the map listing writes the status.
    EXPECT_EQ(status(), "Error: Correct Exec path!");
    chooseMod("valve");
    EXPECT_EQ(status(), "Select Command Line.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
}

TEST_F(StartupTest, ExitAnsweredNoChangesNothing) {
    chooseMod("valve");
    confirmStepsThrough("optCommandLine");
    const auto snap = [&] {
        QStringList s{status(), ctl<QLineEdit>("txtExec")->text(), w->mod(), mods().join(','),
                      viewer()};
        for (const char* option : {"optCommandLine", "optServerFile", "optMapFile"})
            s << QString::number(confirmed(option)) +
                     QString::number(ctl<QWidget>(option)->isEnabled());
        for (const char* frame : {"frmInfo", "frmCommandLine"})
            s << QString::number(ctl<QWidget>(frame)->isVisible());
        return s;
    };
    const QStringList before = snap();

    seam.answers.push_back(kAnswerNo);
    ctl<QAction>("mnuExit")->trigger();
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
    EXPECT_EQ(seam.boxes[0].text, "Are you sure you want to exit?");
    EXPECT_EQ(seam.ends, 0);
    EXPECT_EQ(snap(), before);

    seam.answers.push_back(kAnswerYes);
    ctl<QAction>("mnuExit")->trigger();
    EXPECT_EQ(seam.ends, 1);
    // Ended: the window takes no more input.
    EXPECT_FALSE(ctl<QWidget>("cmbModList")->isEnabled());
}

TEST_F(StartupTest, GamePathWithBlanksIsListed) {
    copyInstallation("Program Files/HL");
    typeExec("C:\\Program Files\\HL\\hl.exe");
    EXPECT_EQ(w->gameDir(), "C:\\Program Files\\HL\\");
    expectListed("valve", 8);
}

bool processGone(const QString& pidFile) {
#ifdef _WIN32
    (void)pidFile;
    return true;
#else
    const pid_t pid = DemoInstall::read(pidFile).trimmed().toInt();
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
#endif
}

TEST_F(StartupTest, ListingsThatNeverEndAreReportedAndAbandoned) {
    VORN_SKIP_ON_WINDOWS("cmd.exe cannot be replaced by a stand-in; the platform contract "
                         "tests the time limit with the real cmd.exe");
    // It never ends; it notes its process id to be seen ended.
    demo->replaceInterpreter("echo $$ > \"$WINEPREFIX/drive_c/hang.pid\"\nexec sleep 100000\n");
    chooseMod("valve");
    expectError("map listing did not answer");
    EXPECT_EQ(maps(), 0);
    EXPECT_TRUE(processGone(demo->drive("hang.pid")));

    copyInstallation("Games/HL");
    QElapsedTimer timer;
    timer.start();
    typeExec("C:\\Games\\HL\\hl.exe");
    EXPECT_GE(timer.elapsed(), kCommandTimeoutMs - 500);
    EXPECT_LT(timer.elapsed(), kCommandTimeoutMs + 5000);
    expectError("mod listing did not answer");
    EXPECT_TRUE(mods().isEmpty());
    EXPECT_TRUE(processGone(demo->drive("hang.pid")));

    // Once the interpreter answers again, the same path lists the mods.
    demo->restoreInterpreter();
    typeExec("C:\\Games\\HL\\hlx.exe");
    typeExec("C:\\Games\\HL\\hl.exe");
    EXPECT_EQ(mods(), kDemoMods);
    EXPECT_EQ(status(), "Now, select a mod");
}

struct UnusualDriveTest : StartupTest {
    UnusualDriveTest() { autoLoad = false; }
};

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
        // The per-user log holds the header and says once where the files are.
        const QByteArray text =
            DemoInstall::read(DemoInstall::userTemp(QStringLiteral("vorn_master.log")));
        EXPECT_TRUE(text.startsWith(kHeader));
        EXPECT_EQ(text.count("cannot be written"), 1) << text.toStdString();
        // The maps are listed through the moved files too.
        expectListed("dod", 25);
        for (const char* name : {"vorn.bat", "vorn.log"})
            EXPECT_TRUE(QFileInfo::exists(DemoInstall::userTemp(name))) << name;
    }
}

// After one elevated run a standard user may find an old log in c:\ that
// is still writable, though nothing new can be made there.
TEST_F(UnusualDriveTest, DriveRootThatTakesNoNewFilesMovesTheWorkingFiles) {
    DemoInstall::write(demo->drive("vorn_master.log"), "old run\r\n");
    // The per-user folder is made before the root takes no more.
    std::string userDir;
    ASSERT_TRUE(platform::userTempDir(userDir).ok());
    if (!makeUnreplaceable(demo->drive(QString())))
        GTEST_SKIP() << "no way to stop root from making files here (chattr missing, or "
                        "Windows, where a read-only folder still takes new files)";
    openWindow();
    expectListed("dod", 25);
    EXPECT_TRUE(QFileInfo::exists(DemoInstall::userTemp("vorn.bat")));
    EXPECT_EQ(log(), "old run\r\n");
}

TEST_F(UnusualDriveTest, ScratchDirectoryAlreadyPresentDoesNotMatter) {
    ASSERT_TRUE(QDir().mkpath(demo->drive(QStringLiteral("vorntmp/left-over"))));
    openWindow();
    expectListed("cstrike", 6);
    EXPECT_TRUE(QFileInfo(demo->drive(QStringLiteral("vorntmp/left-over"))).isDir());
}

} // namespace
} // namespace vorn::test
