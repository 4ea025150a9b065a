// Outside commands run through vorn-cmd, each in its own process group;
// the UDP port test; sleeping.
#include "batchline.h"
#include "codepage.h"
#include "platform.h"
#include "posix_common.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace vorn::platform {

using namespace backend;

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

void Process::askToEnd() {
    if (!valid())
        return;
    Impl& p = *impl_;
    if (!p.finished)
        ::kill(p.pid, SIGTERM);
    ::kill(-p.pid, SIGTERM);
}

bool Process::allEnded() {
    if (!valid())
        return true;
    Impl& p = *impl_;
    if (!p.finished)
        p.reap(WNOHANG);
    return p.finished && ::kill(-p.pid, 0) != 0;
}

void Process::forceEnd() {
    if (!valid())
        return;
    Impl& p = *impl_;
    ::kill(-p.pid, SIGKILL);
    if (!p.finished)
        ::kill(p.pid, SIGKILL);
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

namespace {

// Spawns "<interpreter> /c <commandLine>", in `hostDir` when given, as the
// leader of its own process group, with no signal blocked and the ones a
// shell expects at their defaults. 0 with the process in `pid`, or the
// error posix_spawn gave.
int spawnInterpreter(const std::string& interpreter, const std::string& commandLine,
                     const std::string& hostDir, pid_t& pid) {
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
    const int rc = ::posix_spawn(&pid, interpreter.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc;
}

} // namespace

unsigned batchCodePage() {
    return 1252;
}

Status encodeBatchLine(const std::string& line, std::string& bytes) {
    // vorn-cmd reads batch files in Windows-1252.
    if (const auto missing = cp1252Missing(line); !missing.empty())
        return refuseUnwritable(missing, batchCodePage());
    bytes = utf8ToCp1252(line);
    return Status::success();
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
    pid_t pid = -1;
    if (const int rc = spawnInterpreter(interpreter, commandLine, hostDir, pid); rc != 0)
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

Status udpPortFree(int port) {
    if (port < 1 || port > 65535)
        return Status::failure("There is no UDP port " + std::to_string(port) + ".");
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Status::failure("The UDP port " + std::to_string(port) +
                               " cannot be tested: " + reason(errno) + ".");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    const int err = errno;
    ::close(fd);
    if (free)
        return Status::success();
    if (err == EADDRINUSE)
        return Status::failure("The UDP port " + std::to_string(port) +
                                   " is in use by another program.",
                               Status::Fault::InUse);
    return Status::failure("The UDP port " + std::to_string(port) +
                           " cannot be taken: " + reason(err) + ".");
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace vorn::platform
