// Reading what the outside commands and the add-on leave on disk.
#pragma once

#include <string>
#include <vector>

namespace vorn {

// The entries of a mod listing: each line split at commas, pieces in order
// (a directory name holding a comma is split into pieces). Empty pieces (an
// empty line, ",,") name no directory and are left out.
std::vector<std::string> splitModListing(const std::vector<std::string>& lines);

// The map name of one line of a "*.bsp" listing: the line less ".bsp".
// Lines that do not end in ".bsp" (letter case aside) give "" and are
// skipped: the interpreter's "*.bsp" also matches "x.bsp2".
std::string mapNameFromListing(const std::string& line);

// The add-on's version: the third line of History.txt; "" when the file
// holds fewer than three lines.
std::string versionFromHistory(const std::vector<std::string>& lines);

} // namespace vorn
