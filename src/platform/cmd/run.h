// Running one line of vorn-cmd.
//
// The interpreter's command line names a batch file, with its output and
// complaints redirected as the line says, as Vornwick starts it:
// ".\vorn.bat 2> vorn.err" or ".\vorn.bat > vorn.log 2>&1". Each line of
// the batch file is `dir` (see dir.h) or a program with its arguments: a
// Windows program (a file starting with "MZ") runs through Wine's loader for
// its machine (wine.h), a native executable directly. A batch file cannot run
// another. Redirection files are created before the command runs.
#pragma once

#include "parse.h"

#include <string>

namespace vorn::cmd {

// Runs the line and returns its exit code: the program's own, 1 for a line
// that is refused or fails, 9009 for a program that is not there, 112
// (disk full) or 29 when output could not be written, and
// platform::kExitCannotRun32Bit or kExitNoWine32Bit for a 32-bit Windows
// program that cannot run here.
int runLine(const std::string& line, Origin origin);

} // namespace vorn::cmd
