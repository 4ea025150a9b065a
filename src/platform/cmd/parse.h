// Reading one line for vorn-cmd: the words of a command and its
// redirections, as cmd.exe reads the lines Vornwick writes.
//
// Understood: blanks and tabs between words, double quotes (which protect
// blanks and the characters below and are removed), "%%" for one '%' in a
// batch file, and the redirections "> file", "2> file" and "2>&1".
// Everything else cmd.exe would act on ('%' otherwise, '&', '|', '<', '^'
// outside quotes, ">>", other handles, an unclosed quote) is refused with a
// message, never passed on.
#pragma once

#include <string>
#include <vector>

namespace vorn::cmd {

struct Word {
    std::string text;    // quotes removed
    bool quoted = false; // it held a quote: never a switch
};

struct Redirect {
    int fd = 1;               // 1: "> file"; 2: "2> file" or "2>&1"
    std::string target;       // the file
    bool joinsOutput = false; // "2>&1": standard error goes where output goes
};

struct Command {
    std::vector<Word> words;
    std::vector<Redirect> redirects;
};

// The interpreter's own command line (no '%' at all) or a batch file's line.
enum class Origin { CommandLine, BatchFile };

// Splits `line` into `command`. False, with `error` saying why, for a line
// that is not understood. A blank line gives no words.
bool parseLine(const std::string& line, Origin origin, Command& command, std::string& error);

} // namespace vorn::cmd
