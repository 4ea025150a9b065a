#include "mainwindow.h"

#include "batchline.h"
#include "pathtext.h"
#include "platform.h"
#include "serverwindow.h"
#include "winpath.h"

#include <QStringList>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// The busy pointer for a wait, once it has lasted longer than a moment.
class BusyWhileWaiting {
  public:
    explicit BusyWhileWaiting(Vorn& window) : w_(window) {}
    ~BusyWhileWaiting() {
        if (on_)
            w_.ui.setBusy(&w_, false);
    }
    BusyWhileWaiting(const BusyWhileWaiting&) = delete;
    BusyWhileWaiting& operator=(const BusyWhileWaiting&) = delete;
    void after(int waitedMs) {
        if (!on_ && waitedMs >= kBusyAfterMs) {
            on_ = true;
            w_.ui.setBusy(&w_, true);
        }
    }

  private:
    Vorn& w_;
    bool on_ = false;
};

// The side files of the outside commands while a started server runs.
const QString kSideBatchName = QStringLiteral("vorn_list.bat");
const QString kSideListName = QStringLiteral("vorn_list.log");
// Where the interpreter's complaints about a command go, beside the batch
// file and the listing.
const QString kErrorOutputName = QStringLiteral("vorn.err");

// The last words an outside command left in its output: its last lines
// that are not empty (one message may take two or three), shortened in the
// middle where they would not fit the status line beside the error, so
// that both what failed and why stay in view.
QString lastWords(const QStringList& lines) {
    constexpr qsizetype kRoom = 80;
    constexpr int kLines = 3;
    QString words;
    int taken = 0;
    for (qsizetype i = lines.size() - 1; i >= 0 && taken < kLines; --i) {
        const QString line = lines.at(i).simplified();
        if (line.isEmpty())
            continue;
        words = words.isEmpty() ? line : line + QLatin1Char(' ') + words;
        ++taken;
    }
    if (words.size() > kRoom) {
        const qsizetype half = (kRoom - 5) / 2;
        words = words.left(half) + QStringLiteral(" ... ") + words.right(half);
    }
    return words;
}

// Why the interpreter could not start a 32-bit Windows program, in words,
// from its exit code; "" for any other code.
QString thirtyTwoBitReason(int exitCode) {
#ifdef _WIN32
    const QString wine;
#else
    const QString wine = QStringLiteral(" (Wine's 32-bit part does not start)");
#endif
    if (exitCode == plat::kExitCannotRun32Bit)
        return QStringLiteral("this machine cannot run 32-bit Windows programs") + wine;
    if (exitCode == plat::kExitNoWine32Bit)
        return QStringLiteral("this machine cannot run 32-bit Windows programs (Wine has no "
                              "32-bit part; install wine32)");
    return {};
}

} // namespace

bool Vorn::waitUntilGone(const QString& winPath, const QString& name) {
    // Bounded: a file that cannot be deleted is reported, never waited on
    // for ever.
    auto present = [&] { return qs(plat::storedName(u8(winPath))) == name; };
    BusyWhileWaiting busy(*this);
    for (int waited = 0; present(); waited += 15) {
        if (waited >= kCommandTimeoutMs)
            return false;
        // A read-only file stays: no use waiting for it.
        if (plat::deleteFile(u8(winPath)).fault == plat::Status::Fault::ReadOnly)
            return false;
        // Pause only while the file is still there: a deletion that worked
        // at once costs no wait.
        if (present()) {
            ShortPause();
            busy.after(waited);
        }
    }
    return true;
}

plat::Status Vorn::writeBatchFile(const QString& line, const QString& batchPath) {
    plat::Status s = plat::writeBatchFile(u8(batchPath), u8(line));
    if (s.ok())
        return s;
    WriteLog(QStringLiteral("Error: ") + reasonOf(s));
    return failure(QStringLiteral("Error: could not write the batch file %1: %2.")
                       .arg(bareName(batchPath), failureReason(batchPath, s.error)));
}

// A started server's interpreter keeps the batch file and the listing file
// (its console output) in use for as long as it runs: a listing that
// removed and rewrote the listing file would take the server's output away
// from the server window (and on Windows the removal fails while the
// redirection holds the file), and the interpreter reads the batch file
// again once the server ends. The other outside commands then use side
// files beside them.
bool Vorn::serverHoldsWorkingFiles() const {
    return serverWindow && serverWindow->following();
}

QString Vorn::commandListPath() const {
    return serverHoldsWorkingFiles() ? parentDir(st.tempListPath) + kSideListName : st.tempListPath;
}

QString Vorn::commandListName() const {
    return serverHoldsWorkingFiles() ? kSideListName : st.tempListName;
}

QString Vorn::commandBatchPath() const {
    return serverHoldsWorkingFiles() ? parentDir(st.batchPath) + kSideBatchName : st.batchPath;
}

QString Vorn::errorOutputPath() const {
    return st.tempListPath.left(st.tempListPath.size() - st.tempListName.size()) + kErrorOutputName;
}

QString Vorn::commandFailure(const QString& what, int exitCode) {
    return commandFailure(what, exitCode, errorOutputPath());
}

