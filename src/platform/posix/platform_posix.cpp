// The POSIX backend: Windows paths are mapped onto a Wine-style prefix, and
// outside commands run through our own small interpreter, vorn-cmd.
#include "platform.h"
#include "winnames.h"
#include "winpath.h"

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

extern char** environ;

namespace vorn::platform {

namespace {

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

// A file without any write permission is read-only, as Wine maps the
// read-only attribute; it stays so even for root, as on Windows.
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

} // namespace

// ---------------------------------------------------------------------------
// Paths

Status hostPath(const std::string& winPath, std::string& out) {
    if (winPath.size() < 2 || winPath[1] != ':' ||
        !((winPath[0] >= 'a' && winPath[0] <= 'z') || (winPath[0] >= 'A' && winPath[0] <= 'Z')))
        return Status::failure("The path " + quoted(winPath) +
                               " does not start with a drive letter.");
    if (winPath.find('\0') != std::string::npos)
        return Status::failure("The path " + quoted(winPath) + " holds a NUL character.");
    const std::string prefix = prefixPath();
    if (!isDirectory(prefix))
        return Status::failure(
            "The Wine prefix " + quoted(prefix) +
            " does not exist (set WINEPREFIX to the prefix that holds the game).");
    const char drive = static_cast<char>(winPath[0] | 0x20);
    std::string root = prefix + "/dosdevices/" + drive + ":";
    if (!isDirectory(root)) {
        if (drive == 'c' && isDirectory(prefix + "/drive_c"))
            root = prefix + "/drive_c";
        else
            return Status::failure(std::string("Drive ") + static_cast<char>(drive - 0x20) +
                                   ": is not mapped (there is no " + root +
                                   "; set WINEPREFIX to the Wine prefix that holds the game).");
    }

    // The drive's own directory, with the dosdevices link resolved, so that
    // programs started with these paths see plain directories.
    if (char* real = ::realpath(root.c_str(), nullptr)) {
        root = real;
        std::free(real);
    }
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
    out = host;
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

// ---------------------------------------------------------------------------
// Text files

struct TextFile::Impl {
    std::FILE* file = nullptr;
    std::string winPath;
};

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}
TextFile::~TextFile() {
    close();
}

Status TextFile::open(const std::string& winPath, Mode mode) {
    close();
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    const char* how = mode == Mode::Output ? "wb" : mode == Mode::Append ? "ab" : "rb";
    if (mode != Mode::Input && !isDirectory(hostPathParent(host)))
        return Status::failure("Cannot write " + quoted(winPath) + ": the directory " +
                               quoted(parentOf(winPath)) + " does not exist.");
    if (isDirectory(host))
        return Status::failure(std::string(mode == Mode::Input ? "Cannot read " : "Cannot write ") +
                               quoted(winPath) + ": it is a directory.");
    if (mode != Mode::Input && isReadOnlyFile(host))
        return Status::failure("Cannot write " + quoted(winPath) + ": the file is read-only.");
    impl_->file = std::fopen(host.c_str(), how);
    if (!impl_->file)
        return Status::failure(std::string("Cannot ") + (mode == Mode::Input ? "read " : "write ") +
                               quoted(winPath) + ": " + reason(errno) + ".");
    impl_->winPath = winPath;
    return Status::success();
}

bool TextFile::isOpen() const {
    return impl_->file != nullptr;
}

Status TextFile::write(const std::string& bytes) {
    if (!impl_->file)
        return Status::failure("No file is open for writing.");
    if (std::fwrite(bytes.data(), 1, bytes.size(), impl_->file) != bytes.size() ||
        std::fflush(impl_->file) != 0)
        return Status::failure("Cannot write " + quoted(impl_->winPath) + ": " + reason(errno) +
                               ".");
    return Status::success();
}

Status TextFile::writeLine(const std::string& text) {
    return write(text + "\r\n");
}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!impl_->file)
        return false;
    int c = std::fgetc(impl_->file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n') {
        line += static_cast<char>(c);
        c = std::fgetc(impl_->file);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool TextFile::readField(std::string& field) {
    field.clear();
    if (!impl_->file)
        return false;
    int c = std::fgetc(impl_->file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n' && c != ',') {
        field += static_cast<char>(c);
        c = std::fgetc(impl_->file);
    }
    if (c == '\n' && !field.empty() && field.back() == '\r')
        field.pop_back();
    return true;
}

bool TextFile::eof() {
    if (!impl_->file)
        return true;
    const int c = std::fgetc(impl_->file);
    if (c == EOF)
        return true;
    std::ungetc(c, impl_->file);
    return false;
}

void TextFile::close() {
    if (impl_ && impl_->file) {
        std::fclose(impl_->file);
        impl_->file = nullptr;
    }
}

// ---------------------------------------------------------------------------
// Whole files

Status readFile(const std::string& winPath, std::string& bytes, std::size_t maxBytes) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(errno) + ".");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure("Cannot read " + quoted(winPath) + ": it is not an ordinary file.");
    }
    const std::string tooLarge = "Cannot read " + quoted(winPath) + ": it is larger than " +
                                 std::to_string(maxBytes) + " bytes.";
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return Status::failure(tooLarge);
    }
    std::string data;
    char buf[65536];
    for (;;) {
        if (data.size() > maxBytes) { // it grew while being read
            ::close(fd);
            return Status::failure(tooLarge);
        }
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes = std::move(data);
    return Status::success();
}

