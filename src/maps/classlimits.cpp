// Per-map class limits of the dod mod.
#include "classlimits.h"

namespace vorn {

namespace {

const char* const kLineEnd = "\r\n";
const std::string kNoLimit = "-1";

ClassTable makeTable(std::string label, std::string prefix, std::vector<std::string> classes) {
    ClassTable table;
    table.label = std::move(label);
    table.prefix = std::move(prefix);
    table.classes = std::move(classes);
    table.resetValues();
    return table;
}

// Byte offset of the character at `position` (from 1) of a UTF-8 text, or
// the text's size when it holds fewer characters.
std::size_t offsetOf(const std::string& text, std::size_t position) {
    std::size_t offset = 0;
    for (std::size_t n = 1; n < position && offset < text.size(); ++n) {
        ++offset;
        while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    return offset;
}

// `count` characters of a UTF-8 text from `position` (from 1); to the end
// when `count` is npos.
std::string middle(const std::string& text, std::size_t position,
                   std::size_t count = std::string::npos) {
    const std::size_t begin = offsetOf(text, position);
    if (count == std::string::npos)
        return text.substr(begin);
    const std::size_t end = begin + offsetOf(text.substr(begin), count + 1);
    return text.substr(begin, end - begin);
}

void setValue(ClassTable& table, const std::string& cls, const std::string& value) {
    for (std::size_t i = 0; i < table.classes.size() && i < table.values.size(); ++i) {
        if (table.classes[i] == cls)
            table.values[i] = value;
    }
}

void appendLimits(std::string& text, const ClassTable& table) {
    for (std::size_t i = 0; i < table.classes.size(); ++i) {
        text += table.prefix;
        text += table.classes[i];
        text += ' ';
        text += i < table.values.size() ? table.values[i] : kNoLimit;
        text += kLineEnd;
    }
}

} // namespace

void ClassTable::resetValues() {
    values.assign(classes.size(), kNoLimit);
}

int ClassTable::find(const std::string& className) const {
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (classes[i] == className)
            return static_cast<int>(i);
    }
    return -1;
}

ClassLists nationClassLists() {
    return {
        makeTable("U.S.", "mp_limitallies",
                  {"garand", "carbine", "bar", "greasegun", "thompson", "spring", "30cal"}),
        makeTable("German", "mp_limitaxis",
                  {"kar", "kar43", "fg42", "fg42s", "mp40", "mp44", "scopedkar", "mg34", "mg42"})};
}

ClassLists genericClassLists() {
    return {makeTable("Allies", "mp_limitallies", {"light", "assault", "heavy", "sniper", "mg"}),
            makeTable("Axis", "mp_limitaxis", {"light", "assault", "heavy", "sniper", "mg"})};
}

ClassTable britishAllies() {
    return makeTable("British", "mp_limitbrit", {"light", "assault", "sniper", "mg"});
}

ClassLimitLine parseClassLimitLine(const std::string& line) {
    ClassLimitLine parsed;
    bool inValue = false;
    for (const char c : line) {
        if (c == ' ') {
            if (!parsed.name.empty())
                inValue = true;
        } else if (inValue) {
            parsed.value += c;
        } else {
            parsed.name += c;
        }
    }

    if (parsed.name.compare(0, 8, "mp_limit") != 0 || parsed.value.empty())
        return parsed;
    const std::string key = parsed.name.substr(8, 4);
    if (key == "brit") {
        parsed.side = "brit";
        parsed.cls = parsed.name.substr(12);
    } else if (key == "alli") {
        // The name is ASCII up to here; later characters may be wider.
        parsed.side = middle(parsed.name, 9, 6);
        parsed.cls = middle(parsed.name, 15);
    } else if (key == "axis") {
        parsed.side = "axis";
        parsed.cls = parsed.name.substr(12);
    }
    return parsed;
}

void readClassLimitFile(const std::vector<std::string>& lines, ClassLists& lists,
                        std::string& kept) {
    kept.clear();
    for (const std::string& line : lines) {
        const ClassLimitLine parsed = parseClassLimitLine(line);
        if (parsed.cls.empty()) {
            if (!line.empty()) {
                kept += line;
                kept += kLineEnd;
            }
        } else if (parsed.side == "brit" || parsed.side == "allies") {
            setValue(lists.allies, parsed.cls, parsed.value);
        } else if (parsed.side == "axis") {
            setValue(lists.axis, parsed.cls, parsed.value);
        }
        // Other sides ("allixx"), and classes not in the list, are dropped.
    }
}

std::string composeClassLimitLines(const ClassLists& lists) {
    std::string text;
    appendLimits(text, lists.allies);
    appendLimits(text, lists.axis);
    return text;
}

std::string classLimitFileBytes(const std::string& kept, const std::string& limitText) {
    return kept + kLineEnd + limitText + kLineEnd;
}

} // namespace vorn
