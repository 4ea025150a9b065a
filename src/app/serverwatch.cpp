// Watching a started server: its answers and its restarts.
#include "serverwatch.h"

#include "serveroutput.h"

namespace vorn {

namespace {

// A dotted IPv4 address: four numbers of 0 to 255, no leading zeros.
bool isDottedIpv4(const std::string& text) {
    int parts = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('.', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(at, end - at);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
            return false;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255)
            return false;
        ++parts;
        at = end + 1;
    }
    return parts == 4;
}

} // namespace

std::string queryAddressOfCommandLine(const std::string& commandLine) {
    const std::string address = lastValueOnCommandLine(commandLine, "+ip");
    if (!isDottedIpv4(address) || address == "0.0.0.0")
        return "127.0.0.1";
    return address;
}

bool AnswerWatch::dueToAsk(std::int64_t nowMs) const {
    return !asked_ || nowMs - lastAsked_ >= kAskEveryMs || nowMs < lastAsked_;
}

void AnswerWatch::asked(std::int64_t nowMs) {
    asked_ = true;
    lastAsked_ = nowMs;
}

void AnswerWatch::answered(std::int64_t nowMs) {
    answered_ = true;
    lastAnswer_ = nowMs;
}

AnswerWatch::State AnswerWatch::state(std::int64_t nowMs) const {
    if (answered_)
        return nowMs - lastAnswer_ >= kSilenceMs ? State::NotAnswering : State::Answering;
    return nowMs - start_ >= kFirstAnswerMs ? State::NoAnswer : State::Waiting;
}

bool RestartPolicy::mayRestartAfterEnd(std::int64_t nowMs) {
    while (!ends_.empty() && nowMs - ends_.front() >= kPeriodMs)
        ends_.pop_front();
    ends_.push_back(nowMs);
    return recentEnds() <= kMaxRestarts;
}

} // namespace vorn
