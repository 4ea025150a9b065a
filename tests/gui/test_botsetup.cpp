// The bot setup panel over the demo installation: the configuration text,
// its clamps, the "only" boxes, Save and the Start gate.
#include "guisupport.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
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

// What the panel writes with its defaults once dod with add-on 1.6 set the
// reaction times to 300 and 800; the extra text's own CR LF leaves an empty
// line before the last line.
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

class BotSetupTest : public WindowTest {
  protected:
    // dod, then the Bot Setup option. The four steps before it belong to
    // the other panels; here the option is simply enabled, as confirming
    // the welcome message would.
    void openBotPanel() {
        chooseMod(QStringLiteral("dod"));
        ASSERT_FALSE(w->optBotFile->isHidden()) << "the demo's add-on was not found";
        w->optBotFile->setEnabled(true);
        click("optBotFile");
    }
    QString text(const char* name) const { return w->ctl<QLineEdit>(name)->text(); }
    bool checked(const char* name) const { return w->ctl<QCheckBox>(name)->isChecked(); }
    QString cfg() const { return w->st.botCfgText; }
    QString botCfgFile() const { return demo->game(QStringLiteral("dod/sturmbot/bot.cfg")); }
};

TEST_F(BotSetupTest, ControlsCarryTheirCaptionsDefaultsAndTips) {
    struct Row {
        const char* name;
        QString caption; // text, caption or title
        QString tip;
    };
    const Row rows[] = {
        {"chkSturmbotFillserver", "Fill server with bots?", "Makes life easier for you."},
        {"chkSturmbotFF", "Friendly Fire?", "Turn bots into smacktards."},
        {"chkSturmbotRank", "Rank?", "Prepend names with skill level."},
        {"chkSturmbotFSquad", "Form Squad?", "Stick together more."},
        {"chkSturmbotKnife", "Knife Only?", "\"Resident Evil\" mode."},
        {"chkSturmbotPistol", "Pistol Only?", "Their aim is still pretty good!"},
        {"chkSturmbotGrenade", "Grenade Only?", "Not sure about this one."},
        {"lblSturmbotPasswd", "Bot Password:", ""},
        {"txtSturmbotPasswd", "", "Handy to control the bots remotely. (use \"select_passwd\")"},
        {"lblSturmbotBlood", "Blood Mode:", ""},
        {"cmbSturmbotBlood", "0-Normal", "Try this option out."},
        {"lblSturmbotReaction", "Reaction Times:", ""},
        {"txtSturmbotMinReaction", "999", "Be careful with this one!"},
        {"Label1", "to", ""},
        {"txtSturmbotMaxReaction", "999", "Increase to make them sluggish."},
        {"lblSturmbotNumber", "Number Bots:", ""},
        {"txtSturmbotMinBots", "0", "You can set this to 2, keep the server active."},
        {"Label2", "to", ""},
        {"txtSturmbotMaxBots", "0", "Bots will leave as players join in."},
        {"lblMxBt", "?", ""},
        {"lblExtra3", "Extra Variables:", ""},
        {"txtExtra3", "", "Add more stuff in here."},
        {"cmdSturmbotOK", "Save", ""},
        {"frmSturmbotCustom", "Custom Bot setup for each map.", ""},
        {"lblSturmbotMap", "Map:", ""},
        {"cmbSturmbotMapList", "", "Getting complicated? Set bots for each map file."},
        {"lblSturmbotMapStatus", "Status message", ""},
        {"optSturmbotAllies1", "Allies", ""},
        {"optSturmbotAllies2", "British", ""},
        {"optSturmbotAxis1", "Axis", ""},
        {"cmbSturmbotClass", "", "Weapon selection."},
        {"lblSturmbotSkill", "Bot Skill:", ""},
        {"cmbSturmbotSkill", "5", "1 low skill, 8 deadly"},
        {"lblSturmbotName", "Bot Name:", ""},
        {"txtSturmbotName", "", "I like the name \"Dufus\"."},
        {"cmdSturmbotAdd", "Add Bot", "Phew! Acknowledge this sucker, finally."},
        {"cmdSturmbotClear", "Clear Bots",
         "Careful, do you really want to clear all your hard work?"},
    };
    auto* setup = w->ctl<QGroupBox>("frmSturmbotSetup");
    EXPECT_EQ(setup->title(), QStringLiteral("Sturmbot Setup"));
    EXPECT_TRUE(setup->isHidden());
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* c = w->ctl<QWidget>(r.name);
        EXPECT_TRUE(setup->isAncestorOf(c));
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(c))
            caption = b->text();
        else if (auto* l = qobject_cast<QLabel*>(c))
            caption = l->text();
        else if (auto* e = qobject_cast<QLineEdit*>(c))
            caption = e->text();
        else if (auto* x = qobject_cast<QComboBox*>(c))
            caption = x->currentText();
        else if (auto* g = qobject_cast<QGroupBox*>(c))
            caption = g->title();
        if (!qobject_cast<QPlainTextEdit*>(c)) {
            EXPECT_EQ(caption, r.caption);
        }
        EXPECT_EQ(c->toolTip(), r.tip);
        if (!r.tip.isEmpty()) {
            EXPECT_EQ(c->accessibleDescription(), r.tip);
        }
    }
    EXPECT_TRUE(checked("chkSturmbotFillserver"));
    EXPECT_TRUE(checked("chkSturmbotRank"));
    EXPECT_FALSE(checked("chkSturmbotFF"));
    EXPECT_EQ(crlfText(w->ctl<QPlainTextEdit>("txtExtra3")),
              QStringLiteral("bind \"F3\" \"sturmbotmenu\"\r\nmaxteamkills 3\r\n"));
    auto* blood = w->ctl<QComboBox>("cmbSturmbotBlood");
    ASSERT_EQ(blood->count(), 4);
    EXPECT_EQ(blood->itemText(3), QStringLiteral("3-Explode"));
    auto* skill = w->ctl<QComboBox>("cmbSturmbotSkill");
    ASSERT_EQ(skill->count(), 8);
    EXPECT_EQ(skill->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(skill->itemText(7), QStringLiteral("8"));
    EXPECT_TRUE(w->ctl<QRadioButton>("optSturmbotAxis1")->font().bold());
    EXPECT_EQ(w->ctl<QLabel>("lblSturmbotMapStatus")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(w->ctl<QLabel>("lblSturmbotPasswd")->buddy(), w->ctl<QWidget>("txtSturmbotPasswd"));
    EXPECT_FALSE(w->ctl<QWidget>("cmbSturmbotClass")->accessibleName().isEmpty());
    EXPECT_FALSE(w->ctl<QWidget>("txtSturmbotMaxBots")->accessibleName().isEmpty());
}

// Every control keeps at least the room its text needs, and stays inside
// its frame, in fill-server and in roster mode (all three team options
// shown, as before the first map is chosen).
TEST_F(BotSetupTest, PanelFitsItsFrameWithoutClipping) {
    openBotPanel();
    auto* setup = w->ctl<QGroupBox>("frmSturmbotSetup");
    for (bool roster : {false, true}) {
        SCOPED_TRACE(roster ? "roster mode" : "fill-server mode");
        if (roster)
            click("chkSturmbotFillserver");
        setup->layout()->activate();
        w->ctl<QGroupBox>("frmSturmbotCustom")->layout()->activate();
        EXPECT_LE(setup->minimumSizeHint().height(), setup->height());
        EXPECT_LE(setup->minimumSizeHint().width(), setup->width());
        for (QWidget* c : setup->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(setup) || c->objectName().isEmpty() ||
                c->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            SCOPED_TRACE(c->objectName().toStdString());
            QRect inFrame(c->mapTo(setup, QPoint(0, 0)), c->size());
            // The frame stands 8 px left of the form: its visible part starts there.
            EXPECT_TRUE(setup->rect().adjusted(8, 0, 0, 0).contains(inFrame));
            if (qobject_cast<QAbstractButton*>(c) || qobject_cast<QLabel*>(c)) {
                EXPECT_GE(c->width(), c->sizeHint().width());
                EXPECT_GE(c->height(), c->minimumSizeHint().height());
            } else {
                EXPECT_GE(c->width(), c->minimumSizeHint().width());
                EXPECT_GE(c->height(), c->minimumSizeHint().height());
            }
        }
    }
}

TEST_F(BotSetupTest, DefaultsSaveAsBotCfgAndConfirmTheStep) {
    chooseMod(QStringLiteral("dod"));
    // The reaction defaults written by the mod choice do not open the panel.
    EXPECT_TRUE(w->ctl<QWidget>("frmSturmbotSetup")->isHidden());
    EXPECT_EQ(text("txtSturmbotMinReaction"), QStringLiteral("300"));
    EXPECT_EQ(text("txtSturmbotMaxReaction"), QStringLiteral("800"));
    w->optBotFile->setEnabled(true);
    click("optBotFile");

    EXPECT_FALSE(w->ctl<QWidget>("frmSturmbotSetup")->isHidden());
    EXPECT_TRUE(w->ctl<QWidget>("frmSturmbotCustom")->isHidden());
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("bot.cfg"));
    EXPECT_TRUE(w->txtFileContents->isReadOnly());
    EXPECT_FALSE(w->cmdSaveFile->isEnabled());
    EXPECT_EQ(status(), QStringLiteral("Please complete Sturmbot setup."));
    EXPECT_EQ(cfg(), kDefaultLines + QStringLiteral("fillserver"));
    EXPECT_EQ(w->txtFileContents->toPlainText(),
              QString(kDefaultLines + QStringLiteral("fillserver")).replace("\r\n", "\n"));

    click("cmdSturmbotOK");
    EXPECT_EQ(DemoInstall::read(botCfgFile()),
              (kDefaultLines + QStringLiteral("fillserver\r\n")).toLatin1());
    EXPECT_EQ(w->st.botCfgSaved, 1);
    EXPECT_EQ(w->optBotFile->palette().color(QPalette::Button), fromBgr(colour::LightGreen));
}

