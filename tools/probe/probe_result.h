#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/channel_code.h"

namespace vantelo {

// What checking one channel found. Exactly one verdict per channel.
enum class Verdict {
    Ok,                // media arrived
    HttpError,         // an answer other than 2xx, or redirects that go nowhere
    Timeout,           // the channel's deadline passed
    ConnectionFailed,  // no answer: name lookup, connect, TLS, or a closed connection
    NotMedia,          // an answer arrived, but it was no stream
    GeoBlocked,        // the server refused because of where we are
};

inline constexpr std::array<Verdict, 6> kVerdicts = {Verdict::Ok,       Verdict::HttpError,
                                                     Verdict::Timeout,  Verdict::ConnectionFailed,
                                                     Verdict::NotMedia, Verdict::GeoBlocked};

// The names printed in every output format; scripts match on them.
constexpr std::string_view VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok: return "ok";
    case Verdict::HttpError: return "http-error";
    case Verdict::Timeout: return "timeout";
    case Verdict::ConnectionFailed: return "connection-failed";
    case Verdict::NotMedia: return "not-media";
    case Verdict::GeoBlocked: return "geo-blocked";
    }
    return "?";
}

// Where a channel was when its deadline passed. Connect and first byte belong
// to the channel's own address; after that, the phase names what was being read.
enum class ProbePhase {
    Connect,    // name lookup, TCP or TLS not done
    FirstByte,  // connected, the request sent, no answer yet
    Playlist,   // reading an HLS playlist
    Segment,    // reading the first bytes of an HLS media segment
    Media,      // reading the first bytes of a direct stream
};

constexpr std::string_view PhaseName(ProbePhase phase)
{
    switch (phase) {
    case ProbePhase::Connect: return "connect";
    case ProbePhase::FirstByte: return "first byte";
    case ProbePhase::Playlist: return "playlist";
    case ProbePhase::Segment: return "segment";
    case ProbePhase::Media: return "media";
    }
    return "?";
}

struct ProbeResult {
    ChannelCode code = 0;
    Verdict verdict = Verdict::ConnectionFailed;
    // One line for people: the status, the phase of a timeout, curl's reason,
    // the kind of media found.
    std::string detail;
    // Milliseconds from the first request to the first byte of the media that
    // made the verdict ok; empty for every other verdict.
    std::optional<long long> firstMediaMs;
};

}  // namespace vantelo
