// Outside commands run through cmd.exe, each in a job of its own; the UDP
// port test; sleeping.
#include "batchline.h"
#include "codepage.h"
#include "platform.h"
#include "windows_common.h"

#include <winsock2.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vorn::platform {

using namespace backend;

namespace {

bool hasLineBreak(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// The code page startHidden switches the hidden console to.
constexpr unsigned kConsoleCodePage = 1252;

bool underWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

// The bytes of `w` in `codePage`; false when it has no byte for some of it.
bool encode(const std::wstring& w, UINT codePage, std::string& out) {
    out.clear();
    if (w.empty())
        return true;
    // UTF-8 holds everything; the check of what was left out is not allowed.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    const int n = WideCharToMultiByte(codePage, flags, w.data(), static_cast<int>(w.size()),
                                      nullptr, 0, nullptr, utf8 ? nullptr : &defaulted);
    if (n <= 0 || defaulted)
        return false;
    out.resize(static_cast<std::size_t>(n));
    WideCharToMultiByte(codePage, flags, w.data(), static_cast<int>(w.size()), out.data(), n,
                        nullptr, utf8 ? nullptr : &defaulted);
    return !defaulted;
}

} // namespace

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

void Process::askToEnd() {
    if (!valid())
        return;
    if (!(impl_->job && TerminateJobObject(impl_->job, 1)) && !impl_->finished)
        TerminateProcess(impl_->process, 1);
}

bool Process::allEnded() {
    if (!valid())
        return true;
    if (wait(0) != Wait::Finished)
        return false;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    return !impl_->job ||
           !QueryInformationJobObject(impl_->job, JobObjectBasicAccountingInformation, &info,
                                      sizeof info, nullptr) ||
           info.ActiveProcesses == 0;
}

void Process::forceEnd() {
    askToEnd();
}

int Process::exitCode() const {
    return valid() && impl_->finished ? impl_->code : -1;
}

unsigned batchCodePage() {
    return underWine() ? GetOEMCP() : kConsoleCodePage;
}

Status encodeBatchLine(const std::string& line, std::string& bytes) {
    const UINT codePage = batchCodePage();
    const std::wstring wide = widen(line);
    if (encode(wide, codePage, bytes))
        return Status::success();
    // Name each character that has no byte, once.
    std::vector<std::string> missing;
    std::string ignored;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool pair =
            IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        const std::wstring one = wide.substr(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
        if (one[0] < 0x80 || encode(one, codePage, ignored))
            continue;
        const std::string c = narrow(one);
        if (std::find(missing.begin(), missing.end(), c) == missing.end())
            missing.push_back(c);
    }
    return refuseUnwritable(missing, codePage);
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
    // (each line anew) and writes redirected listings in the console's code
    // page, which is otherwise the OEM one (850, 437...), not the game's
    // 8-bit set. Wine's cmd.exe reads batch files in the OEM code page all
    // the same; batchCodePage() says which one the batch file is written in.
    std::wstring line = L"\"" + interpreter + L"\" /d /s /c \"chcp " +
                        std::to_wstring(kConsoleCodePage) + L" >nul & " + widen(commandLine) +
                        L"\"";

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

Status udpPortFree(int port) {
    const std::string name = "The UDP port " + std::to_string(port);
    if (port < 1 || port > 65535)
        return Status::failure("There is no UDP port " + std::to_string(port) + ".");
    WSADATA wsa{};
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return Status::failure(name + " cannot be tested: the network is not available.");
    const SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
        WSACleanup();
        return Status::failure(name + " cannot be tested: no socket can be made.");
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
    if (free)
        return Status::success();
    if (err == WSAEADDRINUSE || err == WSAEACCES)
        return Status::failure(name + " is in use by another program.", Status::Fault::InUse);
    return Status::failure(name + " cannot be taken (error " + std::to_string(err) + ").");
}

void sleepMilliseconds(int milliseconds) {
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}

} // namespace vorn::platform
