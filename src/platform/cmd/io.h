// What the parts of vorn-cmd share: writing output and complaints, and
// Windows paths mapped onto this machine.
#pragma once

#include <string>

namespace vorn::cmd {

// Windows' exit codes for a full disk and for any other failed write.
constexpr int kDiskFullCode = 112;
constexpr int kWriteFaultCode = 29;

// Writes to standard output. A write that fails is remembered: output that
// cannot be written is never passed off as complete.
void say(const std::string& text);

// A complaint on standard error, ended by CR LF.
void complain(const std::string& text);

// The first error (errno) met writing output so far, 0 while all went well.
int outputError();
void noteOutputError(int err);

// The exit code for output that could not be written.
int writeFailureCode(int err);

// ASCII letters in lower case.
std::string lower(std::string text);

// The path on this machine: a drive path ("c:\...") through the Wine-style
// prefix, anything else relative to the current directory. False, with
// `error` set, when the drive is not mapped.
bool mapPath(const std::string& path, std::string& host, std::string& error);

bool hasDrive(const std::string& path);
bool isDir(const std::string& host);
bool isFile(const std::string& host);

} // namespace vorn::cmd
