#include "mainwindow.h"

#include "controls.h"
#include "listing.h"
#include "pathtext.h"
#include "platform.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#ifndef VORN_VERSION
#define VORN_VERSION "0.0.0"
#endif

namespace vorn {

namespace plat = vorn::platform;

void Vorn::Form_Load() {
    InitSettings();
    ResetPanels();
    DeriveGameDir();
    CheckExecPath();
}

void Vorn::InitSettings() {
    // The build's project version, e.g. "v0.1.0".
    st.programVersion = QStringLiteral("v" VORN_VERSION);
    st.masterLogPath = QStringLiteral("c:\\vorn_master.log");
    st.tempListName = QStringLiteral("vorn.log");
    st.batchName = QStringLiteral("vorn.bat");
    st.tempListPath = QStringLiteral("c:\\") + st.tempListName;
    st.batchPath = QStringLiteral("c:\\") + st.batchName;
    st.gameDir = QStringLiteral("C:\\Sierra\\Half-Life\\");
    st.listedGameDir.clear();
    chooseWorkingDirectory();
    // Setting the text runs txtExec_Change, as a user's edit does.
    txtExec->setText(st.gameDir + QStringLiteral("hl.exe"));
    WriteLog(QStringLiteral("======================================"));
    WriteLog(QStringLiteral("Starting up VORN..."));
    if (!workingDirNote_.isEmpty())
        WriteLog(workingDirNote_);
}

void Vorn::txtExec_Change() {
    DeriveGameDir();
    CheckExecPath();
}

void Vorn::DeriveGameDir() {
    const QString text = txtExec->text();
    if (text.size() < 9)
        return;
    // The folder is what stands before the program's name as typed, either
    // server's: a path to hlds.exe typed while Dedicated is unticked still
    // gives its own folder. Any other name is cut by the length of the name
    // the box expects.
    auto names = [&text](const QString& program) {
        const qsizetype at = text.size() - program.size();
        return text.endsWith(program, Qt::CaseInsensitive) &&
               QStringLiteral("\\/:").contains(text.at(at - 1));
    };
    qsizetype cut = queries.dedicated() ? 8 : 6;
    if (names(QStringLiteral("hlds.exe")))
        cut = 8;
    else if (names(QStringLiteral("hl.exe")))
        cut = 6;
    st.gameDir = text.left(text.size() - cut);
}

namespace {

// What the status line says about an Exec path that names no game program.
QString execPathError(const QString& path) {
    QString text = QStringLiteral("Error: Correct Exec path!");
#ifdef Q_OS_WIN
    Q_UNUSED(path);
#else
    // Off Windows the drives are Wine's: a drive that is not there at all
    // (no Wine prefix, as with no ~/.wine, or none with that drive) says so,
    // and where the drives come from.
    std::string host;
    if (path.at(0).isLetter() && !plat::hostPath(u8(path), host))
        text += QStringLiteral(" Drive %1: is not mapped: set WINEPREFIX to the Wine prefix "
                               "that holds the game.")
                    .arg(path.at(0).toUpper());
#endif
    return text;
}

} // namespace

void Vorn::CheckExecPath() {
    const QString path = txtExec->text();
    if (path.size() < 2 || path.at(1) != QLatin1Char(':'))
        return;
    const QString expected =
        queries.dedicated() ? QStringLiteral("hlds.exe") : QStringLiteral("hl.exe");
    if (qs(plat::storedName(u8(path))) == expected) {
        if (st.gameDir != st.listedGameDir) {
            ResetPanels();
            st.listedGameDir = st.gameDir;
            if (plat::Status listed = FindMods(); !listed.ok())
                setStatus(reasonOf(listed), colour::Red);
            else if (cmbModList->count() > 0)
                setStatus(QStringLiteral("Now, select a mod"), colour::Blue);
            else
                setStatus(QStringLiteral("No mods found!"), colour::Red);
        }
        cmbModList->setEnabled(true);
        lblMod->setEnabled(true);
    } else {
        ui.beep();
        setStatus(execPathError(path), colour::Red);
        cmbModList->setEnabled(false);
        lblMod->setEnabled(false);
        for (const Step& step : steps_)
            step.panel->execPathRefused();
    }
}

plat::Status Vorn::FindMods() {
    // Cleared first so that a failed listing shows no stale mods.
    setStatus(QString(), colour::Blue);
    QStringList lines;
    const plat::Status listed =
        runDir(st.gameDir, QStringLiteral("/ad /b"), QStringLiteral("The mod listing"),
               QStringLiteral("Error: the game directory cannot be listed."), lines);
    if (!listed.ok())
        st.listedGameDir.clear(); // the next valid path lists again
    cmbModList->clear();
    for (const std::string& entry : splitModListing(toStdLines(lines))) {
        const QString modEntry = qs(entry);
        if (modEntry.isEmpty())
            continue;
        const QString gameList = st.gameDir + modEntry + QStringLiteral("\\liblist.gam");
        if (qs(plat::storedName(u8(gameList))) == QStringLiteral("liblist.gam"))
            cmbModList->addItem(modEntry);
    }
    // No mod is chosen until the user picks one.
    cmbModList->setCurrentIndex(-1);
    return listed;
}

QString Vorn::execPath() const {
    return txtExec->text();
}

void Vorn::setExecPath(const QString& path) {
    // The same text again is checked again, as a change would be.
    if (txtExec->text() == path)
        txtExec_Change();
    else
        txtExec->setText(path);
}

} // namespace vorn
