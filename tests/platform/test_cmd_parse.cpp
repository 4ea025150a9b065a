// How vorn-cmd reads a line: words, quotes, '%%' and the redirections
// Vornwick writes, and a refusal for everything else cmd.exe would act on.
#ifndef _WIN32
#include "cmd/parse.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vorn::cmd;

namespace {

// Words joined by '|' (a quoted one in brackets), then the redirections;
// or the refusal's message.
std::string readBack(const std::string& line, Origin origin) {
    Command command;
    std::string error;
    if (!parseLine(line, origin, command, error))
        return error;
    std::string out;
    for (const Word& w : command.words)
        out += (out.empty() ? "" : "|") + (w.quoted ? "[" + w.text + "]" : w.text);
    for (const Redirect& r : command.redirects)
        out += " " + std::to_string(r.fd) + ">" + (r.joinsOutput ? "&1" : r.target);
    return out;
}

} // namespace

TEST(CmdParse, ReadsWhatVornwickWritesAndRefusesTheRest) {
    const Origin batch = Origin::BatchFile;
    const Origin commandLine = Origin::CommandLine;
    const struct {
        Origin origin;
        const char* line;
        const char* read;
    } rows[] = {
        {batch, R"(dir "C:\Sierra\Half-Life\" /ad /b > "c:\vorn.log")",
         R"(dir|[C:\Sierra\Half-Life\]|/ad|/b 1>c:\vorn.log)"},
        {batch, R"(dir "c:\a b\dod\maps\*.bsp" /b > "c:\100%%\vorn.log")",
         R"(dir|[c:\a b\dod\maps\*.bsp]|/b 1>c:\100%\vorn.log)"},
        {batch, R"("C:\x y\ripent.exe" -export "c:\m&1 (2) ^3.bsp" > "c:\vorn.log")",
         R"([C:\x y\ripent.exe]|-export|[c:\m&1 (2) ^3.bsp] 1>c:\vorn.log)"},
        {batch, "C:\\hlds.exe  -game dod\t+port 27015 +map \"dod_a>b\"",
         "C:\\hlds.exe|-game|dod|+port|27015|+map|[dod_a>b]"},
        {commandLine, R"(.\vorn.bat 2> vorn.err)", R"(.\vorn.bat 2>vorn.err)"},
        {commandLine, R"(.\vorn.bat > vorn.log 2>&1)", R"(.\vorn.bat 1>vorn.log 2>&1)"},
        {commandLine, R"("c:\w\vorn.bat">out 2>"c:\e f")", R"([c:\w\vorn.bat] 1>out 2>c:\e f)"},
        {batch, R"(x a"b c"d "" 12>y)", "x|[ab cd]|[]|12 1>y"},
        {batch, "   ", ""},
        // Refused: what cmd.exe would act on and Vornwick never writes.
        {batch, "dir x /b >> y", "vorn-cmd: '>>' is not supported."},
        {batch, "x 1> y", "vorn-cmd: only '>', '2>' and '2>&1' are supported."},
        {batch, "x 2>&2", "vorn-cmd: only '>', '2>' and '2>&1' are supported."},
        {batch, "x >&1", "vorn-cmd: only '>', '2>' and '2>&1' are supported."},
        {batch, "x > ", "The syntax of the command is incorrect."},
        {batch, "x > > y", "The syntax of the command is incorrect."},
        {batch, "> y", "vorn-cmd: a redirection needs a command."},
        {batch, "a & b", "vorn-cmd: '&' outside quotes is not supported."},
        {batch, "a|b", "vorn-cmd: '|' outside quotes is not supported."},
        {batch, "a < b", "vorn-cmd: '<' outside quotes is not supported."},
        {batch, "a ^&b", "vorn-cmd: '^' outside quotes is not supported."},
        {batch, "a \"b", "vorn-cmd: a quote is not closed."},
        {batch, "a 100%", "vorn-cmd: variables are not supported; a '%' is written as '%%'."},
        {batch, "a \"%PATH%\"", "vorn-cmd: variables are not supported; a '%' is written as '%%'."},
        {commandLine, "x 100%%", "vorn-cmd: '%' is not supported on the command line."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readBack(row.line, row.origin), row.read) << row.line;
}
#endif
