#include "commandlinepanel.h"

#include "commandline.h"
#include "controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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

CommandLinePanel::CommandLinePanel(Vorn& window) : SetupPanel(&window), w(window) {
    buildControls();
    wireReactions();
}

void CommandLinePanel::reset() {
    cmdCommandOK->setEnabled(false);
    frmCommandLine->hide();
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

QString CommandLinePanel::firstMap() const {
    return cmbMapList1->currentText();
}

void CommandLinePanel::buildControls() {
    frmCommandLine = new QGroupBox(QStringLiteral("Command Line Setup"), w.formArea());
    frmCommandLine->setObjectName(QStringLiteral("frmCommandLine"));
    w.addFrame(frmCommandLine, 0, 3000, 4575, 3015);
    frmCommandLine->hide();

    // Created in the order of the layout, which is also the tab order.
    cmbMaxPlayers =
        makeTypedCombo(frmCommandLine, "cmbMaxPlayers", QStringLiteral("10 is a good number."));
    for (int n = 1; n <= 32; ++n)
        cmbMaxPlayers->addItem(QString::number(n));
    cmbMaxPlayers->setCurrentIndex(cmbMaxPlayers->findText(QStringLiteral("8")));
    maxPlayersIndex_ = cmbMaxPlayers->currentIndex();
    lblMaxPlayers =
        makeLabel(frmCommandLine, "lblMaxPlayers", QStringLiteral("Max Players:"), cmbMaxPlayers);

    cmbPort = makeTypedCombo(frmCommandLine, "cmbPort",
                             QStringLiteral("Communication channel. Open router for this."));
    for (int port = 27015; port <= 27020; ++port)
        cmbPort->addItem(QString::number(port));
    cmbPort->setCurrentIndex(0);
    lblPort = makeLabel(frmCommandLine, "lblPort", QStringLiteral("Port:"), cmbPort);

    cmbMapList1 = makeTypedCombo(frmCommandLine, "cmbMapList1",
                                 QStringLiteral("The game will start with this map."));
    // With a placeholder, the first map listed into the empty box is not
    // made current on its own: the box stays empty until the user picks.
    cmbMapList1->setPlaceholderText(QStringLiteral("Pick a map"));
    cmbMapList1->lineEdit()->setPlaceholderText(QStringLiteral("Pick a map"));
    cmbMapList1->setCurrentIndex(-1);
    cmbMapList1->setMinimumContentsLength(12);
    lblMap1 = makeLabel(frmCommandLine, "lblMap1", QStringLiteral("First Map:"), cmbMapList1);

    txtExtra1 = makeLineEdit(frmCommandLine, "txtExtra1", QStringLiteral("-heapsize 64000 -noipx"),
                             QStringLiteral("Specify more options for hl.exe"));
    lblExtra1 =
        makeLabel(frmCommandLine, "lblExtra1", QStringLiteral("Extra Parameters:"), txtExtra1);

    chkDedicated = makeCheckBox(frmCommandLine, "chkDedicated", QStringLiteral("Dedicated?"), false,
                                QStringLiteral("Dedicated means you cannot be in player mode."));

    cmdCommandOK = makeButton(frmCommandLine, "cmdCommandOK", QStringLiteral("Save"));
    cmdCommandOK->setAccessibleName(QStringLiteral("Save the command line"));
    cmdCommandOK->setEnabled(false);

    auto* grid = new QGridLayout(frmCommandLine);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(4);
    grid->addWidget(lblMaxPlayers, 0, 0);
    grid->addWidget(cmbMaxPlayers, 0, 1);
    grid->addWidget(lblPort, 0, 2, Qt::AlignRight);
    grid->addWidget(cmbPort, 0, 3);
    grid->addWidget(lblMap1, 1, 0);
    grid->addWidget(cmbMapList1, 1, 1, 1, 3);
    grid->addWidget(lblExtra1, 2, 0, 1, 4);
    grid->addWidget(txtExtra1, 3, 0, 1, 4);
    grid->setRowStretch(4, 1);
    grid->addWidget(chkDedicated, 5, 0, 1, 2);
    grid->addWidget(cmdCommandOK, 5, 3, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    QWidget::setTabOrder(cmbMaxPlayers, cmbPort);
    QWidget::setTabOrder(cmbPort, cmbMapList1);
    QWidget::setTabOrder(cmbMapList1, txtExtra1);
    QWidget::setTabOrder(txtExtra1, chkDedicated);
    QWidget::setTabOrder(chkDedicated, cmdCommandOK);
}

void CommandLinePanel::wireReactions() {
    Vorn::onSelected(w.optCommandLine, this, [this] { optCommandLine_Click(); });
    w.optCommandLine->installEventFilter(this);

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
    // An Exec path that names no game program closes the panel.
    connect(&w, &Vorn::execPathRefused, frmCommandLine, &QWidget::hide);
}

bool CommandLinePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w.optCommandLine) {
        if (event->type() == QEvent::MouseButtonPress && w.optCommandLine->isEnabled())
            optCommandLine_MouseDown();
    } else if (isUserFocusLoss(event)) {
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
    in.exec = w.txtExec->text().toStdString();
    in.mod = w.mod().toStdString();
    in.port = cmbPort->currentText().toStdString();
    in.maxPlayers = cmbMaxPlayers->currentText().toStdString();
    in.firstMap = cmbMapList1->currentText().toStdString();
    in.extra = txtExtra1->text().toStdString();
    in.dedicated = chkDedicated->isChecked();
    return in;
}

void CommandLinePanel::optCommandLine_Click() {
    w.lockViewer();
    w.showPanel(this);

    w.st.commandLine = QString::fromStdString(composeCommandLine(gatherInputs()));

    w.setViewerCaption(QStringLiteral("Command Line and Options"));
    w.ShowInViewer(w.st.commandLine);
    w.frmInfo->show();
    frmCommandLine->show();
    if (cmbMapList1->currentText().isEmpty())
        w.setStatus(QStringLiteral("Please select first map."), colour::Blue);
    w.UpdateReadiness();
}

void CommandLinePanel::optCommandLine_MouseDown() {
    optCommandLine_Click();
}

void CommandLinePanel::cmbMapList1_Click() {
    optCommandLine_Click();
    w.setStatus(QStringLiteral("Server setup ok?"), colour::Blue);
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
    // The new path runs txtExec's own reaction (game directory and check).
    w.txtExec->setText(w.st.gameDir + (chkDedicated->isChecked() ? QStringLiteral("hlds.exe")
                                                                 : QStringLiteral("hl.exe")));
    optCommandLine_Click();
    w.DeriveGameDir();
}

void CommandLinePanel::cmdCommandOK_Click() {
    // The numbers go on the server's command line as they stand: anything
    // but a whole number is refused, the text stays as typed and the step
    // stays open.
    const std::string refused = checkPortAndPlayers(cmbPort->currentText().toStdString(),
                                                    cmbMaxPlayers->currentText().toStdString());
    if (!refused.empty()) {
        w.setStatus(QString::fromStdString(refused), colour::Red);
        return;
    }
    // Save keeps the last composition; nothing is written here.
    showMaxBotsCaption();
    w.confirmStep(1);
}

void CommandLinePanel::showMaxBotsCaption() {
    emit maxBotsCaptionChanged(
        QString::fromStdString(maxBotsCaption(cmbMaxPlayers->currentText().toStdString())));
}

} // namespace vorn
