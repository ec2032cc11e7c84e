#pragma once

#include <cstdint>

namespace vantelo {

// Reads a number the lenient way the stored files have always been read: optional
// leading white space, an optional sign, then decimal digits up to the first other
// character. No text (a missing attribute) or no digits gives 0; values beyond the
// 32-bit range stick at its ends. Hand-edited files therefore never fail on a number.
std::int32_t ReadLeadingInteger(const char* text);

}  // namespace vantelo
