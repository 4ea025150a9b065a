// Per-map bot rosters over the demo installation: the mode switch, the
// waypoint check, the Allied country through the entity-tool stand-in, the
// class lists and the roster lines.
#include "botcfg.h"
#include "guisupport.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace vorn::test {
namespace {

const QString kDefaultLines = QStringLiteral("min_reaction 300\r\n"
                                             "max_reaction 800\r\n"
                                             "friendlyfiremode off\r\n"
                                             "rank on\r\n"
                                             "formsquad off\r\n"
                                             "knifeonly off\r\n"
                                             "pistolonly off\r\n"
                                             "grenadeonly off\r\n"
                                             "bloodmode 0\r\n"
                                             "bind \"F3\" \"sturmbotmenu\"\r\n"
                                             "maxteamkills 3\r\n"
                                             "\r\n");

const char* const kRosterControls[] = {
    "cmdSturmbotAdd",     "cmdSturmbotClear",   "txtSturmbotName",  "cmbSturmbotSkill",
    "optSturmbotAllies1", "optSturmbotAllies2", "optSturmbotAxis1", "cmbSturmbotClass"};

QStringList fromUtf8(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& s : items)
        out << QString::fromStdString(s);
    return out;
}

class RosterTest : public WindowTest {
  protected:
    // dod, the Bot Setup option (enabled here as confirming the welcome
    // message would), the roster map list as saving the map cycle fills it,
    // then roster mode.
    void openRosters() {
        chooseMod(QStringLiteral("dod"));
        w->optBotFile->setEnabled(true);
        click("optBotFile");
        w->ctl<QComboBox>("cmbSturmbotMapList")
            ->addItems({"dod_anzio", "dod_caen", "dod_chemille", "dod_charlie", "dod_falaise",
                        "dod_flash"});
        click("chkSturmbotFillserver");
    }
    void pickMap(const QString& map) { pickCombo("cmbSturmbotMapList", map); }
    QRadioButton* opt(const char* name) const { return w->ctl<QRadioButton>(name); }
    QString mapStatus() const { return w->ctl<QLabel>("lblSturmbotMapStatus")->text(); }
    QColor mapStatusColour() const {
        return w->ctl<QLabel>("lblSturmbotMapStatus")->palette().color(QPalette::WindowText);
    }
    QStringList classes() const {
        QStringList out;
        auto* box = w->ctl<QComboBox>("cmbSturmbotClass");
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    void expectRosterControlsEnabled(bool enabled) {
        for (const char* name : kRosterControls)
            EXPECT_EQ(w->ctl<QWidget>(name)->isEnabled(), enabled) << name;
    }
    // Team captions and which allied option shows.
    void expectTeams(const QString& axis, const QString& allies, bool usShown, bool britishShown) {
        EXPECT_EQ(opt("optSturmbotAxis1")->text(), axis);
        EXPECT_EQ(opt("optSturmbotAllies1")->text(), allies);
        EXPECT_EQ(opt("optSturmbotAllies2")->text(), QStringLiteral("British"));
        EXPECT_EQ(!opt("optSturmbotAllies1")->isHidden(), usShown);
        EXPECT_EQ(!opt("optSturmbotAllies2")->isHidden(), britishShown);
    }
    void addBot(const char* team, const QString& cls, const QString& skill, const QString& name) {
        click(team);
        if (!cls.isEmpty())
            pickCombo("cmbSturmbotClass", cls);
        setText("cmbSturmbotSkill", skill);
        setText("txtSturmbotName", name);
        click("cmdSturmbotAdd");
    }
    // Put a stand-in for the entity tool that writes no export.
    void silentEntityTool() {
        const QString tool = demo->game(QStringLiteral("ripent.exe"));
        DemoInstall::write(tool, "#!/usr/bin/env bash\n# writes nothing\nexit 0\n");
        QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    }
    QString ent(const QString& map) const {
        return demo->game(QStringLiteral("dod/maps/") + map + QStringLiteral(".ent"));
    }
};

TEST_F(RosterTest, ModeSwitchNamesTheFileAndShowsTheRosterFrame) {
    chooseMod(QStringLiteral("dod"));
    w->optBotFile->setEnabled(true);
    click("optBotFile");
    auto* frame = w->ctl<QGroupBox>("frmSturmbotCustom");
    EXPECT_TRUE(frame->isHidden());
    EXPECT_FALSE(frame->isEnabled());

    // Roster mode with no map: the bots go into bot.cfg, and the text ends
    // with CR LF since there are no roster lines yet.
    click("chkSturmbotFillserver");
    EXPECT_FALSE(frame->isHidden());
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("bot.cfg"));
    EXPECT_EQ(w->st.botCfgText, kDefaultLines);
    click("cmdSturmbotOK");
    EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/bot.cfg"))),
              (kDefaultLines + QStringLiteral("\r\n")).toLatin1());

    click("chkSturmbotFillserver");
    EXPECT_TRUE(frame->isHidden());
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_TRUE(w->st.botCfgText.endsWith(QStringLiteral("\r\n\r\nfillserver")));

    // The switch does not look at waypoints: a map without them still names
    // the file.
    setText("cmbSturmbotMapList", QStringLiteral("dod_chemille"));
    click("chkSturmbotFillserver");
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_chemille_bot.cfg"));
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(RosterTest, UsMapWithWaypointsOffersUsAndGermanTeams) {
    openRosters();
    const QString before = w->st.botCfgText;
    pickMap(QStringLiteral("dod_anzio"));
    EXPECT_EQ(mapStatus(), QStringLiteral("Waypoint file exists."));
    EXPECT_EQ(mapStatusColour(), fromBgr(colour::Blue));
    EXPECT_EQ(w->ctl<QGroupBox>("frmSturmbotCustom")->title(), QStringLiteral("dod_anzio.wpt"));
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_anzio_bot.cfg"));
    EXPECT_EQ(w->st.botCfgName, QStringLiteral("dod_anzio_bot.cfg"));
    EXPECT_EQ(seam.beeps, 0);
    expectRosterControlsEnabled(true);
    // The stand-in tool exported the map's entities.
    EXPECT_TRUE(QFile::exists(ent(QStringLiteral("dod_anzio"))));
    expectTeams(QStringLiteral("German"), QStringLiteral("U.S."), true, false);
    // Choosing a map neither rebuilds nor touches the roster.
    EXPECT_EQ(w->st.botCfgText, before);

    click("optSturmbotAllies1");
    EXPECT_EQ(classes(), fromUtf8(usAlliedBotClasses()));
    EXPECT_EQ(classes().size(), 7);
    EXPECT_EQ(classes()[2], QStringLiteral("3-Master Sergeant"));
}

