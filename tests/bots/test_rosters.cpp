// Per-map bot rosters: the mode, waypoints, the country, classes, lines.
#include "botcfg.h"
#include "guisupport.h"

namespace vorn::test {
namespace {

const char* const kRosterControls[] = {
    "cmdSturmbotAdd",     "cmdSturmbotClear",   "txtSturmbotName",  "cmbSturmbotSkill",
    "optSturmbotAllies1", "optSturmbotAllies2", "optSturmbotAxis1", "cmbSturmbotClass"};

class RosterTest : public WindowTest {
  protected:
    // The bot panel in roster mode, its map list as a saved cycle fills it.
    void openRosters() {
        openStep("optBotFile");
        ctl<QComboBox>("cmbSturmbotMapList")
            ->addItems({"dod_anzio", "dod_caen", "dod_chemille", "dod_charlie", "dod_flash"});
        click("chkSturmbotFillserver");
    }
    void pickMap(const QString& map) { pickCombo("cmbSturmbotMapList", map); }
    QString mapStatus() const { return ctl<QLabel>("lblSturmbotMapStatus")->text(); }
    std::vector<std::string> classes() const {
        return toStdLines(items(ctl<QComboBox>("cmbSturmbotClass")));
    }
    QString frameTitle() const { return ctl<QGroupBox>("frmSturmbotCustom")->title(); }
    void expectRosterControlsEnabled(bool enabled) {
        for (const char* name : kRosterControls)
            EXPECT_EQ(ctl<QWidget>(name)->isEnabled(), enabled) << name;
    }
    // Team captions and which allied options show.
    void expectTeams(const QString& axis, const QString& allies, bool usShown, bool britishShown) {
        auto* us = ctl<QRadioButton>("optSturmbotAllies1");
        EXPECT_EQ(ctl<QRadioButton>("optSturmbotAxis1")->text(), axis);
        EXPECT_EQ(us->text(), allies);
        EXPECT_EQ(!us->isHidden(), usShown);
        EXPECT_EQ(!ctl<QWidget>("optSturmbotAllies2")->isHidden(), britishShown);
    }
    bool exported(const QString& map) const {
        return QFile::exists(demo->game("dod/maps/" + map + ".ent"));
    }
};

// The panel opens in fill-server mode; roster mode shows the roster frame.
TEST_F(RosterTest, ModeSwitchNamesTheFileAndShowsTheRosterFrame) {
    chooseMod("dod");
    // The reaction defaults written by the mod choice do not open the panel.
    EXPECT_TRUE(ctl<QWidget>("frmSturmbotSetup")->isHidden());
    ctl<QWidget>("optBotFile")->setEnabled(true);
    click("optBotFile");
    auto* frame = ctl<QGroupBox>("frmSturmbotCustom");
    EXPECT_EQ(status(), "Please complete Sturmbot setup.");
    EXPECT_EQ(viewer(), kDefaultBotLines + "fillserver");

    for (bool roster : {true, false}) {
        click("chkSturmbotFillserver");
        EXPECT_EQ(frame->isHidden(), !roster);
        EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "bot.cfg");
        EXPECT_EQ(viewer(), kDefaultBotLines + (roster ? "" : "fillserver"));
    }
}

TEST_F(RosterTest, TheTeamsFollowTheCountryOfTheMapAndAMapWithoutWaypointsLocksTheRoster) {
    openRosters();
    const QString before = viewer();
    pickMap("dod_anzio");
    EXPECT_EQ(mapStatus(), "Waypoint file exists.");
    EXPECT_EQ(frameTitle(), "dod_anzio.wpt");
    // The stand-in tool exported the map's entities, under the busy pointer.
    EXPECT_TRUE(exported("dod_anzio"));
    EXPECT_EQ(std::pair(seam.busyOn, seam.busyOff), std::pair(1, 1));
    expectTeams("German", "U.S.", true, false);
    // Choosing a map neither rebuilds nor touches the roster.
    EXPECT_EQ(viewer(), before);
    click("optSturmbotAllies1");
    EXPECT_EQ(classes(), usAlliedBotClasses());

    // A British map shows only the British option.
    pickMap("dod_caen");
    expectTeams("German", "U.S.", false, true);
    click("optSturmbotAllies2");
    EXPECT_EQ(classes(), britishBotClasses());
    click("optSturmbotAxis1");
    EXPECT_EQ(classes(), axisBotClasses());

    // A map whose export exists is only read: no tool, no busy pointer.
    pickMap("dod_anzio");
    expectTeams("German", "U.S.", true, false);
    pickMap("dod_caen");
    EXPECT_EQ(std::pair(seam.busyOn, seam.busyOff), std::pair(2, 2));

    // A map without waypoints warns and locks the roster; the maps before did not warn.
    pickMap("dod_chemille");
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(mapStatus(), "WARNING: No waypoint file exist.");
    EXPECT_EQ(ctl<QLabel>("lblSturmbotMapStatus")->palette().color(QPalette::WindowText),
              fromBgr(colour::Red));
    EXPECT_EQ(frameTitle(), "dod_chemille.wpt");
    expectRosterControlsEnabled(false);
    // The options are reset; no detection ran for this map.
    expectTeams("Axis", "Allies", true, false);
    EXPECT_FALSE(exported("dod_chemille"));

    // A waypoint file whose name differs in letter case does not count.
    const QString wpt = demo->game("dod/sturmbot/waypoints/");
    ASSERT_TRUE(renameCase(wpt + "dod_flash.wpt", wpt + "DOD_FLASH.wpt"));
    pickMap("dod_flash");
    EXPECT_EQ(seam.beeps, 2);
    EXPECT_EQ(mapStatus(), "WARNING: No waypoint file exist.");

    pickMap("dod_charlie");
    expectTeams("German", "U.S.", false, true);
    EXPECT_EQ(seam.beeps, 2);
    expectRosterControlsEnabled(true);
}

// A roster never replaces the global bot.cfg; no waypoints, no roster file.
TEST_F(RosterTest, ARosterNeverReplacesTheGlobalBotFile) {
    const QString global = demo->game("dod/sturmbot/bot.cfg");
    DemoInstall::write(global, "fillserver\r\n");
    openStep("optBotFile");
    click("chkSturmbotFillserver");
    click("cmdSturmbotOK");
    expectError("choose a map for the bot roster");
    ctl<QComboBox>("cmbSturmbotMapList")->addItems({"dod_anzio", "dod_chemille"});
    pickMap("dod_chemille");
    click("cmdSturmbotOK");
    expectError("dod_chemille has no waypoint file");
    // Out of roster mode and back: the map still names the file, still without waypoints.
    const int beeps = seam.beeps;
    click("chkSturmbotFillserver");
    click("chkSturmbotFillserver");
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_chemille_bot.cfg");
    EXPECT_EQ(seam.beeps, beeps) << "the switch does not look at waypoints";
    click("cmdSturmbotOK");
    expectError("dod_chemille has no waypoint file");
    EXPECT_FALSE(QFile::exists(demo->game("dod/sturmbot/dod_chemille_bot.cfg")));
    // A name typed into the map list never makes Save write outside the add-on's directory.
    setText("cmbSturmbotMapList", "..\\..\\evil");
    click("chkSturmbotFillserver");
    click("chkSturmbotFillserver");
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "..\\..\\evil_bot.cfg");
    click("cmdSturmbotOK");
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_FALSE(QFileInfo::exists(demo->game("evil_bot.cfg")));
    EXPECT_FALSE(confirmed("optBotFile"));

