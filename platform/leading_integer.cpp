#include "platform/leading_integer.h"

#include <limits>

namespace vantelo {
namespace {

// The C locale's white space, without depending on the current locale.
bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t ReadLeadingInteger(const char* text)
{
    if (text == nullptr)
        return 0;
    while (IsWhiteSpace(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;

    // Counted as a magnitude and clamped as soon as it passes the limit, so a long
    // run of digits cannot overflow.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace vantelo