TEST_F(BotSetupTest, TextFollowsEveryWatchedControl) {
    openBotPanel();
    setText("txtSturmbotPasswd", QStringLiteral("s3cret"));
    EXPECT_TRUE(
        cfg().startsWith(QStringLiteral("sturmbot_password s3cret\r\nmin_reaction 300\r\n")));
    click("chkSturmbotFF");
    click("chkSturmbotRank");
    click("chkSturmbotFSquad");
    pickCombo("cmbSturmbotBlood", QStringLiteral("3-Explode"));
    EXPECT_TRUE(
        cfg().contains(QStringLiteral("friendlyfiremode on\r\nrank off\r\nformsquad on\r\n")));
    EXPECT_TRUE(cfg().contains(QStringLiteral("\r\nbloodmode 3\r\n")));
    // A typed blood mode is not a pick: it counts at the next build.
    setText("cmbSturmbotBlood", QStringLiteral("2x"));
    EXPECT_TRUE(cfg().contains(QStringLiteral("\r\nbloodmode 3\r\n")));
    setText("txtExtra3", QString());
    EXPECT_TRUE(cfg().endsWith(QStringLiteral("bloodmode 2\r\n\r\nfillserver")));
    setText("txtSturmbotPasswd", QString());
    EXPECT_TRUE(cfg().startsWith(QStringLiteral("min_reaction 300\r\n")));
}

