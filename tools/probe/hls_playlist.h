#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo {

struct HlsVariant {
    std::string uri;
    std::uint64_t bandwidth = 0;  // bits per second; 0 when the playlist gives none
};

struct HlsByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct HlsSegment {
    std::string uri;
    bool encrypted = false;  // an #EXT-X-KEY other than METHOD=NONE applies
    std::optional<HlsByteRange> byteRange;
};

// What the probe needs of an HLS playlist: a master's variants, or a media
// playlist's segments and whether it is finished (video on demand).
struct HlsPlaylist {
    std::vector<HlsVariant> variants;  // not empty: a master playlist
    std::vector<HlsSegment> segments;
    bool endList = false;
    bool isMaster() const { return !variants.empty(); }
};

// True when the bytes start like a playlist: "#EXTM3U", after an optional
// byte-order mark and white space.
bool StartsLikePlaylist(std::string_view bytes);

// Reads a playlist. When truncated (the probe stopped reading), a last line
// without its line end is dropped, as it may be cut.
HlsPlaylist ParseHlsPlaylist(std::string_view text, bool truncated = false);

// The variant the probe follows: the lowest declared bandwidth, so that it
// fetches the least and asks for the rendition most likely served to anyone;
// the first listed on a tie, or when none declares a bandwidth.
const HlsVariant& ChooseVariant(const HlsPlaylist& master);

// The segment the probe reads: of a live playlist the newest (last), which the
// server has just made and will keep longest; of a finished one the first,
// where playback starts.
const HlsSegment& ChooseSegment(const HlsPlaylist& media);

}  // namespace vantelo
