#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <curl/curl.h>

#include "tools/probe/hls_playlist.h"
#include "tools/probe/probe.h"
#include "tools/probe/probe_result.h"

namespace vantelo {

// The check of one channel: a chain of requests (redirects, playlists, one
// segment) made one at a time on a single curl easy handle, which the caller
// runs in its multi handle. Each request is given the time left of the
// channel's deadline, so curl ends it on time.
class ChannelCheck {
public:
    using Clock = std::chrono::steady_clock;

    ChannelCheck(const ProbeTarget& target, std::chrono::milliseconds timeout);
    ChannelCheck(const ChannelCheck&) = delete;
    ChannelCheck& operator=(const ChannelCheck&) = delete;

    // Prepares the first request. False when the check ended at once (the
    // result is then ready).
    bool Begin();

    // Takes curl's outcome of the current request. True when a next request
    // is prepared on easy(); false when the result is ready.
    bool Continue(CURLcode outcome);

    CURL* easy() const { return m_easy.get(); }
    const ProbeResult& result() const { return m_result; }

private:
    // What the request in flight fetches.
    enum class Step { Address, VariantPlaylist, Segment };

    struct EasyDeleter {
        void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
    };

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* check);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* check);
    static int OnConnected(void* check, char*, char*, int, int);

    bool Request(Step step, const std::string& url);
    bool Evaluate();
    bool Redirect();
    bool ReadPlaylist();
    bool Finish(Verdict verdict, std::string detail);

    long Status() const;
    std::string ContentType() const;
    bool MayBePlaylist() const;
    std::size_t ReadLimit() const;
    ProbePhase Phase() const;
    std::string Where() const;

    const ProbeTarget& m_target;
    Clock::time_point m_start;
    Clock::time_point m_deadline;
    std::unique_ptr<CURL, EasyDeleter> m_easy;
    char m_error[CURL_ERROR_SIZE] = {};
    ProbeResult m_result;

    // Across the chain.
    int m_playlists = 0;
    std::string m_route;          // how the segment was reached, for the detail of ok
    std::string m_segmentChoice;  // which segment was read, likewise
    bool m_encryptedSegment = false;
    std::optional<HlsByteRange> m_range;

    // The request in flight.
    Step m_step = Step::Address;
    std::string m_url;
    std::vector<std::string> m_hops;  // addresses already redirected from
    bool m_connected = false;
    bool m_answered = false;
    bool m_stopped = false;  // we ended the transfer: enough was read
    std::string m_body;
    std::string m_location;  // of a redirect
    std::optional<Clock::time_point> m_firstBodyByte;
};

}  // namespace vantelo
