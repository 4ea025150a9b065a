// After Start: the server window follows the running server, Stop ends it
// with all it started, Start runs it again, and a busy port starts nothing.
#include "clipping.h"
#include "guisupport.h"
#include "heldport.h"
#include "serverwindow.h"
#include "udpresponder.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace vorn::test {
namespace {

class ServerWindowTest : public WindowTest {
  protected:
    std::int64_t skew_ = 0;
    void SetUp() override {
        WindowTest::SetUp();
        // The demo's server stand-ins keep running until they are stopped.
        DemoInstall::write(demo->game("server-standin.stay"), "");
        chooseMod("valve");
        confirmAllSteps();
    }
    void TearDown() override {
        if (w && w->serverWindow)
            w->serverWindow->stopServer();
        WindowTest::TearDown();
    }

    ServerWindow* sw() const { return w->serverWindow; }
    QString prefix() const { return demo->drive("").section(QStringLiteral("/drive_c"), 0, 0); }
    QString output() const {
        return control<QPlainTextEdit>(*sw(), "txtServerOutput")->toPlainText();
    }
    QString state() const { return control<QLabel>(*sw(), "lblServerState")->text(); }

    // The window's timer has brought the stand-in's map load into the output.
    bool mapLoaded() {
        return waitUntil([&] { return output().contains("Loading map"); }, 10000);
    }

    // The command line's port, saved again as a user does.
    void usePort(int port) {
        click("optCommandLine");
        focus(ctl<QWidget>("cmbPort"));
        setText("cmbPort", QString::number(port));
        focus(ctl<QWidget>("txtExtra1"));
        click("cmdCommandOK");
    }
    QString answer() const { return control<QLabel>(*sw(), "lblServerAnswer")->text(); }
    QString restarts() const { return control<QLabel>(*sw(), "lblRestarts")->text(); }
    QColor colourOf(const char* label) const {
        return control<QLabel>(*sw(), label)->palette().color(QPalette::WindowText);
    }
    bool stopEnabled() const { return control<QPushButton>(*sw(), "cmdStopServer")->isEnabled(); }
    QByteArray masterLog() const { return DemoInstall::read(demo->drive("vorn_master.log")); }
    // A server that ends as soon as it starts.
    void endAtOnce() { QFile::remove(demo->game("server-standin.stay")); }

