// Following a started server's output and reading its port.
#include "serveroutput.h"

#include <algorithm>
#include <utility>

namespace vorn {

std::string lastValueOnCommandLine(const std::string& commandLine, const std::string& option) {
    // Words are separated by blanks; the last one counts, as the server
    // takes the last value it is given.
    std::string value;
    std::string previous;
    std::size_t at = 0;
    while (at < commandLine.size()) {
        const std::size_t start = commandLine.find_first_not_of(' ', at);
        if (start == std::string::npos)
            break;
        std::size_t end = commandLine.find(' ', start);
        if (end == std::string::npos)
            end = commandLine.size();
        std::string word = commandLine.substr(start, end - start);
        if (previous == option)
            value = word;
        previous = std::move(word);
        at = end;
    }
    return value;
}

int udpPortOfCommandLine(const std::string& commandLine) {
    const std::string word = lastValueOnCommandLine(commandLine, "+port");
    long value = 0;
    bool digits = !word.empty() && word.size() <= 5;
    for (char c : word) {
        digits = digits && c >= '0' && c <= '9';
        value = value * 10 + (c - '0');
    }
    return digits && value >= 1 && value <= 65535 ? static_cast<int>(value) : 0;
}

std::string withoutAnsiSequences(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] != '\x1B' || at + 1 >= line.size() || line[at + 1] != '[') {
            out += line[at++];
            continue;
        }
        // ESC [, then parameter bytes 0x30-0x3F, intermediate bytes
        // 0x20-0x2F and one final byte 0x40-0x7E.
        std::size_t end = at + 2;
        while (end < line.size() && line[end] >= 0x30 && line[end] <= 0x3F)
            ++end;
        while (end < line.size() && line[end] >= 0x20 && line[end] <= 0x2F)
            ++end;
        if (end < line.size() && line[end] >= 0x40 && line[end] <= 0x7E) {
            at = end + 1;
            continue;
        }
        // Not a whole sequence: the ESC stays, as does what follows it.
        out += line[at++];
    }
    return out;
}

OutputFollower::OutputFollower(std::size_t maxLines, std::size_t maxLineBytes)
    : maxLines_(std::max<std::size_t>(maxLines, 1)),
      maxLineBytes_(std::max<std::size_t>(maxLineBytes, 1)) {}

OutputFollower::Read OutputFollower::plan(std::uint64_t fileSize) {
    if (fileSize < offset_) {
        offset_ = 0;
        partial_.clear();
        midLine_ = false;
    }
    // Enough for a full view of long lines; older bytes would only be
    // pushed out of the view again.
    const std::uint64_t most = static_cast<std::uint64_t>(maxLines_) * (maxLineBytes_ + 2);
    if (fileSize - offset_ > most + 1) {
        // One byte more: when it is a line end, the first line read is whole.
        offset_ = fileSize - most - 1;
        partial_.clear();
        midLine_ = true;
    }
    return {offset_, static_cast<std::size_t>(fileSize - offset_)};
}

std::vector<std::string> OutputFollower::take(const std::string& bytes) {
    offset_ += bytes.size();
    std::vector<std::string> lines;
    std::size_t at = 0;
    if (midLine_) {
        const std::size_t lf = bytes.find('\n');
        if (lf == std::string::npos)
            return lines;
        midLine_ = false;
        at = lf + 1;
    }
    auto add = [&](std::string line) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(withoutAnsiSequences(line));
    };
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        const std::size_t end = lf == std::string::npos ? bytes.size() : lf;
        partial_.append(bytes, at, end - at);
        at = end;
        if (lf != std::string::npos) {
            ++at;
            add(std::move(partial_));
            partial_.clear();
        }
        // A line without end that grows too long is shown in pieces.
        while (partial_.size() > maxLineBytes_) {
            add(partial_.substr(0, maxLineBytes_));
            partial_.erase(0, maxLineBytes_);
        }
    }
    if (lines.size() > maxLines_)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(maxLines_));
    return lines;
}

std::vector<std::string> OutputFollower::finish() {
    std::vector<std::string> lines;
    if (!partial_.empty())
        lines.push_back(withoutAnsiSequences(partial_));
    partial_.clear();
    return lines;
}

} // namespace vorn
