#include <gtest/gtest.h>

#include "tools/probe/geo_block.h"

namespace vantelo {
namespace {

TEST(GeoBlockTest, KnownRefusalsAreFoundInAnyCase)
{
    struct Row {
        const char* text;
        const char* marker;  // nullptr: no geo block
    };
    const Row rows[] = {
        {"https://cdn.example/errors/GeoBlocked.mp4", "geoblock"},
        {"/geo-block/slate.m3u8", "geo-block"},
        {"{\"reason\":\"geo_blocked\"}", "geo_block"},
        {"Content GeoRestricted", "georestrict"},
        {"geofencing active", "geofenc"},
        {"<p>This video is NOT AVAILABLE IN YOUR COUNTRY.</p>", "not available in your country"},
        {"unavailable in your region", "unavailable in your region"},
        {"You appear to be outside of the UK.", "outside of the uk"},
        // Hosts and load balancers named after geography are no refusal.
        {"https://geo.cdn.example/live/index.m3u8", nullptr},
        {"https://geolocation-lb.example/stream", nullptr},
        {"Not Found", nullptr},
        {"", nullptr},
    };
    for (const Row& row : rows) {
        const auto marker = GeoBlockMarker(row.text);
        if (row.marker) {
            ASSERT_TRUE(marker) << row.text;
            EXPECT_EQ(*marker, row.marker) << row.text;
        } else {
            EXPECT_FALSE(marker) << row.text;
        }
    }
    EXPECT_TRUE(IsGeoBlockStatus(403));
    EXPECT_TRUE(IsGeoBlockStatus(451));
    EXPECT_FALSE(IsGeoBlockStatus(404));
    EXPECT_FALSE(IsGeoBlockStatus(401));
}

}  // namespace
}  // namespace vantelo
