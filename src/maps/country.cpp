// The Allied country of a dod map, read from its entity export.
#include "country.h"

namespace vorn {

namespace {

const std::string kKey = "detect_allies_country";

// From the first character of the key to the first character of the value:
// the key, its closing quote, a blank and the value's opening quote.
constexpr std::size_t kValueOffset = 24;

} // namespace

bool scanCountryLine(const std::string& line, bool& british) {
    // Positions count from 1. Position 1 is always tried; further positions
    // only while position + 25 does not pass the end of the line.
    for (std::size_t i = 1;; ++i) {
        if (line.compare(i - 1, kKey.size(), kKey) == 0) {
            const std::size_t value = i + kValueOffset; // from 1
            british = value <= line.size() && line[value - 1] == '1';
            return true;
        }
        if (i + 25 > line.size())
            return false;
    }
}

CountryScan scanAlliedCountry(const std::vector<std::string>& lines) {
    CountryScan scan;
    for (const std::string& line : lines) {
        bool british = false;
        if (scanCountryLine(line, british)) {
            scan.detected = true;
            scan.british = british;
        }
    }
    return scan;
}

} // namespace vorn
