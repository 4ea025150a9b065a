// Small helpers on Windows paths, shared by both backends.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace vorn::platform {

// The directory part of a Windows path: "c:\a\b.txt" gives "c:\a", and a
// file in a drive's root gives the root with its backslash ("c:\").
inline std::string parentOf(const std::string& winPath) {
    const auto cut = winPath.find_last_of("\\/");
    if (cut == std::string::npos)
        return winPath;
    if (cut == 2 && winPath.size() > 1 && winPath[1] == ':')
        return winPath.substr(0, 3);
    return winPath.substr(0, cut);
}

// True when `name` can stand as one file name in a Windows path: not
// empty, not "." or "..", and none of \ / : * ? " < > | or a control
// character. A name read from a listing (on POSIX or under Wine a map may
// be called "x\..\..\name") becomes part of a path only when it passes.
inline bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    return true;
}

// The temporary file that replaceFile writes beside `name` before renaming
// it over: ".<the first bytes of name>.vorn-<pid>-<n>.tmp". It shows which
// file it belongs to, yet stays short, so that a name near the system's
// limit of 255 still gets one.
constexpr std::size_t kTemporaryHeadBytes = 24;

inline std::string temporaryHead(const std::string& name) {
    std::size_t cut = std::min(name.size(), kTemporaryHeadBytes);
    // Never in the middle of a UTF-8 sequence.
    while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return "." + name.substr(0, cut) + ".vorn-";
}

inline std::string temporaryNameFor(const std::string& name, unsigned long pid, unsigned n) {
    return temporaryHead(name) + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

// The process that wrote `entry`, when `entry` is a temporary file of ours
// for `name`; 0 otherwise.
inline unsigned long temporaryFileOwner(const std::string& entry, const std::string& name) {
    const std::string head = temporaryHead(name);
    const std::string tail = ".tmp";
    if (entry.size() <= head.size() + tail.size() || entry.compare(0, head.size(), head) != 0 ||
        entry.compare(entry.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    const std::string middle = entry.substr(head.size(), entry.size() - head.size() - tail.size());
    const auto dash = middle.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 == middle.size() || dash > 10)
        return 0;
    for (std::size_t i = 0; i < middle.size(); ++i)
        if (i != dash && (middle[i] < '0' || middle[i] > '9'))
            return 0;
    return std::stoul(middle.substr(0, dash));
}

} // namespace vorn::platform
