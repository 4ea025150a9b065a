// The road to a real game server: a mod folder the GoldSrc-protocol test
// engine can run, every step driven with clicks and keys, Start through the
// real vorn-cmd, and then the server itself asked over UDP what it runs.
// The engine (scripts/goldsrc-server.sh, VORN_GOLDSRC_SERVER) is a 64-bit
// Linux program; the test skips, saying why, where it is missing.
#include "clipping.h"
#include "guisupport.h"
#include "heldport.h"
#include "serverquery.h"
#include "serverwindow.h"
#include "waituntil.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <map>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace vorn::test {
namespace {

const QString kMod = QStringLiteral("vornlab");
const QString kMap = QStringLiteral("vorn_box");
const QString kHostName = QStringLiteral("Vornwick Road 21");

// Where the engine is: VORN_GOLDSRC_SERVER, else the folder
// scripts/goldsrc-server.sh fills; "" with `why` set when neither has it.
[[maybe_unused]] QString engineFolder(std::string& why) {
    QString folder = qEnvironmentVariable("VORN_GOLDSRC_SERVER");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.cache/vornwick/goldsrc-test-server");
    if (!QFileInfo(folder + QStringLiteral("/bin/xash")).isExecutable()) {
        why = "no GoldSrc test server in " + folder.toStdString() +
              " (scripts/goldsrc-server.sh unpacks it from ../shared/tools; "
              "VORN_GOLDSRC_SERVER names it)";
        return {};
    }
    return folder;
}

#ifndef _WIN32
// Whether a process runs: a zombie has ended.
bool alive(pid_t pid) {
    const QByteArray stat =
        DemoInstall::read(QStringLiteral("/proc/%1/stat").arg(static_cast<long>(pid)));
    if (stat.isEmpty())
        return false;
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

// Whether any process of the group still runs (zombies have ended).
bool groupAlive(pid_t group) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const long pid = entry.toLong(&number);
        if (!number || !alive(static_cast<pid_t>(pid)))
            continue;
        if (::getpgid(static_cast<pid_t>(pid)) == group)
            return true;
    }
    return false;
}

// CPU seconds a process has used (user and system).
double cpuSeconds(pid_t pid) {
    const QByteArray stat =
        DemoInstall::read(QStringLiteral("/proc/%1/stat").arg(static_cast<long>(pid)));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    // After the name: state is field 0, utime field 11, stime field 12.
    return (fields[11].toDouble() + fields[12].toDouble()) /
           static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// CPU seconds this process has used, all its threads, to the microsecond.
double ownCpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(use.ru_utime) + seconds(use.ru_stime);
}

// Whether a process runs the program `program`.
bool runs(pid_t pid, const QString& program) {
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(static_cast<long>(pid)))
               .canonicalFilePath() == QFileInfo(program).canonicalFilePath();
}
#endif

