// `dir` as Vornwick runs it: "dir <directory> /ad /b" lists the directory's
// sub-directories, "dir <pattern> /b" the names matching a pattern such as
// "c:\game\dod\maps\*.bsp".
#pragma once

#include "parse.h"

#include <vector>

namespace vorn::cmd {

// Writes the bare names to standard output, one per line with CR LF, in
// Windows-1252 and in the order Windows lists them; names starting with a
// dot are hidden, as Wine hides them. Returns the exit code: 0, or 1 with
// cmd.exe's complaint on standard error when nothing matches or the
// directory cannot be read, and for arguments other than the above.
int runDir(const std::vector<Word>& args);

} // namespace vorn::cmd
