// The bot setup frame and its roster frame, as tables of their controls.
#include "botsetuppanel.h"

#include "controls.h"
#include "formtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vorn {

namespace {

// Pure red and the allied green of the roster frame, as 0x00BBGGRR.
constexpr std::uint32_t kPureRed = 0x0000FF;
constexpr std::uint32_t kAlliedGreen = 0x00C000;

// A short number field: wide enough for four digits, no wider.
void narrow(QLineEdit* edit) {
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
}

// A combo box as wide as `chars` characters, whatever it lists.
void fixWidth(QComboBox* box, int chars) {
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(chars);
}

} // namespace

void BotSetupPanel::buildSetupFrame() {
    frmSturmbotSetup = host.makeFrame("frmSturmbotSetup", "Sturmbot Setup");
    frmSturmbotSetup->hide();
    // Its caption is placed before it is first shown (placeSetupCaption).

    // The check boxes and fields on the left, fill-server mode, the roster
    // and Save on the right.
    enum { Columns, Left, Checks, Game, Only, Fields, Right };
    const Layout layouts[] = {
        // The frame stands 8 px left of the form's edge: keep its content clear.
        {.type = Layout::Line, .on = "frmSturmbotSetup", .margins = {14, 2, 6, 4}, .spacing = 8},
        {.type = Layout::Column, .spacing = 2},
        {.type = Layout::Line, .spacing = 6},
        {.type = Layout::Column, .margins = {0, 2, 0, 2}, .spacing = 0},
        {.type = Layout::Column, .on = "Shape1", .margins = {4, 1, 4, 1}, .spacing = 0},
        {.type = Layout::Grid, .hSpacing = 4, .vSpacing = 2, .columnStretch = {{4, 1}}},
        {.type = Layout::Column, .spacing = 3},
    };
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::Nested, .at = next(Columns, 3), .nested = Left},
        {.kind = Kind::Nested, .at = next(Columns, 2), .nested = Right},
        {.kind = Kind::Nested, .at = next(Left), .nested = Checks},
        {.kind = Kind::Nested, .at = next(Left, 1), .nested = Fields},
        {.kind = Kind::Nested, .at = next(Checks), .nested = Game},
        {.kind = Kind::CheckBox, .name = "chkSturmbotFF", .caption = "Friendly Fire?",
         .tip = "Turn bots into smacktards.", .at = next(Game), .member = chkSturmbotFF, .tab = 1},
        {.kind = Kind::CheckBox, .name = "chkSturmbotRank", .caption = "Rank?",
         .tip = "Prepend names with skill level.", .checked = true, .at = next(Game),
         .member = chkSturmbotRank, .tab = 3},
        {.kind = Kind::CheckBox, .name = "chkSturmbotFSquad", .caption = "Form Squad?",
         .tip = "Stick together more.", .at = next(Game), .member = chkSturmbotFSquad, .tab = 5},
        {.kind = Kind::Box, .name = "Shape1", .at = next(Checks), .member = Shape1},
        {.kind = Kind::Stretch, .at = next(Checks, 1)},
        {.kind = Kind::CheckBox, .name = "chkSturmbotKnife", .caption = "Knife Only?",
         .tip = "\"Resident Evil\" mode.", .at = next(Only), .member = chkSturmbotKnife, .tab = 2},
        {.kind = Kind::CheckBox, .name = "chkSturmbotPistol", .caption = "Pistol Only?",
         .tip = "Their aim is still pretty good!", .at = next(Only), .member = chkSturmbotPistol,
         .tab = 4},
        {.kind = Kind::CheckBox, .name = "chkSturmbotGrenade", .caption = "Grenade Only?",
         .tip = "Not sure about this one.", .at = next(Only), .member = chkSturmbotGrenade,
         .tab = 6},
        {.kind = Kind::Label, .name = "lblSturmbotPasswd", .caption = "Bot Password:",
         .buddy = "txtSturmbotPasswd", .at = below(Fields, 0), .member = lblSturmbotPasswd},
        {.kind = Kind::LineEdit, .name = "txtSturmbotPasswd",
         .tip = "Handy to control the bots remotely. (use \"select_passwd\")",
         .at = beside(Fields, 1, 4), .member = txtSturmbotPasswd, .tab = 7},
        {.kind = Kind::Label, .name = "lblSturmbotBlood", .caption = "Blood Mode:",
         .buddy = "cmbSturmbotBlood", .at = below(Fields, 0), .member = lblSturmbotBlood},
        {.kind = Kind::TypedCombo, .name = "cmbSturmbotBlood", .tip = "Try this option out.",
         .at = beside(Fields, 1, 4), .member = cmbSturmbotBlood, .tab = 8},
        {.kind = Kind::Label, .name = "lblSturmbotReaction", .caption = "Reaction Times:",
         .buddy = "txtSturmbotMinReaction", .at = below(Fields, 0),
         .member = lblSturmbotReaction},
        {.kind = Kind::LineEdit, .name = "txtSturmbotMinReaction", .caption = "999",
         .tip = "Be careful with this one!", .access = "Minimum reaction time",
         .at = beside(Fields, 1), .member = txtSturmbotMinReaction, .tab = 9},
        {.kind = Kind::Label, .name = "Label1", .caption = "to", .buddy = "txtSturmbotMaxReaction",
         .at = beside(Fields, 2), .member = Label1},
        {.kind = Kind::LineEdit, .name = "txtSturmbotMaxReaction", .caption = "999",
         .tip = "Increase to make them sluggish.", .access = "Maximum reaction time",
         .at = beside(Fields, 3), .member = txtSturmbotMaxReaction, .tab = 10},
        {.kind = Kind::Label, .name = "lblSturmbotNumber", .caption = "Number Bots:",
         .buddy = "txtSturmbotMinBots", .at = below(Fields, 0), .member = lblSturmbotNumber},
        {.kind = Kind::LineEdit, .name = "txtSturmbotMinBots", .caption = "0",
         .tip = "You can set this to 2, keep the server active.",
         .access = "Minimum number of bots", .at = beside(Fields, 1), .member = txtSturmbotMinBots,
         .tab = 11},
        {.kind = Kind::Label, .name = "Label2", .caption = "to", .buddy = "txtSturmbotMaxBots",
         .at = beside(Fields, 2), .member = Label2},
        {.kind = Kind::LineEdit, .name = "txtSturmbotMaxBots", .caption = "0",
         .tip = "Bots will leave as players join in.", .access = "Maximum number of bots",
         .at = beside(Fields, 3), .member = txtSturmbotMaxBots, .tab = 12},
        {.kind = Kind::Label, .name = "lblMxBt", .caption = "?",
         .description = "Most bots: below the player count plus one", .at = beside(Fields, 4),
         .member = lblMxBt},
        {.kind = Kind::Label, .name = "lblExtra3", .caption = "Extra Variables:",
         .buddy = "txtExtra3", .at = below(Fields, 0, 5), .member = lblExtra3},
        // Stored with "\n"; crlfText() gives the lines back with CR LF.
        {.kind = Kind::Text, .name = "txtExtra3",
         .caption = "bind \"F3\" \"sturmbotmenu\"\nmaxteamkills 3\n",
         .tip = "Add more stuff in here.", .at = below(Fields, 0, 5, {}, 1), .member = txtExtra3,
         .tab = 13},
        {.kind = Kind::CheckBox, .name = "chkSturmbotFillserver",
         .caption = "Fill server with bots?", .tip = "Makes life easier for you.", .checked = true,
         .at = next(Right), .member = chkSturmbotFillserver, .tab = 14},
        {.kind = Kind::Button, .name = "cmdSturmbotOK", .caption = "Save",
         .at = next(Right, 0, Qt::AlignRight), .member = cmdSturmbotOK, .tab = 24},
        // The roster frame (buildRosterFrame) and a stretch stand above Save.
        {.kind = Kind::SubFrame, .name = "frmSturmbotCustom",
         .caption = "Custom Bot setup for each map.", .at = ahead(Right, "cmdSturmbotOK"),
         .member = frmSturmbotCustom},
        {.kind = Kind::Stretch, .at = ahead(Right, "cmdSturmbotOK", 1)},
    };
    // clang-format on
    setupForm_ = buildForm(frmSturmbotSetup, layouts, rows);

    cmbSturmbotBlood->addItems({QStringLiteral("0-Normal"), QStringLiteral("1-Blood"),
                                QStringLiteral("2-Bodies"), QStringLiteral("3-Explode")});
    cmbSturmbotBlood->setCurrentIndex(0);
    lblMxBt->setMinimumWidth(lblMxBt->fontMetrics().horizontalAdvance(QStringLiteral("< 33.5")));
    for (QLineEdit* e :
         {txtSturmbotMinReaction, txtSturmbotMaxReaction, txtSturmbotMinBots, txtSturmbotMaxBots})
        narrow(e);
    lblExtra3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtExtra3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtExtra3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtExtra3->setTabChangesFocus(true);
    txtExtra3->setMinimumHeight(txtExtra3->fontMetrics().lineSpacing() * 2 + 8);
}

