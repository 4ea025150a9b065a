// Asking a server over UDP: the A2S request packets, and the answers read
// from whatever bytes come.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "serverquery.h"

namespace {

using vorn::query::Answer;
using vorn::query::Info;
using vorn::query::parseAnswer;

std::string bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}
#define BYTES(literal) bytes(literal, sizeof(literal) - 1)
// A datagram: the four 0xFF bytes every whole one starts with, then `body`.
#define PACKET(body) (std::string(4, '\xFF') + BYTES(body))

// An answer as a Source-engine style server sends it (this one from the
// test engine, with its version string behind the bots).
const std::string kSourceInfo = PACKET("I1Test Host\0mybox\0valve\0Half-Life\0\0\0\x02\x06\x01"
                                       "dl\0\0"
                                       "0.21\0");
// The old GoldSrc answer of a mod (with its mod details) and one of a plain
// server, which sends no mod details and, being old, stops before the bots.
const std::string kGoldSrcModInfo =
    PACKET("m192.168.1.5:27015\0Allies Only\0dod_anzio\0dod\0Day of Defeat\0"
           "\x05\x10\x2F"
           "dw\0\x01"
           "http://www.dayofdefeat.com\0\0\0"
           "\x01\0\0\0\x00\x10\0\0\x01\x01"
           "\x01\x03");
const std::string kGoldSrcOldInfo =
    PACKET("m127.0.0.1:27016\0Old One\0crossfire\0valve\0Half-Life\0\x00\x08\x2F"
           "dl\0\0");
const std::string kChallenge = PACKET("A\x42\x78\x47\x20");
const std::string kRules = PACKET("E\x03\0mp_timelimit\0"
                                  "25\0sv_contact\0\0hostname\0A, B; C\0");

TEST(QueryRequests, AreTheBytesServersExpect) {
    EXPECT_EQ(vorn::query::infoRequest(), PACKET("TSource Engine Query\0"));
    // The challenge goes back as it came: little-endian, all four bytes.
    EXPECT_EQ(vorn::query::infoRequest(0x20477842u),
              PACKET("TSource Engine Query\0\x42\x78\x47\x20"));
    EXPECT_EQ(vorn::query::infoRequest(0u), PACKET("TSource Engine Query\0\0\0\0\0"));
    EXPECT_EQ(vorn::query::rulesRequest(), PACKET("V\xFF\xFF\xFF\xFF"));
    EXPECT_EQ(vorn::query::rulesRequest(0x01020304u), PACKET("V\x04\x03\x02\x01"));
}

TEST(QueryAnswers, BothInfoFormsGiveNameMapFolderAndCounts) {
    const struct {
        const char* what;
        std::string datagram;
        Info want;
    } rows[] = {
        {"Source style", kSourceInfo, {"Test Host", "mybox", "valve", "Half-Life", 2, 6, 1}},
        {"GoldSrc with mod details",
         kGoldSrcModInfo,
         {"Allies Only", "dod_anzio", "dod", "Day of Defeat", 5, 16, 3}},
        {"GoldSrc, old, without bots",
         kGoldSrcOldInfo,
         {"Old One", "crossfire", "valve", "Half-Life", 0, 8, 0}},
        {"Source style, ending right after the bots",
         PACKET("I\x30\0\0\0\0\0\0\x00\xFF\xFF"),
         {"", "", "", "", 0, 255, 255}},
    };
    const auto fields = [](const Info& i) {
        return std::tie(i.hostName, i.map, i.folder, i.game, i.players, i.maxPlayers, i.bots);
    };
    for (const auto& row : rows) {
        const Answer a = parseAnswer(row.datagram);
        ASSERT_EQ(a.kind, Answer::Kind::Info) << row.what;
        EXPECT_EQ(fields(a.info), fields(row.want)) << row.what;
    }
}

TEST(QueryAnswers, ChallengeAndRules) {
    const Answer c = parseAnswer(kChallenge);
    ASSERT_EQ(c.kind, Answer::Kind::Challenge);
    EXPECT_EQ(c.challenge, 0x20477842u);

    const Answer r = parseAnswer(kRules);
    ASSERT_EQ(r.kind, Answer::Kind::Rules);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"mp_timelimit", "25"}, {"sv_contact", ""}, {"hostname", "A, B; C"}};
    EXPECT_EQ(r.rules, want);
    EXPECT_EQ(parseAnswer(PACKET("E\0\0")).kind, Answer::Kind::Rules);
}