class RealServerRoadTest : public WindowTest {
  protected:
    RealServerRoadTest() { autoLoad = false; }

    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the GoldSrc test server is a Linux program; the Windows build keeps "
                        "its stand-ins";
#else
        std::string why;
        engine_ = engineFolder(why);
        if (engine_.isEmpty())
            GTEST_SKIP() << why;
        WindowTest::SetUp();
        makeMod();
        openWindow();
#endif
    }

    void TearDown() override {
#ifndef _WIN32
        // A failed test must not leave the engine running.
        if (const pid_t pid = enginePid(); pid > 0 && alive(pid))
            ::kill(pid, SIGKILL);
#endif
        WindowTest::TearDown();
    }

    // The mod folder the engine needs, and hlds.exe as a script that runs
    // the engine on this game folder with the line's +port as -port.
    void makeMod() {
        const QString mod = demo->game(kMod + "/");
        DemoInstall::write(mod + "liblist.gam", "game \"Vornwick Lab\"\r\n"
                                                "gamedll_linux \"dlls/hl.so\"\r\n");
        DemoInstall::write(mod + "delta.lst", "");
        DemoInstall::write(mod + "gfx/conchars", "x");
        ASSERT_TRUE(QDir().mkpath(mod + "dlls"));
        ASSERT_TRUE(QFile::copy(engine_ + "/valve/dlls/hl_amd64.so", mod + "dlls/hl_amd64.so"));
        ASSERT_TRUE(QDir().mkpath(mod + "maps"));
        for (const QString& map : {kMap, QStringLiteral("vorn_hall")})
            ASSERT_TRUE(QFile::copy(engine_ + "/maps/box.bsp", mod + "maps/" + map + ".bsp"));

        const QString hlds = demo->game("hlds.exe");
        QFile::remove(hlds);
        DemoInstall::write(hlds, "#!/bin/sh\n"
                                 "# hlds.exe for the tests: the GoldSrc test engine on this game\n"
                                 "# folder, listening on the line's +port.\n"
                                 "dir=$(cd \"$(dirname \"$0\")\" && pwd)\n"
                                 "port=27015\n"
                                 "prev=\n"
                                 "for a in \"$@\"; do\n"
                                 "    [ \"$prev\" = +port ] && port=$a\n"
                                 "    prev=$a\n"
                                 "done\n"
                                 "echo $$ > \"$dir/engine.pid\"\n"
                                 "XASH3D_BASEDIR=\"$dir\" exec '" +
                                     engine_.toLocal8Bit() + "/bin/xash' \"$@\" -port \"$port\"\n");
        QFile::setPermissions(hlds, QFile::permissions(hlds) | QFile::ExeOwner);
    }

#ifndef _WIN32
    pid_t enginePid() const {
        if (!demo)
            return 0;
        return static_cast<pid_t>(DemoInstall::read(demo->game("engine.pid")).trimmed().toLong());
    }
