// The working data of the window `vorn`, shared by the control centre and
// every setup panel. Names follow the members of the form; flags are 16-bit
// integers that hold 1 or 0.
#pragma once

#include <QString>
#include <cstdint>

namespace vorn {

using Flag = std::int16_t;

struct WindowState {
    // Paths and names (set by InitSettings)
    QString masterLogPath = QStringLiteral("c:\\vorn_master.log");
    QString programVersion = QStringLiteral("v0.1.0");
    QString tempListName = QStringLiteral("vorn.log");
    QString tempListPath = QStringLiteral("c:\\vorn.log");
    QString batchName = QStringLiteral("vorn.bat");
    QString batchPath = QStringLiteral("c:\\vorn.bat");
    QString gameDir = QStringLiteral("C:\\Sierra\\Half-Life\\");
    QString listedGameDir;

    // Step flags
    Flag commandLineSaved = 0;
    Flag serverCfgSaved = 0;
    Flag mapCycleSaved = 0;
    Flag motdSaved = 0;
    Flag botCfgSaved = 0;
    Flag modSelected = 0;

    // File texts
    QString commandLine;
    QString serverCfgText;
    QString mapCycleText;
    std::int16_t mapCycleCount = 0;
    QString motdText;
    QString botCfgText;
    QString mapBotCfgText;
    QString botCfgName;
    QString sturmbotVersion;

    // Class lists and the map's country
    Flag nationClassSet = 0;
    Flag alliesBritish = 0;
    Flag countryDetected = 0;

    // Scratch members: they carry no meaning from one reaction to the next
    QString checkPath;
    std::int16_t msgAnswer = 0; // 1 OK, 6 Yes, 7 No
    QString modEntry;
    Flag execPathValid = 0;
};

} // namespace vorn
