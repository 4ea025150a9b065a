#include "botsetuppanel.h"

#include "alliedcountry.h"
#include "botcfg.h"
#include "controls.h"
#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn {

namespace {

// Pure red and the allied green of the roster frame, as 0x00BBGGRR.
constexpr std::uint32_t kPureRed = 0x0000FF;
constexpr std::uint32_t kAlliedGreen = 0x00C000;

// A short number field: wide enough for four digits, no wider.
void narrow(QLineEdit* edit) {
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
}

} // namespace

BotSetupPanel::BotSetupPanel(Vorn& window) : SetupPanel(&window), w(window) {
    buildSetupFrame();
    buildRosterFrame();
    setTabOrder();
    wireReactions();
}

void BotSetupPanel::reset() {
    cmdSturmbotOK->setEnabled(true);
    frmSturmbotSetup->hide();
}

void BotSetupPanel::modChosen(const ModFacts& facts) {
    if (!facts.addOn)
        return;
    chkSturmbotFillserver->setChecked(true);
    if (facts.addOnVersion.isEmpty()) {
        Vorn::setCaption(frmSturmbotSetup, QStringLiteral("Sturmbot Setup"));
    } else {
        Vorn::setCaption(frmSturmbotSetup, QStringLiteral("Sturmbot ") + facts.addOnVersion +
                                               QStringLiteral(" Setup"));
        const bool old = facts.addOnVersion == QStringLiteral("1.5");
        const QString minText = old ? QStringLiteral("30") : QStringLiteral("300");
        const QString maxText = old ? QStringLiteral("80") : QStringLiteral("800");
        // Each assignment runs its box's reaction, which keeps the pair in
        // order; raising both starts with the maximum so the new minimum is
        // not pulled below its default.
        if (txtSturmbotMaxReaction->text().toDouble() <= minText.toDouble()) {
            txtSturmbotMaxReaction->setText(maxText);
            txtSturmbotMinReaction->setText(minText);
        } else {
            txtSturmbotMinReaction->setText(minText);
            txtSturmbotMaxReaction->setText(maxText);
        }
    }
    cmdSturmbotAdd->setEnabled(false);
    cmdSturmbotClear->setEnabled(false);
}

void BotSetupPanel::showMaxBotsCaption(const QString& caption) {
    lblMxBt->setText(caption);
}

void BotSetupPanel::offerRosterMaps(const QStringList& maps) {
    cmbSturmbotMapList->clear();
    cmbSturmbotMapList->addItems(maps);
    cmbSturmbotMapList->setCurrentIndex(-1);
}

// ---------------------------------------------------------------------------
// Building the frames

