#include "tools/probe/channel_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "tools/probe/geo_block.h"
#include "tools/probe/media_signature.h"
#include "tools/probe/resolve_url.h"

#ifndef VANTELO_VERSION
#define VANTELO_VERSION "0"
#endif

namespace vantelo {
namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The content types HLS playlists are served with, as the HLS RFC and the
// players that came before it named them.
bool IsHlsContentType(const std::string& contentType)
{
    static constexpr std::array<std::string_view, 4> kTypes = {
        "application/vnd.apple.mpegurl", "application/x-mpegurl", "audio/mpegurl", "audio/x-mpegurl"};
    const std::string type = Lower(contentType.substr(0, contentType.find(';')));
    return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

bool HasPlaylistPath(const std::string& url)
{
    const std::string path = Lower(url.substr(0, url.find_first_of("?#")));
    return EndsWith(path, ".m3u8") || EndsWith(path, ".m3u");
}

long long Milliseconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

}  // namespace

ChannelCheck::ChannelCheck(const ProbeTarget& target, std::chrono::milliseconds timeout)
    : m_target(target), m_start(Clock::now()), m_deadline(m_start + timeout), m_easy(curl_easy_init())
{
    m_result.code = target.code;
}

bool ChannelCheck::Begin()
{
    if (!m_easy)
        return Finish(Verdict::ConnectionFailed, "curl could not make a request");
    return Request(Step::Address, m_target.url);
}

bool ChannelCheck::Request(Step step, const std::string& url)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now());
    m_step = step;
    m_url = url;
    m_connected = false;
    m_answered = false;
    m_stopped = false;
    m_body.clear();
    m_location.clear();
    m_firstBodyByte.reset();
    m_error[0] = '\0';
    if (left.count() <= 0)  // nothing of this request happened: its phase is where it would start
        return Finish(Verdict::Timeout, std::string(PhaseName(Phase())));

    CURL* easy = m_easy.get();
    curl_easy_reset(easy);
    curl_easy_setopt(easy, CURLOPT_URL, m_url.c_str());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
    // Streams are web addresses; anything else in a playlist is not followed.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // Redirects are followed here, one request each, to catch loops at once and
    // to look at where each one points.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Vantelo/" VANTELO_VERSION " (stream check)");
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &ChannelCheck::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &ChannelCheck::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, &ChannelCheck::OnConnected);
    curl_easy_setopt(easy, CURLOPT_PREREQDATA, this);
    if (step == Step::Segment && m_range) {
        // Ask only for the bytes the read limit lets us keep.
        const std::uint64_t last = m_range->offset + std::min<std::uint64_t>(m_range->length, kMediaReadLimit) - 1;
        const std::string range = std::to_string(m_range->offset) + '-' + std::to_string(last);
        curl_easy_setopt(easy, CURLOPT_RANGE, range.c_str());  // curl copies it
    }
    return true;
}

std::size_t ChannelCheck::OnHeader(char* data, std::size_t size, std::size_t count, void* check)
{
    auto& self = *static_cast<ChannelCheck*>(check);
    const std::size_t length = size * count;
    self.m_answered = true;
    const std::string_view line(data, length);
    if (Lower(line.substr(0, 9)) == "location:") {
        std::string_view value = line.substr(9);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
            value.remove_suffix(1);
        self.m_location = value;
    } else if (line.substr(0, 5) == "HTTP/") {
        self.m_location.clear();  // a new answer (after an interim 1xx) brings its own
    }
    if (line == "\r\n" || line == "\n") {
        const long status = self.Status();
        // A redirect's body is of no use; its Location is already read.
        if (status >= 300 && status < 400) {
            self.m_stopped = true;
            return 0;
        }
    }
    return length;
}

