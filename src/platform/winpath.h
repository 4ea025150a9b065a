// Small helpers on Windows paths, shared by both backends.
#pragma once

#include <string>

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

} // namespace vorn::platform
