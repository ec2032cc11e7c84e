#include <gtest/gtest.h>

#include "tools/probe/resolve_url.h"

namespace vantelo {
namespace {

TEST(ResolveUrlTest, PlaylistEntriesResolveAgainstThePlaylist)
{
    struct Row {
        const char* base;
        const char* reference;
        const char* resolved;
    };
    const Row rows[] = {
        {"http://h.example/live/master.m3u8?token=1", "low/index.m3u8", "http://h.example/live/low/index.m3u8"},
        {"http://h.example/live/master.m3u8", "../seg/1.ts?x=2", "http://h.example/seg/1.ts?x=2"},
        {"http://h.example/live/master.m3u8", "/root.m3u8", "http://h.example/root.m3u8"},
        {"http://h.example/live/master.m3u8", "https://other.example/a.ts", "https://other.example/a.ts"},
        {"https://h.example:8443/a/b.m3u8", "//cdn.example/c.ts", "https://cdn.example/c.ts"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ResolveUrl(row.base, row.reference).value_or("(none)"), row.resolved) << row.reference;
    EXPECT_FALSE(ResolveUrl("not a url", "x.ts"));
}

}  // namespace
}  // namespace vantelo
