// The one interface between Vornwick and the operating system.
//
// Paths are Windows paths ("c:\vorn.log", "C:\Sierra\Half-Life\hl.exe"),
// held as UTF-8. The Windows backend hands them to the wide-character Win32
// API; the POSIX backend maps drive letters the way Wine does.
//
// Nothing here throws, and nothing crashes on a bad path: every operation
// that can fail reports a Status whose text says, in words, what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorn::platform {

// Outcome of an operation: ok() when `error` is empty.
struct Status {
    // What kind of failure it was, where a caller acts on the kind.
    enum class Fault {
        Other,
        Missing,  // the file or a directory above it does not exist
        ReadOnly, // the file is read-only
        InUse,    // another program holds it (a UDP port)
    };

    std::string error;
    Fault fault = Fault::Other;

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }

    static Status success() { return {}; }
    static Status failure(std::string text, Fault fault = Fault::Other) {
        return Status{std::move(text), fault};
    }
};

// ---------------------------------------------------------------------------
// Paths

// The host path for a Windows path (identity on Windows). On POSIX, "X:" is
// $WINEPREFIX/dosdevices/x: (falling back to $WINEPREFIX/drive_c for c:),
// WINEPREFIX defaulting to ~/.wine; backslashes become slashes; each existing
// component is matched case-insensitively and its stored spelling is used.
// Fails for a path without a drive, a drive that is not mapped, or a
// missing prefix.
Status hostPath(const std::string& winPath, std::string& out);

// The existence test: the bare name of the entry as stored on disk
// ("HL.EXE" for a test of "c:\games\hl.exe" when the disk holds HL.EXE),
// or "" when there is none. Ordinary files only, unless `directoriesToo`.
// A path holding '*' or '?', or ending in a backslash, yields "".
// Callers compare the result with the expected name exactly.
std::string storedName(const std::string& winPath, bool directoriesToo = false);

// A per-user directory for working files, as a Windows path ending in a
// backslash; created when missing. Used when the root of drive c: cannot be
// written. Windows: the temporary directory (GetTempPathW). POSIX:
// "c:\users\<user>\Temp\" inside the prefix.
Status userTempDir(std::string& out);

// ---------------------------------------------------------------------------
// Text files. Bytes go in and come out unchanged; a line is written with
// the bytes CR LF behind it. Reading accepts CR LF, LF and a last line
// without an end.

class TextFile {
  public:
    enum class Mode { Output, Append, Input };

    TextFile();
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Output replaces any earlier content; Append creates a missing file.
    // A read-only file is not opened for Output or Append (on POSIX too,
    // and for root too: a file without write permission counts as
    // read-only, as Wine maps the attribute).
    Status open(const std::string& winPath, Mode mode);
    bool isOpen() const;

    Status writeLine(const std::string& text); // text, then CR LF
    Status write(const std::string& bytes);    // bytes as they are

    // One whole line without its line end. False at the end of the file.
    bool readLine(std::string& line);
    // One field: up to the next comma or line end, which is consumed.
    // False at the end of the file.
    bool readField(std::string& field);
    bool eof();

    void close();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The most readFile takes by default: far more than any file of the game
// installation or any listing holds.
constexpr std::size_t kMaxReadBytes = 64u << 20;

// The whole content of a file. Only an ordinary file is read (never a
// pipe, a device or a directory, which could block or never end), and only
// up to `maxBytes`: a larger file fails, and the Status says why.
Status readFile(const std::string& winPath, std::string& bytes,
                std::size_t maxBytes = kMaxReadBytes);

// Up to `maxBytes` of the file from byte `offset` on, and the file's size
// now, for following a file that another program is still writing (and
// holding open). An offset at or past the end gives no bytes.
Status readFileFrom(const std::string& winPath, std::uint64_t offset, std::size_t maxBytes,
                    std::string& bytes, std::uint64_t& size);

// Two writers of whole files, by what the file is for.
//
// Game files -- what the game server and the user keep: the command line,
// server.cfg, the map cycle, the welcome message, bot and class-limit
// files -- are written with replaceFile: atomically, and flushed to the
// disk before it returns, so that a crash or power cut leaves either the
// old file or the new one.
//
// Scratch files -- Vornwick's own working files, remade for every command,
// such as the batch file vorn.bat -- are written with writeScratchFile: the
// same atomic replace, without waiting for the disk. A crash may lose such
// a file; nothing is lost with it.

// Replace the file with exactly these bytes, atomically: a temporary file
// beside it is written, flushed and renamed over the target. On failure the
// old file is left byte for byte as it was, and the Status says why.
// Temporary files for the same target left behind by processes that no
// longer run (a crash mid-save) are removed first; see temporaryNameFor.
Status replaceFile(const std::string& winPath, const std::string& bytes);

// The same for a scratch file, without flushing to the disk; the same
// checks and the same failures.
Status writeScratchFile(const std::string& winPath, const std::string& bytes);

// Deleting a read-only file fails, as on Windows.
Status deleteFile(const std::string& winPath);
Status makeDirectory(const std::string& winPath);
Status removeDirectory(const std::string& winPath);

// ---------------------------------------------------------------------------
// Outside commands

// A started command. Move-only; destroying it neither waits for nor ends
// the process.
class Process {
  public:
    enum class Wait { Finished, TimedOut, Failed };

