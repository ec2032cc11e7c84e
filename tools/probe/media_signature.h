#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantelo {

// Most leading bytes any signature below needs (M2TS: 0x47 at 4 and at 196).
inline constexpr std::size_t kLongestMediaSignature = 197;

struct MediaSniff {
    enum class State {
        Media,     // a known container or elementary stream starts here
        NeedMore,  // the bytes so far could still start one
        NotMedia,  // no known signature can start with these bytes
    };
    State state = State::NeedMore;
    std::string_view kind;  // "MPEG-TS", "fMP4", ... when Media
};

// Looks at the first bytes of an answer. The content type is not trusted:
// servers label segments as text/plain or image/png and still send TS, and a
// media type on an error page is no media. When complete, the bytes are all
// the answer holds and NeedMore becomes NotMedia.
MediaSniff SniffMedia(std::string_view bytes, bool complete);

// The first bytes as hex, for the detail of a not-media verdict.
std::string LeadingBytesHex(std::string_view bytes, std::size_t count = 8);

}  // namespace vantelo
