// Following a started server's output file, and the port on its line.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "serveroutput.h"

namespace {

using vorn::OutputFollower;
using Lines = std::vector<std::string>;

TEST(UdpPortOfCommandLine, TakesTheNumberBehindTheLastPort) {
    const std::pair<const char*, int> ports[] = {
        {"C:\\hl\\hlds.exe -game dod +port 27015 +maxplayers 8", 27015},
        {"hlds.exe +port  27016", 27016},
        {"hlds.exe +port 27015 +port 27020", 27020},
        {"hlds.exe +port 1", 1},
        {"hlds.exe +port 65535", 65535},
    };
    for (auto [line, port] : ports)
        EXPECT_EQ(vorn::udpPortOfCommandLine(line), port) << line;
    for (const char* line :
         {"hlds.exe -game dod", "hlds.exe +port", "hlds.exe +port 0", "hlds.exe +port 65536",
          "hlds.exe +port 270x5", "hlds.exe +port -1", "hlds.exe +port 999999999999",
          "hlds.exe +portal 27015", "hlds.exe x+port 27015"})
        EXPECT_EQ(vorn::udpPortOfCommandLine(line), 0) << line;
}

// Feeds a growing file through the follower the way the window polls it.
struct File {
    std::string bytes;
    Lines poll(OutputFollower& f) const {
        const OutputFollower::Read r = f.plan(bytes.size());
        return f.take(bytes.substr(static_cast<std::size_t>(r.from), r.bytes));
    }
};

TEST(OutputFollower, GivesEachWholeLineOnceAsTheFileGrowsAndFollowsAFileMadeAnew) {
    OutputFollower f(100);
    File file;
    EXPECT_EQ(file.poll(f), Lines{});
    file.bytes = "Console initialized.\r\nProtocol ver";
    EXPECT_EQ(file.poll(f), Lines{"Console initialized."});
    EXPECT_EQ(file.poll(f), Lines{});
    file.bytes += "sion 48\r\n\r\nunix line\nno end";
    EXPECT_EQ(file.poll(f), (Lines{"Protocol version 48", "", "unix line"}));
    EXPECT_EQ(f.offset(), file.bytes.size());
    // Made anew, it is read from its start, without the old line's part.
    file.bytes = "new\r\nlast";
    EXPECT_EQ(file.poll(f), Lines{"new"});
    // The writer ended: the last line without an end is shown too.
    EXPECT_EQ(f.finish(), Lines{"last"});
    EXPECT_EQ(f.finish(), Lines{});
    // Lines are shown without their colour sequences, though one spans two reads.
    OutputFollower g(100);
    File coloured{"\x1B[1;3"};
    EXPECT_EQ(coloured.poll(g), Lines{});
    coloured.bytes += "2mError\x1B[0m: bad\r\n\x1B[33mlast";
    EXPECT_EQ(coloured.poll(g), Lines{"Error: bad"});
    EXPECT_EQ(g.finish(), Lines{"last"});
}

TEST(OutputFollower, KeepsToItsBoundsOfLinesAndOfBytesInALine) {
    // A big backlog is read only in its newest part.
    OutputFollower f(3, 10);
    File file;
    for (int i = 0; i < 100000; ++i)
        file.bytes += "line " + std::to_string(i) + "\r\n";
    const OutputFollower::Read r = f.plan(file.bytes.size());
    // Three lines of at most ten bytes, their ends and the end of the one before.
    EXPECT_LE(r.bytes, 37u);
    EXPECT_EQ(r.from + r.bytes, file.bytes.size());
    EXPECT_EQ(f.take(file.bytes.substr(r.from, r.bytes)),
              (Lines{"line 99997", "line 99998", "line 99999"}));
    // A burst within the bound still keeps only the newest lines.
    OutputFollower g(2, 100);
    File burst{"a\nb\nc\nd\n"};
    EXPECT_EQ(burst.poll(g), (Lines{"c", "d"}));
    // A line without end is cut into pieces.
    OutputFollower h(100, 4);
    File line{"abcdefghij"};
    EXPECT_EQ(line.poll(h), (Lines{"abcd", "efgh"}));
    line.bytes += "\r\n";
    EXPECT_EQ(line.poll(h), Lines{"ij"});
}

TEST(WithoutAnsiSequences, DropsEachWholeControlSequenceAndKeepsEveryOtherByte) {
    using namespace std::string_view_literals;
    const std::pair<std::string_view, std::string_view> rows[] = {
        // What a server writes for a terminal: colours, resets, erasing.
        {"\x1B[0m"sv, ""sv},
        {"\x1B[1;31mError:\x1B[0m no map"sv, "Error: no map"sv},
        {"\x1B[mplain"sv, "plain"sv},
        {"\x1B[38;5;208mX\x1B[39m"sv, "X"sv},
        {"\x1B[2K\x1B[1G> "sv, "> "sv},
        {"\x1B[?25lhidden cursor"sv, "hidden cursor"sv},
        {"\x1B[1 qblock"sv, "block"sv},
        {"\x1B\x1B[0m"sv, "\x1B"sv},
        {"a\x1B[31m\x1B[1mb"sv, "ab"sv},
    };
    for (auto [line, shown] : rows)
        EXPECT_EQ(vorn::withoutAnsiSequences(line), shown)
            << testing::PrintToString(std::string(line));
    // Not a whole sequence, or another kind: kept as it is.
    for (std::string_view line :
         {"end\x1B"sv, "end\x1B["sv, "\x1B[12;"sv, "\x1B[1\x07m"sv, "\x1B[1\xE9m"sv,
          "\x1B]0;title\x07"sv, "\x1B(B"sv, "[31m no escape [ok] 50%"sv,
          "caf\xE9 \x80\xFF\0tab\there"sv, ""sv})
        EXPECT_EQ(vorn::withoutAnsiSequences(line), line)
            << testing::PrintToString(std::string(line));
}

} // namespace
