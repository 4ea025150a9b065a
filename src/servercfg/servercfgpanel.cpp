#include "servercfgpanel.h"

#include "controls.h"
#include "servercfg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>

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

void ServerCfgPanel::buildControls() {
    frmServerFile = new QGroupBox(QStringLiteral("Server Configuration"), w.formArea());
    frmServerFile->setObjectName(QStringLiteral("frmServerFile"));
    w.addFrame(frmServerFile, 0, 3000, 8655, 2415);
    frmServerFile->hide();

    // Created in the order of the layout, which is also the tab order.
    txtHostName = makeLineEdit(frmServerFile, "txtHostName");
    Label4 = makeLabel(frmServerFile, "Label4", QStringLiteral("Host Name:"), txtHostName);

    chkFriendlyFire =
        makeCheckBox(frmServerFile, "chkFriendlyFire", QStringLiteral("Friendly Fire?"), true,
                     QStringLiteral("Watch those grenades."));
    chkFootSteps = makeCheckBox(frmServerFile, "chkFootSteps", QStringLiteral("Foot Steps?"), true,
                                QStringLiteral("Is it an enemy?"));
    chkFlashlight = makeCheckBox(frmServerFile, "chkFlashlight", QStringLiteral("Flashlight?"),
                                 true, QStringLiteral("Slows down servers, but go for it."));
    chkDeathMsgs =
        makeCheckBox(frmServerFile, "chkDeathMsgs", QStringLiteral("Death Messages?"), true,
                     QStringLiteral("Allow kills displayed. TUrn it off for fear factor."));
    chkFallDamage = makeCheckBox(frmServerFile, "chkFallDamage", QStringLiteral("Fall Damage?"),
                                 true, QStringLiteral("Disable supermen."));
    chkLAN = makeCheckBox(frmServerFile, "chkLAN", QStringLiteral("LAN only?"), false,
                          QStringLiteral("Internet players cannot join in."));

    txtMapTime = makeLineEdit(frmServerFile, "txtMapTime", QStringLiteral("30"),
                              QStringLiteral("Set to \"0\" to ignore time."));
    lblMapTime =
        makeLabel(frmServerFile, "lblMapTime", QStringLiteral("Map Time(min):"), txtMapTime);

    txtTeamLimit = makeLineEdit(
        frmServerFile, "txtTeamLimit", QStringLiteral("2"),
        QStringLiteral("How unbalanced do you want your teams? Set to \"0\" to ignore limit."));
    Label5 = makeLabel(frmServerFile, "Label5", QStringLiteral("Team limit:"), txtTeamLimit);

    txtExtra2 = new QPlainTextEdit(frmServerFile);
    txtExtra2->setObjectName(QStringLiteral("txtExtra2"));
    // The box keeps "\n"; its text reads back with CR LF line ends.
    txtExtra2->setPlainText(QStringLiteral("sv_maxspectators 4\n"));
    txtExtra2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtExtra2->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtExtra2->setTabChangesFocus(true);
    txtExtra2->setToolTip(QStringLiteral("Add more goodies in here."));
    lblExtra2 =
        makeLabel(frmServerFile, "lblExtra2", QStringLiteral("Extra Variables:"), txtExtra2);

    cmdServerOK = makeButton(frmServerFile, "cmdServerOK", QStringLiteral("Save"));
    cmdServerOK->setAccessibleName(QStringLiteral("Save the server configuration"));

    auto* left = new QGridLayout;
    left->setVerticalSpacing(3);
    left->addWidget(Label4, 0, 0);
    left->addWidget(txtHostName, 0, 1, 1, 3);
    left->addWidget(chkFriendlyFire, 1, 0, 1, 2);
    left->addWidget(chkFootSteps, 1, 2, 1, 2);
    left->addWidget(chkFlashlight, 2, 0, 1, 2);
    left->addWidget(chkDeathMsgs, 2, 2, 1, 2);
    left->addWidget(chkFallDamage, 3, 0, 1, 2);
    left->addWidget(chkLAN, 3, 2, 1, 2);
    left->addWidget(lblMapTime, 4, 0);
    left->addWidget(txtMapTime, 4, 1);
    left->addWidget(Label5, 4, 2, Qt::AlignRight);
    left->addWidget(txtTeamLimit, 4, 3);
    left->setColumnStretch(1, 1);
    left->setColumnStretch(3, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(3);
    right->addWidget(lblExtra2);
    right->addWidget(txtExtra2, 1);
    right->addWidget(cmdServerOK, 0, Qt::AlignRight);

    auto* outer = new QHBoxLayout(frmServerFile);
    outer->setContentsMargins(8, 4, 8, 6);
    outer->setSpacing(12);
    outer->addLayout(left, 3);
    outer->addLayout(right, 2);

    QWidget* order[] = {txtHostName,  chkFriendlyFire, chkFootSteps, chkFlashlight,
                        chkDeathMsgs, chkFallDamage,   chkLAN,       txtMapTime,
                        txtTeamLimit, txtExtra2,       cmdServerOK};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
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
