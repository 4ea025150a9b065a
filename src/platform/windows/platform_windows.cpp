// The Win32 backend: UTF-8 inside, UTF-16 at the wide-character API.
#include "platform.h"
#include "winpath.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace vorn::platform {

namespace {

std::wstring widen(const std::string& s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                            nullptr);
    return s;
}

std::string quoted(const std::string& winPath) {
    return "\"" + winPath + "\"";
}

std::string reason(DWORD err) {
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
        return "it does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "the directory does not exist";
    case ERROR_ACCESS_DENIED:
        return "access is denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program is using it";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_WRITE_PROTECT:
        return "the drive is write-protected";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return "the name is not valid";
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return "it already exists";
    case ERROR_DIR_NOT_EMPTY:
        return "the directory is not empty";
    case ERROR_INVALID_DRIVE:
        return "the drive does not exist";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, err, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (n && text) {
        out = narrow(std::wstring(text, n));
        while (!out.empty() &&
               (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
            out.pop_back();
    }
    if (text)
        LocalFree(text);
    return out.empty() ? "error " + std::to_string(err) : out;
}

std::string lastComponent(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool isDirectory(const std::string& winPath) {
    const DWORD a = GetFileAttributesW(widen(winPath).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool hasLineBreak(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

} // namespace

// ---------------------------------------------------------------------------
// Paths

Status hostPath(const std::string& winPath, std::string& out) {
    out = winPath;
    return Status::success();
}

std::string storedName(const std::string& winPath, bool directoriesToo) {
    if (winPath.empty() || winPath.find_first_of("*?") != std::string::npos ||
        winPath.find('\0') != std::string::npos)
        return "";
    const char last = winPath.back();
    if (last == '\\' || last == '/' || last == ':')
        return "";
    const std::string asked = lastComponent(winPath);
    if (asked.empty() || asked == "." || asked == "..")
        return "";
    WIN32_FIND_DATAW data;
    const HANDLE h = FindFirstFileW(widen(winPath).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    FindClose(h);
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((directory && !directoriesToo) || (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
        return "";
    // Only the long name, matched without regard to case; a hit through the
    // short 8.3 name does not count.
    const std::wstring want = widen(asked);
    if (CompareStringOrdinal(data.cFileName, -1, want.c_str(), static_cast<int>(want.size()),
                             TRUE) != CSTR_EQUAL)
        return "";
    return narrow(data.cFileName);
}

Status userTempDir(std::string& out) {
    wchar_t buf[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buf);
    if (n == 0 || n > MAX_PATH + 1)
        return Status::failure("The temporary directory is not known: " + reason(GetLastError()) +
                               ".");
    std::string dir = narrow(std::wstring(buf, n));
    if (dir.back() != '\\')
        dir += '\\';
    if (!isDirectory(dir) && !CreateDirectoryW(widen(dir).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        return Status::failure("Cannot create the directory " + quoted(dir) + ": " +
                               reason(GetLastError()) + ".");
    out = dir;
    return Status::success();
}

// ---------------------------------------------------------------------------
// Text files

struct TextFile::Impl {
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string winPath;
    std::vector<char> buffer = std::vector<char>(65536);
    std::size_t pos = 0;
    std::size_t end = 0;

    int peek() {
        if (pos == end) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) ||
                got == 0)
                return -1;
            pos = 0;
            end = got;
        }
        return static_cast<unsigned char>(buffer[pos]);
    }
    int get() {
        const int c = peek();
        if (c >= 0)
            ++pos;
        return c;
    }
};

TextFile::TextFile() : impl_(std::make_unique<Impl>()) {}
TextFile::~TextFile() {
    close();
}

Status TextFile::open(const std::string& winPath, Mode mode) {
    close();
    const DWORD access = mode == Mode::Input    ? GENERIC_READ
                         : mode == Mode::Append ? FILE_APPEND_DATA | SYNCHRONIZE
                                                : GENERIC_WRITE;
    const DWORD disposition = mode == Mode::Input    ? OPEN_EXISTING
                              : mode == Mode::Append ? OPEN_ALWAYS
                                                     : CREATE_ALWAYS;
    // Windows refuses to write a read-only file; Wine run by root does not,
    // so the attribute is looked at here.
    if (mode != Mode::Input) {
        const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY) &&
            (attrs & FILE_ATTRIBUTE_READONLY))
            return Status::failure("Cannot write " + quoted(winPath) + ": the file is read-only.");
    }
    const HANDLE h = CreateFileW(widen(winPath).c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        const std::string what = mode == Mode::Input ? "Cannot read " : "Cannot write ";
        if (err == ERROR_PATH_NOT_FOUND && mode != Mode::Input)
            return Status::failure(what + quoted(winPath) + ": the directory " +
                                   quoted(parentOf(winPath)) + " does not exist.");
        if (err == ERROR_ACCESS_DENIED && isDirectory(winPath))
            return Status::failure(what + quoted(winPath) + ": it is a directory.");
        if (err == ERROR_ACCESS_DENIED && mode != Mode::Input) {
            const DWORD attrs = GetFileAttributesW(widen(winPath).c_str());
            if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
                return Status::failure(what + quoted(winPath) + ": the file is read-only.");
        }
        return Status::failure(what + quoted(winPath) + ": " + reason(err) + ".");
    }
    impl_->file = h;
    impl_->winPath = winPath;
    impl_->pos = impl_->end = 0;
    return Status::success();
}

bool TextFile::isOpen() const {
    return impl_->file != INVALID_HANDLE_VALUE;
}

Status TextFile::write(const std::string& bytes) {
    if (!isOpen())
        return Status::failure("No file is open for writing.");
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(impl_->file, bytes.data() + done, chunk, &wrote, nullptr))
            return Status::failure("Cannot write " + quoted(impl_->winPath) + ": " +
                                   reason(GetLastError()) + ".");
        done += wrote;
    }
    return Status::success();
}

Status TextFile::writeLine(const std::string& text) {
    return write(text + "\r\n");
}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!isOpen() || impl_->peek() < 0)
        return false;
    int c;
    while ((c = impl_->get()) >= 0 && c != '\n')
        line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool TextFile::readField(std::string& field) {
    field.clear();
    if (!isOpen() || impl_->peek() < 0)
        return false;
    int c;
    while ((c = impl_->get()) >= 0 && c != '\n' && c != ',')
        field += static_cast<char>(c);
    if (c == '\n' && !field.empty() && field.back() == '\r')
        field.pop_back();
    return true;
}

bool TextFile::eof() {
    return !isOpen() || impl_->peek() < 0;
}

void TextFile::close() {
    if (impl_ && impl_->file != INVALID_HANDLE_VALUE) {
        CloseHandle(impl_->file);
        impl_->file = INVALID_HANDLE_VALUE;
    }
}

// ---------------------------------------------------------------------------
// Whole files

Status readFile(const std::string& winPath, std::string& bytes, std::size_t maxBytes) {
    const HANDLE h = CreateFileW(widen(winPath).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(GetLastError()) +
                               ".");
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
    // Shared for writing and deleting: the program writing the file keeps
    // going undisturbed.
    const HANDLE h = CreateFileW(widen(winPath).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Status::failure("Cannot read " + quoted(winPath) + ": " + reason(GetLastError()) +
                               ".");
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

} // namespace

namespace {

// Replaces the file through a temporary file beside it; `durable` flushes
// the bytes and the rename to the disk.
Status replaceWhole(const std::string& winPath, const std::string& bytes, bool durable) {
    const std::string fail = "Cannot save " + quoted(winPath) + ": ";
    if (winPath.empty() || winPath.back() == '\\' || winPath.back() == '/')
        return Status::failure(fail + "the path names a directory, not a file.");
    const std::string dir = parentOf(winPath);
    const DWORD dirAttrs = GetFileAttributesW(widen(dir).c_str());
    if (dirAttrs == INVALID_FILE_ATTRIBUTES)
        return Status::failure(fail + "the directory " + quoted(dir) + " does not exist.");
    if (!(dirAttrs & FILE_ATTRIBUTE_DIRECTORY))
        return Status::failure(fail + quoted(dir) + " is not a directory.");
    const std::wstring target = widen(winPath);
    const DWORD attrs = GetFileAttributesW(target.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) {
        if (attrs & FILE_ATTRIBUTE_DIRECTORY)
            return Status::failure(fail + "a directory of that name is in the way.");
        if (attrs & FILE_ATTRIBUTE_READONLY)
            return Status::failure(fail + "the file is read-only.");
    }

    // Temporary files of ours for this target whose writer no longer runs
    // are what a crash mid-save leaves: they go first.
    const std::string folder = dir + (dir.back() == '\\' ? "" : "\\");
    const std::string name = lastComponent(winPath);
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        FindFirstFileW(widen(folder + temporaryHead(name) + "*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string entry = narrow(found.cFileName);
            const unsigned long owner = temporaryFileOwner(entry, name);
            if (owner != 0 && owner != GetCurrentProcessId() && !processRuns(owner))
                DeleteFileW(widen(folder + entry).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    static std::atomic<unsigned> counter{0};
    std::wstring wtemp;
    HANDLE h = INVALID_HANDLE_VALUE;
    do {
        wtemp = widen(folder + temporaryNameFor(name, GetCurrentProcessId(), ++counter));
        h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    } while (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS);
    if (h == INVALID_HANDLE_VALUE)
        return Status::failure(fail + "no temporary file can be made in " + quoted(dir) + " (" +
                               reason(GetLastError()) + ").");
    auto abandon = [&](DWORD err) {
        CloseHandle(h);
        DeleteFileW(wtemp.c_str());
        return Status::failure(fail + reason(err) + ".");
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr))
            return abandon(GetLastError());
        done += wrote;
    }
    if (durable && !FlushFileBuffers(h))
        return abandon(GetLastError());
    CloseHandle(h);
    if (!MoveFileExW(wtemp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0))) {
        const DWORD err = GetLastError();
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
        return Status::failure("Cannot delete " + quoted(winPath) + ": the file is read-only.");
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

// ---------------------------------------------------------------------------
// Outside commands

struct Process::Impl {
    HANDLE process = nullptr;
    HANDLE job = nullptr;
    bool finished = false;
    int code = -1;

    ~Impl() {
        // Closing the handles neither waits for nor ends the process: the
        // job is made without "kill on close".
        if (process)
            CloseHandle(process);
        if (job)
            CloseHandle(job);
    }
};

Process::Process() = default;
Process::~Process() = default;
Process::Process(Process&&) noexcept = default;
Process& Process::operator=(Process&&) noexcept = default;

bool Process::valid() const {
    return impl_ && impl_->process;
}

Process::Wait Process::wait(int milliseconds) {
    if (!valid())
        return Wait::Failed;
    if (impl_->finished)
        return Wait::Finished;
    const DWORD r =
        WaitForSingleObject(impl_->process, static_cast<DWORD>(std::max(0, milliseconds)));
    if (r == WAIT_TIMEOUT)
        return Wait::TimedOut;
    if (r != WAIT_OBJECT_0)
        return Wait::Failed;
    DWORD code = 0;
    impl_->finished = true;
    impl_->code = GetExitCodeProcess(impl_->process, &code) ? static_cast<int>(code) : -1;
    return Wait::Finished;
}

bool Process::running() {
    return valid() && wait(0) == Wait::TimedOut;
}

void Process::kill() {
    if (!valid())
        return;
    // The job holds the interpreter and everything it started, also after
    // the interpreter itself has ended.
    if (impl_->job && TerminateJobObject(impl_->job, 1)) {
        for (int waited = 0; waited < 5000; waited += 10) {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
            if (!QueryInformationJobObject(impl_->job, JobObjectBasicAccountingInformation, &info,
                                           sizeof info, nullptr) ||
                info.ActiveProcesses == 0)
                break;
            Sleep(10);
        }
    } else if (!impl_->finished) {
        TerminateProcess(impl_->process, 1);
    }
    wait(5000);
}

int Process::exitCode() const {
    return valid() && impl_->finished ? impl_->code : -1;
}

std::string commandInterpreterPath() {
    wchar_t dir[MAX_PATH + 1];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH)
        return "cmd.exe";
    return narrow(std::wstring(dir, n)) + "\\cmd.exe";
}

Status startHidden(const std::string& commandLine, Process& process,
                   const std::string& workingDir) {
    process = Process();
    if (hasLineBreak(commandLine))
        return Status::failure("The command line holds a line break, so it was not run.");
    const std::wstring interpreter = widen(commandInterpreterPath());
    // With /s, cmd.exe removes exactly the outer pair of quotes and runs
    // the line inside as it is, whatever quotes it holds itself. The hidden
    // console is switched to Windows-1252 first: cmd.exe reads batch files
    // and writes redirected listings in the console's code page, which is
    // otherwise the OEM one (850, 437...), not the game's 8-bit set.
    std::wstring line =
        L"\"" + interpreter + L"\" /d /s /c \"chcp 1252 >nul & " + widen(commandLine) + L"\"";

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    const std::wstring wdir = widen(workingDir);
    if (!workingDir.empty() && !isDirectory(workingDir))
        return Status::failure("The working directory " + quoted(workingDir) + " does not exist.");
    if (!CreateProcessW(interpreter.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, nullptr,
                        wdir.empty() ? nullptr : wdir.c_str(), &si, &pi))
        return Status::failure("The command interpreter " + quoted(narrow(interpreter)) +
                               " could not be started: " + reason(GetLastError()) + ".");

    Process started;
    started.impl_ = std::make_unique<Process::Impl>();
    started.impl_->process = pi.hProcess;
    // A job lets kill() end what the interpreter started too. Where jobs are
    // not available, kill() ends the interpreter alone.
    if (HANDLE job = CreateJobObjectW(nullptr, nullptr)) {
        if (AssignProcessToJobObject(job, pi.hProcess))
            started.impl_->job = job;
        else
            CloseHandle(job);
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    process = std::move(started);
    return Status::success();
}

bool udpPortFree(int port, std::string& error) {
    error.clear();
    const std::string name = "The UDP port " + std::to_string(port);
    if (port < 1 || port > 65535) {
        error = "There is no UDP port " + std::to_string(port) + ".";
        return false;
    }
    WSADATA wsa{};
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        error = name + " cannot be tested: the network is not available.";
        return false;
    }
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        error = name + " cannot be tested: no socket can be made.";
        WSACleanup();
        return false;
    }
    // Exclusive: a holder that allowed sharing the address still counts.
    BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(static_cast<u_short>(port));
    const bool free = bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    const int err = free ? 0 : WSAGetLastError();
    closesocket(s);
    WSACleanup();
    if (!free)
        error = err == WSAEADDRINUSE || err == WSAEACCES
                    ? name + " is in use by another program."
                    : name + " cannot be taken (error " + std::to_string(err) + ").";
    return free;
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}

} // namespace vorn::platform
