// vorn-cmd: the small command interpreter the POSIX backend runs in place
// of cmd.exe.
//
//   vorn-cmd /c <command line>
//
// It understands what Vornwick's outside commands need: running a batch
// file (one command per line), `dir <dir> /ad /b`, `dir <pattern> /b`,
// ` > file` and ` >> file` redirection (the file is created before the
// command runs), double-quoted paths, `%%` and `%NAME%` in batch files, and
// running a program with arguments: a Windows program (a file starting with
// "MZ") through wine when it is installed, a native executable directly.
// A batch file named on a batch file's line takes over from it, as with
// cmd.exe: the first one does not go on afterwards, and `exit` ends all.
// Output that cannot be written (a full disk, a failed close) is never
// passed off as complete: the command ends with a non-zero code.
// Windows paths are mapped onto the Wine-style prefix exactly as the POSIX
// backend maps them. Listings come out in Windows-1252 with CR LF, sorted
// the way Windows lists names.
#include "codepage.h"
#include "platform.h"
#include "posix/winnames.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace vorn::platform;

constexpr int kNotFoundCode = 9009;
constexpr int kMaxBatchDepth = 16;
// Windows' codes for a full disk and for any other failed write.
constexpr int kDiskFullCode = 112;
constexpr int kWriteFaultCode = 29;

// The first error met while writing output, 0 while all went well.
int outputError = 0;

void noteOutputError(int err) {
    if (outputError == 0)
        outputError = err != 0 ? err : EIO;
}

void say(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        noteOutputError(errno);
}

void complain(const std::string& text) {
    std::fflush(stdout);
    const std::string line = text + "\r\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

bool hasDrive(const std::string& p) {
    return p.size() >= 2 && p[1] == ':' &&
           ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z'));
}

// A path from a command, mapped onto this machine: drive paths through the
// prefix, anything else relative to the current directory.
bool mapPath(const std::string& path, std::string& host) {
    if (hasDrive(path)) {
        const Status s = hostPath(path, host);
        if (!s) {
            complain(s.error);
            return false;
        }
        return true;
    }
    host = path;
    std::replace(host.begin(), host.end(), '\\', '/');
    if (host.empty())
        host = ".";
    return true;
}

bool isDir(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// ---------------------------------------------------------------------------
// Reading a command line

struct Word {
    std::string raw;   // as written, quotes included
    std::string value; // quotes removed
};

struct Redirect {
    int fd = 1;
    bool append = false;
    std::string target;
    int sameAs = -1; // "2>&1": fd becomes a copy of this one
};

struct Command {
    std::vector<Word> words;
    std::vector<Redirect> redirects;
};

// Expands '%' the way the interpreter does: in a batch file "%%" is one
// '%', "%NAME%" the variable's value (or nothing), "%0".."%9" nothing;
// on the command line an unknown "%NAME%" stays as written.
std::string expandPercent(const std::string& line, bool inBatch) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out += line[i];
            continue;
        }
        if (i + 1 >= line.size()) {
            if (!inBatch)
                out += '%';
            continue;
        }
        const char next = line[i + 1];
        if (inBatch && next == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (inBatch && ((next >= '0' && next <= '9') || next == '*')) {
            ++i;
            continue;
        }
        const auto close = line.find('%', i + 1);
        if (close == std::string::npos) {
            if (!inBatch)
                out += '%';
            continue;
        }
        const std::string name = line.substr(i + 1, close - i - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (!value && !name.empty()) {
            std::string upper = name;
            for (char& c : upper)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 32);
            value = std::getenv(upper.c_str());
        }
        if (value) {
            out += value;
            i = close;
        } else if (inBatch) {
            i = close;
        } else {
            out += '%';
        }
    }
    return out;
}