    pickMap("dod_anzio");
    click("cmdSturmbotOK");
    EXPECT_TRUE(confirmed("optBotFile"));
    EXPECT_EQ(gameFile("dod/sturmbot/dod_anzio_bot.cfg"), (kDefaultBotLines + "\r\n").toLatin1());
    EXPECT_EQ(DemoInstall::read(global), "fillserver\r\n");
}

TEST_F(RosterTest, MissingEntityToolEndsTheProgram) {
    ASSERT_TRUE(QFile::remove(demo->game("ripent.exe")));
    openRosters();
    pickMap("dod_anzio");
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Critical, MsgButtons::Ok);
    EXPECT_EQ(seam.ends, 1);
    // The reaction stopped where the program ended: the check never finished.
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "invalid");
    EXPECT_EQ(ctl<QRadioButton>("optSturmbotAxis1")->text(), "Axis");
}

TEST_F(RosterTest, ExportThatNeverAppearsAsksWhetherToGoOn) {
    // The server stand-in as the entity tool: it writes no export.
    const QString tool = demo->game("ripent.exe");
    ASSERT_TRUE(QFile::remove(tool));
    ASSERT_TRUE(QFile::copy(demo->game("hl.exe"), tool));
    openRosters();

    // Yes: on with the country undetermined.
    pickMap("dod_caen");
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
    EXPECT_EQ(seam.boxes[0].text, "Encountered a problem with determining country for Allies.\r\n"
                                  "Would you like to ignore this and proceed?");
    EXPECT_EQ(seam.ends, 0);
    expectTeams("Axis", "Allies", true, false);
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_caen_bot.cfg");
    expectRosterControlsEnabled(true);

    // No, then No to the exit question: still on.
    seam.answers = {kAnswerNo, kAnswerNo};
    pickMap("dod_caen");
    ASSERT_EQ(seam.boxes.size(), 3u);
    EXPECT_EQ(seam.boxes[2].text, "Are you sure you want to exit?");
    EXPECT_EQ(seam.ends, 0);
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_caen_bot.cfg");

    // No, then Yes: the program ends.
    seam.answers = {kAnswerNo, kAnswerYes};
    pickMap("dod_caen");
    EXPECT_EQ(seam.ends, 1);
}