TEST_F(BotSetupTest, OnlyBoxesExcludeEachOther) {
    openBotPanel();
    click("chkSturmbotPistol");
    EXPECT_TRUE(
        cfg().contains(QStringLiteral("knifeonly off\r\npistolonly on\r\ngrenadeonly off")));
    click("chkSturmbotKnife");
    EXPECT_TRUE(checked("chkSturmbotKnife"));
    EXPECT_FALSE(checked("chkSturmbotPistol"));
    EXPECT_TRUE(
        cfg().contains(QStringLiteral("knifeonly on\r\npistolonly off\r\ngrenadeonly off")));
    click("chkSturmbotGrenade");
    EXPECT_FALSE(checked("chkSturmbotKnife"));
    EXPECT_TRUE(
        cfg().contains(QStringLiteral("knifeonly off\r\npistolonly off\r\ngrenadeonly on")));
    // Unchecking one leaves the others alone.
    click("chkSturmbotGrenade");
    EXPECT_FALSE(checked("chkSturmbotKnife") || checked("chkSturmbotPistol") ||
                 checked("chkSturmbotGrenade"));
    EXPECT_TRUE(
        cfg().contains(QStringLiteral("knifeonly off\r\npistolonly off\r\ngrenadeonly off")));
}

TEST_F(BotSetupTest, ReactionTimesAreKeptInOrderAtOnce) {
    openBotPanel();
    struct Row {
        const char* field;
        QString typed;
        QString min, max;
    };
    const Row rows[] = {
        {"txtSturmbotMinReaction", "900", "799", "800"}, // min above max
        {"txtSturmbotMaxReaction", "1", "0", "1"},       // max below a min of 799
        {"txtSturmbotMinReaction", "300", "0", "1"},     // min above max again
        {"txtSturmbotMaxReaction", "0", "0", "0"},       // max 0 ends with both at 0
        {"txtSturmbotMaxReaction", "800", "0", "800"},
        {"txtSturmbotMinReaction", "300", "300", "800"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed.toStdString());
        setText(r.field, r.typed);
        EXPECT_EQ(text("txtSturmbotMinReaction"), r.min);
        EXPECT_EQ(text("txtSturmbotMaxReaction"), r.max);
        EXPECT_TRUE(cfg().startsWith(
            QStringLiteral("min_reaction %1\r\nmax_reaction %2\r\n").arg(r.min, r.max)));
    }
}