TEST_F(RosterTest, BritishMapShowsOnlyTheBritishOption) {
    openRosters();
    pickMap(QStringLiteral("dod_caen"));
    expectTeams(QStringLiteral("German"), QStringLiteral("U.S."), false, true);
    click("optSturmbotAllies2");
    EXPECT_EQ(classes(), (QStringList{"1-Rifleman", "2-Sergeant Major", "3-Marksman", "4-Gunner"}));
    click("optSturmbotAxis1");
    EXPECT_EQ(classes(),
              (QStringList{"1-Grenadier", "2-Stosstruppe", "3-Unteroffizier", "4-Sturmtruppe",
                           "5-Scharfschuetze", QStringLiteral("6-MG34-Sch\u00fctze"),
                           QStringLiteral("7-MG42-Sch\u00fctze")}));

    // Back to a U.S. map: the options follow it; the export of dod_caen is
    // kept on disk for the next time.
    pickMap(QStringLiteral("dod_charlie"));
    expectTeams(QStringLiteral("German"), QStringLiteral("U.S."), false, true);
    pickMap(QStringLiteral("dod_anzio"));
    expectTeams(QStringLiteral("German"), QStringLiteral("U.S."), true, false);
    EXPECT_TRUE(QFile::exists(ent(QStringLiteral("dod_caen"))));
}

