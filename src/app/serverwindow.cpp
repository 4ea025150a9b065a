// The server window.
#include "serverwindow.h"

#include "codepage.h"
#include "controls.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace vorn {

namespace plat = vorn::platform;

namespace {

const char* const kCaption = "vornCaption";

const QString kLeftRunning =
    QStringLiteral("Closing this window or Vornwick leaves the server running.");
const QString kEnded = QStringLiteral("The server has ended. Start runs it again.");

} // namespace

ServerWindow::ServerWindow(UiSeam& ui, ServerHost host, QWidget* owner)
    : QMainWindow(owner, Qt::Window), ui_(ui), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmServer"));
    setWindowTitle(QStringLiteral("Vornwick - Server"));
    // Only the main form ends the program when it is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    buildControls();
    wireReactions();
}

void ServerWindow::buildControls() {
    // A main window of its own, as the main form is, so that assistive
    // technology meets a window and not a bare pane.
    auto* body = new QWidget(this);
    setCentralWidget(body);
    auto* grid = new QGridLayout(body);
    // Each value is named with its caption ("State: Running."), and the
    // caption points to it, so that a screen reader reads them together.
    auto valueRow = [&](int row, const char* captionName, const QString& caption,
                        const char* valueName, QLabel*& captionLabel) {
        QLabel* value = makeLabel(body, valueName, {});
        value->setTextFormat(Qt::PlainText);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setProperty(kCaption, QString(caption).remove(QLatin1Char(':')));
        value->setAccessibleName(value->property(kCaption).toString());
        captionLabel = makeLabel(body, captionName, caption, value);
        grid->addWidget(captionLabel, row, 0, Qt::AlignTop);
        grid->addWidget(value, row, 1);
        return value;
    };
    QLabel* caption = nullptr;
    lblCommandLine = valueRow(0, "lblCommandLineCaption", QStringLiteral("Command line:"),
                              "lblCommandLine", caption);
    lblStartTime =
        valueRow(1, "lblStartTimeCaption", QStringLiteral("Started:"), "lblStartTime", caption);
    lblServerState =
        valueRow(2, "lblServerStateCaption", QStringLiteral("State:"), "lblServerState", caption);
    lblServerAnswer = valueRow(3, "lblServerAnswerCaption", QStringLiteral("Answer:"),
                               "lblServerAnswer", lblServerAnswerCaption_);
    lblRestarts = valueRow(4, "lblRestartsCaption", QStringLiteral("Restarts:"), "lblRestarts",
                           lblRestartsCaption_);

    txtServerOutput = new QPlainTextEdit(body);
    txtServerOutput->setObjectName(QStringLiteral("txtServerOutput"));
    txtServerOutput->setReadOnly(true);
    txtServerOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtServerOutput->setMaximumBlockCount(kMaxLines);
    txtServerOutput->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtServerOutput->setToolTip(QStringLiteral("What the server writes to its console"));
    auto* lblOutput =
        makeLabel(body, "lblServerOutput", QStringLiteral("Server &output:"), txtServerOutput);
    chkFollowOutput = makeCheckBox(body, "chkFollowOutput", QStringLiteral("&Follow new output"),
                                   true, QStringLiteral("Keep the newest line in view"));
    chkRestartServer = makeCheckBox(
        body, "chkRestartServer", QStringLiteral("&Restart it when it stops by itself"), false,
        QStringLiteral("Start the server again 5 seconds after it crashes or ends without Stop, "
                       "at most 3 times in 10 minutes"));
    lblLeftRunning = makeLabel(body, "lblLeftRunning", kLeftRunning);
    lblLeftRunning->setWordWrap(true);
    cmdStopServer = makeButton(body, "cmdStopServer", QStringLiteral("&Stop Server"),
                               QStringLiteral("End the server and everything it started"));
    cmdCloseServer = makeButton(body, "cmdCloseServer", QStringLiteral("&Close"),
                                QStringLiteral("Close this window; the server keeps running"));

    grid->addWidget(lblOutput, 5, 0, 1, 2);
    grid->addWidget(txtServerOutput, 6, 0, 1, 2);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    auto* choices = new QHBoxLayout;
    choices->addWidget(chkFollowOutput);
    choices->addWidget(chkRestartServer);
    choices->addStretch(1);
    grid->addLayout(choices, 7, 0, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblLeftRunning, 1);
    bottom->addWidget(cmdStopServer);
    bottom->addWidget(cmdCloseServer);
    grid->addLayout(bottom, 8, 0, 1, 2);
    lblServerAnswerCaption_->hide();
    lblServerAnswer->hide();
    lblRestartsCaption_->hide();
    lblRestarts->hide();
    // Room for a long command line and a dozen lines of output at any
    // desktop font size.
    const QFontMetrics metrics(font());
    resize(std::max(760, 84 * metrics.averageCharWidth()),
           std::max(480, 27 * metrics.lineSpacing()));
    // Screen readers read the tooltips out as descriptions.
    for (QWidget* child : findChildren<QWidget*>())
        if (!child->toolTip().isEmpty())
            child->setAccessibleDescription(child->toolTip());
}

