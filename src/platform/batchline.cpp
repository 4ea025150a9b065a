#include "batchline.h"

#include "codepage.h"

#include <vector>

namespace vorn::platform {

namespace {

Status refuseLineBreaks(const std::string& text) {
    for (char c : text) {
        if (c == '\r' || c == '\n')
            return Status::failure("A line break cannot be part of a command line.");
        if (c == '\0')
            return Status::failure("A NUL character cannot be part of a command line.");
    }
    return Status::success();
}

} // namespace

Status quoteBatchArgument(const std::string& text, std::string& quoted) {
    if (Status s = refuseLineBreaks(text); !s.ok())
        return s;
    if (text.find('"') != std::string::npos)
        return Status::failure("The name \"" + text +
                               "\" holds a double quote, which a command line cannot carry.");
    std::string out = "\"";
    for (char c : text) {
        out += c;
        // Inside a batch file "%%" is one literal '%'; quotes do not protect it.
        if (c == '%')
            out += '%';
    }
    out += '"';
    quoted = std::move(out);
    return Status::success();
}

bool isPlainBatchWord(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text) {
        switch (c) {
        case ' ':
        case '\t':
        case '"':
        case '%':
        case '&':
        case '|':
        case '<':
        case '>':
        case '^':
        case '(':
        case ')':
        case '\r':
        case '\n':
        case '\0':
        // The interpreter also splits arguments at these.
        case ',':
        case ';':
        case '=':
            return false;
        default:
            break;
        }
    }
    return true;
}

Status checkBatchText(const std::string& text) {
    return refuseLineBreaks(text);
}

Status writeBatchFile(const std::string& winPath, const std::string& line) {
    std::string bytes;
    if (Status s = encodeBatchLine(line, bytes); !s.ok())
        return s;
    return writeScratchFile(winPath, bytes + "\r\n");
}

Status refuseUnwritable(const std::vector<std::string>& missing, unsigned codePage) {
    std::string names;
    for (const std::string& c : missing)
        names += (names.empty() ? "" : " ") + c;
    return Status::failure("The command interpreter reads its batch file in code page " +
                           std::to_string(codePage) + ", which has no " + names +
                           ", so the command was not written.");
}

} // namespace vorn::platform
