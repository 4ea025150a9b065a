// Windows-style name handling for the POSIX side: case-insensitive matching
// as NTFS and Wine do it, wildcard patterns of `dir`, and the order in which
// a directory is listed. Used by the POSIX backend and by vorn-cmd.
#pragma once

#include <string>
#include <vector>

namespace vorn::platform::winnames {

// The name with every letter in upper case, as code points (UTF-8 in;
// malformed bytes are kept as they are, one per code point).
std::u32string upperKey(const std::string& utf8);

// Case-insensitive equality of two names.
bool sameName(const std::string& a, const std::string& b);

// Listing order: the case-insensitive word sort in which Wine's cmd.exe
// lists a directory (punctuation, then digits, then letters; hyphens and
// apostrophes only break ties), ties broken by the exact bytes.
bool listsBefore(const std::string& a, const std::string& b);

// `*` and `?` matching without regard to case. Like Windows, whose short
// 8.3 names also take part in a match, "*.abc" (three plain characters
// after the dot) also matches names whose last extension merely starts
// with "abc", such as "x.abc2"; "*.*" matches every name.
bool matchesPattern(const std::string& pattern, const std::string& name);

// The same, for one pattern tested against many names.
class NamePattern {
  public:
    explicit NamePattern(const std::string& pattern);
    bool matches(const std::string& name) const;

  private:
    std::u32string pattern_;
    std::u32string shortExt_;
    bool all_ = false;
    // For "*<plain ASCII text>" such as "*.bsp": the text in upper case,
    // matched against plain ASCII names without decoding them.
    std::string asciiSuffix_;
};

// Sorts names into listing order (see listsBefore).
void sortForListing(std::vector<std::string>& names);

bool hasWildcards(const std::string& text);

} // namespace vorn::platform::winnames
