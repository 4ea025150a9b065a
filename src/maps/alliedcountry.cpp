#include "alliedcountry.h"

#include "controls.h"
#include "country.h"
#include "panelhost.h"
#include "pathtext.h"

namespace vorn {

namespace plat = vorn::platform;

namespace {

// Without the entity tool no country can be found: the program ends.
void endForMissingTool(PanelHost& host, const QString& toolPath) {
    host.messageBox(MsgIcon::Critical, MsgButtons::Ok, kAlertTitle,
                    QStringLiteral("The entity tool %1 is missing, so the Allied country of a map "
                                   "cannot be found. Vornwick ends now.")
                        .arg(toolPath));
    host.endProgram();
}

// The entity tool writes `entityPath` from the map. False when the tool is
// missing.
bool exportEntities(PanelHost& host, const QString& toolPath, const QString& mapPath,
                    const QString& entityPath, const QString& entityName) {
    if (qs(plat::storedName(u8(toolPath))) != QStringLiteral("ripent.exe"))
        return false;
    // The map path is quoted; a name that cannot be made safe is never
    // run, and the country stays undetermined.
    QString err;
    const QString tool = quoted(toolPath, err);
    const QString map = quoted(mapPath, err);
    const QString list = quoted(host.commandListPath(), err);
    if (tool.isEmpty() || map.isEmpty() || list.isEmpty())
        return true;
    // Waits for the tool to end (bounded), so a half-written export is
    // never read.
    const QString what = QStringLiteral("The entity tool");
    const CommandResult ran = host.runCommand(
        tool + QStringLiteral(" -export ") + map + QStringLiteral(" > ") + list, what);
    if (!ran.status.ok()) {
        host.setStatus(reasonOf(ran.status), colour::Red);
        // Stopped mid-way: what it left may be cut short. Removed, so that
        // the next detection runs the tool again.
        if (ran.timedOut && qs(plat::storedName(u8(entityPath))) == entityName) {
            plat::deleteFile(u8(entityPath));
            host.WriteLog(QStringLiteral("%1 was stopped after %2 seconds; its unfinished export "
                                         "%3 was removed.")
                              .arg(what)
                              .arg(kCommandTimeoutMs / 1000)
                              .arg(entityPath));
        }
    } else if (ran.exitCode != 0) {
        host.setStatus(host.commandFailure(what, ran.exitCode), colour::Red);
    }
    return true;
}

// The country could not be found: the user goes on, or ends the program.
AlliedCountry askToGoOn(PanelHost& host, const QString& mapName, const QString& unusable,
                        const QString& why) {
    const int answer = host.messageBox(
        MsgIcon::Question, MsgButtons::YesNo, kAlertTitle,
        QStringLiteral("Encountered a problem with determining country for Allies.\r\n") +
            (unusable.isEmpty()
                 ? QString()
                 : QStringLiteral("The map name \"%1\" cannot be a file name: it %2.\r\n")
                       .arg(mapName, unusable)) +
            QStringLiteral("Would you like to ignore this and proceed?"));
    AlliedCountry result;
    result.why = why;
    if (answer == kAnswerNo)
        result.programEnded = host.askToExit();
    return result;
}

} // namespace

AlliedCountry DetectAlliedCountry(PanelHost& host, const QString& mapName) {
    const QString mapsDir = host.modFilePath(QStringLiteral("maps\\"));
    const QString entityPath = mapsDir + mapName + QStringLiteral(".ent");
    const QString entityName = mapName + QStringLiteral(".ent");
    auto present = [&] { return qs(plat::storedName(u8(entityPath))) == entityName; };
    // A name that cannot be a file name is never made into a path; the
    // problem box says why.
    const QString unusable = host.unusableNameReason(mapName);

    if (unusable.isEmpty() && !present()) {
        const QString toolPath = host.gameDir() + QStringLiteral("ripent.exe");
        host.setBusy(true);
        const bool toolFound = exportEntities(
            host, toolPath, mapsDir + mapName + QStringLiteral(".bsp"), entityPath, entityName);
        host.setBusy(false);
        if (!toolFound) {
            endForMissingTool(host, toolPath);
            AlliedCountry result;
            result.why = QStringLiteral("the entity tool is missing");
            result.programEnded = true;
            return result;
        }
    }
    if (!unusable.isEmpty())
        return askToGoOn(host, mapName, unusable, QStringLiteral("the map name %1").arg(unusable));
    if (!present())
        return askToGoOn(host, mapName, {}, QStringLiteral("the map has no entity export"));
    QStringList lines;
    host.readGameLines(entityPath, lines);
    const CountryScan scan = scanAlliedCountry(toStdLines(lines));
    AlliedCountry result;
    if (!scan.detected)
        result.why = QStringLiteral("the entity export names no country");
    else
        result.found = scan.british ? AlliedCountry::British : AlliedCountry::US;
    return result;
}

} // namespace vorn
