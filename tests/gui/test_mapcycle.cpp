// The map cycle panel over the demo installation: adding, clearing and
// saving maps, and what saving does to the bot panel's map list.
#include "guisupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <unistd.h>

namespace vorn::test {
namespace {

const QStringList kFiveMaps{"dod_anzio", "dod_caen", "dod_flash", "dod_kalt", "dod_charlie"};

class MapCycleTest : public WindowTest {
  protected:
    void TearDown() override {
        for (const QString& path : immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
        WindowTest::TearDown();
    }

    // The panel as a user reaches it once the first two steps are behind
    // them; those steps belong to other panels, so the option is simply
    // made available here.
    void openMapCycle(const QString& mod = QStringLiteral("dod")) {
        chooseMod(mod);
        w->optMapFile->setEnabled(true);
        click("optMapFile");
    }

    void addMaps(const QStringList& maps) {
        for (const QString& map : maps) {
            clickListItem("lstMapList", map);
            click("cmdAddMap");
        }
    }

    QString viewerText() const { return w->txtFileContents->toPlainText(); }
    QStringList botMaps() const {
        auto* box = w->ctl<QComboBox>("cmbSturmbotMapList");
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }
    QByteArray cycleFile(const QString& mod = QStringLiteral("dod")) const {
        return DemoInstall::read(demo->game(mod + QStringLiteral("/vorn_mapcycle.txt")));
    }

    // Make a file impossible to replace, for root too: an immutable file
    // cannot be renamed over. Without chattr, only a non-root user can be
    // stopped (by a read-only directory). Returns false when neither works.
    bool makeUnreplaceable(const QString& hostPath) {
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), hostPath}) == 0) {
            immutable_ << hostPath;
            return true;
        }
        if (geteuid() != 0) {
            QFile::setPermissions(QFileInfo(hostPath).absolutePath(),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            return true;
        }
        return false;
    }

    QStringList immutable_;
};

TEST_F(MapCycleTest, OpeningThePanelAsksForMapsAndPreviewsTheCycle) {
    openMapCycle();
    EXPECT_TRUE(w->ctl<QWidget>("frmMapSetup")->isVisible());
    EXPECT_FALSE(w->ctl<QWidget>("frmClassLimit")->isVisible());
    EXPECT_FALSE(w->ctl<QWidget>("chkClassLimit")->isEnabled());
    EXPECT_EQ(w->frmInfo->title(), "vorn_mapcycle.txt");
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_EQ(status(), "Please select maps for the server.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    for (const char* name : {"lstMapList", "cmdAddMap", "cmdClearMapList", "cmdMapOK"})
        EXPECT_TRUE(w->ctl<QWidget>(name)->isEnabled()) << name;
}

TEST_F(MapCycleTest, FiveMapsMakeACycleAndMoreKeepItOk) {
    openMapCycle();
    const QStringList six = kFiveMaps + QStringList{"dod_glider"};
    for (int n = 1; n <= six.size(); ++n) {
        addMaps({six.at(n - 1)});
        EXPECT_EQ(w->st.mapCycleCount, n);
        EXPECT_EQ(status(), n < 5 ? "C'mon, add some more maps..." : "Map cycle ok?") << n;
        EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
        EXPECT_EQ(viewerText(), six.mid(0, n).join('\n'));
    }
    EXPECT_EQ(w->st.mapCycleText, six.join("\r\n"));
    EXPECT_TRUE(w->ctl<QWidget>("cmdMapOK")->isEnabled());
}

TEST_F(MapCycleTest, SaveWritesOneLinePerMapAndConfirmsTheStep) {
    openMapCycle();
    addMaps({"dod_anzio", "dod_caen"});
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("dod_anzio\r\ndod_caen\r\n"));
    EXPECT_EQ(w->st.mapCycleSaved, 1);
    EXPECT_TRUE(w->optMotd->isEnabled());
    EXPECT_EQ(w->optMapFile->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
    EXPECT_EQ(status(), "Select Welcome Message");
    // The panel stays usable; saving again rewrites the file.
    addMaps({"dod_flash"});
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("dod_anzio\r\ndod_caen\r\ndod_flash\r\n"));
}

TEST_F(MapCycleTest, AnEmptyCycleIsSavedAsOneLineEnd) {
    openMapCycle();
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("\r\n"));
}

TEST_F(MapCycleTest, AMapAddedTwiceStandsTwiceInTheFileAndTheBotList) {
    openMapCycle();
    addMaps({"dod_anzio", "dod_caen", "dod_anzio"});
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("dod_anzio\r\ndod_caen\r\ndod_anzio\r\n"));
    EXPECT_EQ(botMaps(), (QStringList{"", "dod_anzio", "dod_caen", "dod_anzio"}));
    // Offered, not chosen: no roster map is picked for the user.
    EXPECT_EQ(w->ctl<QComboBox>("cmbSturmbotMapList")->currentText(), "");
}

TEST_F(MapCycleTest, ClearEmptiesThePreviewAndTheNextMapStartsTheText) {
    openMapCycle();
    addMaps({"dod_anzio", "dod_caen"});
    click("cmdClearMapList");
    EXPECT_EQ(viewerText(), "");
    EXPECT_FALSE(w->ctl<QWidget>("cmdMapOK")->isEnabled());
    EXPECT_EQ(status(), "Please select maps for the server.");
    EXPECT_EQ(w->st.mapCycleCount, 0);

    addMaps({"dod_flash"});
    EXPECT_EQ(w->st.mapCycleText, "dod_flash");
    EXPECT_EQ(status(), "C'mon, add some more maps...");
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("dod_flash\r\n"));
    EXPECT_EQ(botMaps(), (QStringList{"", "dod_flash"}));
}

