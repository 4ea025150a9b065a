#include "batchline.h"

#include "codepage.h"

namespace vorn::platform {

namespace {

bool refuseLineBreaks(const std::string& text, std::string& error) {
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            error = "A line break cannot be part of a command line.";
            return false;
        }
        if (c == '\0') {
            error = "A NUL character cannot be part of a command line.";
            return false;
        }
    }
    return true;
}

} // namespace

bool quoteBatchArgument(const std::string& text, std::string& quoted, std::string& error) {
    if (!refuseLineBreaks(text, error))
        return false;
    if (text.find('"') != std::string::npos) {
        error =
            "The name \"" + text + "\" holds a double quote, which a command line cannot carry.";
        return false;
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        // Inside a batch file "%%" is one literal '%'; quotes do not protect it.
        if (c == '%')
            out += '%';
    }
    out += '"';
    quoted = std::move(out);
    error.clear();
    return true;
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

bool checkBatchText(const std::string& text, std::string& error) {
    if (!refuseLineBreaks(text, error))
        return false;
    error.clear();
    return true;
}

Status writeBatchFile(const std::string& winPath, const std::string& line) {
    return writeScratchFile(winPath, utf8ToCp1252(line) + "\r\n");
}

} // namespace vorn::platform
