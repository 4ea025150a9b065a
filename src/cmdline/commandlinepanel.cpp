#include "commandlinepanel.h"

#include "commandline.h"
#include "controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>

namespace vorn {

namespace {

bool isUserFocusLoss(QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    // Opening a combo's list or switching to another program does not
    // leave the control.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

} // namespace

CommandLinePanel::CommandLinePanel(PanelHost& panelHost) : host(panelHost) {
    buildControls();
    wireReactions();
}

void CommandLinePanel::reset() {
    cmdCommandOK->setEnabled(false);
    frmCommandLine->hide();
}

void CommandLinePanel::modLeaving() {
    if (auto* model = qobject_cast<QStringListModel*>(cmbMapList1->model())) {
        const QSignalBlocker quiet(cmbMapList1);
        model->setStringList({});
    }
}

void CommandLinePanel::modChosen(const ModFacts& facts) {
    // The box shows one list model, replaced whole: a mod may hold a
    // hundred thousand maps. No map is chosen afterwards.
    auto* model = qobject_cast<QStringListModel*>(cmbMapList1->model());
    if (!model) {
        model = new QStringListModel(cmbMapList1);
        cmbMapList1->setModel(model);
    }
    {
        // The box would pick the first map for a moment.
        const QSignalBlocker quiet(cmbMapList1);
        model->setStringList(facts.maps);
    }
    cmbMapList1->setCurrentIndex(-1);
    cmbMapList1->setEditText(QString());
}

bool CommandLinePanel::isDedicated() const {
    return chkDedicated->isChecked();
}

QString CommandLinePanel::maxPlayersText() const {
    return cmbMaxPlayers->currentText();
}

QString CommandLinePanel::commandLine() const {
    return commandLineText;
}

QString CommandLinePanel::firstMap() const {
    return cmbMapList1->currentText();
}

void CommandLinePanel::wireReactions() {
    connect(cmbMapList1, &QComboBox::activated, this, &CommandLinePanel::cmbMapList1_Click);
    cmbMapList1->installEventFilter(this);
    cmbPort->installEventFilter(this);
    txtExtra1->installEventFilter(this);

    // Change: typing or text set from code; a pick from the list changes
    // the index before the text and is left alone.
    connect(cmbMaxPlayers->lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (cmbMaxPlayers->currentIndex() != maxPlayersIndex_) {
            maxPlayersIndex_ = cmbMaxPlayers->currentIndex();
            return;
        }
        cmbMaxPlayers_Change();
    });
    connect(cmbMaxPlayers, &QComboBox::currentIndexChanged, this,
            [this](int index) { maxPlayersIndex_ = index; });

    connect(chkDedicated, &QAbstractButton::toggled, this, &CommandLinePanel::chkDedicated_Click);
    connect(cmdCommandOK, &QAbstractButton::clicked, this, &CommandLinePanel::cmdCommandOK_Click);
}

void CommandLinePanel::execPathRefused() {
    // The keyboard leaves the panel first, as from a Save that disables
    // itself: Qt would hand it to the Exec box with its text selected.
    host.moveFocusFrom(frmCommandLine);
    frmCommandLine->hide();
}

bool CommandLinePanel::eventFilter(QObject* watched, QEvent* event) {
    if (isUserFocusLoss(event) && frmCommandLine->isVisible()) {
        // A control that loses the focus because another step hid the
        // panel (a screen reader's action on another option) has not been
        // left by the user: the panel stays closed.
        if (watched == cmbMapList1)
            cmbMapList1_LostFocus();
        else if (watched == cmbPort)
            cmbPort_LostFocus();
        else if (watched == txtExtra1)
            txtExtra1_LostFocus();
    }
    return QObject::eventFilter(watched, event);
}

CommandLineInputs CommandLinePanel::gatherInputs() const {
    CommandLineInputs in;
    in.exec = host.execPath().toStdString();
    in.mod = host.mod().toStdString();
    in.port = cmbPort->currentText().toStdString();
    in.maxPlayers = cmbMaxPlayers->currentText().toStdString();
    in.firstMap = cmbMapList1->currentText().toStdString();
    in.extra = txtExtra1->text().toStdString();
    in.dedicated = chkDedicated->isChecked();
    return in;
}

void CommandLinePanel::optCommandLine_Click() {
    host.lockViewer();
    host.showPanel(this);

    commandLineText = QString::fromStdString(composeCommandLine(gatherInputs()));

    host.setViewerCaption(QStringLiteral("Command Line and Options"));
    host.ShowInViewer(commandLineText);
    frmCommandLine->show();
    if (cmbMapList1->currentText().isEmpty())
        host.setStatus(QStringLiteral("Please select first map."), colour::Blue);
    host.UpdateReadiness();
}

void CommandLinePanel::optCommandLine_MouseDown() {
    optCommandLine_Click();
}

void CommandLinePanel::cmbMapList1_Click() {
    optCommandLine_Click();
    host.setStatus(kSetupOk, colour::Blue);
    cmdCommandOK->setEnabled(true);
}

void CommandLinePanel::cmbMapList1_LostFocus() {
    optCommandLine_Click();
}

void CommandLinePanel::cmbPort_LostFocus() {
    optCommandLine_Click();
}

void CommandLinePanel::txtExtra1_LostFocus() {
    optCommandLine_Click();
}

void CommandLinePanel::cmbMaxPlayers_Change() {
    // A count that is not a number stays as typed: no clamp, and the bot
    // maximum shows "?" until the count reads as a number again.
    if (const auto clamped = clampMaxPlayers(cmbMaxPlayers->currentText().toStdString()))
        cmbMaxPlayers->setEditText(QString::fromStdString(*clamped));
    showMaxBotsCaption();
    optCommandLine_Click();
}

void CommandLinePanel::chkDedicated_Click() {
    const bool hadFocus = chkDedicated->hasFocus();
    // The new path runs txtExec's own reaction (game directory and check).
    // A path that stays the same is checked too: it must now name the
    // other program.
    host.setExecPath(host.gameDir() + (chkDedicated->isChecked() ? QStringLiteral("hlds.exe")
                                                                 : QStringLiteral("hl.exe")));
    optCommandLine_Click();
    // A refused path closed the panel for a moment; the composer opened it
    // again, and the keyboard goes back to the box it was on.
    if (hadFocus && !chkDedicated->hasFocus() && chkDedicated->isVisible())
        chkDedicated->setFocus(Qt::OtherFocusReason);
}

void CommandLinePanel::cmdCommandOK_Click() {
    // The numbers go on the server's command line as they stand: anything
    // but a whole number is refused, the text stays as typed and the step
    // stays open.
    const std::string refused = checkPortAndPlayers(cmbPort->currentText().toStdString(),
                                                    cmbMaxPlayers->currentText().toStdString());
    if (!refused.empty()) {
        host.setStatus(QString::fromStdString(refused), colour::Red);
        return;
    }
    // Save keeps the last composition; nothing is written here.
    showMaxBotsCaption();
    host.confirmStep(*this);
}

void CommandLinePanel::showMaxBotsCaption() {
    emit maxBotsCaptionChanged(
        QString::fromStdString(maxBotsCaption(cmbMaxPlayers->currentText().toStdString())));
}

} // namespace vorn
