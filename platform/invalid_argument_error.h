#pragma once

#include <stdexcept>

namespace vantelo {

// Raised when a list is read at a position it does not hold. Event entry points
// catch it through RunGuarded and report it; it never crosses Qt's event loop.
class InvalidArgumentError : public std::out_of_range {
public:
    InvalidArgumentError() : std::out_of_range("invalid argument") {}
};

}  // namespace vantelo