bool parseLine(const std::string& line, Command& cmd) {
    Word word;
    bool inWord = false;
    bool quoted = false;
    bool wantTarget = false;
    Redirect pending;
    auto finishWord = [&]() {
        if (!inWord)
            return;
        if (wantTarget) {
            pending.target = word.value;
            cmd.redirects.push_back(pending);
            wantTarget = false;
        } else {
            cmd.words.push_back(word);
        }
        word = Word{};
        inWord = false;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
            word.raw += c;
            inWord = true;
            continue;
        }
        if (quoted) {
            word.raw += c;
            word.value += c;
            continue;
        }
        if (c == ' ' || c == '\t') {
            finishWord();
            continue;
        }
        if (c == '^') {
            if (i + 1 < line.size()) {
                word.raw += line[i + 1];
                word.value += line[i + 1];
                inWord = true;
                ++i;
            }
            continue;
        }
        if (c == '>') {
            int fd = 1;
            if (inWord && !wantTarget && (word.raw == "1" || word.raw == "2")) {
                fd = word.raw[0] - '0';
                word = Word{};
                inWord = false;
            }
            finishWord();
            if (wantTarget) {
                complain("The syntax of the command is incorrect.");
                return false;
            }
            pending = Redirect{};
            pending.fd = fd;
            if (i + 1 < line.size() && line[i + 1] == '>') {
                pending.append = true;
                ++i;
            }
            // "2>&1" and "1>&2": one output joins the other.
            if (i + 2 < line.size() && line[i + 1] == '&' &&
                (line[i + 2] == '1' || line[i + 2] == '2')) {
                pending.sameAs = line[i + 2] - '0';
                cmd.redirects.push_back(pending);
                i += 2;
                continue;
            }
            wantTarget = true;
            continue;
        }
        if (c == '<' || c == '&' || c == '|') {
            complain(std::string("vorn-cmd: '") + c +
                     "' is not supported here; run one command per line.");
            return false;
        }
        word.raw += c;
        word.value += c;
        inWord = true;
    }
    finishWord();
    if (wantTarget) {
        complain("The syntax of the command is incorrect.");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// dir

int runDir(const std::vector<Word>& args) {
    bool dirsOnly = false;
    bool filesOnly = false;
    bool showHidden = false;
    std::vector<std::string> paths;
    for (const auto& a : args) {
        if (!a.value.empty() && a.value[0] == '/' && a.raw[0] != '"') {
            std::size_t pos = 0;
            const std::string sw = lower(a.value);
            while (pos < sw.size()) {
                auto next = sw.find('/', pos + 1);
                if (next == std::string::npos)
                    next = sw.size();
                const std::string one = sw.substr(pos + 1, next - pos - 1);
                pos = next;
                if (one == "ad" || one == "a:d") {
                    dirsOnly = true;
                } else if (one == "a-d" || one == "a:-d") {
                    filesOnly = true;
                } else if (!one.empty() && one[0] == 'a') {
                    showHidden = true;
                } else if (one == "s") {
                    complain("vorn-cmd: dir /s is not supported.");
                    return 1;
                }
                // /b and the others change nothing: names come out bare.
            }
        } else {
            paths.push_back(a.value);
        }
    }
    if (paths.empty())
        paths.push_back(".");

    int code = 0;
    for (const auto& path : paths) {
        const auto cut = path.find_last_of("\\/");
        std::string dirPart;
        std::string pattern;
        std::string host;
        if (winnames::hasWildcards(path)) {
            dirPart = cut == std::string::npos ? (hasDrive(path) ? path.substr(0, 2) : "")
                                               : path.substr(0, cut + 1);
            pattern = cut == std::string::npos ? (hasDrive(path) ? path.substr(2) : path)
                                               : path.substr(cut + 1);
            if (winnames::hasWildcards(dirPart)) {
                complain("The filename, directory name, or volume label syntax is incorrect.");
                code = 1;
                continue;
            }
        } else {
            if (!mapPath(path, host)) {
                code = 1;
                continue;
            }
            if (isDir(host)) {
                dirPart = path;
                pattern = "*";
            } else {
                dirPart = cut == std::string::npos ? (hasDrive(path) ? path.substr(0, 2) : "")
                                                   : path.substr(0, cut + 1);
                pattern = cut == std::string::npos ? (hasDrive(path) ? path.substr(2) : path)
                                                   : path.substr(cut + 1);
            }
        }
        if (hasDrive(dirPart) && dirPart.size() == 2)
            dirPart += "\\";
        if (!mapPath(dirPart, host)) {
            code = 1;
            continue;
        }
        DIR* d = ::opendir(host.c_str());
        if (!d) {
            complain(errno == ENOENT || errno == ENOTDIR
                         ? "The system cannot find the path specified."
                         : "Access is denied.");
            code = 1;
            continue;
        }
        const winnames::NamePattern match(pattern);
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n == "." || n == "..")
                continue;
            // Wine shows names starting with a dot as hidden files.
            if (n[0] == '.' && !showHidden)
                continue;
            if (!match.matches(n))
                continue;
            if (dirsOnly || filesOnly) {
                const bool directory =
                    e->d_type == DT_DIR ||
                    ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) && isDir(host + "/" + n));
                if ((dirsOnly && !directory) || (filesOnly && directory))
                    continue;
            }
            names.push_back(n);
        }
        ::closedir(d);
        if (names.empty()) {
            complain("File Not Found");
            code = 1;
            continue;
        }
        winnames::sortForListing(names);
        std::string out;
        for (const auto& n : names)
            out += utf8ToCp1252(n) + "\r\n";
        say(out);
    }
    return code;
}