void ServerWindow::wireReactions() {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    restartTimer_.setSingleShot(true);
    connect(&restartTimer_, &QTimer::timeout, this, [this] { restartNow(); });
    stopTimer_.setInterval(kStopCheckMs);
    connect(&stopTimer_, &QTimer::timeout, this, [this] { checkStop(); });
    connect(cmdStopServer, &QAbstractButton::clicked, this, [this] { cmdStopServer_Click(); });
    connect(cmdCloseServer, &QAbstractButton::clicked, this, [this] { close(); });
    connect(chkFollowOutput, &QAbstractButton::toggled, this, [this] { chkFollowOutput_Click(); });
    connect(chkRestartServer, &QAbstractButton::toggled, this,
            [this] { chkRestartServer_Click(); });
    // Scroll lock: moving away from the bottom stops following, moving back
    // to it follows again.
    connect(txtServerOutput->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!scrolling_)
            chkFollowOutput->setChecked(atBottom());
    });
    // The view gets shorter when a value above it takes a second line or
    // the restart row appears; one that follows keeps its newest line in
    // full view.
    connect(txtServerOutput->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (!chkFollowOutput->isChecked() || atBottom())
            return;
        scrolling_ = true;
        txtServerOutput->verticalScrollBar()->setValue(
            txtServerOutput->verticalScrollBar()->maximum());
        scrolling_ = false;
    });
}

ServerWindow::~ServerWindow() = default;

void ServerWindow::follow(plat::Process launcher, const QString& commandLine,
                          const QString& outputPath) {
    restartTimer_.stop();
    stopTimer_.stop();
    stopping_ = false;
    policy_.reset();
    outputPath_ = outputPath;
    commandLine_ = commandLine;
    txtServerOutput->clear();
    chkFollowOutput->setChecked(true);
    setValue(lblCommandLine, commandLine, colour::NearBlack);
    setRestartNote({}, colour::NearBlack);
    beginRun(std::move(launcher));
    show();
    raise();
    activateWindow();
}