std::size_t ChannelCheck::OnBody(char* data, std::size_t size, std::size_t count, void* check)
{
    auto& self = *static_cast<ChannelCheck*>(check);
    const std::size_t length = size * count;
    if (!self.m_firstBodyByte)
        self.m_firstBodyByte = Clock::now();
    // Keep the most any answer may need, then cut to what this one turned out
    // to be: the first chunk may be all that shows it is a playlist.
    self.m_body.append(data, std::min(length, kPlaylistReadLimit - std::min(kPlaylistReadLimit, self.m_body.size())));
    const std::size_t limit = self.ReadLimit();
    if (self.m_body.size() > limit)
        self.m_body.resize(limit);
    const long status = self.Status();
    const bool media = status >= 200 && status < 300 &&
                       SniffMedia(self.m_body, false).state == MediaSniff::State::Media;
    if (media || self.m_body.size() >= limit) {
        self.m_stopped = true;
        return 0;
    }
    return length;
}

int ChannelCheck::OnConnected(void* check, char*, char*, int, int)
{
    static_cast<ChannelCheck*>(check)->m_connected = true;
    return CURL_PREREQFUNC_OK;
}

long ChannelCheck::Status() const
{
    long status = 0;
    curl_easy_getinfo(m_easy.get(), CURLINFO_RESPONSE_CODE, &status);
    return status;
}

std::string ChannelCheck::ContentType() const
{
    const char* type = nullptr;
    curl_easy_getinfo(m_easy.get(), CURLINFO_CONTENT_TYPE, &type);
    return type ? std::string(type) : std::string();
}

bool ChannelCheck::MayBePlaylist() const
{
    if (m_step == Step::Segment)
        return false;
    return StartsLikePlaylist(m_body) || HasPlaylistPath(m_url) || IsHlsContentType(ContentType());
}

std::size_t ChannelCheck::ReadLimit() const
{
    const long status = Status();
    if (status >= 200 && status < 300 && MayBePlaylist())
        return kPlaylistReadLimit;
    return kMediaReadLimit;
}

ProbePhase ChannelCheck::Phase() const
{
    switch (m_step) {
    case Step::Address:
        if (!m_connected && !m_answered)
            return ProbePhase::Connect;
        if (!m_answered)
            return ProbePhase::FirstByte;
        return MayBePlaylist() ? ProbePhase::Playlist : ProbePhase::Media;
    case Step::VariantPlaylist: return ProbePhase::Playlist;
    case Step::Segment: return ProbePhase::Segment;
    }
    return ProbePhase::Connect;
}

std::string ChannelCheck::Where() const
{
    switch (m_step) {
    case Step::Address: return {};
    case Step::VariantPlaylist: return " (variant playlist)";
    case Step::Segment: return " (segment)";
    }
    return {};
}

bool ChannelCheck::Continue(CURLcode outcome)
{
    if (outcome == CURLE_OPERATION_TIMEDOUT) {
        const ProbePhase phase = Phase();
        std::string detail(PhaseName(phase));
        // A name that never resolves is a different fault from a host that
        // does not answer; curl tells them apart in its message.
        if (phase == ProbePhase::Connect && std::string_view(m_error).starts_with("Resolving timed out"))
            detail += " (name lookup)";
        return Finish(Verdict::Timeout, detail);
    }
    if (outcome != CURLE_OK && !m_stopped) {
        // A broken connection still leaves a verdict when a status, or some
        // body to look at, arrived; otherwise curl's reason is the verdict.
        const long status = Status();
        const bool answered = status >= 300 || (status >= 200 && !m_body.empty());
        if (!answered)
            return Finish(Verdict::ConnectionFailed, m_error[0] ? m_error : curl_easy_strerror(outcome));
    }
    return Evaluate();
}

