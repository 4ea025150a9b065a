// The working data of the window `vorn`: where its files are, and what the
// start-up found. Names follow the members of the form.
#pragma once

#include <QString>

namespace vorn {

struct WindowState {
    // Paths and names (set by InitSettings)
    QString masterLogPath = QStringLiteral("c:\\vorn_master.log");
    QString programVersion = QStringLiteral("v0.1.0");
    QString tempListName = QStringLiteral("vorn.log");
    QString tempListPath = QStringLiteral("c:\\vorn.log");
    QString batchName = QStringLiteral("vorn.bat");
    QString batchPath = QStringLiteral("c:\\vorn.bat");
    QString gameDir = QStringLiteral("C:\\Sierra\\Half-Life\\");
    // The game directory whose mods are listed; "" when none is.
    QString listedGameDir;
    // A mod has been chosen since the last listing of mods.
    bool modSelected = false;
};

} // namespace vorn
