// The road to a real GoldSrc-protocol engine (scripts/goldsrc-server.sh):
// every step by hand, Start, the server asked over UDP, killed, started
// again by the window, and stopped.
#include "clipping.h"
#include "guisupport.h"
#include "heldport.h"
#include "serverquery.h"
#include "serverwindow.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <tuple>

#ifndef _WIN32
#include <csignal>
#include <unistd.h>
#endif

namespace vorn::test {
namespace {

const QString kMod = QStringLiteral("vornlab");
const QString kMap = QStringLiteral("vorn_box");
const QString kHostName = QStringLiteral("Vornwick Road 21");

#ifndef _WIN32
// Whether a process runs: a zombie has ended.
bool alive(pid_t pid) {
    const QByteArray stat = DemoInstall::read(QStringLiteral("/proc/%1/stat").arg(long(pid)));
    const qsizetype close = stat.lastIndexOf(')');
    return !stat.isEmpty() && (close < 0 || stat.mid(close + 2, 1) != "Z");
}

// Whether any process of the group still runs (zombies have ended).
bool groupAlive(pid_t group) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    return std::any_of(entries.begin(), entries.end(), [group](const QString& entry) {
        const auto pid = static_cast<pid_t>(entry.toLong());
        return pid > 0 && alive(pid) && ::getpgid(pid) == group;
    });
}

// Whether a process runs the program `program`.
bool runs(pid_t pid, const QString& program) {
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(static_cast<long>(pid)))
               .canonicalFilePath() == QFileInfo(program).canonicalFilePath();
}
#endif

// At desktop fonts of 10 to 14 points.
class RealServerRoadTest : public WindowTest, public ::testing::WithParamInterface<int> {
  protected:
    RealServerRoadTest() { autoLoad = false; }

    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the GoldSrc test server is a Linux program; the Windows build keeps "
                        "its stand-ins";
#else
        // VORN_GOLDSRC_SERVER, else the folder scripts/goldsrc-server.sh fills.
        engine_ = qEnvironmentVariable("VORN_GOLDSRC_SERVER");
        if (engine_.isEmpty())
            engine_ = QDir::homePath() + QStringLiteral("/.cache/vornwick/goldsrc-test-server");
        if (!QFileInfo(engine_ + QStringLiteral("/bin/xash")).isExecutable())
            GTEST_SKIP() << "no GoldSrc test server in " << engine_.toStdString()
                         << " (scripts/goldsrc-server.sh unpacks it from ../shared/tools; "
                            "VORN_GOLDSRC_SERVER names it)";
        WindowTest::SetUp();
        // The mod folder the engine needs, and hlds.exe as a script that runs
        // the engine on this game folder with the line's +port as -port.
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
        DemoInstall::write(hlds,
                           "#!/bin/sh\n"
                           "dir=$(cd \"$(dirname \"$0\")\" && pwd)\n"
                           "port=$(printf '%s\\n' \"$@\" | sed -n '/^+port$/{n;p}' | tail -n 1)\n"
                           "echo $$ > \"$dir/engine.pid\"\n"
                           "XASH3D_BASEDIR=\"$dir\" exec '" +
                               engine_.toLocal8Bit() + "/bin/xash' \"$@\" -port \"$port\"\n");
        QFile::setPermissions(hlds, QFile::permissions(hlds) | QFile::ExeOwner);
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

#ifndef _WIN32
    pid_t enginePid() const {
        return demo ? pid_t(DemoInstall::read(demo->game("engine.pid")).trimmed().toLong()) : 0;
    }
#endif

    // One query of A2S_INFO or A2S_RULES with the challenge round trip; the
    // answer, Unknown when none came within `ms`.
    static query::Answer ask(platform::UdpSocket& socket, int port, bool rules, int ms = 1000) {
        std::string sent = rules ? query::rulesRequest() : query::infoRequest();
        for (int round = 0; round < 3; ++round) {
            std::string bytes;
            bool got = false;
            if (!socket.sendTo("127.0.0.1", port, sent).ok() ||
                !socket.receive(bytes, got, ms).ok() || !got)
                return {};
            const query::Answer answer = query::parseAnswer(bytes);
            if (answer.kind != query::Answer::Kind::Challenge)
                return answer;
            sent = rules ? query::rulesRequest(answer.challenge)
                         : query::infoRequest(answer.challenge);
        }
        return {};
    }

