#include <gtest/gtest.h>

#include "platform/hls_playlist.h"

namespace vantelo {
namespace {

const QUrl kMaster(QStringLiteral("https://cdn.example/live/master.m3u8?token=1"));

struct PlaylistCase {
    const char* name;
    QByteArray text;
    QString expected;  // empty: no variant chosen
};

class ChooseHlsVariantTest : public testing::TestWithParam<PlaylistCase> {};

TEST_P(ChooseHlsVariantTest, Chooses)
{
    const std::optional<QUrl> chosen = ChooseHlsVariant(GetParam().text, kMaster);
    if (GetParam().expected.isEmpty()) {
        EXPECT_FALSE(chosen.has_value()) << chosen.value_or(QUrl()).toString().toStdString();
    } else {
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->toString(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Playlists, ChooseHlsVariantTest,
    testing::Values(
        PlaylistCase{"highest_bandwidth_relative_uri",
                     "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000,RESOLUTION=640x360\nlow/index.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=2800000,RESOLUTION=1280x720\nhigh/index.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=1400000,RESOLUTION=960x540\nmid/index.m3u8\n",
                     "https://cdn.example/live/high/index.m3u8"},
        PlaylistCase{"crlf_blank_lines_and_absolute_uri",
                     "#EXTM3U\r\n\r\n#EXT-X-STREAM-INF:BANDWIDTH=5,CODECS=\"avc1.4d401f,mp4a.40.2\"\r\n"
                     "\r\nhttp://other.example/v.m3u8\r\n",
                     "http://other.example/v.m3u8"},
        PlaylistCase{"audio_only_variant_skipped",
                     "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=900000,CODECS=\"mp4a.40.2\"\naudio.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=500000,CODECS=\"avc1.42e01e,mp4a.40.2\"\nvideo.m3u8\n",
                     "https://cdn.example/live/video.m3u8"},
        PlaylistCase{"separate_audio_renditions_left_to_the_engine",
                     "#EXTM3U\n#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",NAME=\"en\",URI=\"audio/en.m3u8\"\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=900000,AUDIO=\"a\"\nvideo.m3u8\n",
                     ""},
        PlaylistCase{"media_playlist_is_not_a_master",
                     "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nseg1.ts\n", ""},
        PlaylistCase{"not_a_playlist", "<html>geo blocked</html>", ""},
        PlaylistCase{"variant_without_uri", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\n", ""},
        PlaylistCase{"other_schemes_refused", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nfile:///etc/passwd\n", ""}),
    [](const testing::TestParamInfo<PlaylistCase>& row) { return row.param.name; });

}  // namespace
}  // namespace vantelo
