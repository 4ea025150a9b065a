// The road a Linux user takes with the real game, whose programs are 32-bit
// Windows programs run through Wine: the demo's programs replaced by the
// 32-bit Windows stand-ins in a real Wine prefix, the window lists the mods,
// has the entity tool export a map's entities, and starts the server.
#include "batchline.h"
#include "guisupport.h"
#include "platform.h"

#include <QProcess>
#include <QStandardPaths>

namespace vorn::test {
namespace {

const QString kArgs = QStringLiteral(" -game valve +port 27015 +maxplayers 8 +lservercfgfile "
                                     "vorn_lserver.cfg +mapcyclefile vorn_mapcycle.txt "
                                     "+motdfile vorn_motd.txt +map boot_camp -heapsize 64000 "
                                     "-noipx");

// Whether a file is a PE program for 32-bit x86 (machine 0x14c).
[[maybe_unused]] bool win32Program(const QByteArray& bytes) {
    const auto at = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const qsizetype pe = at(0x3c) | at(0x3d) << 8;
    return bytes.startsWith("MZ") && bytes.mid(pe, 6) == QByteArray("PE\0\0\x4c\x01", 6);
}

class WineRoadTest : public WindowTest {
  protected:
    WineRoadTest() { autoLoad = false; }

    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the Windows build runs the programs itself";
#else
        wine_ = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine_.isEmpty())
            GTEST_SKIP() << "Wine is not installed (scripts/install-deps.sh --test installs it)";
        const QString standIns = QStringLiteral(VORN_STANDINS_WIN32);
        if (!QFileInfo::exists(standIns + "/vorn-standin-server.exe"))
            GTEST_SKIP() << "no 32-bit Windows stand-ins: i686-w64-mingw32-g++ was not found";
        WindowTest::SetUp();
        for (const auto& [from, to] :
             {std::pair{"server", "hl.exe"}, std::pair{"server", "hlds.exe"},
              std::pair{"ripent", "ripent.exe"}}) {
            const QString target = demo->game(QString::fromLatin1(to));
            QFile::remove(target);
            ASSERT_TRUE(QFile::copy(standIns + "/vorn-standin-" + from + ".exe", target));
            ASSERT_TRUE(win32Program(DemoInstall::read(target))) << to;
        }
        // Wine makes the prefix its own on the first start (no dialogs for
        // the .NET and HTML add-ons it would offer to install).
        qputenv("WINEDEBUG", "-all");
        qputenv("WINEDLLOVERRIDES", "mscoree,mshtml=");
        // Whether this machine runs 32-bit programs at all is found by
        // running one, through the interpreter as the window runs it.
        const std::string probe = "c:\\vorn_probe.bat";
        ASSERT_TRUE(platform::writeBatchFile(probe, "\"C:\\Sierra\\Half-Life\\ripent.exe\"").ok());
        platform::Process ripent;
        ASSERT_TRUE(platform::startHidden(probe, ripent).ok());
        ASSERT_TRUE(ripent.wait(180000) == platform::Process::Wait::Finished)
            << "the 32-bit entity tool did not end";
        switch (const int code = ripent.exitCode()) {
        case platform::kExitCannotRun32Bit:
            GTEST_SKIP() << "this machine cannot run 32-bit programs (Exec format error)";
        case platform::kExitNoWine32Bit:
            GTEST_SKIP() << "Wine has no 32-bit part here (wine32:i386 is not installed)";
        default:
            // The entity tool, run without a map, says how to use it.
            ASSERT_EQ(code, 1) << "the 32-bit entity tool did not run";
        }
        QProcess boot;
        boot.start(wine_, {QStringLiteral("wineboot"), QStringLiteral("--init")});
        ASSERT_TRUE(boot.waitForFinished(180000)) << "wineboot did not finish";
        ASSERT_EQ(boot.exitCode(), 0) << boot.readAllStandardError().toStdString();
        openWindow();
#endif
    }

    void TearDown() override {
        // Wine's server for the prefix outlives the programs; end it while
        // WINEPREFIX still names the prefix, before the prefix is removed.
        if (!wine_.isEmpty() && demo)
            QProcess::execute(QStringLiteral("wineserver"), {QStringLiteral("-k")});
        WindowTest::TearDown();
    }

    QString wine_;
};

TEST_F(WineRoadTest, ModsEntityExportAndServerStartWithThe32BitPrograms) {
    ASSERT_EQ(status(), "Now, select a mod");
    EXPECT_EQ(items(ctl<QComboBox>("cmbModList")), (QStringList{"cstrike", "dod", "valve"}));

    // The country of a dod map comes from the 32-bit entity tool's export.
    openStep("optMapFile");
    clickListItem("lstMapList", "dod_caen");
    click("chkClassLimit");
    EXPECT_TRUE(QFileInfo(demo->game("dod/maps/dod_caen.ent")).size() > 0);
    EXPECT_EQ(ctl<QLabel>("lblClassAllies")->text(), "British");
    click("chkClassLimit");

    chooseMod("valve");
    confirmAllSteps();
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(serverLog(), ("hl.exe" + kArgs + "\r\n").toLatin1());
}

} // namespace
} // namespace vorn::test
