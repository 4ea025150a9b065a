// The game's 8-bit character set (Windows-1252) and UTF-8.
//
// Files of the game installation are 8-bit text; inside the program text is
// UTF-8. Reading decodes every byte; writing encodes what the character set
// holds and writes '?' for anything else (malformed UTF-8 too, one '?' per
// bad byte). The five bytes Windows-1252 leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) decode to the C1 controls of the same value, so every
// byte survives the round trip.
#pragma once

#include <string>
#include <vector>

namespace vorn::platform {

std::string cp1252ToUtf8(const std::string& bytes);
std::string utf8ToCp1252(const std::string& text);
// The characters of `text` that utf8ToCp1252 writes as '?', each once, in
// the order they first appear (a malformed byte as U+FFFD).
std::vector<std::string> cp1252Missing(const std::string& text);

} // namespace vorn::platform
