// The A2S_INFO and A2S_RULES packets: built, read, and said in one line.
//
// Every answer starts with four 0xFF bytes (a whole, unsplit datagram) and
// a kind byte. Numbers are little-endian; strings end in a NUL byte. The
// reader below checks every byte it takes against the end of the datagram,
// so a cut, padded or random datagram gives Unknown or what it holds, never
// a read past its end.
#include "serverquery.h"

#include <cstddef>

namespace vorn::query {

namespace {

const std::string kHeader("\xFF\xFF\xFF\xFF", 4);

// Reads a datagram front to back. Once a read fails, every later read fails
// too, so a caller checks ok() once at the end of what it needs.
class Reader {
  public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= bytes_.size(); }

    std::uint8_t byte() {
        if (!ok_ || pos_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint8_t>(bytes_[pos_++]);
    }

    std::uint16_t shortLe() {
        const std::uint16_t lo = byte();
        const std::uint16_t hi = byte();
        return static_cast<std::uint16_t>(lo | (hi << 8));
    }

    std::uint32_t longLe() {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= static_cast<std::uint32_t>(byte()) << shift;
        return value;
    }

    // A string up to its NUL byte; a string without one fails the read.
    std::string text() {
        if (!ok_)
            return {};
        const std::size_t end = bytes_.find('\0', pos_);
        if (end == std::string::npos) {
            ok_ = false;
            return {};
        }
        std::string s = bytes_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return s;
    }

  private:
    const std::string& bytes_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

std::string littleEndian(std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

// The Source-style answer: protocol, name, map, folder, game, app id,
// players, max players, bots; what follows (server type, environment,
// visibility, VAC, version, extra data) is not needed.
bool readSourceInfo(Reader& r, Info& info) {
    r.byte(); // protocol
    info.hostName = r.text();
    info.map = r.text();
    info.folder = r.text();
    info.game = r.text();
    r.shortLe(); // app id
    info.players = r.byte();
    info.maxPlayers = r.byte();
    info.bots = r.byte();
    return r.ok();
}

// The old GoldSrc answer: address, name, map, folder, game, players, max
// players, protocol; then server type, environment, visibility, a mod flag
// with the mod's details, VAC and at last the bots. Older servers stop
// before the bots, so they count as none when the datagram ends early.
bool readGoldSrcInfo(Reader& r, Info& info) {
    r.text(); // the server's address
    info.hostName = r.text();
    info.map = r.text();
    info.folder = r.text();
    info.game = r.text();
    info.players = r.byte();
    info.maxPlayers = r.byte();
    r.byte(); // protocol
    if (!r.ok())
        return false;
    r.byte(); // server type
    r.byte(); // environment
    r.byte(); // visibility
    if (r.byte() == 1) {
        r.text();   // the mod's web page
        r.text();   // where to download it
        r.byte();   // a NUL byte
        r.longLe(); // version
        r.longLe(); // size
        r.byte();   // multiplayer only
        r.byte();   // own game library
    }
    r.byte(); // VAC
    const int bots = r.byte();
    info.bots = r.ok() ? bots : 0;
    return true;
}

} // namespace

std::string infoRequest() {
    return kHeader + std::string("TSource Engine Query\0", 21);
}

std::string infoRequest(std::uint32_t challenge) {
    return infoRequest() + littleEndian(challenge);
}

std::string rulesRequest(std::uint32_t challenge) {
    return kHeader + "V" + littleEndian(challenge);
}

Answer parseAnswer(const std::string& datagram) {
    Answer answer;
    if (datagram.size() < 5 || datagram.compare(0, kHeader.size(), kHeader) != 0)
        return answer;
    // The reader starts behind the header; it holds the datagram by
    // reference, so the rest is kept alive here.
    const std::string rest = datagram.substr(5);
    Reader r(rest);
    switch (datagram[4]) {
    case 'I': {
        Info info;
        if (readSourceInfo(r, info)) {
            answer.kind = Answer::Kind::Info;
            answer.info = std::move(info);
        }
        break;
    }
    case 'm': {
        Info info;
        if (readGoldSrcInfo(r, info)) {
            answer.kind = Answer::Kind::Info;
            answer.info = std::move(info);
        }
        break;
    }
    case 'A': {
        const std::uint32_t challenge = r.longLe();
        if (r.ok()) {
            answer.kind = Answer::Kind::Challenge;
            answer.challenge = challenge;
        }
        break;
    }
    case 'E': {
        const int count = r.shortLe();
        std::vector<std::pair<std::string, std::string>> rules;
        // A count the datagram cannot hold stops at its end: each pair
        // takes at least two bytes, so the loop ends there at the latest.
        for (int i = 0; i < count && r.ok(); ++i) {
            std::string name = r.text();
            std::string value = r.text();
            if (r.ok())
                rules.emplace_back(std::move(name), std::move(value));
        }
        if (r.ok()) {
            answer.kind = Answer::Kind::Rules;
            answer.rules = std::move(rules);
        }
        break;
    }
    default:
        break;
    }
    return answer;
}

std::string answeringText(int port, const Info& info) {
    return "Answering on UDP port " + std::to_string(port) + ": " + info.hostName + ", map " +
           info.map + ", " + std::to_string(info.players) + "/" + std::to_string(info.maxPlayers) +
           " players";
}

} // namespace vorn::query
