#pragma once

#include <optional>
#include <string>

namespace vantelo {

// The absolute address of a playlist entry, which may be relative to the
// playlist's own address (after its redirects). Empty when either does not
// parse as a URL.
std::optional<std::string> ResolveUrl(const std::string& base, const std::string& reference);

}  // namespace vantelo