TEST_F(BotSetupTest, BotCountsAreClampedAtTheNextBuild) {
    openBotPanel();
    setText("cmbMaxPlayers", QStringLiteral("16"));
    struct Row {
        QString min, max;         // typed
        QString wantMin, wantMax; // after the next build
    };
    const Row rows[] = {
        {"20", "16", "15", "16"}, {"16", "16", "16", "16"}, {"3", "20", "3", "16"},
        {"5", "3", "2", "3"},     {"4", "0", "0", "0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE((r.min + " " + r.max).toStdString());
        setText("txtSturmbotMinBots", r.min);
        setText("txtSturmbotMaxBots", r.max);
        // Editing a count starts nothing by itself.
        EXPECT_EQ(text("txtSturmbotMinBots"), r.min);
        click("chkSturmbotFF");
        EXPECT_EQ(text("txtSturmbotMinBots"), r.wantMin);
        EXPECT_EQ(text("txtSturmbotMaxBots"), r.wantMax);
        if (r.wantMax == "0") {
            EXPECT_FALSE(cfg().contains(QStringLiteral("_bots")));
        } else {
            EXPECT_TRUE(cfg().contains(
                QStringLiteral("\r\nmin_bots %1\r\nmax_bots %2\r\n").arg(r.wantMin, r.wantMax)));
        }
    }
}

// Fields that hold no number are left as typed and go into the text
// verbatim; nothing stops.
TEST_F(BotSetupTest, FieldsWithoutNumbersStopNothing) {
    openBotPanel();
    setText("txtSturmbotMinBots", QStringLiteral("abc"));
    setText("txtSturmbotMaxBots", QString());
    setText("txtSturmbotMinReaction", QString());
    setText("txtSturmbotMaxReaction", QStringLiteral("x"));
    setText("cmbMaxPlayers", QStringLiteral("many"));
    click("chkSturmbotFF");
    EXPECT_EQ(text("txtSturmbotMinBots"), QStringLiteral("abc"));
    EXPECT_EQ(text("txtSturmbotMaxBots"), QString());
    EXPECT_TRUE(cfg().startsWith(QStringLiteral("min_reaction \r\nmax_reaction x\r\n")));
    EXPECT_TRUE(cfg().contains(QStringLiteral("\r\nmin_bots abc\r\nmax_bots \r\n")));
    click("cmdSturmbotOK");
    EXPECT_EQ(w->st.botCfgSaved, 1);
    EXPECT_FALSE(seam.ends);
}

// Save is written as last built, and a failed write confirms nothing.
TEST_F(BotSetupTest, FailedSaveShowsAnErrorAndDoesNotConfirm) {
    openBotPanel();
    // A directory in the file's place cannot be replaced by a file, not even
    // by root (rename gives EISDIR), so the write really fails here.
    ASSERT_TRUE(QDir().mkpath(botCfgFile()));
    click("cmdSturmbotOK");
    EXPECT_TRUE(status().contains(QStringLiteral("bot.cfg"))) << status().toStdString();
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->st.botCfgSaved, 0);
    EXPECT_EQ(w->optBotFile->palette().color(QPalette::Button), fromBgr(colour::Pink));
    EXPECT_TRUE(QFileInfo(botCfgFile()).isDir());

    // Once the way is clear, Save works and confirms.
    ASSERT_TRUE(QDir().rmdir(botCfgFile()));
    click("cmdSturmbotOK");
    EXPECT_EQ(w->st.botCfgSaved, 1);
    EXPECT_EQ(DemoInstall::read(botCfgFile()),
              (kDefaultLines + QStringLiteral("fillserver\r\n")).toLatin1());
}

