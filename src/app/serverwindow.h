// The server window: a started server's command line, start time, state
// and live console output, with Stop.
//
// A separate, non-modal top-level window, so that the main form keeps its
// fixed layout. It takes over the started launcher (the command
// interpreter running the batch file) and polls the launcher's output file
// about twice a second, reading only what was added since the last poll.
// Closing it, or Vornwick, leaves a running server running.
#pragma once

#include "desktop.h"
#include "platform.h"
#include "serveroutput.h"

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class ServerWindow : public QWidget {
    Q_OBJECT

  public:
    // The most lines the output view keeps; older ones are dropped.
    static constexpr int kMaxLines = 5000;
    static constexpr int kPollMs = 500;

    explicit ServerWindow(UiSeam& ui, QWidget* owner = nullptr);
    ~ServerWindow() override;

    // Follow a server just started with `commandLine`, its console output
    // going into `outputPath`. An earlier server is let go (left running
    // when it still runs).
    void follow(platform::Process launcher, const QString& commandLine, const QString& outputPath);

    // Whether the followed server still runs; an end is noticed and shown.
    bool serverRunning();
    // Whether a server is followed, as last seen (nothing is asked).
    bool following() const { return following_; }
    // End the server and all it started, without asking.
    void stopServer();
    // Read what was added to the output and notice an end: the timer's work.
    void poll();

    // ---- reactions
    void cmdStopServer_Click(); // asks first
    void chkFollowOutput_Click();

    QLabel* lblCommandLine = nullptr;
    QLabel* lblStartTime = nullptr;
    QLabel* lblServerState = nullptr;
    QLabel* lblLeftRunning = nullptr;
    QPlainTextEdit* txtServerOutput = nullptr;
    QCheckBox* chkFollowOutput = nullptr;
    QPushButton* cmdStopServer = nullptr;
    QPushButton* cmdCloseServer = nullptr;

  private:
    void buildControls();
    void wireReactions();
    void readOutput(bool ended);
    void showEnded(bool stopped);
    void appendLines(const std::vector<std::string>& lines);
    bool atBottom() const;

    UiSeam& ui_;
    QTimer timer_;
    platform::Process launcher_;
    OutputFollower follower_{kMaxLines};
    QString outputPath_;
    bool following_ = false;
    bool scrolling_ = false;
};

} // namespace vorn
