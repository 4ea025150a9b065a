// The POSIX backend: Windows paths are mapped onto a Wine-style prefix, and
// outside commands run through our own small interpreter, vorn-cmd.
//
// paths.cpp maps drives and finds stored names, textfile.cpp and files.cpp
// read and write files, process.cpp starts and ends outside commands (and
// tests ports). What they share is here; nothing outside the backend uses it.
#pragma once

#include <string>

namespace vorn::platform::backend {

// The path in double quotes, as messages show it.
std::string quoted(const std::string& winPath);

// Why an operation failed, in words, for an errno value.
std::string reason(int err);

bool isDirectory(const std::string& host);

// A file without any write permission is read-only, as Wine maps the
// read-only attribute; it stays so even for root, as on Windows.
bool isReadOnlyFile(const std::string& host);

// The directory holding a host path ("/" for a top-level entry, "." for a
// bare name); slashes at its end are ignored.
std::string hostPathParent(std::string host);

// The name after the last slash or backslash.
std::string lastComponent(const std::string& path);

} // namespace vorn::platform::backend
