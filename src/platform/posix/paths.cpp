// Paths: drive letters mapped onto the Wine prefix, the spelling stored on
// disk, and the per-user directory for working files.
#include "platform.h"
#include "posix_common.h"
#include "winnames.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace vorn::platform {

using namespace backend;

namespace {

std::string prefixPath() {
    if (const char* p = std::getenv("WINEPREFIX"); p && *p)
        return p;
    const char* home = std::getenv("HOME");
    std::string h = (home && *home) ? home : "";
    if (h.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()))
            h = pw->pw_dir;
    }
    return h + "/.wine";
}

// The entry of `dir` whose name equals `name` without regard to case: the
// exact spelling when present, else the first in listing order.
bool findStored(const std::string& dir, const std::string& name, std::string& stored) {
    struct stat st {};
    if (::lstat((dir + "/" + name).c_str(), &st) == 0) {
        stored = name;
        return true;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n == "." || n == "..")
            continue;
        if (winnames::sameName(n, name) && (!found || winnames::listsBefore(n, stored))) {
            stored = n;
            found = true;
        }
    }
    ::closedir(d);
    return found;
}

bool startsWithDriveLetter(const std::string& winPath) {
    return winPath.size() >= 2 && winPath[1] == ':' &&
           ((winPath[0] >= 'a' && winPath[0] <= 'z') || (winPath[0] >= 'A' && winPath[0] <= 'Z'));
}

// The host directory of drive `drive` (a lower-case letter):
// $WINEPREFIX/dosdevices/x:, or $WINEPREFIX/drive_c for an unmapped c:.
// The dosdevices link is resolved, so that programs started with these
// paths see plain directories.
Status driveRoot(char drive, std::string& root) {
    const std::string prefix = prefixPath();
    if (!isDirectory(prefix))
        return Status::failure(
            "The Wine prefix " + quoted(prefix) +
            " does not exist (set WINEPREFIX to the prefix that holds the game).");
    root = prefix + "/dosdevices/" + drive + ":";
    if (!isDirectory(root)) {
        if (drive == 'c' && isDirectory(prefix + "/drive_c"))
            root = prefix + "/drive_c";
        else
            return Status::failure(std::string("Drive ") + static_cast<char>(drive - 0x20) +
                                   ": is not mapped (there is no " + root +
                                   "; set WINEPREFIX to the Wine prefix that holds the game).");
    }
    if (char* real = ::realpath(root.c_str(), nullptr)) {
        root = real;
        std::free(real);
    }
    return Status::success();
}

// `root` followed by the components of `winPath` after its drive, each
// existing one in its stored spelling. "." is dropped, ".." goes up (never
// above `root`), and a slash at the end is kept.
std::string underRoot(const std::string& root, const std::string& winPath) {
    std::string host = root;
    std::size_t depth = 0;
    bool exists = true;
    std::size_t pos = 2;
    while (pos <= winPath.size()) {
        std::size_t end = winPath.find_first_of("\\/", pos);
        if (end == std::string::npos)
            end = winPath.size();
        const std::string part = winPath.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (depth > 0) {
                host.erase(host.find_last_of('/'));
                --depth;
            }
            // ".." is taken by name, as Windows does; what is left may exist.
            struct stat st {};
            exists = ::lstat(host.c_str(), &st) == 0;
            continue;
        }
        std::string stored = part;
        if (exists)
            exists = findStored(host, part, stored);
        host += "/" + (exists ? stored : part);
        ++depth;
    }
    if (!winPath.empty() && (winPath.back() == '\\' || winPath.back() == '/') && depth > 0)
        host += "/";
    return host;
}

} // namespace

// ---------------------------------------------------------------------------
// Paths

Status hostPath(const std::string& winPath, std::string& out) {
    if (!startsWithDriveLetter(winPath))
        return Status::failure("The path " + quoted(winPath) +
                               " does not start with a drive letter.");
    if (winPath.find('\0') != std::string::npos)
        return Status::failure("The path " + quoted(winPath) + " holds a NUL character.");
    std::string root;
    if (Status s = driveRoot(static_cast<char>(winPath[0] | 0x20), root); !s)
        return s;
    out = underRoot(root, winPath);
    return Status::success();
}

std::string storedName(const std::string& winPath, bool directoriesToo) {
    if (winnames::hasWildcards(winPath) || winPath.empty())
        return "";
    const char last = winPath.back();
    if (last == '\\' || last == '/' || last == ':')
        return "";
    std::string host;
    if (!hostPath(winPath, host))
        return "";
    struct stat st {};
    if (::stat(host.c_str(), &st) != 0)
        return "";
    if (!S_ISREG(st.st_mode) && !(directoriesToo && S_ISDIR(st.st_mode)))
        return "";
    const std::string name = lastComponent(host);
    if (name == "." || name == "..")
        return "";
    return name;
}

Status userTempDir(std::string& out) {
    std::string user;
    if (const passwd* pw = ::getpwuid(::geteuid()))
        user = pw->pw_name;
    if (user.empty())
        if (const char* u = std::getenv("USER"))
            user = u;
    if (user.empty())
        user = "user";
    const std::string dirs[] = {"c:\\users", "c:\\users\\" + user, "c:\\users\\" + user + "\\Temp"};
    for (const auto& d : dirs) {
        std::string host;
        if (Status s = hostPath(d, host); !s)
            return s;
        if (isDirectory(host))
            continue;
        if (::mkdir(host.c_str(), 0777) != 0 && errno != EEXIST)
            return Status::failure("Cannot create the directory " + quoted(d) + ": " +
                                   reason(errno) + ".");
    }
    out = dirs[2] + "\\";
    return Status::success();
}

} // namespace vorn::platform