#endif

    // ---- a user's hands

    // A mouse click where a user would click: a check box or option on
    // its box, anything else in its middle.
    void press(const char* name) {
        auto* widget = ctl<QWidget>(name);
        ASSERT_TRUE(widget->isVisible() && widget->isEnabled()) << name;
        QPoint at = widget->rect().center();
        QStyleOptionButton option;
        option.initFrom(widget);
        if (qobject_cast<QCheckBox*>(widget))
            at = widget->style()
                     ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, widget)
                     .center();
        else if (qobject_cast<QRadioButton*>(widget))
            at = widget->style()
                     ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, widget)
                     .center();
        mouseAt(widget, at);
    }
    static void mouseAt(QWidget* target, QPoint at) {
        const QPointF local(at);
        const QPointF global(target->mapToGlobal(at));
        QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    }
    // A click on a list's item.
    void pressItem(const char* name, const QString& text) {
        auto* list = ctl<QListWidget>(name);
        const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_FALSE(found.isEmpty()) << name << " has no " << text.toStdString();
        list->scrollToItem(found.first());
        mouseAt(list->viewport(), list->visualItemRect(found.first()).center());
    }
    // A key, with modifiers, where the focus is.
    static void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent down(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, code, modifiers);
        QApplication::sendEvent(target, &up);
    }
    // Into a field: everything selected, then the new text typed over it.
    void typeInto(const char* name, const QString& text) {
        focus(ctl<QWidget>(name));
        key(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }

    // Every step by keys and clicks, then Start: the mod, the command line
    // (dedicated, 12 players, `port`, the first map), the server
    // configuration, the map cycle and the welcome message.
    void startByHand(int port) {
        const QString portText = QString::number(port);
        // The mod, by keys: it is the last of the list.
        ASSERT_EQ(status(), "Now, select a mod");
        ASSERT_EQ(items(ctl<QComboBox>("cmbModList")).last(), kMod);
        focus(ctl<QComboBox>("cmbModList"));
        key(Qt::Key_End);
        ASSERT_EQ(ctl<QComboBox>("cmbModList")->currentText(), kMod);
        ASSERT_EQ(status(), "Select Command Line.");

        // Command line: dedicated, 12 players, our port, the first map.
        press("optCommandLine");
        press("chkDedicated");
        ASSERT_TRUE(ctl<QLineEdit>("txtExec")->text().endsWith("hlds.exe"));
        typeInto("cmbPort", portText);
        typeInto("cmbMaxPlayers", "12");
        focus(ctl<QWidget>("cmbMapList1"));
        key(Qt::Key_Down);
        ASSERT_EQ(ctl<QComboBox>("cmbMapList1")->currentText(), kMap);
        ASSERT_EQ(status(), "Server setup ok?");
        press("cmdCommandOK");

        // Server configuration: a host name, foot steps off, 25 minutes, and
        // one variable of our own.
        press("optServerFile");
        typeInto("txtHostName", kHostName);
        press("chkFootSteps");
        typeInto("txtMapTime", "25");
        focus(ctl<QWidget>("txtExtra2"));
        key(Qt::Key_End, Qt::ControlModifier);
        type("mp_fraglimit 15\r");
        press("cmdServerOK");
        const QByteArray cfg = gameFile(kMod + "/vorn_server.cfg");
        ASSERT_TRUE(cfg.startsWith("hostname \"" + kHostName.toLatin1() + "\"\r\n"))
            << cfg.toStdString();
        for (const char* line :
             {"\r\nmp_footsteps 0\r\n", "\r\nmp_timelimit 25\r\n", "\r\nmp_fraglimit 15\r\n"})
            EXPECT_TRUE(cfg.contains(line)) << cfg.toStdString();

        // Map cycle and welcome message.
        press("optMapFile");
        for (const QString& map : {kMap, QStringLiteral("vorn_hall")}) {
            pressItem("lstMapList", map);
            press("cmdAddMap");
        }
        press("cmdMapOK");
        press("optMotd");
        press("cmdSaveFile");
        ASSERT_EQ(status(), "You can now start the server.");

        sinceStart.start();
        press("cmdStart");
        startClickMs = sinceStart.elapsed();
        ASSERT_EQ(status(), "Server started.");
        EXPECT_TRUE(DemoInstall::read(demo->drive("vorn.bat"))
                        .contains(" -game " + kMod.toLatin1() + " +port " + portText.toLatin1() +
                                  " +maxplayers 12 +servercfgfile vorn_server.cfg "))
            << DemoInstall::read(demo->drive("vorn.bat")).toStdString();
    }

    // ---- the server asked over UDP

    // One query with the challenge round trip; the answer, Unknown when
    // none came within `ms`.
    static query::Answer ask(platform::UdpSocket& socket, int port,
                             std::string (*request)(std::uint32_t), int ms = 1000) {
        query::Answer answer;
        std::string sent = request(0xFFFFFFFFu);
        for (int round = 0; round < 3; ++round) {
            if (!socket.sendTo("127.0.0.1", port, sent).ok())
                return {};
            std::string bytes;
            bool got = false;
            if (!socket.receive(bytes, got, ms).ok() || !got)
                return {};
            answer = query::parseAnswer(bytes);
            if (answer.kind != query::Answer::Kind::Challenge)
                return answer;
            sent = request(answer.challenge);
        }
        return {};
    }
    static std::string infoWith(std::uint32_t challenge) {
        // The first A2S_INFO goes without a challenge.
        return challenge == 0xFFFFFFFFu ? query::infoRequest() : query::infoRequest(challenge);
    }
    static std::string rulesWith(std::uint32_t challenge) {
        return query::rulesRequest(challenge);
    }

    QString engine_;
    // Since the click on Start, and how long that click's reaction took.
    QElapsedTimer sinceStart;
    qint64 startClickMs = 0;
};

