// The map cycle panel: adding, clearing, saving, and the bot panel's map list.
#include "clipping.h"
#include "guisupport.h"

#include <QScrollBar>

namespace vorn::test {
namespace {

class MapCycleTest : public WindowTest {
  protected:
    QStringList botMaps() const { return items(ctl<QComboBox>("cmbSturmbotMapList")); }
    QByteArray cycleFile(const QString& mod = "dod") const {
        return gameFile(mod + "/vorn_mapcycle.txt");
    }
};

// Maps come by Add or a double click; choosing a mod again empties the cycle.
TEST_F(MapCycleTest, CyclesAreBuiltSavedAndOfferedToTheBots) {
    openStep("optMapFile");
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "vorn_mapcycle.txt");
    EXPECT_EQ(status(), "Please select maps for the server.");
    EXPECT_FALSE(ctl<QWidget>("chkClassLimit")->isEnabled());
    const QStringList six{"dod_anzio", "dod_caen",    "dod_flash",
                          "dod_kalt",  "dod_charlie", "dod_glider"};
    for (int n = 1; n <= six.size(); ++n) {
        if (n % 2)
            clickListItem("lstMapList", six.at(n - 1), true);
        else
            addMaps({six.at(n - 1)});
        EXPECT_EQ(status(), n < 5 ? "C'mon, add some more maps..." : "Map cycle ok?") << n;
        EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
        EXPECT_EQ(viewer(), six.mid(0, n).join("\r\n"));
    }
    EXPECT_TRUE(ctl<QWidget>("chkClassLimit")->isEnabled());
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), (six.join("\r\n") + "\r\n").toLatin1());
    EXPECT_TRUE(confirmed("optMapFile"));
    EXPECT_TRUE(ctl<QWidget>("optMotd")->isEnabled());
    EXPECT_EQ(status(), "Select Welcome Message");

    openStep("optMapFile");
    EXPECT_EQ(viewer(), "");
    click("cmdAddMap");
    EXPECT_EQ(viewer(), "");
    EXPECT_EQ(status(), "Please select maps for the server.");

    // Saved cycles offered to the bots, of maps added after the previous
    // row's or after Clear: none (one CR LF), a duplicate, one more, one.
    const std::pair<QStringList, bool> rows[] = {{{}, false},
                                                 {{"dod_anzio", "dod_caen", "dod_anzio"}, false},
                                                 {{"dod_flash"}, false},
                                                 {{"dod_kalt"}, true}};
    QStringList cycle;
    for (const auto& [added, clearFirst] : rows) {
        SCOPED_TRACE(added.join(' ').toStdString());
        if (clearFirst) {
            click("cmdClearMapList");
            EXPECT_EQ(viewer(), "");
            EXPECT_FALSE(ctl<QWidget>("cmdMapOK")->isEnabled());
            EXPECT_EQ(status(), "Please select maps for the server.");
            cycle.clear();
        }
        addMaps(added);
        cycle += added;
        click("cmdMapOK");
        EXPECT_EQ(cycleFile(), (cycle.join("\r\n") + "\r\n").toLatin1());
        EXPECT_EQ(botMaps(), QStringList{""} + cycle);
        // Offered, not chosen: no roster map is picked for the user.
        EXPECT_EQ(ctl<QComboBox>("cmbSturmbotMapList")->currentText(), "");
    }
    // Well over 99 maps, the preview scrolled to the map added last.
    const QStringList listed = items(ctl<QListWidget>("lstMapList"));
    cycle.clear();
    for (int n = 0; n < 130; ++n)
        cycle << listed[n % listed.size()];
    click("cmdClearMapList");
    addMaps(cycle);
    auto* view = ctl<QPlainTextEdit>("txtFileContents");
    ASSERT_GT(view->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(lastLineInView(view));
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), (cycle.join("\r\n") + "\r\n").toLatin1());
    EXPECT_EQ(botMaps(), QStringList{""} + cycle);
    // Another mod's cycle leaves the bot list alone.
    openStep("optMapFile", "valve");
    addMaps({"crossfire", "datacore"});
    click("cmdMapOK");
    EXPECT_EQ(cycleFile("valve"), "crossfire\r\ndatacore\r\n");
    EXPECT_EQ(botMaps(), QStringList{""} + cycle);
}

TEST_F(MapCycleTest, ASaveThatCannotBeWrittenConfirmsNothing) {
    const QString file = demo->game("dod/vorn_mapcycle.txt");
    DemoInstall::write(file, "old_map\r\n");
    if (!makeUnreplaceable(file))
        GTEST_SKIP() << "no way to stop root from replacing a file here (chattr missing)";
    openStep("optMapFile");
    addMaps({"dod_anzio", "dod_caen"});
    click("cmdMapOK");
    expectSaveRefused("vorn_mapcycle.txt");
    EXPECT_FALSE(confirmed("optMapFile"));
    EXPECT_FALSE(ctl<QWidget>("optMotd")->isEnabled());
    EXPECT_EQ(cycleFile(), "old_map\r\n");
    EXPECT_TRUE(botMaps().isEmpty());
}

} // namespace
} // namespace vorn::test
