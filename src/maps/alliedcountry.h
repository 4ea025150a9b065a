// The Allied country of a dod map (U.S. or British), read from the map's
// entity export; the map setup and the bot rosters both ask for it.
#pragma once

#include <QString>

namespace vorn {

class PanelHost;

struct AlliedCountry {
    enum Found { US, British, Unknown } found = Unknown;
    // Why it is unknown, in words for the log; "" when it was found.
    QString why;
    // The user chose to end the program rather than go on without it; the
    // caller stops at once.
    bool programEnded = false;
};

// The map's country from its entity export, made with the game's entity
// tool when it is missing. When it cannot be found the user may go on or
// end the program.
AlliedCountry DetectAlliedCountry(PanelHost& host, const QString& mapName);

} // namespace vorn
