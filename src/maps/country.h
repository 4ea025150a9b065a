// The Allied country of a dod map, read from its entity export.
#pragma once

#include <string>
#include <vector>

namespace vorn {

struct CountryScan {
    bool detected = false; // the key was found on some line
    bool british = false;  // valid only when detected: the last match's value is "1"
};

// Scan every line for "detect_allies_country": at the first match on a
// line, position i (from 1), the value is the character at i + 24 ("1" is
// British). Positions 1 to length - 24 are tried, position 1 even on a
// shorter line. The last line with a match decides.
CountryScan scanAlliedCountry(const std::vector<std::string>& lines);

// The scan of one line, as above; nothing when the line has no match.
// Returns true and sets `british` on a match.
bool scanCountryLine(const std::string& line, bool& british);

} // namespace vorn