Status readFileFrom(const std::string& winPath, std::uint64_t offset, std::size_t maxBytes,
                    std::string& bytes, std::uint64_t& size) {
    bytes.clear();
    size = 0;
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(errno) + ".");
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
    }
    size = static_cast<std::uint64_t>(st.st_size);
    const std::uint64_t want = offset < size ? std::min<std::uint64_t>(size - offset, maxBytes) : 0;
    bytes.resize(static_cast<std::size_t>(want));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            bytes.clear();
            return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return Status::success();
}

namespace {

// Replaces the file through a temporary file beside it; `durable` flushes
// the bytes and the directory entry to the disk.
Status replaceWhole(const std::string& winPath, const std::string& bytes, bool durable) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    const std::string fail = "Cannot save " + quoted(winPath) + ": ";
    if (!host.empty() && host.back() == '/')
        return Status::failure(fail + "the path names a directory, not a file.");
    const std::string dir = hostPathParent(host);
    struct stat dst {};
    if (::stat(dir.c_str(), &dst) != 0)
        return Status::failure(fail + "the directory " + quoted(parentOf(winPath)) +
                               " does not exist.");
    if (!S_ISDIR(dst.st_mode))
        return Status::failure(fail + quoted(parentOf(winPath)) + " is not a directory.");

    mode_t mode = 0666;
    struct stat tst {};
    if (::stat(host.c_str(), &tst) == 0) {
        if (S_ISDIR(tst.st_mode))
            return Status::failure(fail + "a directory of that name is in the way.");
        if (isReadOnlyFile(host))
            return Status::failure(fail + "the file is read-only.");
        mode = tst.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    // Temporary files of ours for this target whose writer no longer runs
    // are what a crash mid-save leaves: they go first.
    const std::string name = lastComponent(host);
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const unsigned long owner = temporaryFileOwner(e->d_name, name);
            if (owner == 0 || owner == static_cast<unsigned long>(::getpid()) ||
                owner > static_cast<unsigned long>(std::numeric_limits<pid_t>::max()))
                continue;
            if (::kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH)
                ::unlinkat(::dirfd(d), e->d_name, 0);
        }
        ::closedir(d);
    }
    static unsigned counter = 0;
    std::string temp;
    int fd = -1;
    do {
        temp =
            dir + "/" + temporaryNameFor(name, static_cast<unsigned long>(::getpid()), ++counter);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EEXIST);
    if (fd < 0)
        return Status::failure(fail + "no temporary file can be made in " +
                               quoted(parentOf(winPath)) + " (" + reason(errno) + ").");
    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return Status::failure(fail + reason(err) + ".");
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, mode) != 0 || (durable && ::fsync(fd) != 0))
        return abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Status::failure(fail + reason(err) + ".");
    }
    if (::rename(temp.c_str(), host.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Status::failure(fail + reason(err) + ".");
    }
    if (!durable)
        return Status::success();
    if (const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return Status::success();
}

} // namespace

Status replaceFile(const std::string& winPath, const std::string& bytes) {
    return replaceWhole(winPath, bytes, true);
}

Status writeScratchFile(const std::string& winPath, const std::string& bytes) {
    return replaceWhole(winPath, bytes, false);
}

Status deleteFile(const std::string& winPath) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    if (isDirectory(host))
        return Status::failure("Cannot delete " + quoted(winPath) + ": it is a directory.");
    if (isReadOnlyFile(host))
        return Status::failure("Cannot delete " + quoted(winPath) + ": the file is read-only.");
    if (::unlink(host.c_str()) != 0)
        return Status::failure("Cannot delete " + quoted(winPath) + ": " + reason(errno) + ".");
    return Status::success();
}

Status makeDirectory(const std::string& winPath) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    if (::mkdir(host.c_str(), 0777) != 0)
        return Status::failure("Cannot create the directory " + quoted(winPath) + ": " +
                               reason(errno) + ".");
    return Status::success();
}

Status removeDirectory(const std::string& winPath) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    if (::rmdir(host.c_str()) != 0)
        return Status::failure("Cannot remove the directory " + quoted(winPath) + ": " +
                               reason(errno) + ".");
    return Status::success();
}

// ---------------------------------------------------------------------------
// Outside commands

struct Process::Impl {
    pid_t pid = -1;
    int pidfd = -1;
    bool finished = false;
    int code = -1;

    ~Impl() {
        if (pidfd >= 0)
            ::close(pidfd);
        // Reap it if it has ended already; a running one is left alone.
        if (pid > 0 && !finished) {
            int status = 0;
            ::waitpid(pid, &status, WNOHANG);
        }
    }

