// Watching a started server: when to ask it whether it answers and what to
// say of its answers, and whether a server that ended by itself may be
// started again. Times are milliseconds of one clock that the caller
// reads; nothing here reads a clock or waits.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace vorn {

// The address at which a server of this command line is asked: the last
// "+ip" value when it is a dotted IPv4 address of one machine, else the
// loopback address (also for "+ip 0.0.0.0", all addresses).
std::string queryAddressOfCommandLine(const std::string& commandLine);

// The answers of one run of a server, from its start on.
class AnswerWatch {
  public:
    enum class State {
        Waiting,      // no answer yet, less than kFirstAnswerMs after the start
        Answering,    // the last answer is less than kSilenceMs old
        NoAnswer,     // no answer at all in the kFirstAnswerMs after the start
        NotAnswering, // answered before, but not for kSilenceMs
    };

    static constexpr std::int64_t kAskEveryMs = 2000;
    static constexpr std::int64_t kFirstAnswerMs = 60000;
    static constexpr std::int64_t kSilenceMs = 30000;

    explicit AnswerWatch(std::int64_t startMs = 0) : start_(startMs) {}

    // Whether to ask now: nothing asked yet, or the last question is
    // kAskEveryMs old (or the clock went back).
    bool dueToAsk(std::int64_t nowMs) const;
    void asked(std::int64_t nowMs);
    void answered(std::int64_t nowMs);

    State state(std::int64_t nowMs) const;
    std::int64_t startMs() const { return start_; }
    // The time of the last answer; meaningful once answeredOnce().
    std::int64_t lastAnswerMs() const { return lastAnswer_; }
    bool answeredOnce() const { return answered_; }

  private:
    std::int64_t start_;
    std::int64_t lastAsked_ = 0;
    std::int64_t lastAnswer_ = 0;
    bool asked_ = false;
    bool answered_ = false;
};

// How often a server that ends by itself is started again: at most
// kMaxRestarts times within kPeriodMs. The next end within the period
// stops the restarting.
class RestartPolicy {
  public:
    static constexpr int kMaxRestarts = 3;
    static constexpr std::int64_t kPeriodMs = 10 * 60 * 1000;

    // The server ended by itself at `nowMs`: true when it may be started
    // again; false when this is its (kMaxRestarts + 1)th end within
    // kPeriodMs, that is, when it was started again kMaxRestarts times in
    // that time already. Ends at least kPeriodMs old no longer count.
    bool mayRestartAfterEnd(std::int64_t nowMs);
    // The ends counted within the period up to the last one.
    int recentEnds() const { return static_cast<int>(ends_.size()); }
    // A start by the user counts from nothing again.
    void reset() { ends_.clear(); }

  private:
    std::deque<std::int64_t> ends_;
};

} // namespace vorn
