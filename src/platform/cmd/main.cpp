// vorn-cmd: the small command interpreter the POSIX backend runs where
// Windows runs cmd.exe.
//
//   vorn-cmd /c <command line>
//
// It understands exactly the lines Vornwick writes (see run.h, parse.h and
// dir.h) and refuses anything else with a message and a non-zero exit
// code. Windows paths are mapped onto the Wine-style prefix exactly as the
// POSIX backend maps them.
#include "io.h"
#include "run.h"

#include <string>

int main(int argc, char** argv) {
    using namespace vorn::cmd;
    if (argc < 2 || lower(argv[1]) != "/c") {
        complain("usage: vorn-cmd /c <command line>");
        return 1;
    }
    std::string line;
    for (int i = 2; i < argc; ++i)
        line += (line.empty() ? "" : " ") + std::string(argv[i]);
    if (line.find_first_of("\r\n") != std::string::npos) {
        complain("vorn-cmd: a command line cannot hold a line break.");
        return 1;
    }
    return runLine(line, Origin::CommandLine);
}
