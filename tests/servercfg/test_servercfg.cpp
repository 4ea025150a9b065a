// The server configuration text: each input reaches its own line and no
// other. The whole file as saved is test_servercfgpanel's.
#include <gtest/gtest.h>

#include <string>

#include "servercfg.h"

namespace {

using vorn::composeServerCfg;
using vorn::kServerSettings;
using vorn::ServerCfgInputs;

ServerCfgInputs defaults() {
    ServerCfgInputs in;
    in.hostName = "My dod server.";
    for (std::size_t i = 0; i < std::size(kServerSettings); ++i)
        in.values.push_back("v" + std::to_string(i));
    in.extra = "sv_maxspectators 4\r\n";
    return in;
}

// The text with one line replaced.
std::string replaced(std::string text, const std::string& line, const std::string& by) {
    const auto at = text.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    return at == std::string::npos ? text : text.replace(at, line.size(), by);
}

TEST(ServerCfg, EachInputChangesItsOwnLine) {
    const std::string base = composeServerCfg(defaults());
    // The host name first, a line for each setting in the table's order,
    // then the extra text as it stands.
    std::string expected = "hostname \"My dod server.\"";
    for (std::size_t i = 0; i < std::size(kServerSettings); ++i)
        expected += "\r\n" + std::string(kServerSettings[i].variable) + " v" + std::to_string(i);
    EXPECT_EQ(base, expected + "\r\nsv_maxspectators 4\r\n");

    const std::string last = std::string(kServerSettings[std::size(kServerSettings) - 1].variable);
    const std::string lastLine = last + " v" + std::to_string(std::size(kServerSettings) - 1);
    const struct {
        const char* what;
        void (*change)(ServerCfgInputs&);
        std::string expected;
    } rows[] = {
        {"empty extra still follows a line end", [](ServerCfgInputs& in) { in.extra = ""; },
         expected + "\r\n"},
        {"extra without a final line end",
         [](ServerCfgInputs& in) { in.extra = "sv_maxspectators 4\r\nsv_gravity 800"; },
         expected + "\r\nsv_maxspectators 4\r\nsv_gravity 800"},
        {"host name with a double quote is written as typed",
         [](ServerCfgInputs& in) { in.hostName = "Joe's \"best\" server"; },
         replaced(base, "\"My dod server.\"", "\"Joe's \"best\" server\"")},
        {"an empty value ends after the blank", [](ServerCfgInputs& in) { in.values.back() = ""; },
         replaced(base, lastLine, last + " ")},
        {"values are not trimmed", [](ServerCfgInputs& in) { in.values.back() = " 3 "; },
         replaced(base, lastLine, last + "  3 ")},
        {"a setting without a value is written empty",
         [](ServerCfgInputs& in) { in.values.pop_back(); }, replaced(base, lastLine, last + " ")},
    };
    for (const auto& row : rows) {
        ServerCfgInputs in = defaults();
        row.change(in);
        EXPECT_EQ(composeServerCfg(in), row.expected) << row.what;
    }
}

} // namespace
