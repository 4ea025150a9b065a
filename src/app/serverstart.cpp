#include "mainwindow.h"

#include "batchline.h"
#include "pathtext.h"
#include "platform.h"
#include "serveroutput.h"
#include "serverwindow.h"

#include <QLineEdit>
#include <QRadioButton>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// The launcher could not be started at all.
QString notStarted(const plat::Status& why) {
    return QStringLiteral("Error: the server could not be started. %1").arg(reasonOf(why));
}

} // namespace

plat::Status Vorn::startLine(QString& line) const {
    // What goes into the batch line: the user's own parameters pass as
    // typed, but never a line break, and names from the disk must be plain.
    if (plat::Status s = plat::checkBatchText(u8(queries.commandLine())); !s.ok())
        return failure(
            QStringLiteral("Error: the command line cannot be run. %1").arg(reasonOf(s)));
    if (!plat::isPlainBatchWord(u8(mod())))
        return failure(
            QStringLiteral("Error: the mod name \"%1\" cannot be used on a command line.")
                .arg(mod()));
    // A map name such as "a&b" would end the server's line and run "b".
    const QString firstMap = queries.firstMap();
    if (!firstMap.isEmpty() && !plat::isPlainBatchWord(u8(firstMap)))
        return failure(
            QStringLiteral("Error: the map name \"%1\" cannot be used on a command line.")
                .arg(firstMap));
    // An executable path with blanks runs only when quoted.
    line = queries.commandLine();
    const QString exec = txtExec->text();
    if (line.startsWith(exec) && !plat::isPlainBatchWord(u8(exec))) {
        QString err;
        const QString q = quoted(exec, err);
        if (q.isEmpty())
            return failure(QStringLiteral("Error: the program path cannot be run. %1").arg(err));
        line = q + line.mid(exec.size());
    }
    return plat::Status::success();
}

void Vorn::cmdStart_Click() {
    // The program may have gone since the path was checked and the mods
    // were listed: nothing is started from a path that leads nowhere.
    const QString program =
        queries.dedicated() ? QStringLiteral("hlds.exe") : QStringLiteral("hl.exe");
    if (qs(plat::storedName(u8(txtExec->text()))) != program) {
        ui.beep();
        setStatus(QStringLiteral("Error: Correct Exec path! It no longer leads to %1; no server "
                                 "was started.")
                      .arg(program),
                  colour::Red);
        return;
    }
    QString line;
    if (plat::Status s = startLine(line); !s.ok()) {
        setStatus(reasonOf(s), colour::Red);
        return;
    }
    if (!stopRunningServerFirst() || !portIsFree())
        return;
    if (plat::Status s = writeBatchFile(line, st.batchPath); !s.ok()) {
        setStatus(reasonOf(s), colour::Red);
        return;
    }
    // The output of an earlier run goes first, so that the server window
    // never shows it before the launcher has made the file anew.
    plat::deleteFile(u8(st.tempListPath));
    // The launcher's output lies beside the batch file, which runs from its
    // folder. Complaints go into the output file too, so that a start that
    // failed can say why.
    plat::Process process;
    plat::Status s = startBatch(st.batchPath, serverRedirect(), process);
    if (!s.ok()) {
        setStatus(notStarted(s), colour::Red);
        return;
    }
    ShortPause();
    if (launcherFailedEarly(process))
        return;
    setStatus(QStringLiteral("Server started."), colour::Green);
    showServer(std::move(process), line);
}

bool Vorn::stopRunningServerFirst() {
    if (!serverWindow || !serverWindow->serverRunning())
        return true;
    if (ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo, kAlertTitle,
                      QStringLiteral("A server started earlier is still running.\r\n"
                                     "Stop it and start the new one?")) != kAnswerYes)
        return false;
    serverWindow->stopServer();
    return true;
}

bool Vorn::portIsFree() {
    const QString refusal = portRefusal(udpPortOfCommandLine(u8(queries.commandLine())));
    if (refusal.isEmpty())
        return true;
    setStatus(refusal, colour::Red);
    return false;
}

QString Vorn::portRefusal(int port) const {
    if (port == 0)
        return {};
    const plat::Status free = plat::udpPortFree(port);
    if (free.ok())
        return {};
    // Another program, such as a server started earlier, holds the port.
    return free.fault == plat::Status::Fault::InUse
               ? QStringLiteral("Error: UDP port %1 is in use by another program; no server "
                                "was started.")
                     .arg(port)
               : QStringLiteral("Error: no server was started. %1").arg(reasonOf(free));
}

QString Vorn::serverRedirect() const {
    return QStringLiteral("> ") + st.tempListName + QStringLiteral(" 2>&1");
}

plat::Status Vorn::restartServer(const QString& line, plat::Process& launcher) {
    // As Start does, with the server's own line: a free port, the batch
    // file written anew, the old output gone. A refusal shows in the
    // status line as it does at Start.
    auto refuse = [this](const QString& text) {
        setStatus(text, colour::Red);
        return failure(text);
    };
    if (const QString refusal = portRefusal(udpPortOfCommandLine(u8(line))); !refusal.isEmpty())
        return refuse(refusal);
    if (plat::Status s = writeBatchFile(line, st.batchPath); !s.ok())
        return refuse(reasonOf(s));
    plat::deleteFile(u8(st.tempListPath));
    if (plat::Status s = startBatch(st.batchPath, serverRedirect(), launcher); !s.ok())
        return refuse(notStarted(s));
    WriteLog(QStringLiteral("Server started again: ") + line);
    return plat::Status::success();
}

void Vorn::showServer(plat::Process launcher, const QString& line) {
    if (!serverWindow) {
        ServerHost host;
        host.restart = [this](const QString& again, plat::Process& started) {
            return restartServer(again, started);
        };
        host.log = [this](const QString& text) { WriteLog(text); };
        serverWindow = new ServerWindow(ui, std::move(host), this);
    }
    serverWindow->follow(std::move(launcher), line, st.tempListPath);
}

bool Vorn::launcherFailedEarly(plat::Process& launcher) {
    // A launcher that cannot run the server (no such program, a Windows
    // program without a working Wine) ends at once with an error. One
    // that is still running, or ended well, has started the server.
    if (launcher.wait(kStartCheckMs) != plat::Process::Wait::Finished)
        return false;
    const int code = launcher.exitCode();
    if (code == 0)
        return false;
    setStatus(commandFailure(QStringLiteral("The server start"), code, st.tempListPath),
              colour::Red);
    return true;
}

} // namespace vorn