    // Process groups whose command line names `dir` (a forking shell's child
    // shares it for a moment); -1 off Linux.
    static int serversOf(const QString& dir) {
#ifndef _WIN32
        QSet<QByteArray> groups;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmd(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
            QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
            if (pid.toInt() <= 0 || !cmd.open(QIODevice::ReadOnly) ||
                !cmd.readAll().replace('\0', ' ').contains(dir.toUtf8()) ||
                !stat.open(QIODevice::ReadOnly))
                continue;
            // pid (name) state ppid pgrp ...
            const QByteArray fields = stat.readAll();
            groups.insert(fields.mid(fields.lastIndexOf(')') + 2).split(' ').value(2));
        }
        return int(groups.size());
#else
        Q_UNUSED(dir);
        return -1;
#endif
    }
};

TEST_F(ServerWindowTest, FollowsTheServerUntilStopStartsItAgainAndListingsLeaveItAlone) {
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    ASSERT_NE(sw(), nullptr);
    // A window of its own, beside the main form.
    EXPECT_TRUE(sw()->isWindow() && sw()->isVisible() && !sw()->isModal());
    const QString line = control<QLabel>(*sw(), "lblCommandLine")->text();
    EXPECT_TRUE(line.startsWith(ctl<QLineEdit>("txtExec")->text()) && line.contains("+port 27015"))
        << line.toStdString();
    EXPECT_EQ(state(), "Running.");
    EXPECT_TRUE(
        control<QLabel>(*sw(), "lblLeftRunning")->text().contains("leaves the server running"));
    ASSERT_TRUE(mapLoaded()) << output().toStdString();
    EXPECT_TRUE(output().contains("hl.exe stand-in started\nConsole initialized.\n"))
        << output().toStdString();

    // While it runs, a second Start asks first; No starts nothing.
    seam.answers = {kAnswerNo};
    click("cmdStart");
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
    EXPECT_TRUE(seam.boxes[0].text.contains("still running"));
    EXPECT_TRUE(sw()->serverRunning());
    // A pause long enough for a second server to have logged its start.
    QThread::msleep(300);
    EXPECT_EQ(serverLog().count("hl.exe "), 1);

    // Stop asks to confirm; No leaves it running.
    seam.answers = {kAnswerNo};
    click("cmdStopServer");
    ASSERT_EQ(seam.boxes.size(), 2u);
    expectBox(1, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
    EXPECT_TRUE(sw()->serverRunning());
    EXPECT_NE(serversOf(prefix()), 0);

    // Closing the server window, or the main form, leaves it running.
    sw()->close();
    w->close();
    QThread::msleep(200); // long enough for a server ended by the closing to be gone
    EXPECT_TRUE(sw()->serverRunning());
    EXPECT_NE(serversOf(prefix()), 0);
    w->show();
    sw()->show();

    // Stop does not hold the window up: it asks the server to end and
    // looks again on a timer. With restarts on, it leads to none.
    click("chkRestartServer");
    sw()->restartDelayMs = 50;
    seam.answers = {kAnswerYes};
    QElapsedTimer clicked;
    clicked.start();
    click("cmdStopServer");
    EXPECT_LT(clicked.elapsed(), 300);
    ASSERT_TRUE(waitUntil([&] { return state().startsWith("Stopped at "); }, 10000))
        << state().toStdString();
    EXPECT_FALSE(sw()->serverRunning());
    EXPECT_TRUE(state().contains("exit code ")) << state().toStdString();
    EXPECT_FALSE(stopEnabled());
    EXPECT_LE(serversOf(prefix()), 0) << "nothing of the server may be left";
    waitUntil([] { return false; }, 300); // longer than the restart delay
    EXPECT_FALSE(sw()->restartPending());
    EXPECT_TRUE(restarts().isEmpty());

    // To assistive technology a window, each value read with its caption
    // as it is now, and labelled by it for readers that follow relations.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(sw());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Vornwick - Server");
    for (const char* name :
         {"lblCommandLine", "lblStartTime", "lblServerState", "lblServerAnswer"}) {
        auto* value = control<QLabel>(*sw(), name);
        auto* caption = control<QLabel>(*sw(), (QByteArray(name) + "Caption").constData());
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(value);
        ASSERT_NE(face, nullptr);
        EXPECT_FALSE(value->text().isEmpty()) << name;
        EXPECT_EQ(face->text(QAccessible::Name), caption->text().chopped(1) + ": " + value->text());
        bool labelled = false;
        for (const auto& [other, relation] : face->relations(QAccessible::Label))
            labelled = labelled || other->object() == caption;
        EXPECT_TRUE(labelled) << name;
    }

    // Start stays available and runs it again, in the same window.
    ServerWindow* first = sw();
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(sw(), first);
    EXPECT_EQ(state(), "Running.");
    EXPECT_EQ(serverLog(2).count("hl.exe "), 2);
    ASSERT_TRUE(mapLoaded());
    EXPECT_EQ(output().count("Console initialized."), 1);

    // A second Start answered Yes stops the running one and starts anew.
    seam.answers = {kAnswerYes};
    click("cmdStart");
    EXPECT_EQ(seam.boxes.size(), 4u);
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(serverLog(3).count("hl.exe "), 3);
    ASSERT_TRUE(mapLoaded());
    EXPECT_NE(serversOf(prefix()), 0);
    EXPECT_LE(serversOf(prefix()), 1) << "only the new server runs";

    // Listing maps and reading a map's side files leave the server's batch
    // file and output untouched.
    const QByteArray batch = DemoInstall::read(demo->drive("vorn.bat"));
    openStep("optMapFile");
    clickListItem("lstMapList", "dod_caen");
    click("chkClassLimit");
    EXPECT_EQ(ctl<QLabel>("lblClassAllies")->text(), "British");
    EXPECT_EQ(DemoInstall::read(demo->drive("vorn.bat")), batch);
    EXPECT_TRUE(DemoInstall::read(demo->drive("vorn.log")).contains("Loading map"));
    sw()->poll();
    EXPECT_EQ(output().count("Console initialized."), 1);
    EXPECT_FALSE(output().contains(".bsp"));
}

TEST_F(ServerWindowTest, OnlyTheNewestLinesAreKeptAndTheViewFollowsOnlyFromTheBottom) {
    VORN_SKIP_ON_WINDOWS("cmd.exe's redirection lets no other program add to the output file");
    click("cmdStart");
    ASSERT_TRUE(mapLoaded());
    auto more = [&](int from, int count) {
        QByteArray lines;
        for (int i = from; i < from + count; ++i)
            lines += "L " + QByteArray::number(i) + "\r\n";
        QFile log(demo->drive("vorn.log"));
        ASSERT_TRUE(log.open(QIODevice::Append));
        log.write(lines);
    };
    more(0, ServerWindow::kMaxLines + 500);
    sw()->poll();
    QPlainTextEdit* view = control<QPlainTextEdit>(*sw(), "txtServerOutput");
    EXPECT_LE(view->blockCount(), ServerWindow::kMaxLines);
    EXPECT_TRUE(output().endsWith(QString("L %1").arg(ServerWindow::kMaxLines + 499)));
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled up, the view stays where the user put it.
    bar->setValue(10);
    EXPECT_FALSE(control<QCheckBox>(*sw(), "chkFollowOutput")->isChecked());
    more(100000, 20);
    sw()->poll();
    EXPECT_EQ(bar->value(), 10);
    EXPECT_TRUE(output().endsWith("L 100019"));
    // Back at the bottom, it follows again.
    bar->setValue(bar->maximum());
    EXPECT_TRUE(control<QCheckBox>(*sw(), "chkFollowOutput")->isChecked());
    more(200000, 20);
    sw()->poll();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(ServerWindowTest, ABusyPortStartsNothing) {
    HeldPort holder(27015);
    if (holder.port == 0)
        GTEST_SKIP() << "port 27015 is taken on this machine already";
    const QByteArray batch = DemoInstall::read(demo->drive("vorn.bat"));
    click("cmdStart");
    holder.release();
    EXPECT_EQ(status(), "Error: UDP port 27015 is in use by another program; no server was "
                        "started.");
    EXPECT_EQ(statusColour(), fromBgr(colour::Red));
    EXPECT_EQ(sw(), nullptr);
    EXPECT_EQ(DemoInstall::read(demo->drive("vorn.bat")), batch);
    // A pause long enough for a started stand-in to have written its log.
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(demo->game("server-standin.log")));
    // Once the port is free, Start works.
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
}

// An A2S_INFO answer in the Source style, as a server sends it.
// After the names: the app id, the players, the most, then the bots, type,
// system, visibility and VAC.
std::string infoAnswer(const std::string& host, const std::string& map, int players, int most) {
    const std::string nul(1, '\0');
    return std::string("\xFF\xFF\xFF\xFFI\x30", 6) + host + nul + map + nul + "valve" + nul +
           "Half-Life" + nul + std::string("\x46\0", 2) + char(players) + char(most) +
           std::string("\0dl\0\0", 5) + "1.1.2.7" + nul;
}

// A server that asks for its challenge first, as newer servers do.
const std::string kChallenge("\x11\x22\x33\x44", 4);
std::vector<std::string> challengeFirst(const std::string& request) {
    const std::string plain = query::infoRequest();
    if (request == plain)
        return {std::string(4, '\xFF') + "A" + kChallenge};
    if (request == plain + kChallenge)
        return {infoAnswer("Vornwick Test", "crossfire", 3, 16)};
    return {};
}

TEST_F(ServerWindowTest, SaysWhetherTheServerAnswersAndSinceWhenItDoesNot) {
    const int port = HeldPort().port; // free again, for a server of the test
    ASSERT_NE(port, 0);
    usePort(port);
    click("cmdStart");
    ASSERT_NE(sw(), nullptr);
    // The answers' clock, moved on by the test; the fixture's, as it outlives the window.
    sw()->clock = [this] { return QDateTime::currentMSecsSinceEpoch() + skew_; };
    EXPECT_EQ(answer(), QStringLiteral("Waiting for an answer on UDP port %1").arg(port));
    EXPECT_EQ(colourOf("lblServerAnswer"), fromBgr(colour::NearBlack));

    // Nobody answers for a minute: red, since the start.
    skew_ = 61000;
    sw()->poll();
    EXPECT_EQ(answer(), QStringLiteral("No answer on UDP port %1 since the start at %2")
                            .arg(port)
                            .arg(control<QLabel>(*sw(), "lblStartTime")->text().right(8)));
    EXPECT_EQ(colourOf("lblServerAnswer"), fromBgr(colour::Red));

    // The server comes up: it wants its challenge back, then answers.
    const QString answering =
        QStringLiteral("Answering on UDP port %1: Vornwick Test, map crossfire, 3/16 players")
            .arg(port);
    {
        UdpResponder server(challengeFirst, port);
        ASSERT_EQ(server.port, port);
        ASSERT_TRUE(waitUntil([&] { return answer() == answering; }, 10000))
            << answer().toStdString();
        EXPECT_EQ(colourOf("lblServerAnswer"), fromBgr(colour::Green));
        const std::vector<std::string> asked = server.requests();
        EXPECT_NE(std::find(asked.begin(), asked.end(), query::infoRequest() + kChallenge),
                  asked.end());
        // The window keeps asking every few seconds while it runs.
        const std::size_t before = asked.size();
        skew_ += AnswerWatch::kAskEveryMs;
        waitUntil([&] { return server.requests().size() > before; }, 3000);
        EXPECT_GT(server.requests().size(), before);
        // The window reads the last answers at its next poll.
        waitUntil([] { return false; }, ServerWindow::kPollMs + 200);
    }
    // Then it falls silent (after the answers still on their way): after
    // 30 s it is shown in red, and it is left running.
    sw()->poll();
    EXPECT_EQ(answer(), answering);
    skew_ += 31000;
    sw()->poll();
    EXPECT_TRUE(answer().contains(QRegularExpression(
        QStringLiteral("^Not answering on UDP port %1 since \\d\\d:\\d\\d:\\d\\d$").arg(port))))
        << answer().toStdString();
    EXPECT_FALSE(answer().endsWith(control<QLabel>(*sw(), "lblStartTime")->text().right(8)));
    EXPECT_EQ(colourOf("lblServerAnswer"), fromBgr(colour::Red));
    EXPECT_EQ(state(), "Running.");
}

TEST_F(ServerWindowTest, AServerThatEndsByItselfIsStartedAgainAtMostThreeTimesInTenMinutes) {
    endAtOnce();
    click("cmdStart");
    ASSERT_NE(sw(), nullptr);
    // Unchecked at first: the first end is only shown, with its exit code.
    EXPECT_FALSE(control<QCheckBox>(*sw(), "chkRestartServer")->isChecked());
    ASSERT_TRUE(waitUntil([&] { return !sw()->serverRunning(); }, 10000));
    EXPECT_TRUE(state().startsWith("Ended by itself at ")) << state().toStdString();
    EXPECT_TRUE(state().endsWith("with exit code 0.")) << state().toStdString();
    EXPECT_FALSE(stopEnabled());
    EXPECT_FALSE(sw()->restartPending());
    EXPECT_FALSE(control<QLabel>(*sw(), "lblRestarts")->isVisible());

    // Start runs it again without asking.
    click("chkRestartServer");
    sw()->restartDelayMs = 50;
    click("cmdStart");
    EXPECT_TRUE(seam.boxes.empty());
    const QString stopped = "Stopped restarting: it ended 4 times in 10 minutes";
    ASSERT_TRUE(waitUntil([&] { return restarts() == stopped; }, 20000)) << output().toStdString();
    EXPECT_EQ(colourOf("lblRestarts"), fromBgr(colour::Red));
    EXPECT_TRUE(control<QLabel>(*sw(), "lblRestarts")->isVisible());
    // Two starts of the user's, three of the window's; then no more.
    EXPECT_EQ(serverLog(5).count("hl.exe "), 5);
    // A pause with the window running, longer than its restart delay.
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(serverLog(5).count("hl.exe "), 5);
    EXPECT_FALSE(sw()->restartPending());
    EXPECT_FALSE(stopEnabled());
    // The output view and the master log say so, with the exit code.
    EXPECT_EQ(output().count(QRegularExpression(
                  "\\[Vornwick\\] The server ended by itself at \\d{4}-\\d\\d-\\d\\d "
                  "\\d\\d:\\d\\d:\\d\\d with exit code 0; it starts again at")),
              3)
        << output().toStdString();
    EXPECT_EQ(output().count("[Vornwick] The server was started again at "), 3);
    EXPECT_TRUE(output().endsWith(QStringLiteral("[Vornwick] ") + stopped));
    EXPECT_EQ(output().count("hl.exe stand-in started"), 4) << "the output of every run is kept";
    const QByteArray log = masterLog();
    EXPECT_EQ(log.count("with exit code 0; it starts again at"), 3) << log.toStdString();
    EXPECT_TRUE(log.contains(stopped.toUtf8()));

    // Between an end and its restart, Stop calls the restart off without
    // asking, as nothing runs; so does turning restarts off.
    sw()->restartDelayMs = 60000;
    click("cmdStart");
    ASSERT_TRUE(waitUntil([&] { return sw()->restartPending(); }, 10000));
    EXPECT_TRUE(restarts().startsWith("It ended by itself with exit code 0; it starts again at "))
        << restarts().toStdString();
    EXPECT_TRUE(stopEnabled());
    click("cmdStopServer");
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_FALSE(sw()->restartPending());
    EXPECT_EQ(restarts(), "Not started again: Stop was pressed.");
    EXPECT_FALSE(stopEnabled());
    click("cmdStart");
    ASSERT_TRUE(waitUntil([&] { return sw()->restartPending(); }, 10000));
    click("chkRestartServer");
    EXPECT_FALSE(sw()->restartPending());
    EXPECT_EQ(restarts(), "Not started again: restarting was turned off.");
    click("chkRestartServer");

    // A Start of the user's counts from nothing again.
    sw()->restartDelayMs = 300;
    click("cmdStart");
    ASSERT_TRUE(waitUntil([&] { return restarts().startsWith("Started again at "); }, 10000));
    EXPECT_TRUE(restarts().endsWith("after it ended with exit code 0."))
        << restarts().toStdString();

    // A port taken before the next restart is reported as at a start.
    HeldPort holder(27015);
    if (holder.port == 0)
        GTEST_SKIP() << "port 27015 is taken on this machine already";
    const QString busy =
        "Error: UDP port 27015 is in use by another program; no server was started.";
    ASSERT_TRUE(waitUntil([&] { return restarts() == busy; }, 10000)) << restarts().toStdString();
    EXPECT_EQ(colourOf("lblRestarts"), fromBgr(colour::Red));
    EXPECT_EQ(status(), busy);
    EXPECT_TRUE(output().endsWith(QStringLiteral("The server was not started again. ") + busy));
    EXPECT_TRUE(masterLog().contains(busy.toUtf8()));
    EXPECT_EQ(serverLog(9).count("hl.exe "), 9);
    EXPECT_FALSE(stopEnabled());
}

TEST_F(ServerWindowTest, StopDoesNotHoldTheWindowUpWhileAServerIgnoresTheRequestToEnd) {
    VORN_SKIP_ON_WINDOWS("Windows ends a job at once; there is nothing to wait for");
    // An interpreter whose server ignores the gentle request.
    demo->replaceInterpreter("trap '' TERM\necho stubborn server\n"
                             "while :; do sleep 0.05; done\n");
    click("cmdStart");
    ASSERT_NE(sw(), nullptr);
    ASSERT_TRUE(sw()->serverRunning());
    seam.answers = {kAnswerYes};
    QElapsedTimer clock;
    clock.start();
    click("cmdStopServer");
    EXPECT_LT(clock.elapsed(), 300);
    EXPECT_EQ(state(), "Stopping...");
    EXPECT_FALSE(stopEnabled());
    // The window's thread stays free: a timer of its own fires throughout.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(100);
    ASSERT_TRUE(waitUntil([&] { return state().startsWith("Stopped at "); }, 10000));
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, ServerWindow::kStopGraceMs - 100);
    EXPECT_GE(ticks, int(took / 100) - 5) << "the window was held up";
    EXPECT_EQ(serversOf(prefix()), 0) << "the server was forced to end";
}

// Every text in full view at desktop fonts of 10 to 14 points, with a server
// answering after a restart.
class ServerWindowFontTest : public ServerWindowTest, public ::testing::WithParamInterface<int> {
  protected:
    DesktopPointSize font_{GetParam()};
};

TEST_P(ServerWindowFontTest, NothingIsClippedWhenItAnswersAfterARestart) {
    const int port = HeldPort().port;
    usePort(port);
    endAtOnce();
    click("cmdStart");
    ASSERT_TRUE(waitUntil([&] { return state().startsWith("Ended by itself"); }, 10000));
    click("chkRestartServer");
    sw()->restartDelayMs = 300;
    click("cmdStart");
    // The run the window starts again stays.
    ASSERT_TRUE(waitUntil([&] { return sw()->restartPending(); }, 10000));
    DemoInstall::write(demo->game("server-standin.stay"), "");
    ASSERT_TRUE(waitUntil([&] { return restarts().startsWith("Started again at "); }, 10000))
        << restarts().toStdString() << output().toStdString();
    UdpResponder server(
        [](const std::string&) {
            return std::vector<std::string>{infoAnswer(
                "Vornwick Test Server - Day of Defeat, all welcome", "dod_anzio", 0, 32)};
        },
        port);
    ASSERT_TRUE(mapLoaded());
    ASSERT_TRUE(waitUntil([&] { return answer().startsWith("Answering"); }, 10000));

    const QStringList problems = clippedControls(sw());
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
    EXPECT_TRUE(lastLineInView(control<QPlainTextEdit>(*sw(), "txtServerOutput")))
        << "the newest line of the output is not in full view";
}

INSTANTIATE_TEST_SUITE_P(Points, ServerWindowFontTest, ::testing::Values(10, 12, 14));

} // namespace
} // namespace vorn::test