QString Vorn::commandFailure(const QString& what, int exitCode, const QString& outputPath) {
    QStringList lines;
    readGameLines(outputPath, lines);
    const QString words = lastWords(lines);
    const QString code = QStringLiteral("exit code %1").arg(exitCode);
    // The log keeps everything the command said.
    WriteLog(QStringLiteral("Error: %1 failed (%2).").arg(what, code));
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            WriteLog(QStringLiteral("  ") + line);
    // A program the machine cannot run is said in words first; the
    // interpreter's own words follow.
    if (const QString reason = thirtyTwoBitReason(exitCode); !reason.isEmpty())
        return QStringLiteral("Error: %1 failed: %2.%3")
            .arg(what, reason, words.isEmpty() ? QString() : QLatin1Char(' ') + words);
    return QStringLiteral("Error: %1 failed: %2").arg(what, words.isEmpty() ? code : words);
}

CommandResult Vorn::runCommand(const QString& commandLine, const QString& what,
                               const std::function<void()>& meanwhile) {
    CommandResult result;
    const QString batchPath = commandBatchPath();
    if (plat::Status s = writeBatchFile(commandLine, batchPath); !s.ok()) {
        result.status = s;
        return result;
    }
    // What the interpreter (or Wine, or the program) complains about goes
    // into a file of its own, so that a failure can say why. A leftover
    // that cannot be replaced only costs the words, never the command.
    const QString errors = errorOutputPath();
    plat::deleteFile(u8(errors));
    QString redirect;
    if (plat::storedName(u8(errors), true).empty())
        redirect = QStringLiteral("2> ") + kErrorOutputName;
    plat::Process process;
    if (plat::Status s = startBatch(batchPath, redirect, process); !s.ok()) {
        result.status =
            failure(QStringLiteral("Error: %1 could not be started. %2").arg(what, reasonOf(s)));
        return result;
    }
    if (meanwhile)
        meanwhile();
    // The busy pointer shows once the wait is longer than a moment.
    auto waited = process.wait(kBusyAfterMs);
    if (waited == plat::Process::Wait::TimedOut) {
        ui.setBusy(this, true);
        waited = process.wait(kCommandTimeoutMs - kBusyAfterMs);
        ui.setBusy(this, false);
    }
    if (waited != plat::Process::Wait::Finished) {
        process.kill();
        result.timedOut = true;
        result.status = failure(QStringLiteral("Error: %1 did not answer within %2 seconds.")
                                    .arg(what)
                                    .arg(kCommandTimeoutMs / 1000));
        return result;
    }
    result.exitCode = process.exitCode();
    result.status = plat::Status::success();
    return result;
}

plat::Status Vorn::startBatch(const QString& batchPath, const QString& redirect,
                              plat::Process& process) {
    // The batch file is named without its folder and run from there: '%' in
    // a folder (a user name such as "100%", or "%PATH%") would be expanded
    // on the interpreter's command line, where no quoting prevents it.
    QString line = QStringLiteral(".\\") + bareName(batchPath);
    if (!redirect.isEmpty())
        line += QLatin1Char(' ') + redirect;
    return plat::startHidden(u8(line), process, plat::parentOf(u8(batchPath)));
}

plat::Status Vorn::runDir(const QString& path, const QString& switches, const QString& what,
                          const QString& refusal, QStringList& lines,
                          const std::function<void()>& meanwhile) {
    QString err;
    const QString target = quoted(path, err);
    const QString list = quoted(commandListPath(), err);
    if (target.isEmpty() || list.isEmpty()) {
        lines.clear();
        return failure(refusal + QLatin1Char(' ') + err);
    }
    return runListing(QStringLiteral("dir ") + target + QLatin1Char(' ') + switches +
                          QStringLiteral(" > ") + list,
                      what, lines, meanwhile);
}

plat::Status Vorn::runListing(const QString& command, const QString& what, QStringList& lines,
                              const std::function<void()>& meanwhile) {
    lines.clear();
    const QString listPath = commandListPath();
    if (!waitUntilGone(listPath, commandListName()))
        return failure(
            QStringLiteral("Error: the old listing %1 cannot be removed.").arg(listPath));
    const CommandResult ran = runCommand(command, what, meanwhile);
    if (!ran.status.ok())
        return ran.status;
    // The command has ended, so the listing is complete.
    if (qs(plat::storedName(u8(listPath))) != commandListName() ||
        !readGameLines(listPath, lines).ok()) {
        // The interpreter said why; that goes to the user and the log.
        if (ran.exitCode != 0)
            return failure(commandFailure(what, ran.exitCode));
        return failure(QStringLiteral("Error: %1 left no listing in %2.").arg(what, listPath));
    }
    // A listing cut short (a full disk, a killed interpreter) is never
    // taken for the whole list. `dir` ends with 1 when nothing matched,
    // and then the listing is empty.
    if (ran.exitCode != 0 && !(ran.exitCode == 1 && lines.isEmpty())) {
        lines.clear();
        return failure(QStringLiteral("Error: %1 failed (exit code %2), so it is not used.")
                           .arg(what)
                           .arg(ran.exitCode));
    }
    return plat::Status::success();
}

} // namespace vorn
