#include <gtest/gtest.h>

#include "tools/probe/hls_playlist.h"

namespace vantelo {
namespace {

TEST(HlsPlaylistTest, RecognisesAPlaylistByItsFirstLine)
{
    EXPECT_TRUE(StartsLikePlaylist("#EXTM3U\n#EXT-X-VERSION:3\n"));
    EXPECT_TRUE(StartsLikePlaylist("\xEF\xBB\xBF#EXTM3U\r\n"));
    EXPECT_TRUE(StartsLikePlaylist("\r\n  #EXTM3U"));
    EXPECT_FALSE(StartsLikePlaylist("#EXTM3"));
    EXPECT_FALSE(StartsLikePlaylist("<html>#EXTM3U"));
    EXPECT_FALSE(StartsLikePlaylist(""));
}

TEST(HlsPlaylistTest, AMasterGivesItsVariantsAndTheLowestIsChosen)
{
    struct Row {
        const char* what;
        const char* playlist;
        std::size_t variants;
        const char* chosen;
    };
    const Row rows[] = {
        {"lowest in the middle",
         "#EXTM3U\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=2000000,CODECS=\"avc1.640028,mp4a.40.2\"\nhi.m3u8\n"
         "#EXT-X-STREAM-INF:CODECS=\"avc1.42c00d,mp4a.40.2\",BANDWIDTH=300000\nlow.m3u8\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=800000\nmid.m3u8\n",
         3, "low.m3u8"},
        // A comma inside quotes must not end the value before it.
        {"AVERAGE-BANDWIDTH is not BANDWIDTH",
         "#EXTM3U\n#EXT-X-STREAM-INF:AVERAGE-BANDWIDTH=100,BANDWIDTH=900\na.m3u8\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=500,AVERAGE-BANDWIDTH=1000\nb.m3u8\n",
         2, "b.m3u8"},
        {"a tie goes to the first", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=5\nx\n#EXT-X-STREAM-INF:BANDWIDTH=5\ny\n", 2,
         "x"},
        {"no bandwidth at all", "#EXTM3U\n#EXT-X-STREAM-INF:RESOLUTION=1x1\nfirst\n#EXT-X-STREAM-INF:RESOLUTION=2x2\nsecond\n",
         2, "first"},
        {"a declared bandwidth beats none",
         "#EXTM3U\n#EXT-X-STREAM-INF:RESOLUTION=1x1\nfirst\n#EXT-X-STREAM-INF:BANDWIDTH=9000000\nsecond\n", 2,
         "second"},
        {"I-frame playlists and comments are no variants",
         "#EXTM3U\n#EXT-X-I-FRAME-STREAM-INF:BANDWIDTH=10,URI=\"iframe.m3u8\"\n# note\n\n"
         "#EXT-X-STREAM-INF:BANDWIDTH=700\r\nonly.m3u8\r\n",
         1, "only.m3u8"},
    };
    for (const Row& row : rows) {
        const HlsPlaylist playlist = ParseHlsPlaylist(row.playlist);
        ASSERT_TRUE(playlist.isMaster()) << row.what;
        EXPECT_EQ(playlist.variants.size(), row.variants) << row.what;
        EXPECT_TRUE(playlist.segments.empty()) << row.what;
        EXPECT_EQ(ChooseVariant(playlist).uri, row.chosen) << row.what;
    }
}

TEST(HlsPlaylistTest, LiveGivesTheNewestSegmentAndVideoOnDemandTheFirst)
{
    const char* live = "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXTINF:6,\nold.ts\n#EXTINF:6,\nnew.ts\n";
    const HlsPlaylist livePlaylist = ParseHlsPlaylist(live);
    EXPECT_FALSE(livePlaylist.isMaster());
    EXPECT_FALSE(livePlaylist.endList);
    ASSERT_EQ(livePlaylist.segments.size(), 2u);
    EXPECT_EQ(ChooseSegment(livePlaylist).uri, "new.ts");

    const HlsPlaylist vod = ParseHlsPlaylist(std::string(live) + "#EXT-X-ENDLIST\n");
    EXPECT_TRUE(vod.endList);
    EXPECT_EQ(ChooseSegment(vod).uri, "old.ts");
}

TEST(HlsPlaylistTest, KeysAndByteRangesFollowTheSegmentsTheyApplyTo)
{
    const HlsPlaylist playlist = ParseHlsPlaylist(
        "#EXTM3U\n"
        "#EXTINF:2,\nplain.ts\n"
        "#EXT-X-KEY:METHOD=AES-128,URI=\"key\"\n#EXT-X-BYTERANGE:100@50\n#EXTINF:2,\nfile.ts\n"
        "#EXT-X-BYTERANGE:30\n#EXTINF:2,\nfile.ts\n"
        "#EXT-X-KEY:METHOD=NONE\n#EXTINF:2,\nclear.ts\n");
    ASSERT_EQ(playlist.segments.size(), 4u);
    EXPECT_FALSE(playlist.segments[0].encrypted);
    EXPECT_FALSE(playlist.segments[0].byteRange);
    EXPECT_TRUE(playlist.segments[1].encrypted);
    ASSERT_TRUE(playlist.segments[1].byteRange);
    EXPECT_EQ(playlist.segments[1].byteRange->offset, 50u);
    EXPECT_EQ(playlist.segments[1].byteRange->length, 100u);
    // A range without an offset starts where the one before ended.
    ASSERT_TRUE(playlist.segments[2].byteRange);
    EXPECT_EQ(playlist.segments[2].byteRange->offset, 150u);
    EXPECT_EQ(playlist.segments[2].byteRange->length, 30u);
    EXPECT_FALSE(playlist.segments[3].encrypted);
    EXPECT_FALSE(playlist.segments[3].byteRange);
}

TEST(HlsPlaylistTest, ATruncatedPlaylistLosesItsCutLastLine)
{
    const char* cut = "#EXTM3U\n#EXTINF:6,\nwhole.ts\n#EXTINF:6,\nhal";
    EXPECT_EQ(ParseHlsPlaylist(cut, true).segments.size(), 1u);
    EXPECT_EQ(ParseHlsPlaylist(cut, false).segments.size(), 2u);
    EXPECT_TRUE(ParseHlsPlaylist("#EXTM3U", true).segments.empty());
}

}  // namespace
}  // namespace vantelo