TEST_F(RosterTest, MapWithoutWaypointsWarnsAndLocksTheRoster) {
    openRosters();
    pickMap(QStringLiteral("dod_caen"));
    pickMap(QStringLiteral("dod_chemille"));
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(mapStatus(), QStringLiteral("WARNING: No waypoint file exist."));
    EXPECT_EQ(mapStatusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->ctl<QGroupBox>("frmSturmbotCustom")->title(), QStringLiteral("dod_chemille.wpt"));
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("bot.cfg"));
    expectRosterControlsEnabled(false);
    // The options are reset; no detection ran for this map.
    expectTeams(QStringLiteral("Axis"), QStringLiteral("Allies"), true, false);
    EXPECT_FALSE(QFile::exists(ent(QStringLiteral("dod_chemille"))));

    // A waypoint file whose name differs in letter case does not count.
    const QString wpt = demo->game(QStringLiteral("dod/sturmbot/waypoints/"));
    ASSERT_TRUE(QFile::rename(wpt + "dod_flash.wpt", wpt + "DOD_FLASH.wpt"));
    pickMap(QStringLiteral("dod_flash"));
    EXPECT_EQ(seam.beeps, 2);
    EXPECT_EQ(mapStatus(), QStringLiteral("WARNING: No waypoint file exist."));

    pickMap(QStringLiteral("dod_charlie"));
    EXPECT_EQ(seam.beeps, 2);
    expectRosterControlsEnabled(true);
    EXPECT_EQ(mapStatus(), QStringLiteral("Waypoint file exists."));
}

TEST_F(RosterTest, MissingEntityToolEndsTheProgram) {
    ASSERT_TRUE(QFile::remove(demo->game(QStringLiteral("ripent.exe"))));
    openRosters();
    pickMap(QStringLiteral("dod_anzio"));
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(seam.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(seam.boxes[0].title, QStringLiteral("VORN Allert!"));
    EXPECT_EQ(seam.ends, 1);
    // The reaction stopped where the program ended: the check never finished.
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("invalid"));
    EXPECT_EQ(w->st.botCfgName, QStringLiteral("dod_anzio_bot.cfg"));
    EXPECT_EQ(opt("optSturmbotAxis1")->text(), QStringLiteral("Axis"));
}

TEST_F(RosterTest, ExportThatNeverAppearsAsksWhetherToGoOn) {
    silentEntityTool();
    openRosters();
    const QString question =
        QStringLiteral("Encountered a problem with determining country for Allies.\r\n"
                       "Would you like to ignore this and proceed?");

    // Yes: on with the country undetermined.
    pickMap(QStringLiteral("dod_caen"));
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(seam.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(seam.boxes[0].title, QStringLiteral("VORN Allert!"));
    EXPECT_EQ(seam.boxes[0].text, question);
    EXPECT_EQ(seam.ends, 0);
    EXPECT_EQ(w->st.countryDetected, 0);
    expectTeams(QStringLiteral("Axis"), QStringLiteral("Allies"), true, false);
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_caen_bot.cfg"));
    expectRosterControlsEnabled(true);

    // No, then No to the exit question: still on.
    seam.answers = {kAnswerNo, kAnswerNo};
    pickMap(QStringLiteral("dod_caen"));
    ASSERT_EQ(seam.boxes.size(), 3u);
    EXPECT_EQ(seam.boxes[2].text, QStringLiteral("Are you sure you want to exit?"));
    EXPECT_EQ(seam.ends, 0);
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_caen_bot.cfg"));

    // No, then Yes: the program ends.
    seam.answers = {kAnswerNo, kAnswerYes};
    pickMap(QStringLiteral("dod_caen"));
    EXPECT_EQ(seam.ends, 1);
}

TEST_F(RosterTest, AddBotWritesRosterLines) {
    openRosters();
    pickMap(QStringLiteral("dod_anzio"));

    // No team chosen: nothing added, but the preview is rebuilt in roster
    // mode and Clear is enabled.
    w->ctl<QWidget>("cmdSturmbotClear")->setEnabled(false);
    w->txtFileContents->clear();
    click("cmdSturmbotAdd");
    EXPECT_EQ(w->st.mapBotCfgText, QString());
    EXPECT_EQ(w->txtFileContents->toPlainText(), QString(kDefaultLines).replace("\r\n", "\n"));
    EXPECT_TRUE(w->ctl<QWidget>("cmdSturmbotClear")->isEnabled());

    addBot("optSturmbotAllies1", QStringLiteral("3-Master Sergeant"), "5", "Dufus");
    EXPECT_EQ(w->st.mapBotCfgText, QStringLiteral("addbot 1 3 5 Dufus"));
    addBot("optSturmbotAxis1", QStringLiteral("7-MG42-Sch\u00fctze"), "8", "Dufus");
    EXPECT_EQ(w->st.mapBotCfgText, QStringLiteral("addbot 1 3 5 Dufus\r\naddbot 2 7 8 Dufus"));
    EXPECT_EQ(w->st.botCfgText, kDefaultLines + w->st.mapBotCfgText);

    click("cmdSturmbotOK");
    EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/dod_anzio_bot.cfg"))),
              (kDefaultLines + QStringLiteral("addbot 1 3 5 Dufus\r\naddbot 2 7 8 Dufus\r\n"))
                  .toLatin1());
    EXPECT_EQ(w->st.botCfgSaved, 1);
}