    void look(QWidget* window, const char* state) {
        const QStringList problems = clippedControls(window);
        EXPECT_TRUE(problems.isEmpty()) << state << ":\n" << problems.join("\n").toStdString();
        EXPECT_TRUE(lastLineInView(control<QPlainTextEdit>(*window, "txtServerOutput")))
            << state << ": the newest line of the output is not in full view";
    }

    DesktopPointSize font_{GetParam()};
    QString engine_;
};

TEST_P(RealServerRoadTest, AnswersWithWhatVornwickWroteRunsAgainWhenKilledAndStopLeavesNothing) {
#ifndef _WIN32
    const int port = HeldPort().port; // free again, for the engine
    ASSERT_NE(port, 0);
    const QString portText = QString::number(port);
    // Every step by keys and clicks, then Start; the mod is the list's last.
    // A field the keyboard reaches as Tab does has its text selected, so
    // typing replaces it.
    ASSERT_EQ(status(), "Now, select a mod");
    focus(ctl<QComboBox>("cmbModList"));
    key(Qt::Key_End);
    ASSERT_EQ(ctl<QComboBox>("cmbModList")->currentText(), kMod);
    click("optCommandLine");
    click("chkDedicated");
    focus(ctl<QWidget>("cmbPort"));
    type(portText);
    focus(ctl<QWidget>("cmbMaxPlayers"));
    type("12");
    focus(ctl<QWidget>("cmbMapList1"));
    key(Qt::Key_Down);
    ASSERT_EQ(ctl<QComboBox>("cmbMapList1")->currentText(), kMap);
    click("cmdCommandOK");
    click("optServerFile");
    focus(ctl<QWidget>("txtHostName"));
    type(kHostName);
    click("chkFootSteps");
    focus(ctl<QWidget>("txtMapTime"));
    type("25");
    focus(ctl<QWidget>("txtExtra2"));
    type("mp_fraglimit 15\r");
    click("cmdServerOK");
    click("optMapFile");
    addMaps({kMap, QStringLiteral("vorn_hall")});
    click("cmdMapOK");
    click("optMotd");
    click("cmdSaveFile");
    ASSERT_EQ(status(), "You can now start the server.");
    click("cmdStart");
    ASSERT_EQ(status(), "Server started.");

    auto* server = control<ServerWindow>(*w, "frmServer");
    auto* answer = control<QLabel>(*server, "lblServerAnswer");
    auto* state = control<QLabel>(*server, "lblServerState");
    auto* restarts = control<QLabel>(*server, "lblRestarts");
    auto* output = control<QPlainTextEdit>(*server, "txtServerOutput");
    const QString answering =
        "Answering on UDP port " + portText + ": " + kHostName + ", map " + kMap + ", 0/12 players";
    const QString listening = "Server IPv4 address 127.0.0.1:" + portText;

    // A2S_INFO answers what was chosen, to us and to the server window.
    platform::UdpSocket socket;
    ASSERT_TRUE(socket.open().ok());
    query::Answer info;
    ASSERT_TRUE(waitUntil(
        [&] {
            info = ask(socket, port, false, 100);
            return info.kind == query::Answer::Kind::Info;
        },
        30000, 50))
        << "no A2S_INFO answer within 30 s";
    EXPECT_EQ(
        std::tie(info.info.hostName, info.info.map, info.info.folder, info.info.players,
                 info.info.maxPlayers),
        std::make_tuple(kHostName.toStdString(), kMap.toStdString(), kMod.toStdString(), 0, 12));
    ASSERT_TRUE(waitUntil([&] { return answer->text() == answering; }, 30000))
        << answer->text().toStdString();

    // A2S_RULES, through the challenge: the settings of vorn_server.cfg.
    const query::Answer rules = ask(socket, port, true);
    ASSERT_EQ(rules.kind, query::Answer::Kind::Rules);
    const std::map<std::string, std::string> cvars(rules.rules.begin(), rules.rules.end());
    const std::map<std::string, std::string> wrote{
        {"mp_timelimit", "25"}, {"mp_footsteps", "0"},  {"mp_friendlyfire", "1"},
        {"mp_flashlight", "1"}, {"mp_falldamage", "1"}, {"mp_fraglimit", "15"}};
    for (const auto& [name, value] : wrote)
        EXPECT_EQ(cvars.count(name) ? cvars.at(name) : "<missing>", value) << name;

    // The engine's own console output, its colours for a terminal left out.
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString text = output->toPlainText();
            return text.contains("vorn_server.cfg") && text.contains(listening);
        },
        10000))
        << output->toPlainText().right(2000).toStdString();
    EXPECT_FALSE(output->toPlainText().contains(QChar(0x1B)))
        << output->toPlainText().toStdString();
    look(server, "answering");

    // Restarts on, with a shorter wait than a user's 5 s.
    click("chkRestartServer");
    server->restartDelayMs = 1000;

    // The engine dies as in a crash.
    const pid_t first = enginePid();
    ASSERT_TRUE(runs(first, engine_ + "/bin/xash")) << "pid " << first << " is not the engine";
    const pid_t firstGroup = ::getpgid(first);
    ASSERT_EQ(::kill(first, SIGKILL), 0);

    const QRegularExpression ended(
        QStringLiteral("^Ended by itself at \\d\\d:\\d\\d:\\d\\d with exit code -?\\d+\\.$"));
    ASSERT_TRUE(waitUntil([&] { return ended.match(state->text()).hasMatch(); }, 10000))
        << state->text().toStdString();
    EXPECT_FALSE(answer->isVisible()) << "nothing is asked while nothing runs";

    // It runs again, a new engine in a new process group, and answers.
    ASSERT_TRUE(waitUntil([&] { return restarts->text().startsWith("Started again at "); }, 10000))
        << restarts->text().toStdString() << "\n"
        << output->toPlainText().right(2000).toStdString();
    EXPECT_EQ(state->text(), "Running.");
    EXPECT_FALSE(groupAlive(firstGroup)) << "the first run left something running";
    ASSERT_TRUE(waitUntil([&] { return answer->text() == answering; }, 30000))
        << answer->text().toStdString();
    const pid_t second = enginePid();
    ASSERT_NE(second, first);
    EXPECT_TRUE(alive(second) && runs(second, engine_ + "/bin/xash"));
    const pid_t secondGroup = ::getpgid(second);
    EXPECT_NE(secondGroup, firstGroup);

    // The output view keeps both runs, the restart noted between them.
    ASSERT_TRUE(waitUntil([&] { return output->toPlainText().count(listening) == 2; }, 10000))
        << output->toPlainText().right(3000).toStdString();
    const QString text = output->toPlainText();
    EXPECT_EQ(text.count("[Vornwick] The server was started again at "), 1);
    EXPECT_LT(text.indexOf("[Vornwick] The server was started again at "),
              text.lastIndexOf(listening));
    look(server, "restarted");

    // Stop ends the second run with all it started, and leads to no restart.
    click("cmdStopServer");
    EXPECT_TRUE(waitUntil([&] { return state->text().startsWith("Stopped at "); }, 15000))
        << state->text().toStdString();
    EXPECT_TRUE(waitUntil([&] { return !alive(second) && !groupAlive(secondGroup); }, 10000))
        << "something of the restarted server still runs after Stop";
    EXPECT_EQ(ask(socket, port, false, 300).kind, query::Answer::Kind::Unknown)
        << "a server still answers after Stop";
#endif
}

INSTANTIATE_TEST_SUITE_P(Points, RealServerRoadTest, ::testing::Values(10, 12, 14));

} // namespace
} // namespace vorn::test
