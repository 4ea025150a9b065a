#include "dir.h"

#include "codepage.h"
#include "io.h"
#include "posix/winnames.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace vorn::cmd {

namespace winnames = platform::winnames;

namespace {

struct Request {
    std::string path;
    bool dirsOnly = false;
};

bool readArguments(const std::vector<Word>& args, Request& request, std::string& error) {
    bool bare = false;
    bool havePath = false;
    for (const Word& a : args) {
        if (!a.quoted && !a.text.empty() && a.text[0] == '/') {
            const std::string sw = lower(a.text);
            if (sw == "/b") {
                bare = true;
            } else if (sw == "/ad") {
                request.dirsOnly = true;
            } else {
                error = "vorn-cmd: dir understands only the switches /ad and /b.";
                return false;
            }
        } else if (havePath) {
            error = "vorn-cmd: dir lists one directory or pattern at a time.";
            return false;
        } else {
            request.path = a.text;
            havePath = true;
        }
    }
    if (!havePath)
        error = "vorn-cmd: dir needs a directory or a pattern.";
    else if (!bare)
        error = "vorn-cmd: dir lists bare names only (/b).";
    return error.empty();
}

// The directory to read and the pattern its names must match: all of a
// directory, else the last part of the path as the pattern.
bool locate(const std::string& path, std::string& hostDir, std::string& pattern,
            std::string& error) {
    if (!winnames::hasWildcards(path) && mapPath(path, hostDir, error) && isDir(hostDir)) {
        pattern = "*";
        return true;
    }
    const auto cut = path.find_last_of("\\/");
    const std::size_t driveEnd = hasDrive(path) ? 2 : 0;
    std::string dirPart =
        cut == std::string::npos ? path.substr(0, driveEnd) : path.substr(0, cut + 1);
    pattern = path.substr(cut == std::string::npos ? driveEnd : cut + 1);
    if (winnames::hasWildcards(dirPart)) {
        error = "The filename, directory name, or volume label syntax is incorrect.";
        return false;
    }
    if (dirPart.size() == 2 && hasDrive(dirPart))
        dirPart += "\\";
    return mapPath(dirPart, hostDir, error);
}

bool isDirEntry(const dirent& e, const std::string& hostDir) {
    if (e.d_type == DT_DIR)
        return true;
    return (e.d_type == DT_LNK || e.d_type == DT_UNKNOWN) && isDir(hostDir + "/" + e.d_name);
}

// The matching names of the directory, unsorted; false when it cannot be
// read (`error` set).
bool readNames(const std::string& hostDir, const std::string& pattern, bool dirsOnly,
               std::vector<std::string>& names, std::string& error) {
    DIR* d = ::opendir(hostDir.c_str());
    if (!d) {
        error = errno == ENOENT || errno == ENOTDIR ? "The system cannot find the path specified."
                                                    : "Access is denied.";
        return false;
    }
    const winnames::NamePattern match(pattern);
    while (const dirent* e = ::readdir(d)) {
        // Wine shows names starting with a dot as hidden files; "." and ".."
        // are among them.
        if (e->d_name[0] == '.')
            continue;
        std::string name = e->d_name;
        if (match.matches(name) && (!dirsOnly || isDirEntry(*e, hostDir)))
            names.push_back(std::move(name));
    }
    ::closedir(d);
    return true;
}

} // namespace

int runDir(const std::vector<Word>& args) {
    Request request;
    std::string hostDir;
    std::string pattern;
    std::string error;
    std::vector<std::string> names;
    if (!readArguments(args, request, error) || !locate(request.path, hostDir, pattern, error) ||
        !readNames(hostDir, pattern, request.dirsOnly, names, error)) {
        complain(error);
        return 1;
    }
    if (names.empty()) {
        complain("File Not Found");
        return 1;
    }
    winnames::sortForListing(names);
    std::string out;
    out.reserve(names.size() * 16);
    for (const auto& n : names) {
        // Plain ASCII is the same in Windows-1252.
        if (std::all_of(n.begin(), n.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            out += n;
        else
            out += platform::utf8ToCp1252(n);
        out += "\r\n";
    }
    say(out);
    return 0;
}

} // namespace vorn::cmd
