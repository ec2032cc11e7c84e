#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/channel_code.h"
#include "tools/probe/probe_result.h"

namespace vantelo {

// Channels checked at once. With every channel an HLS master (three requests
// in a row: master, variant, segment), 128 at once checks the 408 catalogue
// channels in four rounds: about 1.2 s when every request takes 100 ms. The
// price: up to 128 connections open at once, and a catalogue where nothing
// answers takes four deadlines (40 s at the default timeout).
inline constexpr int kDefaultProbeConcurrency = 128;
// Each channel holds one socket; staying well under the usual limit of 1024
// open files leaves room for curl's own descriptors.
inline constexpr int kMaxProbeConcurrency = 512;
inline constexpr std::chrono::milliseconds kDefaultProbeTimeout{10000};

// Redirects followed for one address before it counts as an HTTP error.
inline constexpr int kMaxProbeRedirects = 5;
// Playlists read per channel: the address, a variant, and one more for the
// odd master whose variant is itself a master.
inline constexpr int kMaxProbePlaylists = 3;
// Most bytes kept of any answer: a playlist, or the first bytes of media and
// of pages that are no media. Whatever a server sends, a channel holds no more.
inline constexpr std::size_t kPlaylistReadLimit = 64 * 1024;
inline constexpr std::size_t kMediaReadLimit = 4 * 1024;

struct ProbeTarget {
    ChannelCode code = 0;
    std::string url;
};

struct ProbeOptions {
    int concurrency = kDefaultProbeConcurrency;
    // The deadline of one channel, for all its requests together.
    std::chrono::milliseconds timeout = kDefaultProbeTimeout;
};

// Checks stream addresses concurrently, on the calling thread, and tells for
// each whether media arrives. Reads only as much of each answer as it needs.
class Probe {
public:
    // Called after each channel's verdict, with the number of channels done.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    explicit Probe(ProbeOptions options = {});

    // One result per target, in the targets' order.
    std::vector<ProbeResult> Run(const std::vector<ProbeTarget>& targets, const Progress& progress = {}) const;

private:
    ProbeOptions m_options;
};

}  // namespace vantelo
