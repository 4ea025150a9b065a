// Per-map class limits of the dod mod: the class lists, the lines of a
// map's ".cfg" file, and the text written back.
#pragma once

#include <string>
#include <vector>

namespace vorn {

// One team's list: label, prefix, classes and their limits ("-1": none).
struct ClassTable {
    std::string label;
    std::string prefix;
    std::vector<std::string> classes;
    std::vector<std::string> values; // same length as classes

    // Every value back to "-1".
    void resetValues();
    // Position (from 0) of the class, or -1.
    int find(const std::string& className) const;
};

struct ClassLists {
    ClassTable allies;
    ClassTable axis;
};

// U.S. and German classes (Sturmbot versions other than 1.5).
ClassLists nationClassLists();
// Generic classes of both teams (Sturmbot 1.5).
ClassLists genericClassLists();
// The British allied table ("British", "mp_limitbrit", four classes).
ClassTable britishAllies();

// The result of parsing one line.
struct ClassLimitLine {
    std::string name;  // the first word
    std::string value; // every later non-blank character
    std::string side;  // "brit", "allies" (6 characters from position 9) or "axis"; "" otherwise
    std::string cls;   // the class; "" when the line is not a class limit
};

// Leading blanks are skipped, the first word is the name, the rest without
// blanks is the value; tabs are ordinary characters. Only names starting
// "mp_limit" with a value have a side and class.
ClassLimitLine parseClassLimitLine(const std::string& line);

// Read a map's file (lines without ends): class limits update the tables
// (brit/allies: allied tables, axis: axis tables; unknown sides or classes
// are dropped); empty lines are skipped; other lines are kept, in order,
// each followed by CR LF, in `kept`.
void readClassLimitFile(const std::vector<std::string>& lines, ClassLists& lists,
                        std::string& kept);

// One line per class, allies then axis: prefix, class, blank, value, CR LF.
std::string composeClassLimitLines(const ClassLists& lists);

// The whole file: kept lines, an empty line, the limit lines, an empty line
// (every line ending in CR LF).
std::string classLimitFileBytes(const std::string& kept, const std::string& limitText);

} // namespace vorn