    Process();
    ~Process();
    Process(Process&&) noexcept;
    Process& operator=(Process&&) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool valid() const;
    // Wait at most `milliseconds` for the process to end.
    Wait wait(int milliseconds);
    // True while the process has not ended; notices an end without
    // waiting.
    bool running();
    // End the command and everything it started: on Windows the job the
    // command was started in, on POSIX the process group of the
    // interpreter (programs run through Wine included). Also ends what it
    // started when the interpreter itself has ended already. Returns once
    // the interpreter has ended (bounded by a few seconds).
    void kill();
    // The same end in steps, for a caller that must not wait (a window):
    // askToEnd() asks the command and everything it started to end (on
    // Windows, where a job has no gentle way, it ends them at once);
    // allEnded() says, without waiting, whether the interpreter and all it
    // started have ended; forceEnd() makes whatever still runs end at
    // once. None of them waits.
    void askToEnd();
    bool allEnded();
    void forceEnd();
    // The exit code once Finished; -1 before.
    int exitCode() const;

  private:
    friend Status startHidden(const std::string&, Process&, const std::string&);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Run `commandLine` through the command interpreter, hidden, without
// waiting: on Windows "<System32>\cmd.exe /d /s /c "chcp 1252 >nul &
// <commandLine>"" with no window (so that batch files are read and
// listings written in Windows-1252, not the OEM code page), on POSIX
// "vorn-cmd /c <commandLine>" in its own process group. A command line
// holding CR, LF or NUL is refused.
//
// With `workingDir` (a Windows path), the command runs in that directory,
// so that a batch file there can be named on the line without its folder:
// cmd.exe expands '%' on its command line and no quoting stops it, so a
// folder such as "c:\users\100%\" or "%PATH%" must not appear there.
//
// What the interpreter does with `dir ... /b > file`: the file is created
// before the command runs (empty when nothing matches); names come one per
// line with CR LF, in Windows-1252, in the order Wine's cmd.exe gives
// (case-insensitive word sort: punctuation, digits, letters); "*.bsp" also
// matches "x.bsp2"; names starting with a dot are hidden (as Wine hides
// them); directories matching a pattern are listed too.
Status startHidden(const std::string& commandLine, Process& process,
                   const std::string& workingDir = {});

// Exit codes with which the command interpreter says that it could not
// start a 32-bit Windows program: Windows' own code for a program this
// machine cannot run (on POSIX: the kernel refuses Wine's 32-bit loader
// with "Exec format error"), and vorn-cmd's for a Wine installed without
// its 32-bit part.
constexpr int kExitCannotRun32Bit = 216;
constexpr int kExitNoWine32Bit = 217;

// The code page the command interpreter reads a batch file in, line by
// line. vorn-cmd reads Windows-1252. cmd.exe decodes each line it reads in
// the console's code page, which startHidden switches to 1252 ("chcp
// 1252"), so that listings come back in 1252 too. Wine's cmd.exe (Wine 8)
// reads batch files in the OEM code page (437, 850...) whatever the
// console's code page, so under Wine it is that one.
unsigned batchCodePage();

// `line` (UTF-8) as the bytes of a batch line in batchCodePage(). Fails,
// naming each character the code page cannot hold, rather than writing a
// stand-in: a '?' would be a wildcard in a `dir` pattern.
Status encodeBatchLine(const std::string& line, std::string& bytes);

// Where the POSIX backend finds vorn-cmd: the VORN_CMD environment variable,
// else "vorn-cmd" beside the running program (as built), else, when that is
// missing, ../libexec/vornwick/vorn-cmd from it (as installed). Unused on
// Windows.
std::string commandInterpreterPath();

// ---------------------------------------------------------------------------
// Network

// Whether a UDP port of this machine can be taken: a socket is bound to it
// on all addresses and let go at once. Fails with Fault::InUse when another
// program holds it, or says why the test itself failed.
Status udpPortFree(int port);

// A UDP socket for asking a server: IPv4, bound to a free port of the
// loopback or any address, never blocking. Move-only; closed when
// destroyed.
class UdpSocket {
  public:
    UdpSocket();
    ~UdpSocket();
    UdpSocket(UdpSocket&&) noexcept;
    UdpSocket& operator=(UdpSocket&&) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Opens the socket on a port the system picks.
    Status open();
    bool isOpen() const;
    // Sends one datagram to a dotted IPv4 address ("127.0.0.1") and port.
    Status sendTo(const std::string& ipv4, int port, const std::string& bytes);
    // One datagram that has come in, waiting at most `milliseconds` for it
    // (0: only looks). `got` says whether one came; the Status says why
    // the socket failed. Datagrams larger than 64 KiB are cut.
    Status receive(std::string& bytes, bool& got, int milliseconds = 0);
    void close();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------
// Small helpers shared by both backends

// Sleep for the given time.
void sleepMilliseconds(int milliseconds);

} // namespace vorn::platform
