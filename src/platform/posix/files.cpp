// Whole files: reading them, replacing them atomically, deleting them, and
// directories.
#include "platform.h"
#include "posix_common.h"
#include "winpath.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>

namespace vorn::platform {

using namespace backend;

namespace {

// A file that cannot be opened for reading: why, and whether it is missing.
Status cannotOpen(const std::string& winPath, int err) {
    return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".",
                           err == ENOENT || err == ENOTDIR ? Status::Fault::Missing
                                                           : Status::Fault::Other);
}

} // namespace

// ---------------------------------------------------------------------------
// Whole files

Status readFile(const std::string& winPath, std::string& bytes, std::size_t maxBytes) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return cannotOpen(winPath, errno);
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
        return cannotOpen(winPath, errno);
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

// Why `host` cannot be replaced, or success: its directory `dir` must
// exist, and what is there must be a file that may be written. `mode`
// becomes the permissions for the new file: those of the old one, else
// what the umask leaves of 0666.
Status checkReplaceable(const std::string& winPath, const std::string& host, const std::string& dir,
                        const std::string& fail, mode_t& mode) {
    if (!host.empty() && host.back() == '/')
        return Status::failure(fail + "the path names a directory, not a file.");
    struct stat dst {};
    if (::stat(dir.c_str(), &dst) != 0)
        return Status::failure(fail + "the directory " + quoted(parentOf(winPath)) +
                               " does not exist.");
    if (!S_ISDIR(dst.st_mode))
        return Status::failure(fail + quoted(parentOf(winPath)) + " is not a directory.");

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
    return Status::success();
}

// Temporary files of ours for `name` in `dir` whose writer no longer runs
// are what a crash mid-save leaves: they go before a new one is made.
void removeAbandonedTemporaries(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
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

// A new temporary file for `name` in `dir`, open for writing: its
// descriptor, with its path in `temp`; -1 with errno set when none can be
// made.
int createTemporary(const std::string& dir, const std::string& name, std::string& temp) {
    static unsigned counter = 0;
    int fd = -1;
    do {
        temp =
            dir + "/" + temporaryNameFor(name, static_cast<unsigned long>(::getpid()), ++counter);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EEXIST);
    return fd;
}

// Writes `bytes` into the temporary file `fd`, gives it `mode`, for
// `durable` flushes it to the disk, and closes it. 0, or the errno of the
// first failure; `fd` is closed either way.
int fillTemporary(int fd, const std::string& bytes, mode_t mode, bool durable) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            return err;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, mode) != 0 || (durable && ::fsync(fd) != 0)) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    return ::close(fd) != 0 ? errno : 0;
}

// Flushes the entries of directory `dir` (a rename into it) to the disk.
void syncDirectory(const std::string& dir) {
    if (const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

// Replaces the file through a temporary file beside it; `durable` flushes
// the bytes and the directory entry to the disk.
Status replaceWhole(const std::string& winPath, const std::string& bytes, bool durable) {
    std::string host;
    if (Status s = hostPath(winPath, host); !s)
        return s;
    const std::string fail = "Cannot save " + quoted(winPath) + ": ";
    const std::string dir = hostPathParent(host);
    mode_t mode = 0666;
    if (Status s = checkReplaceable(winPath, host, dir, fail, mode); !s)
        return s;

    const std::string name = lastComponent(host);
    removeAbandonedTemporaries(dir, name);
    std::string temp;
    const int fd = createTemporary(dir, name, temp);
    if (fd < 0)
        return Status::failure(fail + "no temporary file can be made in " +
                               quoted(parentOf(winPath)) + " (" + reason(errno) + ").");
    int err = fillTemporary(fd, bytes, mode, durable);
    if (err == 0 && ::rename(temp.c_str(), host.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return Status::failure(fail + reason(err) + ".");
    }
    if (durable)
        syncDirectory(dir);
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
        return Status::failure("Cannot delete " + quoted(winPath) + ": the file is read-only.",
                               Status::Fault::ReadOnly);
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

} // namespace vorn::platform