TEST_F(RosterTest, AddBotTakesEmptyAndNonAsciiTextsAsTheyAre) {
    openRosters();
    pickMap(QStringLiteral("dod_caen"));
    struct Row {
        const char* team;
        QString cls, skill, name, line;
    };
    const Row rows[] = {
        {"optSturmbotAllies2", "2-Sergeant Major", "5", "", "addbot 1 2 5 "},
        {"optSturmbotAxis1", "1-Grenadier", "", "Dufus", "addbot 2 1  Dufus"},
        {"optSturmbotAxis1", "4-Sturmtruppe", "7", "Big Dufus", "addbot 2 4 7 Big Dufus"},
        {"optSturmbotAxis1", "", "9x", QStringLiteral("J\u00fcrgen"),
         QStringLiteral("addbot 2 1 9x J\u00fcrgen")},
    };
    QStringList lines;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line.toStdString());
        addBot(r.team, r.cls, r.skill, r.name);
        lines << r.line;
        EXPECT_EQ(w->st.mapBotCfgText, lines.join(QStringLiteral("\r\n")));
    }
    click("cmdSturmbotOK");
    // The name is written in the game's 8-bit character set.
    const QByteArray bytes =
        DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/dod_caen_bot.cfg")));
    EXPECT_TRUE(bytes.endsWith(QByteArray("addbot 2 1 9x J\xfcrgen\r\n"))) << bytes.toStdString();
}

TEST_F(RosterTest, BotsStayUntilClearedWhenTheMapChanges) {
    openRosters();
    pickMap(QStringLiteral("dod_anzio"));
    addBot("optSturmbotAllies1", QStringLiteral("5-Sniper"), "6", "Hawk");
    const QString shown = w->txtFileContents->toPlainText();
    pickMap(QStringLiteral("dod_charlie"));
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("dod_charlie_bot.cfg"));
    EXPECT_EQ(w->txtFileContents->toPlainText(), shown);
    click("cmdSturmbotOK");
    EXPECT_EQ(DemoInstall::read(demo->game(QStringLiteral("dod/sturmbot/dod_charlie_bot.cfg"))),
              (kDefaultLines + QStringLiteral("addbot 1 5 6 Hawk\r\n")).toLatin1());

    click("cmdSturmbotClear");
    EXPECT_EQ(w->st.mapBotCfgText, QString());
    EXPECT_EQ(w->st.botCfgText, kDefaultLines);
}

TEST_F(RosterTest, OldAddOnKeepsAlliesAndAxisWithoutDetection) {
    DemoInstall::write(demo->game(QStringLiteral("dod/sturmbot/History.txt")),
                       "Sturmbot history\r\n----------------\r\n1.5\r\n");
    openRosters();
    EXPECT_EQ(w->st.nationClassSet, 0);
    EXPECT_EQ(w->ctl<QLineEdit>("txtSturmbotMinReaction")->text(), QStringLiteral("30"));
    pickMap(QStringLiteral("dod_caen"));
    expectTeams(QStringLiteral("Axis"), QStringLiteral("Allies"), true, false);
    EXPECT_FALSE(QFile::exists(ent(QStringLiteral("dod_caen"))));
    click("optSturmbotAllies1");
    EXPECT_EQ(classes(), fromUtf8(usAlliedBotClasses()));
}

} // namespace
} // namespace vorn::test