TEST_F(MapCycleTest, DodSavePutsTheFirstMapAheadOfTheCycleInTheBotList) {
    chooseMod("dod");
    // The whole way a user goes: command line, server configuration, cycle.
    click("optCommandLine");
    pickCombo("cmbMapList1", "dod_caen");
    click("cmdCommandOK");
    click("optServerFile");
    click("cmdServerOK");
    click("optMapFile");
    addMaps(kFiveMaps);
    click("cmdMapOK");
    EXPECT_EQ(status(), "Select Welcome Message");
    EXPECT_EQ(botMaps(), QStringList{"dod_caen"} + kFiveMaps);

    // With the first map erased, the bot list begins with an empty entry.
    setText("cmbMapList1", "");
    click("optMapFile");
    click("cmdMapOK");
    EXPECT_EQ(botMaps(), QStringList{""} + kFiveMaps);
}

TEST_F(MapCycleTest, OtherModsLeaveTheBotListAlone) {
    openMapCycle();
    addMaps({"dod_anzio"});
    click("cmdMapOK");
    const QStringList dodBots = botMaps();
    ASSERT_EQ(dodBots, (QStringList{"", "dod_anzio"}));

    openMapCycle(QStringLiteral("valve"));
    addMaps({"crossfire", "datacore"});
    click("cmdMapOK");
    EXPECT_EQ(cycleFile("valve"), QByteArray("crossfire\r\ndatacore\r\n"));
    EXPECT_EQ(botMaps(), dodBots);
}

TEST_F(MapCycleTest, ChoosingAModEmptiesTheCycle) {
    openMapCycle();
    addMaps({"dod_anzio", "dod_caen", "dod_flash"});
    openMapCycle();
    EXPECT_EQ(viewerText(), "");
    addMaps({"dod_kalt"});
    EXPECT_EQ(w->st.mapCycleCount, 1);
    EXPECT_EQ(status(), "C'mon, add some more maps...");
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), QByteArray("dod_kalt\r\n"));
    EXPECT_EQ(botMaps(), (QStringList{"", "dod_kalt"}));
}

TEST_F(MapCycleTest, ADoubleClickSelectsAndAdds) {
    openMapCycle();
    clickListItem("lstMapList", "dod_jagd", true);
    clickListItem("lstMapList", "dod_saints", true);
    EXPECT_EQ(w->st.mapCycleCount, 2);
    EXPECT_EQ(w->st.mapCycleText, "dod_jagd\r\ndod_saints");
    EXPECT_TRUE(w->ctl<QWidget>("chkClassLimit")->isEnabled());
}

TEST_F(MapCycleTest, ACycleHoldsWellOverNinetyNineMaps) {
    openMapCycle();
    auto* list = w->ctl<QListWidget>("lstMapList");
    QStringList added;
    QByteArray expected;
    for (int n = 0; n < 130; ++n) {
        const QString map = list->item(n % list->count())->text();
        added << map;
        expected += map.toLatin1() + "\r\n";
    }
    addMaps(added);
    EXPECT_EQ(w->st.mapCycleCount, 130);
    click("cmdMapOK");
    EXPECT_EQ(cycleFile(), expected);
    EXPECT_EQ(botMaps(), QStringList{""} + added);
}

TEST_F(MapCycleTest, AddWithNoMapSelectedAddsNothing) {
    openMapCycle();
    ASSERT_TRUE(w->ctl<QListWidget>("lstMapList")->selectedItems().isEmpty());
    click("cmdAddMap");
    EXPECT_EQ(w->st.mapCycleCount, 0);
    EXPECT_EQ(w->st.mapCycleText, "");
    EXPECT_EQ(status(), "Please select maps for the server.");

    // After a mod is chosen again, the former selection is gone too.
    addMaps({"dod_anzio"});
    openMapCycle();
    click("cmdAddMap");
    EXPECT_EQ(w->st.mapCycleCount, 0);
    EXPECT_EQ(w->st.mapCycleText, "");
}

TEST_F(MapCycleTest, ASaveThatCannotBeWrittenConfirmsNothing) {
    const QString file = demo->game("dod/vorn_mapcycle.txt");
    DemoInstall::write(file, "old_map\r\n");
    if (!makeUnreplaceable(file))
        GTEST_SKIP() << "no way to stop root from replacing a file here (chattr missing)";

    openMapCycle();
    addMaps({"dod_anzio", "dod_caen"});
    click("cmdMapOK");
    EXPECT_TRUE(status().startsWith("Error: could not save")) << status().toStdString();
    EXPECT_TRUE(status().contains("vorn_mapcycle.txt"));
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->st.mapCycleSaved, 0);
    EXPECT_FALSE(w->optMotd->isEnabled());
    EXPECT_EQ(w->optMapFile->palette().color(QPalette::Button), fromBgr(colour::Pink));
    EXPECT_EQ(DemoInstall::read(file), QByteArray("old_map\r\n"));
    EXPECT_TRUE(botMaps().isEmpty());
    // Nothing is left behind beside the file.
    EXPECT_EQ(QDir(demo->game("dod")).entryList({"*vorn_mapcycle*"}, QDir::Files | QDir::Hidden),
              QStringList{"vorn_mapcycle.txt"});
}

} // namespace
} // namespace vorn::test