void ServerWindow::beginRun(plat::Process launcher) {
    launcher_ = std::move(launcher);
    follower_ = OutputFollower(kMaxLines);
    following_ = true;
    setValue(
        lblStartTime,
        QDateTime::fromMSecsSinceEpoch(clock()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        colour::NearBlack);
    setValue(lblServerState, QStringLiteral("Running."), colour::Green);
    lblLeftRunning->setText(kLeftRunning);
    cmdStopServer->setEnabled(true);
    startAsking();
    timer_.start();
    poll();
}

bool ServerWindow::serverRunning() {
    if (following_ && !stopping_ && !launcher_.running()) {
        readOutput(true);
        endedByItself();
    }
    return following_;
}

void ServerWindow::poll() {
    if (!following_ || stopping_)
        return;
    // The end is taken first, so that the output read after it is complete.
    const bool ended = !launcher_.running();
    readOutput(ended);
    if (ended)
        endedByItself();
    else
        askServer();
}

void ServerWindow::stopServer() {
    if (restartTimer_.isActive())
        callOffRestart(QStringLiteral("Not started again: the server was stopped."));
    if (!following_)
        return;
    stopTimer_.stop();
    stopping_ = false;
    launcher_.kill();
    readOutput(true);
    showEnded(true);
}

void ServerWindow::cmdStopServer_Click() {
    // Between an end and its restart nothing runs: Stop calls the restart off.
    if (restartTimer_.isActive()) {
        callOffRestart(QStringLiteral("Not started again: Stop was pressed."));
        return;
    }
    if (stopping_ || !serverRunning())
        return;
    const int answer = ui_.messageBox(
        this, MsgIcon::Question, MsgButtons::YesNo, kAlertTitle,
        QStringLiteral("Stop the server? This ends the server and everything it started."));
    if (answer == kAnswerYes && following_ && !stopping_)
        beginStop();
}

void ServerWindow::chkFollowOutput_Click() {
    if (chkFollowOutput->isChecked() && !scrolling_) {
        QScrollBar* bar = txtServerOutput->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
}

void ServerWindow::chkRestartServer_Click() {
    if (!chkRestartServer->isChecked() && restartTimer_.isActive())
        callOffRestart(QStringLiteral("Not started again: restarting was turned off."));
}

// ---------------------------------------------------------------------------
// Stop, without waiting on the window's thread

void ServerWindow::beginStop() {
    stopping_ = true;
    forced_ = false;
    timer_.stop();
    launcher_.askToEnd();
    stopClock_.start();
    setValue(lblServerState, QStringLiteral("Stopping..."), colour::NearBlack);
    cmdStopServer->setEnabled(false);
    stopTimer_.start();
}

void ServerWindow::checkStop() {
    if (!stopping_) {
        stopTimer_.stop();
        return;
    }
    // A server that ignores the request is made to end after the grace
    // time; one that cannot be seen to end is let go in the end.
    const qint64 waited = stopClock_.elapsed();
    if (launcher_.allEnded() || waited >= kStopGraceMs + kStopGiveUpMs) {
        finishStop();
        return;
    }
    if (!forced_ && waited >= kStopGraceMs) {
        launcher_.forceEnd();
        forced_ = true;
    }
}

void ServerWindow::finishStop() {
    stopTimer_.stop();
    stopping_ = false;
    // The interpreter may still be unreaped when the group is gone.
    launcher_.running();
    readOutput(true);
    showEnded(true);
}

// ---------------------------------------------------------------------------
// The end of a run, and the restart

void ServerWindow::showEnded(bool stopped) {
    timer_.stop();
    following_ = false;
    socket_.close();
    lblServerAnswerCaption_->hide();
    lblServerAnswer->hide();
    const QString when = timeOf(clock());
    lastExitCode_ = launcher_.exitCode();
    setValue(lblServerState,
             (stopped ? QStringLiteral("Stopped at %1; exit code %2.")
                      : QStringLiteral("Ended by itself at %1 with exit code %2."))
                 .arg(when)
                 .arg(lastExitCode_),
             stopped || lastExitCode_ != 0 ? colour::Red : colour::NearBlack);
    lblLeftRunning->setText(kEnded);
    cmdStopServer->setEnabled(false);
}

void ServerWindow::endedByItself() {
    showEnded(false);
    if (!chkRestartServer->isChecked())
        return;
    const std::int64_t now = clock();
    const QString stamp =
        QDateTime::fromMSecsSinceEpoch(now).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!policy_.mayRestartAfterEnd(now)) {
        note(QStringLiteral("The server ended by itself at %1 with exit code %2.")
                 .arg(stamp)
                 .arg(lastExitCode_));
        const QString text = QStringLiteral("Stopped restarting: it ended %1 times in 10 minutes")
                                 .arg(policy_.recentEnds());
        note(text);
        setRestartNote(text, colour::Red);
        return;
    }
    const QString again = timeOf(now + restartDelayMs);
    note(QStringLiteral("The server ended by itself at %1 with exit code %2; it starts again "
                        "at %3.")
             .arg(stamp)
             .arg(lastExitCode_)
             .arg(again));
    setRestartNote(QStringLiteral("It ended by itself with exit code %1; it starts again at %2.")
                       .arg(lastExitCode_)
                       .arg(again),
                   colour::NearBlack);
    lblLeftRunning->setText(QStringLiteral("Stop calls off the restart."));
    cmdStopServer->setEnabled(true);
    restartTimer_.start(restartDelayMs);
}

void ServerWindow::restartNow() {
    plat::Process launcher;
    const plat::Status s =
        host_.restart ? host_.restart(commandLine_, launcher)
                      : plat::Status::failure("Error: the server could not be started again.");
    if (!s.ok()) {
        const QString why = QString::fromStdString(s.error);
        note(QStringLiteral("The server was not started again. ") + why);
        setRestartNote(why, colour::Red);
        lblLeftRunning->setText(kEnded);
        cmdStopServer->setEnabled(false);
        return;
    }
    const QString when = timeOf(clock());
    note(QStringLiteral("The server was started again at %1.").arg(when));
    setRestartNote(QStringLiteral("Started again at %1 after it ended with exit code %2.")
                       .arg(when)
                       .arg(lastExitCode_),
                   colour::NearBlack);
    beginRun(std::move(launcher));
}

void ServerWindow::callOffRestart(const QString& why) {
    restartTimer_.stop();
    note(why);
    setRestartNote(why, colour::NearBlack);
    lblLeftRunning->setText(kEnded);
    cmdStopServer->setEnabled(false);
}

// ---------------------------------------------------------------------------
// Asking the server

void ServerWindow::startAsking() {
    socket_.close();
    socketError_.clear();
    info_ = {};
    port_ = udpPortOfCommandLine(commandLine_.toStdString());
    address_ = queryAddressOfCommandLine(commandLine_.toStdString());
    watch_ = AnswerWatch(clock());
    if (port_ != 0) {
        if (plat::Status s = socket_.open(); !s.ok())
            socketError_ = QString::fromStdString(s.error);
    }
    lblServerAnswerCaption_->show();
    lblServerAnswer->show();
    showAnswer();
}

void ServerWindow::askServer() {
    if (port_ == 0 || !socket_.isOpen())
        return;
    const std::int64_t now = clock();
    // What has come in since the last look; a socket error (such as a
    // refused datagram reported late) only ends the look.
    for (int n = 0; n < 16; ++n) {
        std::string bytes;
        bool got = false;
        if (!socket_.receive(bytes, got, 0).ok() || !got)
            break;
        const query::Answer answer = query::parseAnswer(bytes);
        if (answer.kind == query::Answer::Kind::Info) {
            info_ = answer.info;
            watch_.answered(now);
        } else if (answer.kind == query::Answer::Kind::Challenge) {
            // The server wants its challenge back before it answers.
            socket_.sendTo(address_, port_, query::infoRequest(answer.challenge));
        }
    }
    if (watch_.dueToAsk(now)) {
        socket_.sendTo(address_, port_, query::infoRequest());
        watch_.asked(now);
    }
    showAnswer();
}

void ServerWindow::showAnswer() {
    if (port_ == 0) {
        setValue(lblServerAnswer, QStringLiteral("Not asked: the command line gives no UDP port."),
                 colour::NearBlack);
        return;
    }
    if (!socketError_.isEmpty()) {
        setValue(lblServerAnswer, QStringLiteral("The server cannot be asked. ") + socketError_,
                 colour::Red);
        return;
    }
    const std::int64_t now = clock();
    switch (watch_.state(now)) {
    case AnswerWatch::State::Waiting:
        setValue(lblServerAnswer, QStringLiteral("Waiting for an answer on UDP port %1").arg(port_),
                 colour::NearBlack);
        break;
    case AnswerWatch::State::Answering:
        setValue(lblServerAnswer,
                 QString::fromStdString(plat::cp1252ToUtf8(query::answeringText(port_, info_))),
                 colour::Green);
        break;
    case AnswerWatch::State::NoAnswer:
        setValue(lblServerAnswer,
                 QStringLiteral("No answer on UDP port %1 since the start at %2")
                     .arg(port_)
                     .arg(timeOf(watch_.startMs())),
                 colour::Red);
        break;
    case AnswerWatch::State::NotAnswering:
        setValue(lblServerAnswer,
                 QStringLiteral("Not answering on UDP port %1 since %2")
                     .arg(port_)
                     .arg(timeOf(watch_.lastAnswerMs())),
                 colour::Red);
        break;
    }
}

// ---------------------------------------------------------------------------
// Helpers

void ServerWindow::setValue(QLabel* value, const QString& text, std::uint32_t bgr) {
    if (value->text() != text)
        value->setText(text);
    const QString caption = value->property(kCaption).toString();
    const QString name = text.isEmpty() ? caption : caption + QStringLiteral(": ") + text;
    if (value->accessibleName() != name)
        value->setAccessibleName(name);
    setTextColour(value, bgr);
}

void ServerWindow::setRestartNote(const QString& text, std::uint32_t bgr) {
    setValue(lblRestarts, text, bgr);
    lblRestartsCaption_->setVisible(!text.isEmpty());
    lblRestarts->setVisible(!text.isEmpty());
}

void ServerWindow::note(const QString& text) {
    appendText(QStringLiteral("[Vornwick] ") + text);
    if (host_.log)
        host_.log(text);
}

QString ServerWindow::timeOf(std::int64_t ms) const {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
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
    appendText(text);
}

void ServerWindow::appendText(const QString& text) {
    QScrollBar* bar = txtServerOutput->verticalScrollBar();
    const bool follow = chkFollowOutput->isChecked();
    const int kept = bar->value();
    scrolling_ = true;
    txtServerOutput->appendPlainText(text);
    bar->setValue(follow ? bar->maximum() : std::min(kept, bar->maximum()));
    scrolling_ = false;
}

} // namespace vorn
