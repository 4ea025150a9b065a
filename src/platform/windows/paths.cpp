// Paths: Windows paths are host paths; the spelling stored on disk and the
// temporary directory come from the Win32 API.
#include "platform.h"
#include "windows_common.h"

namespace vorn::platform {

using namespace backend;

// ---------------------------------------------------------------------------
// Paths

Status hostPath(const std::string& winPath, std::string& out) {
    out = winPath;
    return Status::success();
}

std::string storedName(const std::string& winPath, bool directoriesToo) {
    if (winPath.empty() || winPath.find_first_of("*?") != std::string::npos ||
        winPath.find('\0') != std::string::npos)
        return "";
    const char last = winPath.back();
    if (last == '\\' || last == '/' || last == ':')
        return "";
    const std::string asked = lastComponent(winPath);
    if (asked.empty() || asked == "." || asked == "..")
        return "";
    WIN32_FIND_DATAW data;
    const HANDLE h = FindFirstFileW(widen(winPath).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    FindClose(h);
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((directory && !directoriesToo) || (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
        return "";
    // Only the long name, matched without regard to case; a hit through the
    // short 8.3 name does not count.
    const std::wstring want = widen(asked);
    if (CompareStringOrdinal(data.cFileName, -1, want.c_str(), static_cast<int>(want.size()),
                             TRUE) != CSTR_EQUAL)
        return "";
    return narrow(data.cFileName);
}

Status userTempDir(std::string& out) {
    wchar_t buf[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buf);
    if (n == 0 || n > MAX_PATH + 1)
        return Status::failure("The temporary directory is not known: " + reason(GetLastError()) +
                               ".");
    std::string dir = narrow(std::wstring(buf, n));
    if (dir.back() != '\\')
        dir += '\\';
    if (!isDirectory(dir) && !CreateDirectoryW(widen(dir).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        return Status::failure("Cannot create the directory " + quoted(dir) + ": " +
                               reason(GetLastError()) + ".");
    out = dir;
    return Status::success();
}

} // namespace vorn::platform
