// After Start: the server window follows the running server, Stop ends it
// with all it started, Start runs it again, and a busy port starts nothing.
#include "guisupport.h"
#include "heldport.h"
#include "serverwindow.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSet>
#include <QThread>
#include <cstdlib>

namespace vorn::test {
namespace {

class ServerWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        // The demo's server stand-ins keep running until they are stopped.
        DemoInstall::write(demo->game("server-standin.stay"), "");
        chooseMod("valve");
        confirmSteps(4);
        ASSERT_TRUE(w->cmdStart->isEnabled());
    }
    void TearDown() override {
        if (w && w->serverWindow)
            w->serverWindow->stopServer();
        WindowTest::TearDown();
    }

    ServerWindow* sw() const { return w->serverWindow; }
    QString prefix() const { return demo->drive("").section(QStringLiteral("/drive_c"), 0, 0); }
    QString output() const { return sw()->txtServerOutput->toPlainText(); }
    QString state() const { return sw()->lblServerState->text(); }

    // Polls as the window's timer does until `text` is in the output.
    bool waitForOutput(const QString& text) {
        QElapsedTimer timer;
        timer.start();
        while (!output().contains(text) && timer.elapsed() < 10000) {
            sw()->poll();
            QThread::msleep(20);
        }
        return output().contains(text);
    }