// ---------------------------------------------------------------------------
// Programs and batch files

int runLine(const std::string& line, bool inBatch, int depth);

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string all = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t pos = 0;
    while (pos <= all.size()) {
        auto end = all.find(':', pos);
        if (end == std::string::npos)
            end = all.size();
        std::string dir = all.substr(pos, end - pos);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0 && isFile(candidate))
            return candidate;
        pos = end + 1;
    }
    return "";
}

int runBatch(const std::string& host, int depth) {
    if (depth >= kMaxBatchDepth) {
        complain("vorn-cmd: batch files call each other too deeply.");
        return 1;
    }
    std::FILE* f = std::fopen(host.c_str(), "rb");
    if (!f) {
        complain("Access is denied.");
        return 1;
    }
    std::string bytes;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    std::fclose(f);
    // Batch files are 8-bit text; accept UTF-8 when the bytes are valid UTF-8.
    if (cp1252ToUtf8(utf8ToCp1252(bytes)) != bytes)
        bytes = cp1252ToUtf8(bytes);

    int code = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        auto end = bytes.find('\n', pos);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        code = runLine(line, true, depth + 1);
        if (code < 0) // "exit", or a batch file that took over
            return code;
    }
    return code;
}

int runProgram(const std::vector<Word>& words, int depth) {
    const std::string name = words[0].value;
    std::string host;
    bool found = false;
    if (hasDrive(name) || name.find_first_of("\\/") != std::string::npos || isFile(name)) {
        if (!mapPath(name, host))
            return 1;
        found = isFile(host);
        const auto lastSep = name.find_last_of("\\/");
        const bool hasExt =
            name.find('.', lastSep == std::string::npos ? 0 : lastSep) != std::string::npos;
        for (const char* ext : {".com", ".exe", ".bat", ".cmd"}) {
            if (found || hasExt)
                break;
            std::string h;
            if (mapPath(name + ext, h) && isFile(h)) {
                host = h;
                found = true;
            }
        }
    } else {
        host = findInPath(name);
        found = !host.empty();
    }
    if (!found) {
        complain("'" + name +
                 "' is not recognized as an internal or external command,\r\n"
                 "operable program or batch file.");
        return kNotFoundCode;
    }

    const std::string ext = lower(host.substr(host.size() >= 4 ? host.size() - 4 : 0));
    if (ext == ".bat" || ext == ".cmd") {
        // From a batch file, the new one takes over: the caller ends with it.
        const int code = runBatch(host, depth);
        return depth > 0 && code >= 0 ? -code - 1 : code;
    }

    char head[2] = {0, 0};
    if (std::FILE* f = std::fopen(host.c_str(), "rb")) {
        if (std::fread(head, 1, 2, f) != 2)
            head[0] = head[1] = 0;
        std::fclose(f);
    }
    std::vector<std::string> argv;
    if (head[0] == 'M' && head[1] == 'Z') {
        const std::string wine = findInPath("wine");
        if (wine.empty()) {
            complain("vorn-cmd: " + name +
                     " is a Windows program, and Wine is not installed to run it.");
            return 1;
        }
        argv.push_back(wine);
    } else if (::access(host.c_str(), X_OK) != 0) {
        complain("vorn-cmd: " + name +
                 " cannot be run: it is neither a Windows program nor executable here.");
        return 1;
    }
    argv.push_back(host);
    for (std::size_t i = 1; i < words.size(); ++i)
        argv.push_back(words[i].value);

    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        complain("vorn-cmd: cannot start " + name + ": " + std::strerror(errno));
        return 1;
    }
    if (pid == 0) {
        std::vector<char*> args;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        const std::string msg =
            "vorn-cmd: cannot run " + name + ": " + std::strerror(errno) + "\r\n";
        (void)!::write(2, msg.data(), msg.size());
        ::_exit(1);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs one command line. A negative result -(code + 1) asks to leave.
int runLine(const std::string& rawLine, bool inBatch, int depth) {
    std::string line = rawLine;
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return 0;
    line = line.substr(first);
    if (inBatch && line[0] == '@')
        line = line.substr(1);
    if (inBatch && line[0] == ':')
        return 0; // a label or a "::" comment
    line = expandPercent(line, inBatch);

    Command cmd;
    if (!parseLine(line, cmd))
        return 1;
    if (cmd.words.empty() && cmd.redirects.empty())
        return 0;
    const std::string verb = cmd.words.empty() ? "" : lower(cmd.words[0].value);
    if (verb == "rem")
        return 0;

    // Redirection files are created before the command runs.
    std::fflush(stdout);
    std::fflush(stderr);
    std::vector<std::pair<int, int>> saved;
    const int errorBefore = outputError;
    auto restore = [&]() {
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            noteOutputError(errno);
        std::clearerr(stdout);
        std::fflush(stderr);
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            // The redirection file is closed here: its close is checked too.
            if (::close(it->first) != 0)
                noteOutputError(errno);
            ::dup2(it->second, it->first);
            ::close(it->second);
        }
        saved.clear();
    };
    auto outputCode = [&](int code) {
        if (outputError == errorBefore)
            return code;
        complain(std::string("vorn-cmd: the output could not be written: ") +
                 std::strerror(outputError));
        const int failed = outputError == ENOSPC ? kDiskFullCode : kWriteFaultCode;
        return code < 0 ? -failed - 1 : failed;
    };
    for (const auto& r : cmd.redirects) {
        std::string host;
        if (r.sameAs >= 0) {
            saved.emplace_back(r.fd, ::fcntl(r.fd, F_DUPFD_CLOEXEC, 10));
            ::dup2(r.sameAs, r.fd);
            continue;
        }
        if (lower(r.target) == "nul") {
            host = "/dev/null";
        } else if (!mapPath(r.target, host)) {
            restore();
            return 1;
        }
        const int fd = ::open(
            host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (r.append ? O_APPEND : O_TRUNC), 0666);
        if (fd < 0) {
            restore();
            complain(errno == ENOENT || errno == ENOTDIR
                         ? "The system cannot find the path specified."
                         : "Access is denied.");
            return 1;
        }
        saved.emplace_back(r.fd, ::fcntl(r.fd, F_DUPFD_CLOEXEC, 10));
        ::dup2(fd, r.fd);
        ::close(fd);
    }

    int code = 0;
    if (cmd.words.empty()) {
        code = 0;
    } else if (verb == "dir") {
        code = runDir({cmd.words.begin() + 1, cmd.words.end()});
    } else if (verb == "echo" || verb.rfind("echo.", 0) == 0) {
        std::string text;
        for (std::size_t i = 1; i < cmd.words.size(); ++i)
            text += (i > 1 ? " " : "") + cmd.words[i].raw;
        const std::string low = lower(text);
        if (verb == "echo" && (low == "off" || low == "on")) {
            code = 0;
        } else {
            say((verb == "echo" ? text
                                : cmd.words[0].raw.substr(5) + (text.empty() ? "" : " " + text)) +
                "\r\n");
        }
    } else if (verb == "exit") {
        std::size_t i = 1;
        if (i < cmd.words.size() && lower(cmd.words[i].value) == "/b")
            ++i;
        const int value = i < cmd.words.size() ? std::atoi(cmd.words[i].value.c_str()) : 0;
        restore();
        return outputCode(-value - 1);
    } else {
        code = runProgram(cmd.words, depth);
    }
    restore();
    return outputCode(code);
}

} // namespace

int main(int argc, char** argv) {
    int i = 1;
    while (i < argc) {
        const std::string a = lower(argv[i]);
        if (a == "/d" || a == "/s" || a == "/q") {
            ++i;
            continue;
        }
        break;
    }
    if (i >= argc || lower(argv[i]) != "/c") {
        complain("usage: vorn-cmd /c <command line>");
        return 1;
    }
    std::string line;
    for (++i; i < argc; ++i)
        line += (line.empty() ? "" : " ") + std::string(argv[i]);
    if (line.find_first_of("\r\n") != std::string::npos) {
        complain("vorn-cmd: a command line cannot hold a line break.");
        return 1;
    }
    int code = runLine(line, false, 0);
    if (code < 0)
        code = -code - 1;
    // The last of the output and the close of standard output count too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || std::fclose(stdout) != 0)
        noteOutputError(errno);
    if (outputError != 0 && code == 0)
        code = outputError == ENOSPC ? kDiskFullCode : kWriteFaultCode;
    return code;
}