void BotSetupPanel::buildSetupFrame() {
    frmSturmbotSetup = new QGroupBox(QStringLiteral("Sturmbot Setup"), w.formArea());
    frmSturmbotSetup->setObjectName(QStringLiteral("frmSturmbotSetup"));
    w.addFrame(frmSturmbotSetup, -120, 3000, 8655, 4215);
    frmSturmbotSetup->hide();
    // The frame starts 8 px left of the form's edge; its caption moves
    // right by as much so that it is read whole.
    frmSturmbotSetup->setStyleSheet(
        QStringLiteral("QGroupBox#frmSturmbotSetup::title { subcontrol-origin: margin; "
                       "subcontrol-position: top left; left: 8px; }"));
    QWidget* f = frmSturmbotSetup;

    chkSturmbotFF = makeCheckBox(f, "chkSturmbotFF", QStringLiteral("Friendly Fire?"), false,
                                 QStringLiteral("Turn bots into smacktards."));
    chkSturmbotRank = makeCheckBox(f, "chkSturmbotRank", QStringLiteral("Rank?"), true,
                                   QStringLiteral("Prepend names with skill level."));
    chkSturmbotFSquad = makeCheckBox(f, "chkSturmbotFSquad", QStringLiteral("Form Squad?"), false,
                                     QStringLiteral("Stick together more."));

    Shape1 = new QFrame(f);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFrameShadow(QFrame::Plain);
    chkSturmbotKnife = makeCheckBox(Shape1, "chkSturmbotKnife", QStringLiteral("Knife Only?"),
                                    false, QStringLiteral("\"Resident Evil\" mode."));
    chkSturmbotPistol = makeCheckBox(Shape1, "chkSturmbotPistol", QStringLiteral("Pistol Only?"),
                                     false, QStringLiteral("Their aim is still pretty good!"));
    chkSturmbotGrenade = makeCheckBox(Shape1, "chkSturmbotGrenade", QStringLiteral("Grenade Only?"),
                                      false, QStringLiteral("Not sure about this one."));
    auto* onlyBox = new QVBoxLayout(Shape1);
    onlyBox->setContentsMargins(4, 1, 4, 1);
    onlyBox->setSpacing(0);
    onlyBox->addWidget(chkSturmbotKnife);
    onlyBox->addWidget(chkSturmbotPistol);
    onlyBox->addWidget(chkSturmbotGrenade);

    auto* gameBox = new QVBoxLayout;
    gameBox->setContentsMargins(0, 2, 0, 2);
    gameBox->setSpacing(0);
    gameBox->addWidget(chkSturmbotFF);
    gameBox->addWidget(chkSturmbotRank);
    gameBox->addWidget(chkSturmbotFSquad);

    auto* checks = new QHBoxLayout;
    checks->setSpacing(6);
    checks->addLayout(gameBox);
    checks->addWidget(Shape1);
    checks->addStretch(1);

    lblSturmbotPasswd = makeLabel(f, "lblSturmbotPasswd", QStringLiteral("Bot Password:"));
    txtSturmbotPasswd =
        makeLineEdit(f, "txtSturmbotPasswd", QString(),
                     QStringLiteral("Handy to control the bots remotely. (use \"select_passwd\")"));
    lblSturmbotPasswd->setBuddy(txtSturmbotPasswd);

    lblSturmbotBlood = makeLabel(f, "lblSturmbotBlood", QStringLiteral("Blood Mode:"));
    cmbSturmbotBlood =
        makeTypedCombo(f, "cmbSturmbotBlood", QStringLiteral("Try this option out."));
    cmbSturmbotBlood->addItems({QStringLiteral("0-Normal"), QStringLiteral("1-Blood"),
                                QStringLiteral("2-Bodies"), QStringLiteral("3-Explode")});
    cmbSturmbotBlood->setCurrentIndex(0);
    lblSturmbotBlood->setBuddy(cmbSturmbotBlood);

    lblSturmbotReaction = makeLabel(f, "lblSturmbotReaction", QStringLiteral("Reaction Times:"));
    txtSturmbotMinReaction = makeLineEdit(f, "txtSturmbotMinReaction", QStringLiteral("999"),
                                          QStringLiteral("Be careful with this one!"));
    txtSturmbotMinReaction->setAccessibleName(QStringLiteral("Minimum reaction time"));
    Label1 = makeLabel(f, "Label1", QStringLiteral("to"));
    txtSturmbotMaxReaction = makeLineEdit(f, "txtSturmbotMaxReaction", QStringLiteral("999"),
                                          QStringLiteral("Increase to make them sluggish."));
    txtSturmbotMaxReaction->setAccessibleName(QStringLiteral("Maximum reaction time"));
    lblSturmbotReaction->setBuddy(txtSturmbotMinReaction);
    Label1->setBuddy(txtSturmbotMaxReaction);

    lblSturmbotNumber = makeLabel(f, "lblSturmbotNumber", QStringLiteral("Number Bots:"));
    txtSturmbotMinBots =
        makeLineEdit(f, "txtSturmbotMinBots", QStringLiteral("0"),
                     QStringLiteral("You can set this to 2, keep the server active."));
    txtSturmbotMinBots->setAccessibleName(QStringLiteral("Minimum number of bots"));
    Label2 = makeLabel(f, "Label2", QStringLiteral("to"));
    txtSturmbotMaxBots = makeLineEdit(f, "txtSturmbotMaxBots", QStringLiteral("0"),
                                      QStringLiteral("Bots will leave as players join in."));
    txtSturmbotMaxBots->setAccessibleName(QStringLiteral("Maximum number of bots"));
    lblSturmbotNumber->setBuddy(txtSturmbotMinBots);
    Label2->setBuddy(txtSturmbotMaxBots);
    lblMxBt = makeLabel(f, "lblMxBt", QStringLiteral("?"));
    lblMxBt->setAccessibleDescription(QStringLiteral("Most bots: below the player count plus one"));
    lblMxBt->setMinimumWidth(lblMxBt->fontMetrics().horizontalAdvance(QStringLiteral("< 33.5")));
    for (QLineEdit* e :
         {txtSturmbotMinReaction, txtSturmbotMaxReaction, txtSturmbotMinBots, txtSturmbotMaxBots})
        narrow(e);

    lblExtra3 = makeLabel(f, "lblExtra3", QStringLiteral("Extra Variables:"));
    lblExtra3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtExtra3 = new QPlainTextEdit(f);
    txtExtra3->setObjectName(QStringLiteral("txtExtra3"));
    // Stored with "\n"; crlfText() gives the lines back with CR LF.
    txtExtra3->setPlainText(QStringLiteral("bind \"F3\" \"sturmbotmenu\"\nmaxteamkills 3\n"));
    txtExtra3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtExtra3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtExtra3->setTabChangesFocus(true);
    txtExtra3->setMinimumHeight(txtExtra3->fontMetrics().lineSpacing() * 2 + 8);
    txtExtra3->setToolTip(QStringLiteral("Add more stuff in here."));
    lblExtra3->setBuddy(txtExtra3);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(4);
    fields->setVerticalSpacing(2);
    fields->addWidget(lblSturmbotPasswd, 0, 0);
    fields->addWidget(txtSturmbotPasswd, 0, 1, 1, 4);
    fields->addWidget(lblSturmbotBlood, 1, 0);
    fields->addWidget(cmbSturmbotBlood, 1, 1, 1, 4);
    fields->addWidget(lblSturmbotReaction, 2, 0);
    fields->addWidget(txtSturmbotMinReaction, 2, 1);
    fields->addWidget(Label1, 2, 2);
    fields->addWidget(txtSturmbotMaxReaction, 2, 3);
    fields->addWidget(lblSturmbotNumber, 3, 0);
    fields->addWidget(txtSturmbotMinBots, 3, 1);
    fields->addWidget(Label2, 3, 2);
    fields->addWidget(txtSturmbotMaxBots, 3, 3);
    fields->addWidget(lblMxBt, 3, 4);
    fields->addWidget(lblExtra3, 4, 0, 1, 5);
    fields->addWidget(txtExtra3, 5, 0, 1, 5);
    fields->setRowStretch(5, 1);
    fields->setColumnStretch(4, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addLayout(checks);
    left->addLayout(fields, 1);

    chkSturmbotFillserver =
        makeCheckBox(f, "chkSturmbotFillserver", QStringLiteral("Fill server with bots?"), true,
                     QStringLiteral("Makes life easier for you."));
    cmdSturmbotOK = makeButton(f, "cmdSturmbotOK", QStringLiteral("Save"));

    right_ = new QVBoxLayout;
    right_->setSpacing(3);
    right_->addWidget(chkSturmbotFillserver);

    auto* columns = new QHBoxLayout(f);
    // The frame stands 8 px left of the form's edge: keep its content clear.
    columns->setContentsMargins(14, 2, 6, 4);
    columns->setSpacing(8);
    columns->addLayout(left, 3);
    columns->addLayout(right_, 2);
}

void BotSetupPanel::buildRosterFrame() {
    frmSturmbotCustom =
        new QGroupBox(QStringLiteral("Custom Bot setup for each map."), frmSturmbotSetup);
    frmSturmbotCustom->setObjectName(QStringLiteral("frmSturmbotCustom"));
    QWidget* f = frmSturmbotCustom;

    lblSturmbotMap = makeLabel(f, "lblSturmbotMap", QStringLiteral("Map:"));
    cmbSturmbotMapList =
        makeTypedCombo(f, "cmbSturmbotMapList",
                       QStringLiteral("Getting complicated? Set bots for each map file."));
    cmbSturmbotMapList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSturmbotMapList->setMinimumContentsLength(10);
    lblSturmbotMap->setBuddy(cmbSturmbotMapList);

    lblSturmbotMapStatus = makeLabel(f, "lblSturmbotMapStatus", QStringLiteral("Status message"));
    setTextColour(lblSturmbotMapStatus, kPureRed);

    auto teamOption = [&](const char* name, const QString& caption, std::uint32_t back) {
        auto* o = new QRadioButton(caption, f);
        o->setObjectName(QString::fromLatin1(name));
        QFont bold = o->font();
        bold.setBold(true);
        o->setFont(bold);
        w.setBackColour(o, back);
        return o;
    };
    optSturmbotAllies1 = teamOption("optSturmbotAllies1", QStringLiteral("Allies"), kAlliedGreen);
    optSturmbotAllies2 = teamOption("optSturmbotAllies2", QStringLiteral("British"), kAlliedGreen);
    optSturmbotAxis1 = teamOption("optSturmbotAxis1", QStringLiteral("Axis"), kPureRed);

    cmbSturmbotClass = makeTypedCombo(f, "cmbSturmbotClass", QStringLiteral("Weapon selection."));
    cmbSturmbotClass->setAccessibleName(QStringLiteral("Bot class"));
    cmbSturmbotClass->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSturmbotClass->setMinimumContentsLength(10);

    lblSturmbotSkill = makeLabel(f, "lblSturmbotSkill", QStringLiteral("Bot Skill:"));
    cmbSturmbotSkill =
        makeTypedCombo(f, "cmbSturmbotSkill", QStringLiteral("1 low skill, 8 deadly"));
    for (int i = 1; i <= 8; ++i)
        cmbSturmbotSkill->addItem(QString::number(i));
    cmbSturmbotSkill->setCurrentIndex(4); // "5"
    cmbSturmbotSkill->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSturmbotSkill->setMinimumContentsLength(2);
    lblSturmbotSkill->setBuddy(cmbSturmbotSkill);

    lblSturmbotName = makeLabel(f, "lblSturmbotName", QStringLiteral("Bot Name:"));
    txtSturmbotName =
        makeLineEdit(f, "txtSturmbotName", QString(), QStringLiteral("I like the name \"Dufus\"."));
    lblSturmbotName->setBuddy(txtSturmbotName);

    cmdSturmbotAdd = makeButton(f, "cmdSturmbotAdd", QStringLiteral("Add Bot"),
                                QStringLiteral("Phew! Acknowledge this sucker, finally."));
    cmdSturmbotClear =
        makeButton(f, "cmdSturmbotClear", QStringLiteral("Clear Bots"),
                   QStringLiteral("Careful, do you really want to clear all your hard work?"));

    auto* grid = new QGridLayout(f);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    grid->addWidget(lblSturmbotMap, 0, 0);
    grid->addWidget(cmbSturmbotMapList, 0, 1, 1, 3);
    grid->addWidget(lblSturmbotMapStatus, 1, 0, 1, 4);

    auto* teams = new QHBoxLayout;
    teams->setSpacing(4);
    teams->addWidget(optSturmbotAllies1);
    teams->addWidget(optSturmbotAllies2);
    teams->addWidget(optSturmbotAxis1);
    teams->addStretch(1);
    grid->addLayout(teams, 2, 0, 1, 4);

    grid->addWidget(cmbSturmbotClass, 3, 0, 1, 2);
    grid->addWidget(lblSturmbotSkill, 3, 2, Qt::AlignRight);
    grid->addWidget(cmbSturmbotSkill, 3, 3);
    grid->addWidget(lblSturmbotName, 4, 0);
    grid->addWidget(txtSturmbotName, 4, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSturmbotClear);
    buttons->addStretch(1);
    buttons->addWidget(cmdSturmbotAdd);
    grid->addLayout(buttons, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    // Fill-server mode is the default: the roster frame waits, hidden.
    frmSturmbotCustom->setEnabled(false);
    frmSturmbotCustom->hide();

    right_->addWidget(frmSturmbotCustom);
    right_->addStretch(1);
    right_->addWidget(cmdSturmbotOK, 0, Qt::AlignRight);
}

void BotSetupPanel::setTabOrder() {
    const QList<QWidget*> order = {chkSturmbotFF,
                                   chkSturmbotKnife,
                                   chkSturmbotRank,
                                   chkSturmbotPistol,
                                   chkSturmbotFSquad,
                                   chkSturmbotGrenade,
                                   txtSturmbotPasswd,
                                   cmbSturmbotBlood,
                                   txtSturmbotMinReaction,
                                   txtSturmbotMaxReaction,
                                   txtSturmbotMinBots,
                                   txtSturmbotMaxBots,
                                   txtExtra3,
                                   chkSturmbotFillserver,
                                   cmbSturmbotMapList,
                                   optSturmbotAllies1,
                                   optSturmbotAllies2,
                                   optSturmbotAxis1,
                                   cmbSturmbotClass,
                                   cmbSturmbotSkill,
                                   txtSturmbotName,
                                   cmdSturmbotClear,
                                   cmdSturmbotAdd,
                                   cmdSturmbotOK};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void BotSetupPanel::wireReactions() {
    auto onToggle = [this](QCheckBox* box, void (BotSetupPanel::*reaction)()) {
        connect(box, &QAbstractButton::toggled, this, [this, reaction] { (this->*reaction)(); });
    };
    onToggle(chkSturmbotFF, &BotSetupPanel::chkSturmbotFF_Click);
    onToggle(chkSturmbotRank, &BotSetupPanel::chkSturmbotRank_Click);
    onToggle(chkSturmbotFSquad, &BotSetupPanel::chkSturmbotFSquad_Click);
    onToggle(chkSturmbotKnife, &BotSetupPanel::chkSturmbotKnife_Click);
    onToggle(chkSturmbotPistol, &BotSetupPanel::chkSturmbotPistol_Click);
    onToggle(chkSturmbotGrenade, &BotSetupPanel::chkSturmbotGrenade_Click);
    onToggle(chkSturmbotFillserver, &BotSetupPanel::chkSturmbotFillserver_Click);

    connect(cmbSturmbotBlood, &QComboBox::activated, this, [this] { cmbSturmbotBlood_Click(); });
    connect(txtExtra3, &QPlainTextEdit::textChanged, this, [this] { txtExtra3_Change(); });
    connect(txtSturmbotPasswd, &QLineEdit::textChanged, this,
            [this] { txtSturmbotPasswd_Change(); });
    connect(txtSturmbotMinReaction, &QLineEdit::textChanged, this,
            [this] { txtSturmbotMinReaction_Change(); });
    connect(txtSturmbotMaxReaction, &QLineEdit::textChanged, this,
            [this] { txtSturmbotMaxReaction_Change(); });
    connect(txtSturmbotMinBots, &QLineEdit::textChanged, this,
            [this] { txtSturmbotMinBots_Change(); });
    connect(txtSturmbotMaxBots, &QLineEdit::textChanged, this,
            [this] { txtSturmbotMaxBots_Change(); });
    connect(cmdSturmbotOK, &QAbstractButton::clicked, this, [this] { cmdSturmbotOK_Click(); });

    connect(cmbSturmbotMapList, &QComboBox::activated, this,
            [this] { cmbSturmbotMapList_Click(); });
    Vorn::onSelected(optSturmbotAllies1, this, [this] { optSturmbotAllies1_Click(); });
    Vorn::onSelected(optSturmbotAllies2, this, [this] { optSturmbotAllies2_Click(); });
    Vorn::onSelected(optSturmbotAxis1, this, [this] { optSturmbotAxis1_Click(); });
    connect(cmbSturmbotClass, &QComboBox::activated, this, [this] { cmbSturmbotClass_Click(); });
    connect(cmdSturmbotAdd, &QAbstractButton::clicked, this, [this] { cmdSturmbotAdd_Click(); });
    connect(cmdSturmbotClear, &QAbstractButton::clicked, this,
            [this] { cmdSturmbotClear_Click(); });

    Vorn::onSelected(w.optBotFile, this, [this] { optBotFile_Click(); });
}

// ---------------------------------------------------------------------------
// The configuration text

void BotSetupPanel::optBotFile_Click() {
    if (w.mod() != QLatin1String("dod"))
        return;
    ClampBotCounts();
    w.lockViewer();
    w.showPanel(this);

    BotCfgInputs in;
    in.password = txtSturmbotPasswd->text().toStdString();
    in.minReaction = txtSturmbotMinReaction->text().toStdString();
    in.maxReaction = txtSturmbotMaxReaction->text().toStdString();
    in.friendlyFire = chkSturmbotFF->isChecked();
    in.rank = chkSturmbotRank->isChecked();
    in.formSquad = chkSturmbotFSquad->isChecked();
    in.knifeOnly = chkSturmbotKnife->isChecked();
    in.pistolOnly = chkSturmbotPistol->isChecked();
    in.grenadeOnly = chkSturmbotGrenade->isChecked();
    in.bloodMode = cmbSturmbotBlood->currentText().toStdString();
    in.minBots = txtSturmbotMinBots->text().toStdString();
    in.maxBots = txtSturmbotMaxBots->text().toStdString();
    in.extra = crlfText(txtExtra3).toStdString();
    in.fillServer = chkSturmbotFillserver->isChecked();
    in.roster = w.st.mapBotCfgText.toStdString();
    w.st.botCfgText = QString::fromStdString(composeBotCfg(in));

    w.setViewerCaption(w.st.botCfgName);
    w.ShowInViewer(w.st.botCfgText);
    w.frmInfo->show();
    w.setStatus(QStringLiteral("Please complete Sturmbot setup."), colour::Blue);
    frmSturmbotCustom->setVisible(!chkSturmbotFillserver->isChecked());
    w.UpdateReadiness();
}

void BotSetupPanel::ClampBotCounts() {
    const std::string playerCount = w.ask.maxPlayers().toStdString();
    const BotCounts c = boundedBotCounts(txtSturmbotMinBots->text().toStdString(),
                                         txtSturmbotMaxBots->text().toStdString(), playerCount);
    if (QString::fromStdString(c.minBots) != txtSturmbotMinBots->text())
        txtSturmbotMinBots->setText(QString::fromStdString(c.minBots));
    if (QString::fromStdString(c.maxBots) != txtSturmbotMaxBots->text())
        txtSturmbotMaxBots->setText(QString::fromStdString(c.maxBots));
}

void BotSetupPanel::ClampReactionTimes() {
    const ReactionTimes r = orderedReactionTimes(txtSturmbotMinReaction->text().toStdString(),
                                                 txtSturmbotMaxReaction->text().toStdString());
    // The corrections do not start another pass of the change handlers.
    clampingReactions_ = true;
    if (QString::fromStdString(r.minReaction) != txtSturmbotMinReaction->text())
        txtSturmbotMinReaction->setText(QString::fromStdString(r.minReaction));
    if (QString::fromStdString(r.maxReaction) != txtSturmbotMaxReaction->text())
        txtSturmbotMaxReaction->setText(QString::fromStdString(r.maxReaction));
    clampingReactions_ = false;
}

void BotSetupPanel::rebuildPreview() {
    optBotFile_Click();
    w.ShowInViewer(w.st.botCfgText);
    cmdSturmbotOK->setEnabled(true);
}

void BotSetupPanel::chkSturmbotFF_Click() {
    rebuildPreview();
}
void BotSetupPanel::chkSturmbotRank_Click() {
    rebuildPreview();
}
void BotSetupPanel::chkSturmbotFSquad_Click() {
    rebuildPreview();
}
void BotSetupPanel::cmbSturmbotBlood_Click() {
    rebuildPreview();
}
void BotSetupPanel::txtExtra3_Change() {
    rebuildPreview();
}
void BotSetupPanel::txtSturmbotPasswd_Change() {
    rebuildPreview();
}

// The three "only" modes exclude each other: checking one clears the
// other two; unchecking one changes nothing else.
void BotSetupPanel::chkSturmbotKnife_Click() {
    if (chkSturmbotKnife->isChecked()) {
        chkSturmbotPistol->setChecked(false);
        chkSturmbotGrenade->setChecked(false);
    }
    rebuildPreview();
}

void BotSetupPanel::chkSturmbotPistol_Click() {
    if (chkSturmbotPistol->isChecked()) {
        chkSturmbotKnife->setChecked(false);
        chkSturmbotGrenade->setChecked(false);
    }
    rebuildPreview();
}

void BotSetupPanel::chkSturmbotGrenade_Click() {
    if (chkSturmbotGrenade->isChecked()) {
        chkSturmbotPistol->setChecked(false);
        chkSturmbotKnife->setChecked(false);
    }
    rebuildPreview();
}

void BotSetupPanel::reactionTimeChanged() {
    if (clampingReactions_)
        return;
    ClampReactionTimes();
    // The defaults written while a mod is chosen must not open the panel.
    if (!frmSturmbotSetup->isHidden()) {
        optBotFile_Click();
        w.ShowInViewer(w.st.botCfgText);
    }
}

void BotSetupPanel::txtSturmbotMinReaction_Change() {
    reactionTimeChanged();
}
void BotSetupPanel::txtSturmbotMaxReaction_Change() {
    reactionTimeChanged();
}

// A new bot count reaches the text, clamped, at the next build.
void BotSetupPanel::txtSturmbotMinBots_Change() {}
void BotSetupPanel::txtSturmbotMaxBots_Change() {}

void BotSetupPanel::cmdSturmbotOK_Click() {
    // The file the panel names (and shows as the viewer's caption).
    const QString name = w.st.botCfgName;
    if (!w.unusableNameReason(name).isEmpty()) {
        w.setStatus(
            QStringLiteral("Cannot save the bot setup: \"%1\" is not a valid file name.").arg(name),
            colour::Red);
        return;
    }
    w.st.checkPath = w.st.gameDir + w.mod() + QStringLiteral("\\sturmbot\\") + name;
    // The step is confirmed only once the file is really written.
    if (!w.saveGameFile(w.st.checkPath, w.st.botCfgText))
        return;
    w.setBackColour(w.optBotFile, colour::LightGreen);
    w.st.botCfgSaved = 1;
    w.UpdateReadiness();
    w.showSaveNote();
}

// ---------------------------------------------------------------------------
// The per-map rosters

void BotSetupPanel::chkSturmbotFillserver_Click() {
    if (chkSturmbotFillserver->isChecked()) {
        frmSturmbotCustom->setEnabled(false);
        w.st.botCfgName = QStringLiteral("bot.cfg");
    } else {
        const QString map = cmbSturmbotMapList->currentText();
        w.st.botCfgName = map.isEmpty() ? QStringLiteral("bot.cfg") : map + "_bot.cfg";
        frmSturmbotCustom->setEnabled(true);
        frmSturmbotCustom->show();
    }
    w.setViewerCaption(w.st.botCfgName);
    rebuildPreview();
}

void BotSetupPanel::setRosterControlsEnabled(bool enabled) {
    for (QWidget* c : std::initializer_list<QWidget*>{
             cmdSturmbotAdd, cmdSturmbotClear, txtSturmbotName, cmbSturmbotSkill,
             optSturmbotAllies1, optSturmbotAllies2, optSturmbotAxis1, cmbSturmbotClass})
        c->setEnabled(enabled);
}

void BotSetupPanel::setMapStatus(const QString& text, std::uint32_t bgr) {
    lblSturmbotMapStatus->setText(text);
    setTextColour(lblSturmbotMapStatus, bgr);
}

void BotSetupPanel::cmbSturmbotMapList_Click() {
    const QString map = cmbSturmbotMapList->currentText();

    Vorn::setCaption(optSturmbotAxis1, QStringLiteral("Axis"));
    optSturmbotAllies2->hide();
    Vorn::setCaption(optSturmbotAllies1, QStringLiteral("Allies"));
    optSturmbotAllies1->show();

    waypointName = map + QStringLiteral(".wpt");
    const bool usable = w.unusableNameReason(map).isEmpty();
    w.st.botCfgName = QStringLiteral("invalid");
    w.setViewerCaption(QStringLiteral("invalid"));
    setMapStatus(QStringLiteral("check matching waypoint file..."), colour::NearBlack);

    w.st.checkPath =
        w.st.gameDir + w.mod() + QStringLiteral("\\sturmbot\\waypoints\\") + waypointName;
    // A name that cannot be a file name finds no waypoints, and no roster
    // file is offered for it.
    waypointMatch = usable
                        ? QString::fromStdString(platform::storedName(w.st.checkPath.toStdString()))
                        : QString();
    Vorn::setCaption(frmSturmbotCustom, waypointName);

    if (waypointMatch != waypointName) {
        w.st.botCfgName = QStringLiteral("bot.cfg");
        w.ui.beep();
        setMapStatus(QStringLiteral("WARNING: No waypoint file exist."), colour::Red);
        setRosterControlsEnabled(false);
    } else {
        w.st.botCfgName = map + QStringLiteral("_bot.cfg");
        setMapStatus(QStringLiteral("Waypoint file exists."), colour::Blue);
        setRosterControlsEnabled(true);
        if (w.st.nationClassSet == 1) {
            w.st.countryDetected = 0;
            if (!DetectAlliedCountry(w, map))
                return; // the program was ended
            if (w.st.countryDetected == 1) {
                Vorn::setCaption(optSturmbotAxis1, QStringLiteral("German"));
                Vorn::setCaption(optSturmbotAllies1, QStringLiteral("U.S."));
                Vorn::setCaption(optSturmbotAllies2, QStringLiteral("British"));
                const bool british = w.st.alliesBritish == 1;
                optSturmbotAllies1->setVisible(!british);
                optSturmbotAllies2->setVisible(british);
            }
        }
    }
    w.setViewerCaption(w.st.botCfgName);
}

void BotSetupPanel::fillClassList(const std::vector<std::string>& items) {
    cmbSturmbotClass->clear();
    if (w.mod() != QLatin1String("dod"))
        return;
    // The box then shows the first class: the class an added bot gets is
    // always the one on show.
    for (const std::string& item : items)
        cmbSturmbotClass->addItem(QString::fromStdString(item));
}

void BotSetupPanel::optSturmbotAllies1_Click() {
    fillClassList(usAlliedBotClasses());
}
void BotSetupPanel::optSturmbotAllies2_Click() {
    fillClassList(britishBotClasses());
}
void BotSetupPanel::optSturmbotAxis1_Click() {
    fillClassList(axisBotClasses());
}

void BotSetupPanel::cmbSturmbotClass_Click() {
    cmdSturmbotAdd->setEnabled(true);
}

void BotSetupPanel::cmdSturmbotAdd_Click() {
    auto add = [this](const char* team) {
        const QString line = QString::fromStdString(rosterLine(
            team, cmbSturmbotClass->currentText().toStdString(),
            cmbSturmbotSkill->currentText().toStdString(), txtSturmbotName->text().toStdString()));
        if (w.st.mapBotCfgText.isEmpty())
            w.st.mapBotCfgText = line;
        else
            w.st.mapBotCfgText += QStringLiteral("\r\n") + line;
    };
    if (optSturmbotAllies1->isChecked() || optSturmbotAllies2->isChecked())
        add("1");
    if (optSturmbotAxis1->isChecked())
        add("2");

    optBotFile_Click();
    w.ShowInViewer(w.st.botCfgText);
    cmdSturmbotClear->setEnabled(true);
    cmdSturmbotOK->setEnabled(true);
}

void BotSetupPanel::cmdSturmbotClear_Click() {
    w.st.mapBotCfgText.clear();
    rebuildPreview();
}

} // namespace vorn
