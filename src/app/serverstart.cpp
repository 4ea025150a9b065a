#include "mainwindow.h"

#include "batchline.h"
#include "pathtext.h"
#include "platform.h"
#include "serveroutput.h"
#include "serverwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace vorn {

namespace plat = vorn::platform;

void Vorn::cmdStart_Click() {
    // What goes into the batch line: the user's own parameters pass as
    // typed, but never a line break, and names from the disk must be plain.
    std::string err;
    if (!plat::checkBatchText(u8(st.commandLine), err)) {
        setStatus(QStringLiteral("Error: the command line cannot be run. %1").arg(qs(err)),
                  colour::Red);
        return;
    }
    if (!plat::isPlainBatchWord(u8(mod()))) {
        setStatus(QStringLiteral("Error: the mod name \"%1\" cannot be used on a command line.")
                      .arg(mod()),
                  colour::Red);
        return;
    }
    // A map name such as "a&b" would end the server's line and run "b".
    const QString firstMap = ctl<QComboBox>("cmbMapList1")->currentText();
    if (!firstMap.isEmpty() && !plat::isPlainBatchWord(u8(firstMap))) {
        setStatus(QStringLiteral("Error: the map name \"%1\" cannot be used on a command line.")
                      .arg(firstMap),
                  colour::Red);
        return;
    }
    // An executable path with blanks runs only when quoted.
    QString line = st.commandLine;
    const QString exec = txtExec->text();
    if (line.startsWith(exec) && !plat::isPlainBatchWord(u8(exec))) {
        QString qerr;
        QString q = quoted(exec, qerr);
        if (q.isEmpty()) {
            setStatus(QStringLiteral("Error: the program path cannot be run. %1").arg(qerr),
                      colour::Red);
            return;
        }
        line = q + line.mid(exec.size());
    }
    if (!stopRunningServerFirst() || !portIsFree())
        return;
    // The launcher's output lies beside the batch file, which runs from its
    // folder. Complaints go into the output file too, so that a start that
    // failed can say why.
    st.shellCommand =
        st.batchPath + QStringLiteral(" > ") + st.tempListPath + QStringLiteral(" 2>&1");
    if (!writeBatchFile(line, st.batchPath))
        return;
    // The output of an earlier run goes first, so that the server window
    // never shows it before the launcher has made the file anew.
    plat::deleteFile(u8(st.tempListPath));
    plat::Process process;
    plat::Status s = startBatch(
        st.batchPath, QStringLiteral("> ") + st.tempListName + QStringLiteral(" 2>&1"), process);
    if (!s.ok()) {
        setStatus(QStringLiteral("Error: the server could not be started. %1").arg(qs(s.error)),
                  colour::Red);
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
    st.msgAnswer = std::int16_t(
        ui.messageBox(this, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VORN Allert!"),
                      QStringLiteral("A server started earlier is still running.\r\n"
                                     "Stop it and start the new one?")));
    if (st.msgAnswer != kAnswerYes)
        return false;
    serverWindow->stopServer();
    return true;
}

bool Vorn::portIsFree() {
    const int port = udpPortOfCommandLine(u8(st.commandLine));
    std::string err;
    if (port == 0 || plat::udpPortFree(port, err))
        return true;
    // Another program, such as a server started earlier, holds the port.
    setStatus(err.find("in use") != std::string::npos
                  ? QStringLiteral("Error: UDP port %1 is in use by another program; no server "
                                   "was started.")
                        .arg(port)
                  : QStringLiteral("Error: no server was started. %1").arg(qs(err)),
              colour::Red);
    return false;
}

void Vorn::showServer(plat::Process launcher, const QString& line) {
    if (!serverWindow)
        serverWindow = new ServerWindow(ui, this);
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
    reportCommandFailure(QStringLiteral("The server start"), code, st.tempListPath);
    return true;
}

} // namespace vorn
