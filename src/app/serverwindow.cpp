// The server window.
#include "serverwindow.h"

#include "codepage.h"
#include "controls.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace vorn {

namespace plat = vorn::platform;

ServerWindow::ServerWindow(UiSeam& ui, QWidget* owner) : QWidget(owner, Qt::Window), ui_(ui) {
    setObjectName(QStringLiteral("frmServer"));
    setWindowTitle(QStringLiteral("Vornwick - Server"));
    // Only the main form ends the program when it is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    wireReactions();
}

void ServerWindow::buildControls() {
    lblCommandLine = makeLabel(this, "lblCommandLine", {});
    lblCommandLine->setWordWrap(true);
    lblCommandLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblStartTime = makeLabel(this, "lblStartTime", {});
    lblServerState = makeLabel(this, "lblServerState", {});
    txtServerOutput = new QPlainTextEdit(this);
    txtServerOutput->setObjectName(QStringLiteral("txtServerOutput"));
    txtServerOutput->setReadOnly(true);
    txtServerOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtServerOutput->setMaximumBlockCount(kMaxLines);
    txtServerOutput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtServerOutput->setToolTip(QStringLiteral("What the server writes to its console"));
    auto* lblOutput =
        makeLabel(this, "lblServerOutput", QStringLiteral("Server &output:"), txtServerOutput);
    chkFollowOutput = makeCheckBox(this, "chkFollowOutput", QStringLiteral("&Follow new output"),
                                   true, QStringLiteral("Keep the newest line in view"));
    lblLeftRunning =
        makeLabel(this, "lblLeftRunning",
                  QStringLiteral("Closing this window or Vornwick leaves the server running."));
    lblLeftRunning->setWordWrap(true);
    cmdStopServer = makeButton(this, "cmdStopServer", QStringLiteral("&Stop Server"),
                               QStringLiteral("End the server and everything it started"));
    cmdCloseServer = makeButton(this, "cmdCloseServer", QStringLiteral("&Close"),
                                QStringLiteral("Close this window; the server keeps running"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(makeLabel(this, "lblCommandLineCaption", QStringLiteral("Command line:")), 0, 0,
                    Qt::AlignTop);
    grid->addWidget(lblCommandLine, 0, 1);
    grid->addWidget(makeLabel(this, "lblStartTimeCaption", QStringLiteral("Started:")), 1, 0);
    grid->addWidget(lblStartTime, 1, 1);
    grid->addWidget(makeLabel(this, "lblServerStateCaption", QStringLiteral("State:")), 2, 0);
    grid->addWidget(lblServerState, 2, 1);
    grid->addWidget(lblOutput, 3, 0, 1, 2);
    grid->addWidget(txtServerOutput, 4, 0, 1, 2);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkFollowOutput);
    bottom->addWidget(lblLeftRunning, 1);
    bottom->addWidget(cmdStopServer);
    bottom->addWidget(cmdCloseServer);
    grid->addLayout(bottom, 5, 0, 1, 2);
    resize(720, 440);
    // Screen readers read the tooltips out as descriptions.
    for (QWidget* child : findChildren<QWidget*>())
        if (!child->toolTip().isEmpty())
            child->setAccessibleDescription(child->toolTip());
}

void ServerWindow::wireReactions() {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    connect(cmdStopServer, &QAbstractButton::clicked, this, [this] { cmdStopServer_Click(); });
    connect(cmdCloseServer, &QAbstractButton::clicked, this, [this] { close(); });
    connect(chkFollowOutput, &QAbstractButton::toggled, this, [this] { chkFollowOutput_Click(); });
    // Scroll lock: moving away from the bottom stops following, moving back
    // to it follows again.
    connect(txtServerOutput->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!scrolling_)
            chkFollowOutput->setChecked(atBottom());
    });
}

ServerWindow::~ServerWindow() = default;

void ServerWindow::follow(plat::Process launcher, const QString& commandLine,
                          const QString& outputPath) {
    launcher_ = std::move(launcher);
    outputPath_ = outputPath;
    follower_ = OutputFollower(kMaxLines);
    following_ = true;
    txtServerOutput->clear();
    chkFollowOutput->setChecked(true);
    lblCommandLine->setText(commandLine);
    lblStartTime->setText(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lblServerState->setText(QStringLiteral("Running."));
    setTextColour(lblServerState, colour::Green);
    lblLeftRunning->setText(
        QStringLiteral("Closing this window or Vornwick leaves the server running."));
    cmdStopServer->setEnabled(true);
    timer_.start();
    poll();
    show();
    raise();
    activateWindow();
}

bool ServerWindow::serverRunning() {
    if (following_ && !launcher_.running()) {
        readOutput(true);
        showEnded(false);
    }
    return following_;
}

void ServerWindow::poll() {
    if (!following_)
        return;
    // The end is taken first, so that the output read after it is complete.
    const bool ended = !launcher_.running();
    readOutput(ended);
    if (ended)
        showEnded(false);
}

void ServerWindow::stopServer() {
    if (!following_)
        return;
    launcher_.kill();
    readOutput(true);
    showEnded(true);
}

void ServerWindow::cmdStopServer_Click() {
    if (!serverRunning())
        return;
    const int answer = ui_.messageBox(
        this, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VORN Allert!"),
        QStringLiteral("Stop the server? This ends the server and everything it started."));
    if (answer == kAnswerYes)
        stopServer();
}

void ServerWindow::chkFollowOutput_Click() {
    if (chkFollowOutput->isChecked() && !scrolling_) {
        QScrollBar* bar = txtServerOutput->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
}

void ServerWindow::readOutput(bool ended) {
    std::string bytes;
    std::uint64_t size = 0;
    if (plat::readFileFrom(outputPath_.toStdString(), 0, 0, bytes, size).ok()) {
        const OutputFollower::Read r = follower_.plan(size);
        if (r.bytes > 0 &&
            plat::readFileFrom(outputPath_.toStdString(), r.from, r.bytes, bytes, size).ok())
            appendLines(follower_.take(bytes));
    }
    if (ended)
        appendLines(follower_.finish());
}

void ServerWindow::showEnded(bool stopped) {
    timer_.stop();
    following_ = false;
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    const int code = launcher_.exitCode();
    lblServerState->setText((stopped ? QStringLiteral("Stopped at %1; exit code %2.")
                                     : QStringLiteral("Ended by itself at %1 with exit code %2."))
                                .arg(when)
                                .arg(code));
    setTextColour(lblServerState, stopped || code != 0 ? colour::Red : colour::NearBlack);
    lblLeftRunning->setText(QStringLiteral("The server has ended. Start runs it again."));
    cmdStopServer->setEnabled(false);
}

bool ServerWindow::atBottom() const {
    const QScrollBar* bar = txtServerOutput->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void ServerWindow::appendLines(const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    QString text;
    for (const std::string& line : lines) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromStdString(plat::cp1252ToUtf8(line));
    }
    QScrollBar* bar = txtServerOutput->verticalScrollBar();
    const bool follow = chkFollowOutput->isChecked();
    const int kept = bar->value();
    scrolling_ = true;
    txtServerOutput->appendPlainText(text);
    bar->setValue(follow ? bar->maximum() : std::min(kept, bar->maximum()));
    scrolling_ = false;
}

} // namespace vorn
