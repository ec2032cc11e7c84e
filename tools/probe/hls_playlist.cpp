#include "tools/probe/hls_playlist.h"

#include <charconv>

namespace vantelo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TrimmedLine(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::optional<std::uint64_t> Number(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The value of NAME in an attribute list such as
// BANDWIDTH=800000,CODECS="avc1.4d401f,mp4a.40.2",RESOLUTION=640x360.
// Quoted values may hold commas, so the list is walked, not split.
std::optional<std::string_view> Attribute(std::string_view list, std::string_view name)
{
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t equals = list.find('=', at);
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view key = TrimmedLine(list.substr(at, equals - at));
        std::size_t valueStart = equals + 1;
        std::size_t valueEnd = 0;
        std::size_t next = 0;
        if (valueStart < list.size() && list[valueStart] == '"') {
            ++valueStart;
            valueEnd = list.find('"', valueStart);
            if (valueEnd == std::string_view::npos)
                valueEnd = list.size();
            next = list.find(',', valueEnd);
        } else {
            valueEnd = list.find(',', valueStart);
            if (valueEnd == std::string_view::npos)
                valueEnd = list.size();
            next = valueEnd;
        }
        if (key == name)
            return list.substr(valueStart, valueEnd - valueStart);
        if (next == std::string_view::npos)
            return std::nullopt;
        at = next + 1;
    }
    return std::nullopt;
}

}  // namespace

bool StartsLikePlaylist(std::string_view bytes)
{
    if (StartsWith(bytes, kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t' || bytes.front() == '\r' ||
                              bytes.front() == '\n'))
        bytes.remove_prefix(1);
    return StartsWith(bytes, "#EXTM3U");
}

HlsPlaylist ParseHlsPlaylist(std::string_view text, bool truncated)
{
    if (truncated) {
        const std::size_t lastEnd = text.rfind('\n');
        text = lastEnd == std::string_view::npos ? std::string_view() : text.substr(0, lastEnd + 1);
    }
    HlsPlaylist playlist;
    bool awaitingVariantUri = false;
    std::uint64_t bandwidth = 0;
    bool encrypted = false;
    std::optional<HlsByteRange> pendingRange;
    std::uint64_t nextRangeOffset = 0;  // a range without @offset follows the previous one
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimmedLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty())
            continue;
        if (line.front() == '#') {
            if (StartsWith(line, "#EXT-X-STREAM-INF:")) {
                const auto value = Attribute(line.substr(18), "BANDWIDTH");
                bandwidth = value ? Number(*value).value_or(0) : 0;
                awaitingVariantUri = true;
            } else if (StartsWith(line, "#EXT-X-KEY:")) {
                const auto method = Attribute(line.substr(11), "METHOD");
                encrypted = method && *method != "NONE";
            } else if (StartsWith(line, "#EXT-X-BYTERANGE:")) {
                const std::string_view range = line.substr(17);
                const std::size_t at = range.find('@');
                const auto length = Number(range.substr(0, at));
                const auto offset =
                    at == std::string_view::npos ? std::optional(nextRangeOffset) : Number(range.substr(at + 1));
                if (length && offset)
                    pendingRange = HlsByteRange{*offset, *length};
            } else if (line == "#EXT-X-ENDLIST") {
                playlist.endList = true;
            }
            continue;
        }
        if (awaitingVariantUri) {
            playlist.variants.push_back({std::string(line), bandwidth});
            awaitingVariantUri = false;
            continue;
        }
        if (pendingRange)
            nextRangeOffset = pendingRange->offset + pendingRange->length;
        playlist.segments.push_back({std::string(line), encrypted, pendingRange});
        pendingRange.reset();
    }
    return playlist;
}

const HlsVariant& ChooseVariant(const HlsPlaylist& master)
{
    const HlsVariant* chosen = &master.variants.front();
    for (const HlsVariant& variant : master.variants) {
        if (variant.bandwidth == 0)
            continue;
        if (chosen->bandwidth == 0 || variant.bandwidth < chosen->bandwidth)
            chosen = &variant;
    }
    return *chosen;
}

const HlsSegment& ChooseSegment(const HlsPlaylist& media)
{
    return media.endList ? media.segments.front() : media.segments.back();
}

}  // namespace vantelo
