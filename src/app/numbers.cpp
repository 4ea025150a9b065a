// Numbers typed into text boxes: read and written without the locale, so a
// decimal point is always ".".
#include "numbers.h"

#include <charconv>
#include <cmath>

namespace vorn {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> readNumber(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
        negative = text[begin] == '-';
        ++begin;
    }
    const std::size_t digitsBegin = begin;

    // Digits, then at most one point with more digits; at least one digit
    // in all ("5", "5.", ".5").
    std::size_t digits = 0;
    bool point = false;
    for (std::size_t i = begin; i < end; ++i) {
        if (isDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;

    double value = 0;
    const char* first = text.data() + digitsBegin;
    const char* last = text.data() + end;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::string formatNumber(double value) {
    if (value == 0)
        return "0"; // never "-0"
    char buffer[400];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc())
        return "0";
    return std::string(buffer, ptr);
}

} // namespace vorn