    bool reap(int flags) {
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid, &status, flags);
        } while (r < 0 && errno == EINTR);
        if (r == pid) {
            finished = true;
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        if (r < 0) {
            // Someone else reaped it (or it is not ours): treat as ended.
            finished = true;
            code = -1;
            return true;
        }
        return false;
    }
};

Process::Process() = default;
Process::~Process() = default;
Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&&) noexcept = default;

bool Process::valid() const {
    return impl_ && impl_->pid > 0;
}

Process::Wait Process::wait(int milliseconds) {
    if (!valid())
        return Wait::Failed;
    Impl& p = *impl_;
    if (p.finished)
        return Wait::Finished;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    int pause = 1;
    for (;;) {
        if (p.reap(WNOHANG))
            return Wait::Finished;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return Wait::TimedOut;
        if (p.pidfd >= 0) {
            pollfd pfd{p.pidfd, POLLIN, 0};
            ::poll(&pfd, 1, static_cast<int>(left));
        } else {
            sleepMilliseconds(static_cast<int>(std::min<long long>(left, pause)));
            pause = std::min(pause * 2, 20);
        }
    }
}

bool Process::running() {
    return valid() && !impl_->finished && !impl_->reap(WNOHANG);
}

void Process::kill() {
    if (!valid())
        return;
    Impl& p = *impl_;
    // vorn-cmd leads its own process group, and what it runs (a Windows
    // program through Wine too) stays in that group. The group outlives
    // vorn-cmd while any of them runs, and its id is not handed to another
    // process meanwhile. First ask them to end, then make them.
    const pid_t group = -p.pid;
    if (!p.finished)
        ::kill(p.pid, SIGTERM);
    if (::kill(group, SIGTERM) != 0 && p.finished)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!p.finished)
            p.reap(WNOHANG);
        if (p.finished && ::kill(group, 0) != 0)
            return;
        sleepMilliseconds(10);
    }
    ::kill(group, SIGKILL);
    if (!p.finished) {
        ::kill(p.pid, SIGKILL);
        p.reap(0);
    }
}

int Process::exitCode() const {
    return valid() && impl_->finished ? impl_->code : -1;
}

std::string commandInterpreterPath() {
    if (const char* env = std::getenv("VORN_CMD"); env && *env)
        return env;
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "vorn-cmd";
    std::string self(buf, static_cast<std::size_t>(n));
    const std::string dir = self.substr(0, self.find_last_of('/') + 1);
    // Built: beside the program. Installed: bin/vornwick finds it in
    // libexec/vornwick/.
    const std::string beside = dir + "vorn-cmd";
    const std::string installed = dir + "../libexec/vornwick/vorn-cmd";
    if (::access(beside.c_str(), X_OK) != 0 && ::access(installed.c_str(), X_OK) == 0)
        return installed;
    return beside;
}

Status startHidden(const std::string& commandLine, Process& process,
                   const std::string& workingDir) {
    process = Process();
    if (commandLine.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return Status::failure("The command line holds a line break, so it was not run.");
    std::string hostDir;
    if (!workingDir.empty()) {
        if (Status s = hostPath(workingDir, hostDir); !s)
            return s;
        if (!isDirectory(hostDir))
            return Status::failure("The working directory " + quoted(workingDir) +
                                   " does not exist.");
    }
    const std::string interpreter = commandInterpreterPath();
    if (::access(interpreter.c_str(), X_OK) != 0)
        return Status::failure("The command interpreter " + quoted(interpreter) +
                               " cannot be run: " + reason(errno) + ".");

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    // Hidden: no terminal input or output.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Nothing of ours leaks into the command (or the game it starts).
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    if (!hostDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, hostDir.c_str());
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);

    std::string arg0 = interpreter;
    std::string arg1 = "/c";
    std::string arg2 = commandLine;
    char* argv[] = {arg0.data(), arg1.data(), arg2.data(), nullptr};
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, interpreter.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        return Status::failure("The command interpreter " + quoted(interpreter) +
                               " could not be started: " + reason(rc) + ".");

    Process started;
    started.impl_ = std::make_unique<Process::Impl>();
    started.impl_->pid = pid;
#ifdef SYS_pidfd_open
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        started.impl_->pidfd = static_cast<int>(fd);
        ::fcntl(started.impl_->pidfd, F_SETFD, FD_CLOEXEC);
    }
#endif
    process = std::move(started);
    return Status::success();
}

bool udpPortFree(int port, std::string& error) {
    error.clear();
    if (port < 1 || port > 65535) {
        error = "There is no UDP port " + std::to_string(port) + ".";
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error =
            "The UDP port " + std::to_string(port) + " cannot be tested: " + reason(errno) + ".";
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    const int err = errno;
    ::close(fd);
    if (!free)
        error =
            err == EADDRINUSE
                ? "The UDP port " + std::to_string(port) + " is in use by another program."
                : "The UDP port " + std::to_string(port) + " cannot be taken: " + reason(err) + ".";
    return free;
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace vorn::platform
