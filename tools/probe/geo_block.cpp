#include "tools/probe/geo_block.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vantelo {

std::optional<std::string_view> GeoBlockMarker(std::string_view text)
{
    static constexpr std::array<std::string_view, 18> kMarkers = {
        "geoblock",
        "geo-block",
        "geo_block",
        "geo block",
        "georestrict",
        "geo-restrict",
        "geo_restrict",
        "geofenc",
        "geo-fenc",
        "not available in your country",
        "not available in your region",
        "unavailable in your country",
        "unavailable in your region",
        "not available in your location",
        "outside of the uk",
        "outside of the us",
        "outside of the country",
        "outside of the region",
    };
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    for (const std::string_view marker : kMarkers) {
        if (std::search(text.begin(), text.end(), marker.begin(), marker.end(), sameLetter) != text.end())
            return marker;
    }
    return std::nullopt;
}

}  // namespace vantelo
