#include "mainwindow.h"

#include "batchline.h"
#include "codepage.h"
#include "pathtext.h"
#include "platform.h"
#include "winpath.h"

#include <QStringList>
#include <algorithm>

namespace vorn {

namespace plat = vorn::platform;

namespace {

// Lines of a file's bytes: CR LF or LF ends a line; a last line without an
// end counts, a final line end adds no empty line.
QStringList splitLines(const std::string& bytes) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    auto add = [&](std::size_t from, std::size_t to) {
        const char* text = bytes.data() + from;
        const auto length = static_cast<qsizetype>(to - from);
        // Plain ASCII reads the same in Windows-1252 and Latin-1.
        if (std::all_of(text, text + length,
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            lines << QString::fromLatin1(text, length);
        else
            lines << qs(plat::cp1252ToUtf8(std::string(text, static_cast<std::size_t>(length))));
    };
    std::size_t from = 0;
    for (std::size_t end; (end = bytes.find('\n', from)) != std::string::npos; from = end + 1)
        add(from, end > from && bytes[end - 1] == '\r' ? end - 1 : end);
    if (from < bytes.size())
        add(from, bytes.size());
    return lines;
}

} // namespace

QString Vorn::modFilePath(const QString& name) const {
    return st.gameDir + mod() + QLatin1Char('\\') + name;
}

bool Vorn::saveGameFile(const QString& winPath, const QString& text, bool finalCrlf) {
    saveNote_.clear();
    std::string bytes = plat::utf8ToCp1252(u8(finalCrlf ? text + QStringLiteral("\r\n") : text));
    plat::Status s = plat::replaceFile(u8(winPath), bytes);
    if (!s.ok()) {
        // The status names the file; the log keeps the whole path.
        WriteLog(QStringLiteral("Error: ") + qs(s.error));
        setStatus(QStringLiteral("Error: could not save %1: %2.")
                      .arg(bareName(winPath), failureReason(winPath, s.error)),
                  colour::Red);
        return false;
    }
    // The file goes out; what its character set could not hold is named.
    QStringList missing;
    for (const std::string& c : plat::cp1252Missing(u8(text)))
        missing << qs(c);
    if (!missing.isEmpty()) {
        saveNote_ = QStringLiteral("Saved %1; the game has no %2, written as \"?\".")
                        .arg(bareName(winPath), missing.join(QStringLiteral(" ")));
        WriteLog(saveNote_);
    }
    return true;
}

QString Vorn::unusableNameReason(const QString& name) const {
    if (plat::isPlainFileName(u8(name)))
        return {};
    for (QChar c : name)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return QStringLiteral("holds %1")
                .arg(c.unicode() < 32 ? QStringLiteral("a control character")
                                      : QStringLiteral("'%1'").arg(c));
    return QStringLiteral("is not a file name");
}

void Vorn::showSaveNote() {
    if (!saveNote_.isEmpty())
        setStatus(saveNote_, colour::Red);
    saveNote_.clear();
}

plat::Status Vorn::readGameLines(const QString& winPath, QStringList& lines) {
    std::string bytes;
    if (plat::Status s = plat::readFile(u8(winPath), bytes); !s.ok())
        return failure(failureReason(winPath, s.error), s.fault);
    lines = splitLines(bytes);
    return plat::Status::success();
}

void Vorn::WriteLog(const QString& text) {
    // A log that cannot be written never stops the program.
    plat::TextFile log;
    if (!log.open(u8(st.masterLogPath), plat::TextFile::Mode::Append).ok())
        return;
    log.writeLine(plat::utf8ToCp1252(u8(text)));
    log.close();
}

void Vorn::ShortPause() {
    plat::sleepMilliseconds(15);
}

void Vorn::chooseWorkingDirectory() {
    // The log, the batch file and the listing live in the root of drive c:.
    // Where a standard user may not create files there, a per-user
    // directory serves instead.
    // The root is tested by making files there as every command will: the
    // batch file, the listing and a new file (which also needs a temporary
    // one), not only by the log, which may be an old file that is still
    // writable where nothing new can be made. A directory standing in a
    // working file's place fails the test too. They are scratch files, made
    // as the commands make them: nothing waits for the disk at start-up.
    const QString probe = QStringLiteral("c:\\vorn-probe.tmp");
    plat::TextFile log;
    if (plat::writeScratchFile(u8(st.batchPath), {}).ok() &&
        plat::writeScratchFile(u8(st.tempListPath), {}).ok() &&
        plat::writeScratchFile(u8(probe), {}).ok() && plat::deleteFile(u8(probe)).ok() &&
        log.open(u8(st.masterLogPath), plat::TextFile::Mode::Append).ok())
        return;
    std::string dir;
    if (!plat::userTempDir(dir).ok())
        return;
    QString d = qs(dir);
    st.masterLogPath = d + QStringLiteral("vorn_master.log");
    st.tempListPath = d + st.tempListName;
    st.batchPath = d + st.batchName;
    workingDirNote_ =
        QStringLiteral("The root of drive c: cannot be written; working files are kept in ") + d;
}

} // namespace vorn
