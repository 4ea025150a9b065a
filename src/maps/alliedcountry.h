// The Allied country of a dod map (U.S. or British), read from the map's
// entity export; the map setup and the bot rosters both ask for it.
#pragma once

#include <QString>

namespace vorn {

class Vorn;

// Sets st.alliesBritish and st.countryDetected when the map's export names
// the country; callers set st.countryDetected to 0 first. The export is
// made with the game's entity tool when it is missing. When the country
// cannot be found the user may go on or end the program. False when the
// program was ended.
bool DetectAlliedCountry(Vorn& w, const QString& mapName);

} // namespace vorn
