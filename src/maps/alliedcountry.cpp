#include "alliedcountry.h"

#include "controls.h"
#include "country.h"
#include "mainwindow.h"
#include "pathtext.h"

namespace vorn {

namespace plat = vorn::platform;

namespace {

const QString kAllert = QStringLiteral("VORN Allert!");

// Without the entity tool no country can be found: the program ends.
void endForMissingTool(Vorn& w) {
    w.st.msgAnswer = std::int16_t(w.ui.messageBox(
        &w, MsgIcon::Critical, MsgButtons::Ok, kAllert,
        QStringLiteral("The entity tool %1 is missing, so the Allied country of a map "
                       "cannot be found. Vornwick ends now.")
            .arg(w.st.checkPath)));
    w.endProgram();
}

// The entity tool writes `entityPath` from the map. False when the tool is
// missing.
bool exportEntities(Vorn& w, const QString& mapPath, const QString& entityPath,
                    const QString& entityName) {
    w.st.checkPath = w.st.gameDir + QStringLiteral("ripent.exe");
    if (qs(plat::storedName(u8(w.st.checkPath))) != QStringLiteral("ripent.exe"))
        return false;
    // The map path is quoted; a name that cannot be made safe is never
    // run, and the country stays undetermined.
    QString err;
    const QString tool = quoted(w.st.checkPath, err);
    const QString map = quoted(mapPath, err);
    const QString list = quoted(w.commandListPath(), err);
    if (tool.isEmpty() || map.isEmpty() || list.isEmpty())
        return true;
    // Waits for the tool to end (bounded), so a half-written export is
    // never read.
    const QString what = QStringLiteral("The entity tool");
    const plat::Status ran =
        w.runCommand(tool + QStringLiteral(" -export ") + map + QStringLiteral(" > ") + list, what);
    if (!ran.ok()) {
        w.setStatus(reasonOf(ran), colour::Red);
        // Stopped mid-way: what it left may be cut short. Removed, so that
        // the next detection runs the tool again.
        if (w.lastTimedOut && qs(plat::storedName(u8(entityPath))) == entityName) {
            plat::deleteFile(u8(entityPath));
            w.WriteLog(QStringLiteral("%1 was stopped after %2 seconds; its unfinished export "
                                      "%3 was removed.")
                           .arg(what)
                           .arg(kCommandTimeoutMs / 1000)
                           .arg(entityPath));
        }
    } else if (w.lastExitCode != 0) {
        w.setStatus(w.commandFailure(what, w.lastExitCode, w.errorOutputPath()), colour::Red);
    }
    return true;
}

// The country could not be found: the user goes on, or ends the program.
// False when it was ended.
bool askToGoOn(Vorn& w, const QString& mapName, const QString& why) {
    w.st.msgAnswer = std::int16_t(w.ui.messageBox(
        &w, MsgIcon::Question, MsgButtons::YesNo, kAllert,
        QStringLiteral("Encountered a problem with determining country for Allies.\r\n") +
            (why.isEmpty() ? QString()
                           : QStringLiteral("The map name \"%1\" cannot be a file name: it %2.\r\n")
                                 .arg(mapName, why)) +
            QStringLiteral("Would you like to ignore this and proceed?")));
    if (w.st.msgAnswer == kAnswerNo)
        w.mnuExit_Click();
    return !w.programEnded();
}

} // namespace

bool DetectAlliedCountry(Vorn& w, const QString& mapName) {
    const QString mapsDir = w.st.gameDir + w.mod() + QStringLiteral("\\maps\\");
    const QString entityPath = mapsDir + mapName + QStringLiteral(".ent");
    const QString entityName = mapName + QStringLiteral(".ent");
    auto present = [&] { return qs(plat::storedName(u8(entityPath))) == entityName; };
    // A name that cannot be a file name is never made into a path; the
    // problem box says why.
    const QString why = w.unusableNameReason(mapName);

    if (why.isEmpty() && !present()) {
        w.ui.setBusy(&w, true);
        const bool toolFound =
            exportEntities(w, mapsDir + mapName + QStringLiteral(".bsp"), entityPath, entityName);
        w.ui.setBusy(&w, false);
        if (!toolFound) {
            endForMissingTool(w);
            return false;
        }
    }
    if (!why.isEmpty() || !present())
        return askToGoOn(w, mapName, why);
    QStringList lines;
    w.readGameLines(entityPath, lines);
    const CountryScan scan = scanAlliedCountry(toStdLines(lines));
    if (scan.detected) {
        w.st.alliesBritish = scan.british ? 1 : 0;
        w.st.countryDetected = 1;
    }
    return true;
}

} // namespace vorn
