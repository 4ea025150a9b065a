// Following a started server: its console output as it grows in the
// launcher's output file, and the UDP port its command line asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// The word after the last `option` ("+port", "+ip") on a server command
// line, "" when there is none.
std::string lastValueOnCommandLine(const std::string& commandLine, const std::string& option);

// The UDP port of a server command line: the number behind its last
// "+port"; 0 when there is none or it is not a port number.
int udpPortOfCommandLine(const std::string& commandLine);

// A console line without its ANSI control sequences (ESC '[', parameter
// bytes, intermediate bytes, a final byte), such as the colours a server
// writes for a terminal. Every other byte is kept, an ESC that starts no
// whole sequence too.
std::string withoutAnsiSequences(std::string_view line);

// Turns a growing file into new whole lines, reading each byte once.
//
// Each poll asks plan() where to read for the file's current size, reads
// those bytes and hands them to take(). A file that shrank was made anew
// and is followed from its start. When more has piled up than the view
// keeps, only the newest part is read, so a file of many megabytes costs
// no more than a full view. Lines end at LF; a CR before it is dropped, and
// so are ANSI control sequences (withoutAnsiSequences).
class OutputFollower {
  public:
    struct Read {
        std::uint64_t from = 0;
        std::size_t bytes = 0;
    };

    // `maxLines`: the most lines a view keeps; `maxLineBytes`: a longer
    // line is cut into pieces of that size.
    explicit OutputFollower(std::size_t maxLines, std::size_t maxLineBytes = 4096);

    Read plan(std::uint64_t fileSize);
    // The bytes read for the last plan (fewer when the file held fewer).
    // The new whole lines, at most maxLines of them: the newest.
    std::vector<std::string> take(const std::string& bytes);
    // A last line without a line end, once the writer has ended.
    std::vector<std::string> finish();

    std::uint64_t offset() const { return offset_; }
    std::size_t maxLines() const { return maxLines_; }

  private:
    std::size_t maxLines_;
    std::size_t maxLineBytes_;
    std::uint64_t offset_ = 0;
    std::string partial_;
    // After a skip the first bytes belong to a line begun before them.
    bool midLine_ = false;
};

} // namespace vorn
