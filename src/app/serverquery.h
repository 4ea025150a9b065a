// Asking a game server what a server browser sees: the standard UDP server
// queries (A2S_INFO and A2S_RULES), their packets built and read, and the
// window's one-line summary of an answer. No Qt, no sockets: bytes in,
// values out. Every reader takes any bytes (cut short, too long or random)
// and never reads past their end.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorn::query {

// What a server says of itself in an A2S_INFO answer.
struct Info {
    std::string hostName;
    std::string map;
    std::string folder; // the game folder (mod)
    std::string game;   // the game's description
    int players = 0;
    int maxPlayers = 0;
    int bots = 0;
};

// One parsed datagram from a server.
struct Answer {
    enum class Kind {
        Unknown,   // not a whole answer of a kind we asked for
        Info,      // an A2S_INFO answer: 'I' (Source style) or 'm' (old GoldSrc)
        Challenge, // 'A': ask again with this challenge
        Rules,     // 'E': the server's cvars
    };
    Kind kind = Kind::Unknown;
    Info info;
    std::uint32_t challenge = 0; // with Kind::Challenge, as it came (little-endian)
    std::vector<std::pair<std::string, std::string>> rules; // with Kind::Rules
};

// The A2S_INFO request; with a challenge from an 'A' answer, the request
// that carries it.
std::string infoRequest();
std::string infoRequest(std::uint32_t challenge);

// The A2S_RULES request: first with the challenge 0xFFFFFFFF, which asks
// for one, then again with the challenge the server gave.
std::string rulesRequest(std::uint32_t challenge = 0xFFFFFFFFu);

// Reads one datagram. Split (multi-packet) answers are not put together:
// they come back as Unknown.
Answer parseAnswer(const std::string& datagram);

// The window's line for an answer:
// "Answering on UDP port N: <host name>, map <map>, <players>/<max> players".
std::string answeringText(int port, const Info& info);

} // namespace vorn::query
