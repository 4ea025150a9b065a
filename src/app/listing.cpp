// Reading what the outside commands and the add-on leave on disk.
#include "listing.h"

namespace vorn {

std::vector<std::string> splitModListing(const std::vector<std::string>& lines) {
    std::vector<std::string> entries;
    for (const std::string& line : lines) {
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = line.find(',', start);
            std::string piece =
                line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            if (!piece.empty())
                entries.push_back(std::move(piece));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    return entries;
}

std::string mapNameFromListing(const std::string& line) {
    static const char suffix[] = ".bsp";
    constexpr std::size_t suffixLength = sizeof suffix - 1;
    if (line.size() < suffixLength)
        return "";
    const std::size_t stem = line.size() - suffixLength;
    for (std::size_t i = 0; i < suffixLength; ++i) {
        char c = line[stem + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return "";
    }
    return line.substr(0, stem);
}

std::string versionFromHistory(const std::vector<std::string>& lines) {
    return lines.size() < 3 ? std::string() : lines[2];
}

} // namespace vorn
