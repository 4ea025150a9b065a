#include "io.h"

#include "platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vorn::cmd {

namespace {

int firstOutputError = 0;

// All of `text` to `fd`; the errno of a failed write, else 0.
int writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

void say(const std::string& text) {
    if (const int err = writeAll(1, text); err != 0)
        noteOutputError(err);
}

void complain(const std::string& text) {
    (void)writeAll(2, text + "\r\n");
}

int outputError() {
    return firstOutputError;
}

void noteOutputError(int err) {
    if (firstOutputError == 0)
        firstOutputError = err != 0 ? err : EIO;
}

int writeFailureCode(int err) {
    return err == ENOSPC ? kDiskFullCode : kWriteFaultCode;
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

bool mapPath(const std::string& path, std::string& host, std::string& error) {
    if (hasDrive(path)) {
        const platform::Status s = platform::hostPath(path, host);
        error = s.error;
        return s.ok();
    }
    host = path.empty() ? "." : path;
    std::replace(host.begin(), host.end(), '\\', '/');
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

} // namespace vorn::cmd
