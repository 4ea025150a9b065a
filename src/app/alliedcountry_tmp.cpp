#include "mainwindow.h"

#include "controls.h"
#include "country.h"
#include "pathtext.h"
#include "platform.h"

namespace vorn {

namespace plat = vorn::platform;

bool Vorn::DetectAlliedCountry(const QString& mapName) {
    const QString mapsDir = st.gameDir + mod() + QStringLiteral("\\maps\\");
    const QString entityFilePath = mapsDir + mapName + QStringLiteral(".ent");
    const QString entityName = mapName + QStringLiteral(".ent");
    auto present = [&] { return qs(plat::storedName(u8(entityFilePath))) == entityName; };
    bool busy = false;
    auto done = [&] {
        if (busy)
            ui.setBusy(this, false);
    };
    // A name that cannot be a file name is never made into a path; the
    // problem box says why.
    const QString why = unusableNameReason(mapName);

    if (why.isEmpty() && !present()) {
        ui.setBusy(this, true);
        busy = true;
        const QString mapFilePath = mapsDir + mapName + QStringLiteral(".bsp");
        st.checkPath = st.gameDir + QStringLiteral("ripent.exe");
        if (qs(plat::storedName(u8(st.checkPath))) != QStringLiteral("ripent.exe")) {
            done();
            st.msgAnswer = std::int16_t(ui.messageBox(
                this, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VORN Allert!"),
                QStringLiteral("The entity tool %1 is missing, so the Allied country of a map "
                               "cannot be found. Vornwick ends now.")
                    .arg(st.checkPath)));
            programEnded = true;
            ui.endProgram();
            return false;
        }
        // The map path is quoted; a name that cannot be made safe is never
        // run, and the country stays undetermined.
        QString err;
        QString tool = quoted(st.checkPath, err);
        QString map = quoted(mapFilePath, err);
        QString list = quoted(commandListPath(), err);
        if (!tool.isEmpty() && !map.isEmpty() && !list.isEmpty()) {
            // Waits for the tool to end (bounded), so a half-written export
            // is never read.
            const QString what = QStringLiteral("The entity tool");
            const bool ended = runCommand(
                tool + QStringLiteral(" -export ") + map + QStringLiteral(" > ") + list, what);
            if (!ended && lastTimedOut && present()) {
                // Stopped mid-way: what it left may be cut short. Removed,
                // so that the next detection runs the tool again.
                plat::deleteFile(u8(entityFilePath));
                WriteLog(QStringLiteral("%1 was stopped after %2 seconds; its unfinished export "
                                        "%3 was removed.")
                             .arg(what)
                             .arg(kCommandTimeoutMs / 1000)
                             .arg(entityFilePath));
            } else if (ended && lastExitCode != 0) {
                reportCommandFailure(what, lastExitCode, errorOutputPath());
            }
        }
    }

    if (why.isEmpty() && present()) {
        QStringList lines;
        readGameLines(entityFilePath, lines);
        CountryScan scan = scanAlliedCountry(toStdLines(lines));
        if (scan.detected) {
            st.alliesBritish = scan.british ? 1 : 0;
            st.countryDetected = 1;
        }
    } else {
        st.msgAnswer = std::int16_t(ui.messageBox(
            this, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VORN Allert!"),
            QStringLiteral("Encountered a problem with determining country for Allies.\r\n") +
                (why.isEmpty()
                     ? QString()
                     : QStringLiteral("The map name \"%1\" cannot be a file name: it %2.\r\n")
                           .arg(mapName, why)) +
                QStringLiteral("Would you like to ignore this and proceed?")));
        if (st.msgAnswer == kAnswerNo) {
            mnuExit_Click();
            if (programEnded) {
                done();
                return false;
            }
        }
    }
    done();
    return true;
}

} // namespace vorn
