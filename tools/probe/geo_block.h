#pragma once

#include <optional>
#include <string_view>

namespace vantelo {

// Statuses taken as a refusal by location: 451 says so, and 403 is what most
// stream CDNs answer to an address outside the licensed area.
constexpr bool IsGeoBlockStatus(long status) { return status == 403 || status == 451; }

// The geo-block marker a text mentions, if any, compared without regard to
// case. Texts are a redirect's target and the body of an answer that is no
// media (an error page, or a 200 page saying the channel is not available),
// never the media itself. The markers are the words CDNs and broadcasters use
// in such pages and addresses: "geoblock"/"geo-block"/"geo_block",
// "georestrict"/"geo-restrict", "geofenc"/"geo-fenc", "not available in your
// country/region/location", "unavailable in your country/region" and
// "outside of the uk/us/country/region". "geo" alone is not enough: CDNs name load balancers
// and hosts after it.
std::optional<std::string_view> GeoBlockMarker(std::string_view text);

}  // namespace vantelo