TEST(QueryAnswers, WhatIsNoWholeAnswerOfAKindAskedForIsUnknown) {
    const struct {
        const char* what;
        std::string datagram;
    } rows[] = {
        {"nothing", ""},
        {"header only", PACKET("")},
        {"a split answer", BYTES("\xFE\xFF\xFF\xFF\x01\0\0\0\x02\x00\xFF\xFF\xFF\xFFI")},
        {"a wrong header", "\xFF\xFF\xFF\xFEI" + kSourceInfo.substr(5)},
        {"an unknown kind", PACKET("junk\0")},
        {"a player list", PACKET("D\x01\0Bob\0\0\0\0\0\0\0\0\0")},
        {"a name without its end", PACKET("I\x30Test")},
        {"rules counting more than they hold", PACKET("E\x02\0mp_timelimit\0"
                                                      "25\0")},
        {"a rule without its value", PACKET("E\x01\0mp_timelimit\0")},
        {"a challenge of three bytes", PACKET("A\x01\x02\x03")},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseAnswer(row.datagram).kind, Answer::Kind::Unknown) << row.what;
}

TEST(QueryAnswers, EveryCutShortAnswerIsUnknownAndBytesBehindOneAreIgnored) {
    // The shortest whole length of each: a Source answer ends with the
    // bots, an old GoldSrc one with the protocol byte.
    const struct {
        const char* what;
        std::string datagram;
        std::size_t wholeFrom;
    } rows[] = {
        {"Source info", kSourceInfo, kSourceInfo.find("dl\0")},
        {"GoldSrc info", kGoldSrcModInfo, kGoldSrcModInfo.find("dw\0")},
        {"challenge", kChallenge, kChallenge.size()},
        {"rules", kRules, kRules.size()},
    };
    for (const auto& row : rows) {
        const Answer::Kind kind = parseAnswer(row.datagram).kind;
        ASSERT_NE(kind, Answer::Kind::Unknown) << row.what;
        for (std::size_t n = 0; n < row.datagram.size(); ++n) {
            // A copy of exactly n bytes, so that a read past its end shows
            // under the sanitizers.
            const std::vector<char> cut(row.datagram.begin(), row.datagram.begin() + n);
            const Answer a = parseAnswer(std::string(cut.begin(), cut.end()));
            EXPECT_EQ(a.kind, n < row.wholeFrom ? Answer::Kind::Unknown : kind)
                << row.what << " cut to " << n;
        }
        EXPECT_EQ(parseAnswer(row.datagram + BYTES("\0\xFFtrailing\0\x01")).kind, kind) << row.what;
    }
    // A cut GoldSrc answer past its protocol byte keeps what it has.
    const Answer cut = parseAnswer(kGoldSrcModInfo.substr(0, kGoldSrcModInfo.size() - 1));
    EXPECT_EQ(cut.info.maxPlayers, 16);
    EXPECT_EQ(cut.info.bots, 0);
}
TEST(QueryAnswers, RandomBytesNeverCrash) {
    std::mt19937 random(21);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 300);
    const char kinds[] = {'I', 'm', 'A', 'E', 'D', 'T'};
    int known = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string datagram(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : datagram)
            c = static_cast<char>(byte(random));
        // Most with a valid header and kind, so that the readers behind
        // them get random bodies; a few NUL bytes make strings end.
        if (i % 4 != 0 && datagram.size() >= 5) {
            datagram.replace(0, 4, "\xFF\xFF\xFF\xFF");
            datagram[4] = kinds[static_cast<std::size_t>(i) % sizeof kinds];
            for (std::size_t k = 5; k < datagram.size(); k += 7 + static_cast<std::size_t>(i % 11))
                datagram[k] = '\0';
        }
        const Answer a = parseAnswer(std::string(datagram));
        if (a.kind != Answer::Kind::Unknown)
            ++known;
        EXPECT_GE(a.info.players, 0);
        EXPECT_LE(a.info.maxPlayers, 255);
        EXPECT_LE(a.rules.size(), datagram.size() / 2);
    }
    // The random bodies reach the readers' ends, not only their first checks.
    EXPECT_GT(known, 100);
}

} // namespace
