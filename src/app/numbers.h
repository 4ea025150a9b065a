// Numbers typed into text boxes.
#pragma once

#include <optional>
#include <string>

namespace vorn {

// The text read as a decimal number: optional blanks (spaces, tabs) around
// an optional sign, digits and an optional fraction ("8", " 0", "-3",
// "12.5", ".5"); the point is always ".". Empty text or anything else ("",
// "abc", "4x", "1e3", "1,5") is not a number.
std::optional<double> readNumber(const std::string& text);

// A number as plain decimal text, without a fraction part when it is whole
// ("15", "-1", "13.5").
std::string formatNumber(double value);

} // namespace vorn