TEST_F(RosterTest, AddBotTakesEmptyAndNonAsciiTextsAsTheyAre) {
    openRosters();
    pickMap("dod_caen");
    // No team: nothing added, but the preview is rebuilt and Clear enabled.
    ctl<QWidget>("cmdSturmbotClear")->setEnabled(false);
    setText("txtFileContents", QString());
    click("cmdSturmbotAdd");
    EXPECT_EQ(viewer(), kDefaultBotLines);
    EXPECT_TRUE(ctl<QWidget>("cmdSturmbotClear")->isEnabled());

    const struct {
        const char* team;
        QString cls, skill, name, line;
    } rows[] = {
        {"optSturmbotAllies2", "2-Sergeant Major", "5", "", "addbot 1 2 5 "},
        {"optSturmbotAxis1", "1-Grenadier", "", "Dufus", "addbot 2 1  Dufus"},
        {"optSturmbotAxis1", QStringLiteral("7-MG42-Sch\u00fctze"), "8", "Big Dufus",
         "addbot 2 7 8 Big Dufus"},
        // Axis still selected: its class list is not refilled; the class stays.
        {"optSturmbotAxis1", "", "9x", QStringLiteral("J\u00fcrgen"),
         QStringLiteral("addbot 2 7 9x J\u00fcrgen")},
    };
    QStringList lines;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line.toStdString());
        click(r.team);
        if (!r.cls.isEmpty())
            pickCombo("cmbSturmbotClass", r.cls);
        setText("cmbSturmbotSkill", r.skill);
        setText("txtSturmbotName", r.name);
        click("cmdSturmbotAdd");
        lines << r.line;
        EXPECT_EQ(viewer(), kDefaultBotLines + lines.join("\r\n"));
    }
    click("cmdSturmbotOK");
    // The name is written in the game's 8-bit character set.
    const QByteArray bytes = gameFile("dod/sturmbot/dod_caen_bot.cfg");
    EXPECT_TRUE(bytes.endsWith("addbot 2 7 9x J\xfcrgen\r\n")) << bytes.toStdString();

    // The bots stay until cleared when the map changes.
    pickMap("dod_charlie");
    EXPECT_EQ(ctl<QGroupBox>("frmInfo")->title(), "dod_charlie_bot.cfg");
    click("cmdSturmbotOK");
    EXPECT_EQ(gameFile("dod/sturmbot/dod_charlie_bot.cfg"), bytes);
    click("cmdSturmbotClear");
    EXPECT_EQ(viewer(), kDefaultBotLines);
}

TEST_F(RosterTest, OldAddOnKeepsAlliesAndAxisWithoutDetection) {
    DemoInstall::write(demo->game("dod/sturmbot/History.txt"),
                       "Sturmbot history\r\n----------------\r\n1.5\r\n");
    openRosters();
    pickMap("dod_caen");
    expectTeams("Axis", "Allies", true, false);
    EXPECT_FALSE(exported("dod_caen"));
    click("optSturmbotAllies1");
    EXPECT_EQ(classes(), usAlliedBotClasses());
}

} // namespace
} // namespace vorn::test