    // Servers of the demo still running: process groups holding a process
    // whose command line names the demo's directory (a shell forking a
    // child shows the same command line in the child for a moment).
    // Counted on Linux only; elsewhere -1.
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

TEST_F(ServerWindowTest, FollowsTheServerUntilStopAndStartsItAgain) {
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    ASSERT_NE(sw(), nullptr);
    // A window of its own, beside the main form, which keeps its layout.
    EXPECT_TRUE(sw()->isWindow());
    EXPECT_TRUE(sw()->isVisible());
    EXPECT_FALSE(sw()->isModal());
    EXPECT_TRUE(sw()->lblCommandLine->text().startsWith(w->txtExec->text()));
    EXPECT_TRUE(sw()->lblCommandLine->text().contains("+port 27015"));
    EXPECT_FALSE(sw()->lblStartTime->text().isEmpty());
    EXPECT_EQ(state(), "Running.");
    EXPECT_TRUE(sw()->lblLeftRunning->text().contains("leaves the server running"));
    ASSERT_TRUE(waitForOutput("Loading map")) << output().toStdString();
    // (cmd.exe shows the batch line first, as it does for every batch file
    // that does not turn its echo off.)
    EXPECT_TRUE(output().contains("hl.exe stand-in started\nConsole initialized.\n"))
        << output().toStdString();

    if (const char* dir = std::getenv("VORN_SERVER_SHOT"))
        sw()->grab().save(QString::fromLocal8Bit(dir) + "/server-window.png");

    // While it runs, a second Start asks first; No starts nothing.
    seam.answers = {kAnswerNo};
    click("cmdStart");
    ASSERT_EQ(seam.boxes.size(), 1u);
    expectBox(0, "VORN Allert!", MsgIcon::Question, MsgButtons::YesNo);
    EXPECT_TRUE(seam.boxes[0].text.contains("still running"));
    EXPECT_TRUE(sw()->serverRunning());
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
    QThread::msleep(200);
    EXPECT_TRUE(sw()->serverRunning());
    EXPECT_NE(serversOf(prefix()), 0);
    w->show();

    seam.answers = {kAnswerYes};
    click("cmdStopServer");
    EXPECT_FALSE(sw()->serverRunning());
    EXPECT_TRUE(state().startsWith("Stopped at ")) << state().toStdString();
    EXPECT_TRUE(state().contains("exit code ")) << state().toStdString();
    EXPECT_FALSE(sw()->cmdStopServer->isEnabled());
    EXPECT_LE(serversOf(prefix()), 0) << "nothing of the server may be left";

    // Start stays available and runs it again, in the same window.
    ServerWindow* first = sw();
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(sw(), first);
    EXPECT_EQ(state(), "Running.");
    EXPECT_EQ(serverLog(2).count("hl.exe "), 2);
    ASSERT_TRUE(waitForOutput("Loading map"));
    EXPECT_EQ(output().count("Console initialized."), 1);

    // A second Start answered Yes stops the running one and starts anew.
    seam.answers = {kAnswerYes};
    click("cmdStart");
    EXPECT_EQ(seam.boxes.size(), 4u);
    EXPECT_EQ(status(), "Server started.");
    EXPECT_EQ(serverLog(3).count("hl.exe "), 3);
    ASSERT_TRUE(waitForOutput("Loading map"));
    EXPECT_NE(serversOf(prefix()), 0);
    EXPECT_LE(serversOf(prefix()), 1) << "only the new server runs";
}

TEST_F(ServerWindowTest, AServerThatEndsByItselfIsShownWithItsExitCode) {
    QFile::remove(demo->game("server-standin.stay"));
    click("cmdStart");
    ASSERT_NE(sw(), nullptr);
    QElapsedTimer timer;
    timer.start();
    while (sw()->serverRunning() && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_TRUE(state().startsWith("Ended by itself at ")) << state().toStdString();
    EXPECT_TRUE(state().endsWith("with exit code 0.")) << state().toStdString();
    EXPECT_TRUE(output().contains("hl.exe stand-in started"));
    EXPECT_FALSE(sw()->cmdStopServer->isEnabled());
    // Start runs it again without asking.
    click("cmdStart");
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(serverLog(2).count("hl.exe "), 2);
}

TEST_F(ServerWindowTest, ListingsAndTheEntityExportWorkWhileItRuns) {
    click("cmdStart");
    ASSERT_TRUE(waitForOutput("Loading map"));
    // The mod's maps are listed and a map's country is found through the
    // side files; the server's batch file and output stay untouched.
    const QByteArray batch = DemoInstall::read(demo->drive("vorn.bat"));
    openStep("optMapFile");
    EXPECT_GT(ctl<QListWidget>("lstMapList")->count(), 20);
    clickListItem("lstMapList", "dod_caen");
    click("chkClassLimit");
    EXPECT_EQ(ctl<QLabel>("lblClassAllies")->text(), "British");
    EXPECT_TRUE(QFileInfo::exists(demo->game("dod/maps/dod_caen.ent")));
    EXPECT_TRUE(QFileInfo::exists(demo->drive("vorn_list.log")));
    EXPECT_EQ(DemoInstall::read(demo->drive("vorn.bat")), batch);
    EXPECT_TRUE(DemoInstall::read(demo->drive("vorn.log")).contains("Loading map"));
    EXPECT_TRUE(sw()->serverRunning());
    sw()->poll();
    EXPECT_EQ(output().count("Console initialized."), 1);
    EXPECT_FALSE(output().contains(".bsp"));
}

TEST_F(ServerWindowTest, OnlyTheNewestLinesAreKeptAndTheViewFollowsOnlyFromTheBottom) {
    VORN_SKIP_ON_WINDOWS("cmd.exe's redirection lets no other program add to the output file");
    click("cmdStart");
    ASSERT_TRUE(waitForOutput("Loading map"));
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
    QPlainTextEdit* view = sw()->txtServerOutput;
    EXPECT_LE(view->blockCount(), ServerWindow::kMaxLines);
    EXPECT_TRUE(output().endsWith(QString("L %1").arg(ServerWindow::kMaxLines + 499)));
    QScrollBar* bar = view->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled up, the view stays where the user put it.
    bar->setValue(10);
    EXPECT_FALSE(sw()->chkFollowOutput->isChecked());
    more(100000, 20);
    sw()->poll();
    EXPECT_EQ(bar->value(), 10);
    EXPECT_TRUE(output().endsWith("L 100019"));
    // Back at the bottom, it follows again.
    bar->setValue(bar->maximum());
    EXPECT_TRUE(sw()->chkFollowOutput->isChecked());
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
    EXPECT_TRUE(statusFits());
    EXPECT_EQ(sw(), nullptr);
    EXPECT_EQ(DemoInstall::read(demo->drive("vorn.bat")), batch);
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(demo->game("server-standin.log")));
    // Once the port is free, Start works.
    click("cmdStart");
    EXPECT_EQ(status(), "Server started.");
}

} // namespace
} // namespace vorn::test
