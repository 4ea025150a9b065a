// Whole files: reading them, replacing them atomically, deleting them, and
// directories.
#include "platform.h"
#include "windows_common.h"
#include "winpath.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace vorn::platform {

using namespace backend;

namespace {

// Opens a file for reading, shared for writing and deleting: a program
// writing the file keeps going undisturbed. A failure says why, and whether
// the file is missing.
Status openForReading(const std::string& winPath, HANDLE& h) {
    h = CreateFileW(widen(winPath).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        return Status::success();
    const DWORD err = GetLastError();
    return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".",
                           err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND
                               ? Status::Fault::Missing
                               : Status::Fault::Other);
}

} // namespace

// ---------------------------------------------------------------------------
// Whole files

Status readFile(const std::string& winPath, std::string& bytes, std::size_t maxBytes) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (Status s = openForReading(winPath, h); !s)
        return s;
    // A pipe or a device could block or never end.
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return Status::failure("Cannot read " + quoted(winPath) + ": it is not an ordinary file.");
    }
    const std::string tooLarge = "Cannot read " + quoted(winPath) + ": it is larger than " +
                                 std::to_string(maxBytes) + " bytes.";
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size) && static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        CloseHandle(h);
        return Status::failure(tooLarge);
    }
    std::string data;
    std::vector<char> buf(65536);
    for (;;) {
        if (data.size() > maxBytes) { // it grew while being read
            CloseHandle(h);
            return Status::failure(tooLarge);
        }
        DWORD got = 0;
        if (!ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr)) {
            const DWORD err = GetLastError();
            CloseHandle(h);
            return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
        }
        if (got == 0)
            break;
        data.append(buf.data(), got);
    }
    CloseHandle(h);
    bytes = std::move(data);
    return Status::success();
}

Status readFileFrom(const std::string& winPath, std::uint64_t offset, std::size_t maxBytes,
                    std::string& bytes, std::uint64_t& size) {
    bytes.clear();
    size = 0;
    HANDLE h = INVALID_HANDLE_VALUE;
    if (Status s = openForReading(winPath, h); !s)
        return s;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(h, &length)) {
        const DWORD err = GetLastError();
        CloseHandle(h);
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    const std::uint64_t want = offset < size ? std::min<std::uint64_t>(size - offset, maxBytes) : 0;
    bytes.resize(static_cast<std::size_t>(want));
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at{};
        const std::uint64_t from = offset + done;
        at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        DWORD got = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(h, bytes.data() + done, chunk, &got, &at)) {
            const DWORD err = GetLastError();
            if (err == ERROR_HANDLE_EOF)
                break;
            CloseHandle(h);
            bytes.clear();
            return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(err) + ".");
        }
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    CloseHandle(h);
    return Status::success();
}

namespace {

// Whether the process with this id still runs; in doubt, it does.
bool processRuns(unsigned long pid) {
    const HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!p)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool runs = WaitForSingleObject(p, 0) == WAIT_TIMEOUT;
    CloseHandle(p);
    return runs;
}

// Why the file cannot be replaced, or success: its directory must exist,
// and what is there must be a file that may be written.
Status checkReplaceable(const std::string& winPath, const std::string& fail) {
    if (winPath.empty() || winPath.back() == '\\' || winPath.back() == '/')
        return Status::failure(fail + "the path names a directory, not a file.");
    const std::string dir = parentOf(winPath);
    const DWORD dirAttrs = GetFileAttributesW(widen(dir).c_str());
    if (dirAttrs == INVALID_FILE_ATTRIBUTES)
        return Status::failure(fail + "the directory " + quoted(dir) + " does not exist.");
    if (!(dirAttrs & FILE_ATTRIBUTE_DIRECTORY))
        return Status::failure(fail + quoted(dir) + " is not a directory.");
    const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) {
        if (attrs & FILE_ATTRIBUTE_DIRECTORY)
            return Status::failure(fail + "a directory of that name is in the way.");
        if (attrs & FILE_ATTRIBUTE_READONLY)
            return Status::failure(fail + "the file is read-only.");
    }
    return Status::success();
}