bool ChannelCheck::Evaluate()
{
    const long status = Status();
    if (status >= 300 && status < 400)
        return Redirect();
    const std::string code = "HTTP " + std::to_string(status);
    if (IsGeoBlockStatus(status))
        return Finish(Verdict::GeoBlocked, code + Where());
    if (status < 200 || status >= 300) {
        if (const auto marker = GeoBlockMarker(m_body))
            return Finish(Verdict::GeoBlocked, code + Where() + ", the answer says \"" + std::string(*marker) + '"');
        return Finish(Verdict::HttpError, code + Where());
    }
    if (m_step != Step::Segment && StartsLikePlaylist(m_body))
        return ReadPlaylist();

    const MediaSniff sniff = SniffMedia(m_body, true);
    if (sniff.state == MediaSniff::State::Media) {
        m_result.firstMediaMs = Milliseconds(*m_firstBodyByte - m_start);
        const std::string kind(sniff.kind);
        return Finish(Verdict::Ok, m_step == Step::Segment ? m_route + ": " + kind + ", " + m_segmentChoice
                                                           : kind + " stream");
    }
    if (m_step == Step::Segment && m_encryptedSegment && !m_body.empty()) {
        // Enciphered bytes show no signature; that they arrive is all we can know.
        m_result.firstMediaMs = Milliseconds(*m_firstBodyByte - m_start);
        return Finish(Verdict::Ok, m_route + ": encrypted, " + m_segmentChoice + " (content not inspected)");
    }
    if (const auto marker = GeoBlockMarker(m_body))
        return Finish(Verdict::GeoBlocked, "the answer says \"" + std::string(*marker) + '"' + Where());
    if (m_body.empty())
        return Finish(Verdict::NotMedia, "empty answer" + Where());
    const std::string type = ContentType();
    return Finish(Verdict::NotMedia, (type.empty() ? std::string("no content type") : type) + ", first bytes " +
                                         LeadingBytesHex(m_body) + Where());
}

bool ChannelCheck::Redirect()
{
    // Location may be relative to the address that answered.
    const std::optional<std::string> resolved =
        m_location.empty() ? std::nullopt : ResolveUrl(m_url, m_location);
    if (!resolved)
        return Finish(Verdict::HttpError, "HTTP " + std::to_string(Status()) + " without a usable Location" + Where());
    const std::string target = *resolved;
    if (const auto marker = GeoBlockMarker(target))
        return Finish(Verdict::GeoBlocked, "redirected to an address with \"" + std::string(*marker) + '"' + Where());
    m_hops.push_back(m_url);
    if (std::find(m_hops.begin(), m_hops.end(), target) != m_hops.end())
        return Finish(Verdict::HttpError, "redirect loop" + Where());
    if (m_hops.size() > static_cast<std::size_t>(kMaxProbeRedirects))
        return Finish(Verdict::HttpError, "more than " + std::to_string(kMaxProbeRedirects) + " redirects" + Where());
    return Request(m_step, target);
}

bool ChannelCheck::ReadPlaylist()
{
    ++m_playlists;
    const bool truncated = m_stopped && m_body.size() >= kPlaylistReadLimit;
    const HlsPlaylist playlist = ParseHlsPlaylist(m_body, truncated);
    const std::string base = m_url;
    m_hops.clear();
    if (playlist.isMaster()) {
        if (m_playlists >= kMaxProbePlaylists)
            return Finish(Verdict::NotMedia, "playlists nested more than " + std::to_string(kMaxProbePlaylists) + " deep");
        const HlsVariant& variant = ChooseVariant(playlist);
        const auto url = ResolveUrl(base, variant.uri);
        if (!url)
            return Finish(Verdict::NotMedia, "variant address does not parse" + Where());
        m_route = "HLS, lowest of " + std::to_string(playlist.variants.size()) + " variants";
        if (variant.bandwidth > 0)
            m_route += " (" + std::to_string(variant.bandwidth / 1000) + " kbit/s)";
        return Request(Step::VariantPlaylist, *url);
    }
    if (playlist.segments.empty()) {
        return Finish(Verdict::NotMedia, std::string(truncated ? "playlist cut at 64 KiB lists no segments"
                                                               : "playlist lists no segments") +
                                             Where());
    }
    const HlsSegment& segment = ChooseSegment(playlist);
    const auto url = ResolveUrl(base, segment.uri);
    if (!url)
        return Finish(Verdict::NotMedia, "segment address does not parse" + Where());
    if (m_route.empty())
        m_route = "HLS";
    m_segmentChoice = playlist.endList ? "first segment" : "newest segment";
    m_encryptedSegment = segment.encrypted;
    m_range = segment.byteRange;
    return Request(Step::Segment, *url);
}

bool ChannelCheck::Finish(Verdict verdict, std::string detail)
{
    m_result.verdict = verdict;
    m_result.detail = std::move(detail);
    if (verdict != Verdict::Ok)
        m_result.firstMediaMs.reset();
    // Results outlive the check; its buffers need not.
    std::string().swap(m_body);
    m_hops.clear();
    return false;
}

}  // namespace vantelo
