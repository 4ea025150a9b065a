#include "botsetuppanel.h"

#include "alliedcountry.h"
#include "botcfg.h"
#include "controls.h"
#include "platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace vorn {

BotSetupPanel::BotSetupPanel(PanelHost& panelHost) : host(panelHost) {
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
    nationClasses_ = facts.nationClasses;
    if (!facts.addOn)
        return;
    botCfgName = QStringLiteral("bot.cfg");
    chkSturmbotFillserver->setChecked(true);
    if (facts.addOnVersion.isEmpty()) {
        setCaption(frmSturmbotSetup, QStringLiteral("Sturmbot Setup"));
    } else {
        setCaption(frmSturmbotSetup,
                   QStringLiteral("Sturmbot ") + facts.addOnVersion + QStringLiteral(" Setup"));
        const bool old = facts.addOnVersion == QStringLiteral("1.5");
        // An ordered pair: no clamp is needed.
        txtSturmbotMinReaction->setText(old ? QStringLiteral("30") : QStringLiteral("300"));
        txtSturmbotMaxReaction->setText(old ? QStringLiteral("80") : QStringLiteral("800"));
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
    // The clamps run once an edit is finished (the focus leaves, or
    // Return), never while the user is still typing.
    for (QLineEdit* reaction : {txtSturmbotMinReaction, txtSturmbotMaxReaction})
        connect(reaction, &QLineEdit::editingFinished, this, [this] { reactionTimeFinished(); });
    for (QLineEdit* count : {txtSturmbotMinBots, txtSturmbotMaxBots})
        connect(count, &QLineEdit::editingFinished, this, [this] { botCountFinished(); });
    connect(cmdSturmbotOK, &QAbstractButton::clicked, this, [this] { cmdSturmbotOK_Click(); });

    connect(cmbSturmbotMapList, &QComboBox::activated, this,
            [this] { cmbSturmbotMapList_Click(); });
    onSelected(optSturmbotAllies1, this, [this] { optSturmbotAllies1_Click(); });
    onSelected(optSturmbotAllies2, this, [this] { optSturmbotAllies2_Click(); });
    onSelected(optSturmbotAxis1, this, [this] { optSturmbotAxis1_Click(); });
    connect(cmbSturmbotClass, &QComboBox::activated, this, [this] { cmbSturmbotClass_Click(); });
    connect(cmdSturmbotAdd, &QAbstractButton::clicked, this, [this] { cmdSturmbotAdd_Click(); });
    connect(cmdSturmbotClear, &QAbstractButton::clicked, this,
            [this] { cmdSturmbotClear_Click(); });
}

// ---------------------------------------------------------------------------
// The configuration text

void BotSetupPanel::optBotFile_Click() {
    buildText(true);
}

void BotSetupPanel::buildText(bool clampCounts) {
    if (host.mod() != QLatin1String("dod"))
        return;
    if (clampCounts)
        ClampBotCounts();
    host.lockViewer();
    placeSetupCaption();
    host.showPanel(this);

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
    in.roster = mapBotCfgText.toStdString();
    botCfgText = QString::fromStdString(composeBotCfg(in));

    host.setViewerCaption(botCfgName);
    host.ShowInViewer(botCfgText);
    host.setStatus(QStringLiteral("Please complete Sturmbot setup."), colour::Blue);
    showRoster(!chkSturmbotFillserver->isChecked());
    host.UpdateReadiness();
}

void BotSetupPanel::ClampBotCounts() {
    const std::string playerCount = host.ask().maxPlayers().toStdString();
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
    host.ShowInViewer(botCfgText);
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

void BotSetupPanel::numberTyped() {
    if (clampingReactions_)
        return;
    // The defaults written while a mod is chosen must not open the panel.
    // A number being typed is shown as it stands: the clamps wait for the
    // end of the edit.
    if (!frmSturmbotSetup->isHidden()) {
        buildText(false);
        host.ShowInViewer(botCfgText);
    }
}

void BotSetupPanel::reactionTimeFinished() {
    ClampReactionTimes();
    if (!frmSturmbotSetup->isHidden()) {
        optBotFile_Click();
        host.ShowInViewer(botCfgText);
    }
}

void BotSetupPanel::botCountFinished() {
    if (frmSturmbotSetup->isHidden()) {
        ClampBotCounts();
        return;
    }
    optBotFile_Click();
    host.ShowInViewer(botCfgText);
}

void BotSetupPanel::txtSturmbotMinReaction_Change() {
    numberTyped();
}
void BotSetupPanel::txtSturmbotMaxReaction_Change() {
    numberTyped();
}
void BotSetupPanel::txtSturmbotMinBots_Change() {
    numberTyped();
}
void BotSetupPanel::txtSturmbotMaxBots_Change() {
    numberTyped();
}

void BotSetupPanel::cmdSturmbotOK_Click() {
    // The file the panel names (and shows as the viewer's caption).
    const QString name = botCfgName;
    if (!host.unusableNameReason(name).isEmpty()) {
        host.setStatus(
            QStringLiteral("Cannot save the bot setup: \"%1\" is not a valid file name.").arg(name),
            colour::Red);
        return;
    }
    if (const QString why = rosterRefusal(); !why.isEmpty()) {
        host.setStatus(why, colour::Red);
        return;
    }
    // What the boxes show is written: an edit still under way ends here,
    // clamped as when the focus leaves it.
    ClampReactionTimes();
    optBotFile_Click();
    // The step is confirmed only once the file is really written.
    if (!host.saveGameFile(host.modFilePath(QStringLiteral("sturmbot\\") + name), botCfgText))
        return;
    host.confirmStep(*this);
    host.showSaveNote();
}

// ---------------------------------------------------------------------------
// The per-map rosters

void BotSetupPanel::chkSturmbotFillserver_Click() {
    if (chkSturmbotFillserver->isChecked()) {
        frmSturmbotCustom->setEnabled(false);
        botCfgName = QStringLiteral("bot.cfg");
    } else {
        const QString map = cmbSturmbotMapList->currentText();
        botCfgName = map.isEmpty() ? QStringLiteral("bot.cfg") : map + "_bot.cfg";
        frmSturmbotCustom->setEnabled(true);
        showRoster(true);
    }
    host.setViewerCaption(botCfgName);
    rebuildPreview();
}

QString BotSetupPanel::rosterRefusal() const {
    if (chkSturmbotFillserver->isChecked())
        return {};
    // A roster never replaces the global bot.cfg: its lines have no
    // fill-server settings.
    const QString suffix = QStringLiteral("_bot.cfg");
    const QString name = botCfgName;
    if (!name.endsWith(suffix) || name.size() == suffix.size())
        return QStringLiteral("Error: choose a map for the bot roster first; nothing was saved.");
    // A map without waypoints has no roster: the add-on cannot place bots.
    const QString map = name.chopped(suffix.size());
    const QString wpt = map + QStringLiteral(".wpt");
    const QString path = host.modFilePath(QStringLiteral("sturmbot\\waypoints\\") + wpt);
    if (QString::fromStdString(platform::storedName(path.toStdString())) != wpt)
        return QStringLiteral("Error: %1 has no waypoint file, so its bot roster was not saved.")
            .arg(map);
    return {};
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

    setCaption(optSturmbotAxis1, QStringLiteral("Axis"));
    optSturmbotAllies2->hide();
    setCaption(optSturmbotAllies1, QStringLiteral("Allies"));
    optSturmbotAllies1->show();

    waypointName = map + QStringLiteral(".wpt");
    const bool usable = host.unusableNameReason(map).isEmpty();
    botCfgName = QStringLiteral("invalid");
    host.setViewerCaption(QStringLiteral("invalid"));
    setMapStatus(QStringLiteral("check matching waypoint file..."), colour::NearBlack);

    const QString waypointPath =
        host.modFilePath(QStringLiteral("sturmbot\\waypoints\\") + waypointName);
    // A name that cannot be a file name finds no waypoints, and no roster
    // file is offered for it.
    waypointMatch = usable
                        ? QString::fromStdString(platform::storedName(waypointPath.toStdString()))
                        : QString();
    setCaption(frmSturmbotCustom, waypointName);

    if (waypointMatch != waypointName) {
        // Still the map's roster file, never the global bot.cfg; Save
        // refuses it while the map has no waypoints.
        botCfgName = map + QStringLiteral("_bot.cfg");
        host.beep();
        setMapStatus(QStringLiteral("WARNING: No waypoint file exist."), colour::Red);
        setRosterControlsEnabled(false);
    } else {
        botCfgName = map + QStringLiteral("_bot.cfg");
        setMapStatus(QStringLiteral("Waypoint file exists."), colour::Blue);
        setRosterControlsEnabled(true);
        if (nationClasses_) {
            const AlliedCountry country = DetectAlliedCountry(host, map);
            if (country.programEnded)
                return;
            if (country.found != AlliedCountry::Unknown) {
                setCaption(optSturmbotAxis1, QStringLiteral("German"));
                setCaption(optSturmbotAllies1, QStringLiteral("U.S."));
                setCaption(optSturmbotAllies2, QStringLiteral("British"));
                const bool british = country.found == AlliedCountry::British;
                optSturmbotAllies1->setVisible(!british);
                optSturmbotAllies2->setVisible(british);
            }
        }
    }
    host.setViewerCaption(botCfgName);
}

void BotSetupPanel::fillClassList(const std::vector<std::string>& items) {
    cmbSturmbotClass->clear();
    if (host.mod() != QLatin1String("dod"))
        return;
    // The box then shows the first class: the class an added bot gets is
    // always the one on shohost.
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
        if (mapBotCfgText.isEmpty())
            mapBotCfgText = line;
        else
            mapBotCfgText += QStringLiteral("\r\n") + line;
    };
    if (optSturmbotAllies1->isChecked() || optSturmbotAllies2->isChecked())
        add("1");
    if (optSturmbotAxis1->isChecked())
        add("2");

    optBotFile_Click();
    host.ShowInViewer(botCfgText);
    cmdSturmbotClear->setEnabled(true);
    cmdSturmbotOK->setEnabled(true);
}

void BotSetupPanel::cmdSturmbotClear_Click() {
    mapBotCfgText.clear();
    rebuildPreview();
}

} // namespace vorn
