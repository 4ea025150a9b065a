// The Win32 backend: UTF-8 inside, UTF-16 at the wide-character API.
//
// paths.cpp finds stored names and the temporary directory, textfile.cpp
// and files.cpp read and write files, process.cpp starts and ends outside
// commands (and tests ports). What they share is here; nothing outside the
// backend uses it.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace vorn::platform::backend {

// UTF-8 to UTF-16 and back.
std::wstring widen(const std::string& s);
std::string narrow(const std::wstring& w);

// The path in double quotes, as messages show it.
std::string quoted(const std::string& winPath);

// Why an operation failed, in words, for a Win32 error code.
std::string reason(DWORD err);

// The name after the last backslash, slash or drive colon.
std::string lastComponent(const std::string& path);

bool isDirectory(const std::string& winPath);

} // namespace vorn::platform::backend
