#include "servercfgpanel.h"

#include "servercfg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vorn {

ServerCfgPanel::ServerCfgPanel(Vorn& window) : SetupPanel(&window), w(window) {
    buildControls();
    wireReactions();
}

void ServerCfgPanel::reset() {
    cmdServerOK->setEnabled(true);
    frmServerFile->hide();
}

void ServerCfgPanel::modChosen(const ModFacts& facts) {
    txtHostName->setText(QStringLiteral("My ") + facts.mod + QStringLiteral(" server."));
}

QString ServerCfgPanel::hostName() const {
    return txtHostName->text();
}

void ServerCfgPanel::wireReactions() {
    Vorn::onSelected(w.optServerFile, this, [this] { optServerFile_Click(); });

    connect(chkFriendlyFire, &QAbstractButton::toggled, this,
            &ServerCfgPanel::chkFriendlyFire_Click);
    connect(chkFootSteps, &QAbstractButton::toggled, this, &ServerCfgPanel::chkFootSteps_Click);
    connect(chkFlashlight, &QAbstractButton::toggled, this, &ServerCfgPanel::chkFlashlight_Click);
    connect(chkDeathMsgs, &QAbstractButton::toggled, this, &ServerCfgPanel::chkDeathMsgs_Click);
    connect(chkFallDamage, &QAbstractButton::toggled, this, &ServerCfgPanel::chkFallDamage_Click);
    connect(chkLAN, &QAbstractButton::toggled, this, &ServerCfgPanel::chkLAN_Click);
    connect(txtTeamLimit, &QLineEdit::textChanged, this, &ServerCfgPanel::txtTeamLimit_Change);
    connect(txtMapTime, &QLineEdit::textChanged, this, &ServerCfgPanel::txtMapTime_Change);
    connect(txtExtra2, &QPlainTextEdit::textChanged, this, &ServerCfgPanel::txtExtra2_Change);
    // The host name has no reaction of its own: it enters the text at the
    // next composition.

    connect(cmdServerOK, &QAbstractButton::clicked, this, &ServerCfgPanel::cmdServerOK_Click);
}

ServerCfgInputs ServerCfgPanel::gatherInputs() const {
    ServerCfgInputs in;
    in.hostName = txtHostName->text().toStdString();
    in.teamLimit = txtTeamLimit->text().toStdString();
    in.mapTime = txtMapTime->text().toStdString();
    in.extra = crlfText(txtExtra2).toStdString();
    in.friendlyFire = chkFriendlyFire->isChecked();
    in.footSteps = chkFootSteps->isChecked();
    in.flashlight = chkFlashlight->isChecked();
    in.deathMsgs = chkDeathMsgs->isChecked();
    in.fallDamage = chkFallDamage->isChecked();
    in.lan = chkLAN->isChecked();
    return in;
}

namespace {

// The file the configuration goes to: the server kind picks the name that
// the command line hands to the game.
QString fileNameFor(const Vorn& w) {
    return QString::fromStdString(serverCfgFileName(w.ask.dedicated()));
}

} // namespace

void ServerCfgPanel::optServerFile_Click() {
    w.lockViewer();
    w.showPanel(this);

    w.st.serverCfgText = QString::fromStdString(composeServerCfg(gatherInputs()));

    w.setViewerCaption(fileNameFor(w));
    w.ShowInViewer(w.st.serverCfgText);
    w.frmInfo->show();
    w.setStatus(QStringLiteral("Server setup ok?"), colour::Blue);
    w.UpdateReadiness();
}

void ServerCfgPanel::rebuildPreview() {
    optServerFile_Click();
    w.ShowInViewer(w.st.serverCfgText);
    cmdServerOK->setEnabled(true);
}

void ServerCfgPanel::chkFriendlyFire_Click() {
    rebuildPreview();
}
void ServerCfgPanel::chkFootSteps_Click() {
    rebuildPreview();
}
void ServerCfgPanel::chkFlashlight_Click() {
    rebuildPreview();
}
void ServerCfgPanel::chkDeathMsgs_Click() {
    rebuildPreview();
}
void ServerCfgPanel::chkFallDamage_Click() {
    rebuildPreview();
}
void ServerCfgPanel::chkLAN_Click() {
    rebuildPreview();
}
void ServerCfgPanel::txtTeamLimit_Change() {
    rebuildPreview();
}
void ServerCfgPanel::txtMapTime_Change() {
    rebuildPreview();
}
void ServerCfgPanel::txtExtra2_Change() {
    rebuildPreview();
}

void ServerCfgPanel::cmdServerOK_Click() {
    // Save composes first, so an edited host name is written too.
    optServerFile_Click();
    w.ShowInViewer(w.st.serverCfgText);

    // The step is confirmed only once the file is really on disk; a failed
    // write has already put a red error into the status line and left the
    // old file as it was.
    w.st.checkPath = w.modFilePath(fileNameFor(w));
    if (!w.saveGameFile(w.st.checkPath, w.st.serverCfgText))
        return;
    w.confirmStep(2);
    w.showSaveNote();
}

} // namespace vorn
