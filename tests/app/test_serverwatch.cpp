// When the server window asks a server, what it says of the answers, and
// how often a server that ends by itself is started again.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "serverwatch.h"

namespace {

using vorn::AnswerWatch;
using vorn::RestartPolicy;
using State = AnswerWatch::State;

constexpr std::int64_t kStart = 1'000'000;
constexpr std::int64_t s = 1000;

TEST(QueryAddressOfCommandLine, TakesTheLastIpOfOneMachineElseTheLoopback) {
    const std::pair<const char*, const char*> given[] = {
        {"hlds.exe +ip 192.168.1.20 +port 27015", "192.168.1.20"},
        {"hlds.exe +ip  10.0.0.1", "10.0.0.1"},
        {"hlds.exe +ip 10.0.0.1 +ip 10.0.0.2", "10.0.0.2"},
    };
    for (auto [line, address] : given)
        EXPECT_EQ(vorn::queryAddressOfCommandLine(line), address) << line;
    for (const char* line :
         {"hlds.exe -game dod +port 27015", "hlds.exe +ip 0.0.0.0", "hlds.exe +ip",
          "hlds.exe +ip +port 27015", "hlds.exe +ip 256.1.1.1", "hlds.exe +ip 1.2.3",
          "hlds.exe +ip 1.2.3.4.5", "hlds.exe +ip 1.2.3.", "hlds.exe +ip 01.2.3.4",
          "hlds.exe +ip server.example", "hlds.exe +iptables 1.2.3.4"})
        EXPECT_EQ(vorn::queryAddressOfCommandLine(line), "127.0.0.1") << line;
}

TEST(AnswerWatch, WaitsSixtySecondsForAFirstAnswerWhichCountsUntilThirtySecondsOfSilence) {
    constexpr std::int64_t never = -1;
    // An answer late after the start still counts: none for 70 s, then one.
    const struct {
        std::int64_t answeredAfter, after;
        State state;
    } rows[] = {
        {never, 0, State::Waiting},           {never, 59 * s + 999, State::Waiting},
        {never, 60 * s, State::NoAnswer},     {never, 3600 * s, State::NoAnswer},
        {1 * s, 1 * s, State::Answering},     {1 * s, 30 * s + 999, State::Answering},
        {1 * s, 31 * s, State::NotAnswering}, {70 * s, 70 * s, State::Answering},
        {70 * s, 99 * s, State::Answering},   {70 * s, 100 * s, State::NotAnswering},
    };
    for (const auto& row : rows) {
        AnswerWatch watch(kStart);
        if (row.answeredAfter != never) {
            watch.answered(kStart + row.answeredAfter);
            EXPECT_EQ(watch.lastAnswerMs(), kStart + row.answeredAfter);
        }
        EXPECT_EQ(watch.state(kStart + row.after), row.state)
            << row.answeredAfter << " " << row.after;
        EXPECT_EQ(watch.answeredOnce(), row.answeredAfter != never);
    }
    // A new answer after the silence makes it answer again.
    AnswerWatch watch(kStart);
    watch.answered(kStart);
    EXPECT_EQ(watch.state(kStart + 45 * s), State::NotAnswering);
    watch.answered(kStart + 46 * s);
    EXPECT_EQ(watch.state(kStart + 46 * s), State::Answering);
}

TEST(AnswerWatch, AsksAtOnceThenEveryFewSeconds) {
    AnswerWatch watch(kStart);
    EXPECT_TRUE(watch.dueToAsk(kStart));
    watch.asked(kStart);
    EXPECT_FALSE(watch.dueToAsk(kStart));
    EXPECT_FALSE(watch.dueToAsk(kStart + AnswerWatch::kAskEveryMs - 1));
    EXPECT_TRUE(watch.dueToAsk(kStart + AnswerWatch::kAskEveryMs));
    // Answers do not change when to ask; a clock set back asks at once.
    watch.answered(kStart + 1);
    EXPECT_FALSE(watch.dueToAsk(kStart + 2));
    EXPECT_TRUE(watch.dueToAsk(kStart - 1));
}

TEST(RestartPolicy, RestartsThreeTimesInTenMinutesThenStops) {
    constexpr std::int64_t min = 60 * s;
    // Each row: when the server ended, and what the policy says at the last end.
    const struct {
        const char* what;
        std::vector<std::int64_t> ends;
        bool lastMay;
        int lastRecent;
    } rows[] = {
        {"a crash loop", {0, 1, 2, 3}, false, 4},
        {"three quick ends", {0, 1, 2}, true, 3},
        {"the fourth just inside ten minutes", {0, 1 * min, 2 * min, 10 * min - 1}, false, 4},
        {"the first one ten minutes old", {0, 1 * min, 2 * min, 10 * min}, true, 3},
        {"one crash an hour", {0, 60 * min, 120 * min, 180 * min, 240 * min}, true, 1},
        {"two pairs far apart", {0, 1, 30 * min, 30 * min + 1}, true, 2},
        {"a fifth after a refused fourth", {0, 1, 2, 3, 4}, false, 5},
    };
    for (const auto& row : rows) {
        RestartPolicy policy;
        bool may = false;
        for (int i = 0; i < std::ssize(row.ends); ++i) {
            may = policy.mayRestartAfterEnd(kStart + row.ends[i]);
            if (i + 1 < std::ssize(row.ends) && i < RestartPolicy::kMaxRestarts) {
                EXPECT_TRUE(may) << row.what << ", end " << i + 1;
            }
        }
        EXPECT_EQ(may, row.lastMay) << row.what;
        EXPECT_EQ(policy.recentEnds(), row.lastRecent) << row.what;
    }
}

} // namespace
