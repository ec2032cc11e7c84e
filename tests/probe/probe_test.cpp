#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "probe/local_ports.h"
#include "probe/probe_server.h"
#include "tools/probe/probe.h"

namespace vantelo {

// Failed comparisons of verdicts show their names.
void PrintTo(Verdict verdict, std::ostream* stream) { *stream << VerdictName(verdict); }

namespace {

using namespace std::chrono_literals;

struct Case {
    std::string address;  // a path on the test server, or a whole URL
    Verdict verdict;
    std::string detail;  // a part of the detail that names what was found
};

// Probes every case at once and checks each verdict. Codes are the cases'
// positions, so a result in the wrong place shows as well.
void ExpectVerdicts(const std::vector<Case>& cases, const ProbeOptions& options)
{
    test::ProbeServer server;
    ASSERT_TRUE(server.Start());
    std::vector<ProbeTarget> targets;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string& address = cases[i].address;
        targets.push_back({static_cast<ChannelCode>(1000 + i),
                           address.starts_with('/') ? server.Url(address) : address});
    }
    std::size_t reported = 0;
    const std::vector<ProbeResult> results = Probe(options).Run(targets, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(done, reported + 1);
        EXPECT_EQ(total, cases.size());
        reported = done;
    });
    ASSERT_EQ(results.size(), cases.size());
    EXPECT_EQ(reported, cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ProbeResult& result = results[i];
        SCOPED_TRACE(cases[i].address + " -> " + std::string(VerdictName(result.verdict)) + ": " + result.detail);
        EXPECT_EQ(result.code, targets[i].code);
        EXPECT_EQ(result.verdict, cases[i].verdict);
        // A timeout's detail is its phase alone; other details hold curl's
        // words or addresses, of which the case names the telling part.
        if (cases[i].verdict == Verdict::Timeout && !cases[i].detail.empty())
            EXPECT_EQ(result.detail, cases[i].detail);
        else
            EXPECT_NE(result.detail.find(cases[i].detail), std::string::npos);
        // Time to the first media byte belongs to ok alone.
        EXPECT_EQ(result.firstMediaMs.has_value(), cases[i].verdict == Verdict::Ok);
        if (result.firstMediaMs) {
            EXPECT_GE(*result.firstMediaMs, 0);
        }
    }
}

TEST(ProbeTest, EveryAnswerThatEndsGetsItsVerdict)
{
    const std::string closed = "http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort()) + "/ok.ts";
    const std::vector<Case> cases = {
        {"/ok.ts", Verdict::Ok, "MPEG-TS stream"},
        {"/endless.ts", Verdict::Ok, "MPEG-TS stream"},
        {"/redirect/ok.ts", Verdict::Ok, "MPEG-TS stream"},
        {"/chain/5", Verdict::Ok, "MPEG-TS stream"},
        {"/hls/master.m3u8", Verdict::Ok, "HLS, lowest of 3 variants (300 kbit/s): MPEG-TS, newest segment"},
        {"/hls/low/index.m3u8", Verdict::Ok, "HLS: MPEG-TS, newest segment"},
        {"/hls/vod.m3u8", Verdict::Ok, "HLS: MPEG-TS, first segment"},
        {"/hls/fmp4.m3u8", Verdict::Ok, "HLS: fMP4, newest segment"},
        {"/hls/audio.m3u8", Verdict::Ok, "HLS: ID3-tagged audio"},
        {"/hls/aes.m3u8", Verdict::Ok, "HLS: encrypted, newest segment"},
        {"/hls/ranged.m3u8", Verdict::Ok, "HLS: MPEG-TS, newest segment"},
        {"/status/404", Verdict::HttpError, "HTTP 404"},
        {"/status/500", Verdict::HttpError, "HTTP 500"},
        {"/hls/variant-404.m3u8", Verdict::HttpError, "HTTP 404 (variant playlist)"},
        {"/loop/a", Verdict::HttpError, "redirect loop"},
        {"/chain/6", Verdict::HttpError, "more than 5 redirects"},
        {"/status/403", Verdict::GeoBlocked, "HTTP 403"},
        {"/status/451", Verdict::GeoBlocked, "HTTP 451"},
        {"/hls/segment-403.m3u8", Verdict::GeoBlocked, "HTTP 403 (segment)"},
        {"/geo/redirect", Verdict::GeoBlocked, "redirected to an address with \"geoblock\""},
        {"/geo/page", Verdict::GeoBlocked, "not available in your country"},
        {"/geo/404", Verdict::GeoBlocked, "HTTP 404, the answer says \"unavailable in your region\""},
        {"/garbage.ts", Verdict::NotMedia, "video/mp2t, first bytes 54 68 69 73"},
        {"/page.html", Verdict::NotMedia, "text/html"},
        {"/endless.bin", Verdict::NotMedia, "application/octet-stream"},
        {"/endless.m3u8", Verdict::NotMedia, "playlist cut at 64 KiB lists no segments"},
        {"/hls/no-segments.m3u8", Verdict::NotMedia, "playlist lists no segments"},
        {"/hls/segment-page.m3u8", Verdict::NotMedia, "text/html, first bytes 3c 21 44 4f 43 54 59 50 (segment)"},
        {"/hangup", Verdict::ConnectionFailed, "Empty reply from server"},
        {closed, Verdict::ConnectionFailed, "Failed to connect to 127.0.0.1"},
    };
    // Fewer at once than there are cases, so that channels also wait their turn.
    ExpectVerdicts(cases, {.concurrency = 4, .timeout = 60s});
}

TEST(ProbeTest, AnswersThatNeverEndTimeOutInTheirPhase)
{
    const test::UnansweredLoopbackPort unanswered;
    const std::vector<Case> cases = {
        {"http://127.0.0.1:" + std::to_string(unanswered.port()) + "/ok.ts", Verdict::Timeout, "connect"},
        {"/stall", Verdict::Timeout, "first byte"},
        {"/hls/stall-playlist.m3u8", Verdict::Timeout, "playlist"},
        {"/hls/stall-segment.m3u8", Verdict::Timeout, "segment"},
        {"/drip.ts", Verdict::Timeout, "media"},
    };
    ExpectVerdicts(cases, {.concurrency = kDefaultProbeConcurrency, .timeout = 5s});
}

TEST(ProbeTest, TheDeadlineCoversAllRequestsOfAChannel)
{
    // Each request of the chain (master, variant, segment) takes 3 s, less than
    // the deadline; together they take longer.
    ExpectVerdicts({{"/delay/3000/hls/master.m3u8", Verdict::Timeout, ""}}, {.concurrency = 1, .timeout = 5s});
}

TEST(ProbeTest, NothingToCheckIsNoWork)
{
    EXPECT_TRUE(Probe().Run({}).empty());
}

}  // namespace
}  // namespace vantelo
