#include "run.h"

#include "codepage.h"
#include "dir.h"
#include "io.h"
#include "platform.h"
#include "wine.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace vorn::cmd {

namespace {

constexpr int kNotFoundCode = 9009;

// The redirections of one command, undone (and their files closed) when it
// goes out of scope.
class Redirections {
  public:
    Redirections() = default;
    Redirections(const Redirections&) = delete;
    Redirections& operator=(const Redirections&) = delete;
    ~Redirections() { restore(); }

    // Opens every target (emptied) in order; false, with a complaint and
    // nothing redirected, when one cannot be opened.
    bool apply(const std::vector<Redirect>& redirects) {
        for (const Redirect& r : redirects) {
            if (r.joinsOutput) {
                redirect(2, 1);
                continue;
            }
            std::string host;
            std::string error;
            if (!mapPath(r.target, host, error))
                return fail(error);
            const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0)
                return fail(errno == ENOENT || errno == ENOTDIR
                                ? "The system cannot find the path specified."
                                : "Access is denied.");
            redirect(r.fd, fd);
            ::close(fd);
        }
        return true;
    }

  private:
    void redirect(int fd, int to) {
        saved_.emplace_back(fd, ::fcntl(fd, F_DUPFD_CLOEXEC, 10));
        ::dup2(to, fd);
    }

    bool fail(const std::string& complaint) {
        restore();
        complain(complaint);
        return false;
    }

    void restore() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            // The redirection file is closed here: its close is checked too.
            if (::close(it->first) != 0)
                noteOutputError(errno);
            ::dup2(it->second, it->first);
            ::close(it->second);
        }
        saved_.clear();
    }

    std::vector<std::pair<int, int>> saved_; // descriptor, its copy from before
};

// Starts the program and waits for it. When the program cannot be started
// at all, the reason (errno) comes back through a pipe that the successful
// exec closes, so that a kernel's "Exec format error" is told apart from
// the program's own exit code.
int spawnAndWait(std::vector<std::string>& argv, const std::string& name, const std::string& loader,
                 int& startError) {
    startError = 0;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        complain("vorn-cmd: cannot start " + name + ": " + std::strerror(errno));
        return 1;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        complain("vorn-cmd: cannot start " + name + ": " + std::strerror(errno));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return 1;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::vector<char*> args;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        // Wine starts the programs a program starts with the loader named
        // here (or its 32-bit or 64-bit sibling).
        if (!loader.empty())
            ::setenv("WINELOADER", loader.c_str(), 1);
        ::execv(args[0], args.data());
        const int err = errno;
        (void)!::write(pipeFds[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    int err = 0;
    ssize_t got;
    while ((got = ::read(pipeFds[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (got == sizeof err) {
        startError = err;
        return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The file name of a Windows path.
std::string bareName(const std::string& path) {
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int runProgram(const std::string& host, const std::vector<Word>& words) {
    const std::string& name = words[0].text;
    std::vector<std::string> argv;
    const PeMachine machine = peMachine(host);
    const bool is32Bit = machine == PeMachine::I386;
    std::string loader;
    if (machine != PeMachine::NotWindows) {
        const WineLoader wine = wineLoaderFor(machine);
        if (wine.lack == WineLoader::Lack::No32BitPart) {
            complain("vorn-cmd: " + bareName(name) +
                     " is a 32-bit program, and Wine has no 32-bit part (wine32:i386).");
            return platform::kExitNoWine32Bit;
        }
        if (wine.lack == WineLoader::Lack::NoWine) {
            complain("vorn-cmd: " + name +
                     " is a Windows program, and Wine is not installed to run it.");
            return 1;
        }
        loader = wine.path;
        argv.push_back(loader);
    } else if (::access(host.c_str(), X_OK) != 0) {
        complain("vorn-cmd: " + name +
                 " cannot be run: it is neither a Windows program nor executable here.");
        return 1;
    }
    argv.push_back(host);
    for (std::size_t i = 1; i < words.size(); ++i)
        argv.push_back(words[i].text);
    int startError = 0;
    const int code = spawnAndWait(argv, name, loader, startError);
    if (startError == 0)
        return code;
    if (startError == ENOEXEC && is32Bit) {
        // Kept short: the window shows these words after its own.
        complain("vorn-cmd: " + std::string(std::strerror(startError)) + " (" + argv[0] + " for " +
                 bareName(name) + ", a 32-bit program).");
        return platform::kExitCannotRun32Bit;
    }
    complain("vorn-cmd: cannot run " + name + ": " + argv[0] + ": " + std::strerror(startError));
    return 1;
}

// The batch file's lines, in Windows-1252 as Vornwick writes them, one
// after the other; the exit code is the last line's.
int runBatch(const std::string& host) {
    std::FILE* f = std::fopen(host.c_str(), "rb");
    if (!f) {
        complain("Access is denied.");
        return 1;
    }
    std::string bytes;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    std::fclose(f);
    const std::string text = platform::cp1252ToUtf8(bytes);
    int code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        auto end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        code = runLine(line, Origin::BatchFile);
    }
    return code;
}

bool isBatchFile(const std::string& host) {
    return host.size() >= 4 && lower(host.substr(host.size() - 4)) == ".bat";
}

// The command line runs a batch file; a batch file's line runs `dir` or a
// program.
int runCommand(const Command& command, Origin origin) {
    const std::string& name = command.words[0].text;
    const bool fromBatch = origin == Origin::BatchFile;
    if (fromBatch && lower(name) == "dir")
        return runDir({command.words.begin() + 1, command.words.end()});
    std::string host;
    std::string error;
    if (!mapPath(name, host, error)) {
        complain(error);
        return 1;
    }
    if (!isFile(host)) {
        complain("'" + name +
                 "' is not recognized as an internal or external command,\r\n"
                 "operable program or batch file.");
        return kNotFoundCode;
    }
    if (!fromBatch) {
        if (isBatchFile(host))
            return runBatch(host);
        complain("vorn-cmd: the command line must name a batch file, not " + name + ".");
        return 1;
    }
    if (isBatchFile(host)) {
        complain("vorn-cmd: a batch file cannot run another batch file (" + name + ").");
        return 1;
    }
    return runProgram(host, command.words);
}

} // namespace

int runLine(const std::string& line, Origin origin) {
    Command command;
    std::string error;
    if (!parseLine(line, origin, command, error)) {
        complain(error);
        return 1;
    }
    if (command.words.empty())
        return 0;
    const int errorBefore = outputError();
    int code = 1;
    {
        Redirections redirections;
        if (!redirections.apply(command.redirects))
            return 1;
        code = runCommand(command, origin);
    }
    if (outputError() == errorBefore)
        return code;
    complain(std::string("vorn-cmd: the output could not be written: ") +
             std::strerror(outputError()));
    return writeFailureCode(outputError());
}

} // namespace vorn::cmd
