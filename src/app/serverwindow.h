// The server window: a started server's command line, start time, state,
// whether it answers queries, and its live console output, with Stop and a
// restart for a server that stops by itself.
//
// A separate, non-modal top-level window, so that the main form keeps its
// fixed layout. It takes over the started launcher (the command
// interpreter running the batch file) and polls the launcher's output file
// about twice a second, reading only what was added since the last poll.
// On the same beat it asks the server over UDP what a server browser sees,
// never waiting for the answer. Closing it, or Vornwick, leaves a running
// server running.
#pragma once

#include "desktop.h"
#include "platform.h"
#include "serveroutput.h"
#include "serverquery.h"
#include "serverwatch.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

// What the server window asks of the window that started the server.
struct ServerHost {
    // Start the launcher of `line` again as Start does, its console output
    // going into the same file. A refusal (a busy port) or a failure says
    // why in the words the main window's status line shows for it.
    std::function<platform::Status(const QString& line, platform::Process& launcher)> restart;
    // One line in the master log.
    std::function<void(const QString& text)> log;
};

class ServerWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The most lines the output view keeps; older ones are dropped.
    static constexpr int kMaxLines = 5000;
    static constexpr int kPollMs = 500;
    // How long after an end by itself the server is started again.
    static constexpr int kRestartDelayMs = 5000;
    // How long Stop gives the server to end when asked before forcing it,
    // how often it looks meanwhile, and when it gives up looking.
    static constexpr int kStopGraceMs = 1500;
    static constexpr int kStopCheckMs = 50;
    static constexpr int kStopGiveUpMs = 10000;

    ServerWindow(UiSeam& ui, ServerHost host, QWidget* owner = nullptr);
    ~ServerWindow() override;

    // Follow a server just started by the user with `commandLine`, its
    // console output going into `outputPath`. An earlier server is let go
    // (left running when it still runs); a restart still to come is called
    // off, and restarts are counted from nothing again.
    void follow(platform::Process launcher, const QString& commandLine, const QString& outputPath);

    // Whether the followed server still runs; an end is noticed and shown.
    bool serverRunning();
    // Whether a server is followed, as last seen (nothing is asked).
    bool following() const { return following_; }
    // Whether a restart is still to come.
    bool restartPending() const { return restartTimer_.isActive(); }
    // End the server and all it started, without asking, and wait for it
    // (a few seconds at most); a restart still to come is called off.
    void stopServer();
    // Read what was added to the output, notice an end, and ask the server
    // or read its answers: the timer's work.
    void poll();

    // What tests change: the wait before a restart, and the clock of the
    // answers and restarts (milliseconds since 1970).
    int restartDelayMs = kRestartDelayMs;
    std::function<std::int64_t()> clock;

    // ---- reactions
    void cmdStopServer_Click(); // asks first
    void chkFollowOutput_Click();
    void chkRestartServer_Click();

  private:
    QLabel* lblCommandLine = nullptr;
    QLabel* lblStartTime = nullptr;
    QLabel* lblServerState = nullptr;
    QLabel* lblServerAnswer = nullptr;
    QLabel* lblRestarts = nullptr;
    QLabel* lblLeftRunning = nullptr;
    QPlainTextEdit* txtServerOutput = nullptr;
    QCheckBox* chkFollowOutput = nullptr;
    QCheckBox* chkRestartServer = nullptr;
    QPushButton* cmdStopServer = nullptr;
    QPushButton* cmdCloseServer = nullptr;

    void buildControls();
    void wireReactions();
    // A run of the server, by the user's Start or a restart.
    void beginRun(platform::Process launcher);
    void readOutput(bool ended);
    void showEnded(bool stopped);
    void endedByItself();
    void restartNow();
    void callOffRestart(const QString& why);
    // Stop in steps: ask, look on a timer, force after the grace time.
    void beginStop();
    void checkStop();
    void finishStop();
    // The UDP query: open the socket for a run, then ask and read answers.
    void startAsking();
    void askServer();
    void showAnswer();
    // A value and its caption, as a screen reader reads them together.
    void setValue(QLabel* value, const QString& text, std::uint32_t bgr);
    void setRestartNote(const QString& text, std::uint32_t bgr);
    // A line of Vornwick's own in the output view and the master log.
    void note(const QString& text);
    QString timeOf(std::int64_t ms) const;
    void appendLines(const std::vector<std::string>& lines);
    void appendText(const QString& text);
    bool atBottom() const;

    UiSeam& ui_;
    ServerHost host_;
    QTimer timer_;
    QTimer restartTimer_;
    QTimer stopTimer_;
    QElapsedTimer stopClock_;
    platform::Process launcher_;
    OutputFollower follower_{kMaxLines};
    QString outputPath_;
    QString commandLine_;
    bool following_ = false;
    bool stopping_ = false;
    bool forced_ = false;
    bool scrolling_ = false;
    int lastExitCode_ = -1;

    platform::UdpSocket socket_;
    QString socketError_;
    std::string address_;
    int port_ = 0;
    AnswerWatch watch_;
    query::Info info_;
    RestartPolicy policy_;
    QLabel* lblServerAnswerCaption_ = nullptr;
    QLabel* lblRestartsCaption_ = nullptr;
};

} // namespace vorn