void BotSetupPanel::buildRosterFrame() {
    enum { Grid, Teams, Buttons };
    const Layout layouts[] = {
        {.type = Layout::Grid,
         .on = "frmSturmbotCustom",
         .margins = {6, 2, 6, 4},
         .hSpacing = 4,
         .vSpacing = 3,
         .columnStretch = {{1, 1}}},
        {.type = Layout::Line, .spacing = 4},
        {.type = Layout::Line},
    };
    // clang-format off
    const Row rows[] = {
        {.kind = Kind::Label, .name = "lblSturmbotMap", .caption = "Map:",
         .buddy = "cmbSturmbotMapList", .at = below(Grid, 0), .member = lblSturmbotMap},
        {.kind = Kind::TypedCombo, .name = "cmbSturmbotMapList",
         .tip = "Getting complicated? Set bots for each map file.", .at = beside(Grid, 1, 3),
         .member = cmbSturmbotMapList, .tab = 15},
        {.kind = Kind::Label, .name = "lblSturmbotMapStatus", .caption = "Status message",
         .at = below(Grid, 0, 4), .member = lblSturmbotMapStatus},
        {.kind = Kind::Nested, .at = below(Grid, 0, 4), .nested = Teams},
        {.kind = Kind::Option, .name = "optSturmbotAllies1", .caption = "Allies", .at = next(Teams),
         .member = optSturmbotAllies1, .tab = 16},
        {.kind = Kind::Option, .name = "optSturmbotAllies2", .caption = "British",
         .at = next(Teams), .member = optSturmbotAllies2, .tab = 17},
        {.kind = Kind::Option, .name = "optSturmbotAxis1", .caption = "Axis", .at = next(Teams),
         .member = optSturmbotAxis1, .tab = 18},
        {.kind = Kind::Stretch, .at = next(Teams, 1)},
        {.kind = Kind::TypedCombo, .name = "cmbSturmbotClass", .tip = "Weapon selection.",
         .access = "Bot class", .at = below(Grid, 0, 2), .member = cmbSturmbotClass,
         .tab = 19},
        {.kind = Kind::Label, .name = "lblSturmbotSkill", .caption = "Bot Skill:",
         .buddy = "cmbSturmbotSkill", .at = beside(Grid, 2, Qt::AlignRight),
         .member = lblSturmbotSkill},
        {.kind = Kind::TypedCombo, .name = "cmbSturmbotSkill", .tip = "1 low skill, 8 deadly",
         .at = beside(Grid, 3), .member = cmbSturmbotSkill, .tab = 20},
        {.kind = Kind::Label, .name = "lblSturmbotName", .caption = "Bot Name:",
         .buddy = "txtSturmbotName", .at = below(Grid, 0), .member = lblSturmbotName},
        {.kind = Kind::LineEdit, .name = "txtSturmbotName", .tip = "I like the name \"Dufus\".",
         .at = beside(Grid, 1, 3), .member = txtSturmbotName, .tab = 21},
        {.kind = Kind::Nested, .at = below(Grid, 0, 4), .nested = Buttons},
        {.kind = Kind::Button, .name = "cmdSturmbotAdd", .caption = "Add Bot",
         .tip = "Phew! Acknowledge this sucker, finally.", .at = next(Buttons),
         .member = cmdSturmbotAdd, .tab = 23},
        // Clear stands on the left, away from Add.
        {.kind = Kind::Button, .name = "cmdSturmbotClear", .caption = "Clear Bots",
         .tip = "Careful, do you really want to clear all your hard work?",
         .at = ahead(Buttons, "cmdSturmbotAdd"), .member = cmdSturmbotClear, .tab = 22},
        {.kind = Kind::Stretch, .at = ahead(Buttons, "cmdSturmbotAdd", 1)},
    };
    // clang-format on
    rosterForm_ = buildForm(frmSturmbotCustom, layouts, rows);

    setTextColour(lblSturmbotMapStatus, kPureRed);
    for (auto [option, back] : {std::pair{optSturmbotAllies1, kAlliedGreen},
                                {optSturmbotAllies2, kAlliedGreen},
                                {optSturmbotAxis1, kPureRed}}) {
        QFont bold = option->font();
        bold.setBold(true);
        option->setFont(bold);
        setBackColour(option, back);
    }
    for (int i = 1; i <= 8; ++i)
        cmbSturmbotSkill->addItem(QString::number(i));
    cmbSturmbotSkill->setCurrentIndex(4); // "5"

    // Fill-server mode is the default: the roster frame waits, hidden.
    frmSturmbotCustom->setEnabled(false);
    frmSturmbotCustom->hide();
}

void BotSetupPanel::placeSetupCaption() {
    if (setupCaptionPlaced_)
        return;
    setupCaptionPlaced_ = true;
    // The frame starts 8 px left of the form's edge; its caption moves
    // right by as much so that it is read whole.
    frmSturmbotSetup->setStyleSheet(
        QStringLiteral("QGroupBox#frmSturmbotSetup::title { subcontrol-origin: margin; "
                       "subcontrol-position: top left; left: 8px; }"));
}

void BotSetupPanel::showRoster(bool shown) {
    if (shown && !rosterWidthsFixed_) {
        fixWidth(cmbSturmbotMapList, 10);
        fixWidth(cmbSturmbotClass, 10);
        fixWidth(cmbSturmbotSkill, 2);
        rosterWidthsFixed_ = true;
    }
    frmSturmbotCustom->setVisible(shown);
}

void BotSetupPanel::setTabOrder() {
    orderTabs({&setupForm_, &rosterForm_});
}

} // namespace vorn
