#include "posix_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorn::platform::backend {

std::string quoted(const std::string& winPath) {
    return "\"" + winPath + "\"";
}

std::string reason(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return "access is denied";
    case EROFS:
        return "the drive is read-only";
    case ENOSPC:
        return "the disk is full";
    case ENOENT:
        return "it does not exist";
    case ENOTDIR:
        return "a part of the path is not a directory";
    case EISDIR:
        return "it is a directory";
    case EEXIST:
        return "it already exists";
    case ENOTEMPTY:
        return "the directory is not empty";
    default:
        return std::strerror(err);
    }
}

bool isDirectory(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isReadOnlyFile(const std::string& host) {
    struct stat st {};
    if (::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return (st.st_mode & 0222) == 0 || ::access(host.c_str(), W_OK) != 0;
}

std::string hostPathParent(std::string host) {
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    const auto cut = host.find_last_of('/');
    return cut == std::string::npos ? std::string(".")
           : cut == 0               ? std::string("/")
                                    : host.substr(0, cut);
}

std::string lastComponent(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace vorn::platform::backend