// A name typed into the roster map list never makes Save write outside the
// add-on's directory.
TEST_F(BotSetupTest, RosterFileNameWithAPathIsRefused) {
    openBotPanel();
    setText("cmbSturmbotMapList", QStringLiteral("..\\..\\evil"));
    click("chkSturmbotFillserver");
    EXPECT_EQ(w->frmInfo->title(), QStringLiteral("..\\..\\evil_bot.cfg"));
    click("cmdSturmbotOK");
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(w->st.botCfgSaved, 0);
    EXPECT_FALSE(QFileInfo::exists(demo->game(QStringLiteral("evil_bot.cfg"))));
}

TEST_F(BotSetupTest, StartWaitsForTheBotStep) {
    chooseMod(QStringLiteral("dod"));
    // The four steps before are the other panels'; their flags stand in.
    w->st.commandLineSaved = w->st.serverCfgSaved = w->st.mapCycleSaved = w->st.motdSaved = 1;
    w->optBotFile->setEnabled(true);
    click("optBotFile");
    EXPECT_EQ(status(), QStringLiteral("Select Bot Setup"));
    EXPECT_FALSE(w->cmdStart->isEnabled());
    click("chkSturmbotFF");
    EXPECT_EQ(status(), QStringLiteral("Select Bot Setup"));
    click("cmdSturmbotOK");
    EXPECT_EQ(status(), QStringLiteral("You can now start the server."));
    EXPECT_EQ(statusColour(), fromBgr(colour::Blue));
    EXPECT_TRUE(w->cmdStart->isEnabled());
    // Later edits keep the step confirmed.
    click("chkSturmbotFF");
    EXPECT_EQ(status(), QStringLiteral("You can now start the server."));
}

TEST_F(BotSetupTest, OtherModsLeaveTheOptionAlone) {
    chooseMod(QStringLiteral("cstrike"));
    EXPECT_TRUE(w->optBotFile->isHidden());
    // The composer does nothing for a mod other than dod.
    w->optBotFile->setEnabled(true);
    w->optBotFile->show();
    click("optBotFile");
    EXPECT_TRUE(w->ctl<QWidget>("frmSturmbotSetup")->isHidden());
    EXPECT_TRUE(w->st.botCfgText.isEmpty());
}

} // namespace
} // namespace vorn::test