TEST_F(RealServerRoadTest, TheServerAnswersWithWhatVornwickWroteAndStopLeavesNothing) {
#ifndef _WIN32
    HeldPort probe;
    const int port = probe.port;
    ASSERT_NE(port, 0);
    probe.release();
    const QString portText = QString::number(port);

    startByHand(port);
    if (HasFatalFailure())
        return;

    // The server answers A2S_INFO with the host name, map, mod and player
    // limit, to us and to the server window, which says so; polled, bounded.
    auto* server = control<QWidget>(*w, "frmServer");
    auto* answer = control<QLabel>(*server, "lblServerAnswer");
    platform::UdpSocket socket;
    ASSERT_TRUE(socket.open().ok());
    query::Answer info;
    qint64 firstAnswerMs = -1;
    qint64 answeringLineMs = -1;
    EXPECT_TRUE(waitUntil(
        [&] {
            if (firstAnswerMs < 0) {
                info = ask(socket, port, infoWith, 100);
                if (info.kind == query::Answer::Kind::Info)
                    firstAnswerMs = sinceStart.elapsed();
            }
            if (answeringLineMs < 0 && answer->text().startsWith("Answering on UDP port"))
                answeringLineMs = sinceStart.elapsed();
            return firstAnswerMs >= 0 && answeringLineMs >= 0;
        },
        30000, 50))
        << "within 30 s: our A2S_INFO answer after " << firstAnswerMs
        << " ms, the window's line after " << answeringLineMs << " ms; it shows \""
        << answer->text().toStdString() << "\"";
    ASSERT_EQ(info.kind, query::Answer::Kind::Info);
    std::cout << "[ realserver ] after the click on Start (its reaction took " << startClickMs
              << " ms): first A2S_INFO answer " << firstAnswerMs
              << " ms, the window's \"Answering\" line " << answeringLineMs << " ms\n";
    RecordProperty("first_answer_ms", static_cast<int>(firstAnswerMs));
    RecordProperty("answering_line_ms", static_cast<int>(answeringLineMs));
    EXPECT_EQ(answer->text(), "Answering on UDP port " + portText + ": " + kHostName + ", map " +
                                  kMap + ", 0/12 players");
    EXPECT_EQ(QString::fromStdString(info.info.hostName), kHostName);
    EXPECT_EQ(QString::fromStdString(info.info.map), kMap);
    EXPECT_EQ(QString::fromStdString(info.info.folder), kMod);
    EXPECT_EQ(info.info.maxPlayers, 12);
    EXPECT_EQ(info.info.players, 0);

    // A2S_RULES, through the challenge: the settings of vorn_server.cfg.
    const query::Answer rules = ask(socket, port, rulesWith);
    ASSERT_EQ(rules.kind, query::Answer::Kind::Rules);
    const std::map<std::string, std::string> cvars(rules.rules.begin(), rules.rules.end());
    for (const auto& [name, value] :
         {std::pair{"mp_timelimit", "25"}, std::pair{"mp_footsteps", "0"},
          std::pair{"mp_friendlyfire", "1"}, std::pair{"mp_flashlight", "1"},
          std::pair{"mp_falldamage", "1"}, std::pair{"mp_fraglimit", "15"}}) {
        const auto it = cvars.find(name);
        ASSERT_NE(it, cvars.end()) << name << " is not among the server's rules";
        EXPECT_EQ(it->second, value) << name;
    }

    // The server window shows the engine's own console output.
    auto* output = control<QPlainTextEdit>(*server, "txtServerOutput");
    EXPECT_TRUE(waitUntil(
        [&] {
            const QString text = output->toPlainText();
            return text.contains("vorn_server.cfg") &&
                   text.contains("Server IPv4 address 127.0.0.1:" + portText);
        },
        10000))
        << output->toPlainText().right(2000).toStdString();

    const pid_t engine = enginePid();
    ASSERT_GT(engine, 0);
    ASSERT_TRUE(alive(engine));
    const pid_t group = ::getpgid(engine);
    // What an idle engine costs, and the window while it follows and asks
    // it: the test's own process, all its threads, over 10 s of nothing
    // but the window's event loop, as a user's idle Vornwick runs it.
    const double engineBefore = cpuSeconds(engine);
    const double windowBefore = ownCpuSeconds();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(10000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = idle.elapsed() / 1000.0;
    const double engineUse = (cpuSeconds(engine) - engineBefore) / seconds * 100;
    const double windowCpu = ownCpuSeconds() - windowBefore;
    const double windowUse = windowCpu / seconds * 100;
    std::cout << "[ realserver ] CPU over " << seconds << " s of an idle server: the engine "
              << engineUse << " %, the window " << windowUse << " % of one core ("
              << windowCpu * 1000 << " ms)\n";
    RecordProperty("window_idle_cpu_permille", static_cast<int>(windowUse * 10));
    EXPECT_TRUE(answer->text().startsWith("Answering on UDP port")) << answer->text().toStdString();

    // Stop ends the engine and its whole process group.
    press("cmdStopServer");
    EXPECT_TRUE(waitUntil([&] { return !alive(engine); }, 10000))
        << "the engine still runs after Stop";
    EXPECT_TRUE(waitUntil([&] { return !groupAlive(group); }, 10000))
        << "something of the launcher's process group still runs after Stop";
    EXPECT_EQ(ask(socket, port, infoWith, 300).kind, query::Answer::Kind::Unknown)
        << "a server still answers after Stop";
#endif
}

// A server that dies is started again by the window and answers again;
// the window shows it all in full at desktop fonts of 10 to 14 points.
// With VORN_SERVER_SHOT naming a folder, the window is saved there while
// the engine answers and after its restart.
class RealServerRestartTest : public RealServerRoadTest, public ::testing::WithParamInterface<int> {
  protected:
    DesktopPointSize font_{GetParam()};
    void look(QWidget* window, const char* state) {
        const QStringList problems = clippedControls(window);
        EXPECT_TRUE(problems.isEmpty()) << state << ":\n" << problems.join("\n").toStdString();
        auto* output = control<QPlainTextEdit>(*window, "txtServerOutput");
        EXPECT_TRUE(lastLineInView(output))
            << state << ": the newest line of the output is not in full view";
        if (const char* dir = std::getenv("VORN_SERVER_SHOT"))
            window->grab().save(QStringLiteral("%1/realserver-%2-%3pt.png")
                                    .arg(QString::fromLocal8Bit(dir), QString::fromLatin1(state))
                                    .arg(GetParam()));
    }
};

TEST_P(RealServerRestartTest, AKilledServerIsStartedAgainAndAnswersAgain) {
#ifndef _WIN32
    HeldPort probe;
    const int port = probe.port;
    ASSERT_NE(port, 0);
    probe.release();
    const QString portText = QString::number(port);
    startByHand(port);
    if (HasFatalFailure())
        return;

    auto* server = control<ServerWindow>(*w, "frmServer");
    auto* answer = control<QLabel>(*server, "lblServerAnswer");
    auto* state = control<QLabel>(*server, "lblServerState");
    auto* restarts = control<QLabel>(*server, "lblRestarts");
    auto* output = control<QPlainTextEdit>(*server, "txtServerOutput");
    const QString answering =
        "Answering on UDP port " + portText + ": " + kHostName + ", map " + kMap + ", 0/12 players";
    const QString listening = "Server IPv4 address 127.0.0.1:" + portText;
    ASSERT_TRUE(waitUntil([&] { return answer->text() == answering; }, 30000))
        << answer->text().toStdString();
    ASSERT_TRUE(waitUntil([&] { return output->toPlainText().contains(listening); }, 10000));
    // The engine colours its console for a terminal; the window shows the
    // words alone.
    EXPECT_FALSE(output->toPlainText().contains(QChar(0x1B)))
        << output->toPlainText().toStdString();
    look(server, "answering");

    // Restarts on, by a click on the box, unchecked as ever at first; a
    // shorter wait before the restart than a user's 5 s.
    EXPECT_FALSE(ctl<QCheckBox>("chkRestartServer")->isChecked());
    press("chkRestartServer");
    ASSERT_TRUE(ctl<QCheckBox>("chkRestartServer")->isChecked());
    server->restartDelayMs = 1000;

    // The engine dies as a crash ends it: SIGKILL, nothing to clean up.
    const pid_t first = enginePid();
    ASSERT_GT(first, 0);
    ASSERT_TRUE(runs(first, engine_ + "/bin/xash")) << "pid " << first << " is not the engine";
    const pid_t firstGroup = ::getpgid(first);
    ASSERT_EQ(::kill(first, SIGKILL), 0);
    QElapsedTimer sinceKill;
    sinceKill.start();

    // The window says it ended by itself, and when it starts again.
    ASSERT_TRUE(waitUntil([&] { return state->text().startsWith("Ended by itself at "); }, 10000))
        << state->text().toStdString();
    EXPECT_TRUE(state->text().contains(
        QRegularExpression(QStringLiteral("^Ended by itself at \\d\\d:\\d\\d:\\d\\d with exit "
                                          "code -?\\d+\\.$"))))
        << state->text().toStdString();
    EXPECT_TRUE(restarts->text().startsWith("It ended by itself with exit code "))
        << restarts->text().toStdString();
    EXPECT_FALSE(answer->isVisible()) << "nothing is asked while nothing runs";

    // It runs again, a new engine in a new process group, and answers.
    ASSERT_TRUE(waitUntil([&] { return restarts->text().startsWith("Started again at "); }, 10000))
        << restarts->text().toStdString() << "\n"
        << output->toPlainText().right(2000).toStdString();
    EXPECT_EQ(state->text(), "Running.");
    EXPECT_FALSE(groupAlive(firstGroup)) << "the first run left something running";
    ASSERT_TRUE(waitUntil([&] { return answer->text() == answering; }, 30000))
        << answer->text().toStdString();
    const qint64 againMs = sinceKill.elapsed();
    std::cout << "[ realserver ] after the SIGKILL: \"Answering\" again in " << againMs
              << " ms (restart delay " << server->restartDelayMs << " ms)\n";
    const pid_t second = enginePid();
    ASSERT_GT(second, 0);
    EXPECT_NE(second, first);
    EXPECT_TRUE(alive(second) && runs(second, engine_ + "/bin/xash"));
    const pid_t secondGroup = ::getpgid(second);
    EXPECT_NE(secondGroup, firstGroup);

    // The output view keeps both runs and says what happened between them.
    ASSERT_TRUE(waitUntil([&] { return output->toPlainText().count(listening) == 2; }, 10000))
        << output->toPlainText().right(3000).toStdString();
    const QString text = output->toPlainText();
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral(
                  "\\[Vornwick\\] The server ended by itself at \\d{4}-\\d\\d-\\d\\d "
                  "\\d\\d:\\d\\d:\\d\\d with exit code -?\\d+; it starts again at "))),
              1)
        << text.toStdString();
    EXPECT_EQ(text.count("[Vornwick] The server was started again at "), 1);
    EXPECT_LT(text.indexOf("[Vornwick] The server was started again at "),
              text.lastIndexOf(listening));
    look(server, "restarted");

    // Stop ends the second run with all it started; nothing is left.
    press("cmdStopServer");
    EXPECT_TRUE(waitUntil([&] { return state->text().startsWith("Stopped at "); }, 15000))
        << state->text().toStdString();
    EXPECT_TRUE(waitUntil([&] { return !alive(second) && !groupAlive(secondGroup); }, 10000))
        << "something of the restarted server still runs after Stop";
    EXPECT_FALSE(groupAlive(firstGroup));
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(server->restartPending()) << "Stop led to a restart";
    platform::UdpSocket socket;
    ASSERT_TRUE(socket.open().ok());
    EXPECT_EQ(ask(socket, port, infoWith, 300).kind, query::Answer::Kind::Unknown)
        << "a server still answers after Stop";
#endif
}

INSTANTIATE_TEST_SUITE_P(Points, RealServerRestartTest, ::testing::Values(10, 12, 14));

} // namespace
} // namespace vorn::test