// Temporary files of ours for `name` in `folder` (ending in a backslash)
// whose writer no longer runs are what a crash mid-save leaves: they go
// before a new one is made.
void removeAbandonedTemporaries(const std::string& folder, const std::string& name) {
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileW(widen(folder + temporaryHead(name) + "*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string entry = narrow(found.cFileName);
        const unsigned long owner = temporaryFileOwner(entry, name);
        if (owner != 0 && owner != GetCurrentProcessId() && !processRuns(owner))
            DeleteFileW(widen(folder + entry).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new temporary file for `name` in `folder`, open for writing, with its
// path in `wtemp`; INVALID_HANDLE_VALUE (and the last error set) when none
// can be made.
HANDLE createTemporary(const std::string& folder, const std::string& name, std::wstring& wtemp) {
    static std::atomic<unsigned> counter{0};
    HANDLE h = INVALID_HANDLE_VALUE;
    do {
        wtemp = widen(folder + temporaryNameFor(name, GetCurrentProcessId(), ++counter));
        h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    } while (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
    return h;
}

// Writes `bytes` into the temporary file `h`, for `durable` flushes it to
// the disk, and closes it. False with the error in `err` when a step
// failed; `h` is closed either way.
bool fillTemporary(HANDLE h, const std::string& bytes, bool durable, DWORD& err) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr)) {
            err = GetLastError();
            CloseHandle(h);
            return false;
        }
        done += wrote;
    }
    if (durable && !FlushFileBuffers(h)) {
        err = GetLastError();
        CloseHandle(h);
        return false;
    }
    CloseHandle(h);
    return true;
}

// Replaces the file through a temporary file beside it; `durable` flushes
// the bytes and the rename to the disk.
Status replaceWhole(const std::string& winPath, const std::string& bytes, bool durable) {
    const std::string fail = "Cannot save " + quoted(winPath) + ": ";
    if (Status s = checkReplaceable(winPath, fail); !s)
        return s;

    const std::string dir = parentOf(winPath);
    const std::string folder = dir + (dir.back() == '\\' ? "" : "\\");
    const std::string name = lastComponent(winPath);
    removeAbandonedTemporaries(folder, name);
    std::wstring wtemp;
    const HANDLE h = createTemporary(folder, name, wtemp);
    if (h == INVALID_HANDLE_VALUE)
        return Status::failure(fail + "no temporary file can be made in " + quoted(dir) + " (" +
                               reason(GetLastError()) + ").");
    DWORD err = ERROR_SUCCESS;
    bool saved = fillTemporary(h, bytes, durable, err);
    if (saved && !MoveFileExW(wtemp.c_str(), widen(winPath).c_str(),
                              MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0))) {
        err = GetLastError();
        saved = false;
    }
    if (!saved) {
        DeleteFileW(wtemp.c_str());
        return Status::failure(fail + reason(err) + ".");
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
    if (isDirectory(winPath))
        return Status::failure("Cannot delete " + quoted(winPath) + ": it is a directory.");
    const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
        return Status::failure("Cannot delete " + quoted(winPath) + ": the file is read-only.",
                               Status::Fault::ReadOnly);
    if (!DeleteFileW(widen(winPath).c_str()))
        return Status::failure("Cannot delete " + quoted(winPath) + ": " + reason(GetLastError()) +
                               ".");
    return Status::success();
}

Status makeDirectory(const std::string& winPath) {
    if (!CreateDirectoryW(widen(winPath).c_str(), nullptr))
        return Status::failure("Cannot create the directory " + quoted(winPath) + ": " +
                               reason(GetLastError()) + ".");
    return Status::success();
}

Status removeDirectory(const std::string& winPath) {
    if (!RemoveDirectoryW(widen(winPath).c_str()))
        return Status::failure("Cannot remove the directory " + quoted(winPath) + ": " +
                               reason(GetLastError()) + ".");
    return Status::success();
}

} // namespace vorn::platform
