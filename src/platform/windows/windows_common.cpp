#include "windows_common.h"

#include <algorithm>

namespace vorn::platform::backend {

std::wstring widen(const std::string& s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                            nullptr);
    return s;
}

std::string quoted(const std::string& winPath) {
    return "\"" + winPath + "\"";
}

std::string reason(DWORD err) {
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        return "it does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "the directory does not exist";
    case ERROR_ACCESS_DENIED:
        return "access is denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program is using it";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_WRITE_PROTECT:
        return "the drive is write-protected";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return "the name is not valid";
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return "it already exists";
    case ERROR_DIR_NOT_EMPTY:
        return "the directory is not empty";
    case ERROR_INVALID_DRIVE:
        return "the drive does not exist";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n && text) {
        out = narrow(std::wstring(text, n));
        while (!out.empty() &&
               (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
            out.pop_back();
    }
    if (text)
        LocalFree(text);
    return out.empty() ? "error " + std::to_string(err) : out;
}

std::string lastComponent(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool isDirectory(const std::string& winPath) {
    const DWORD a = GetFileAttributesW(widen(winPath).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace vorn::platform::backend
