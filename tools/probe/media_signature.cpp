#include "tools/probe/media_signature.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vantelo {
namespace {

constexpr std::uint8_t kTsSync = 0x47;
constexpr std::size_t kTsPacket = 188;
constexpr std::size_t kM2tsPacket = 192;  // a 4-byte time stamp before each TS packet

std::uint8_t ByteAt(std::string_view bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes[at]); }

// A signature either matches, cannot match, or needs bytes not yet read.
enum class Match { Yes, No, Unknown };

Match SyncBytes(std::string_view bytes, std::size_t first, std::size_t packet)
{
    if (bytes.size() <= first)
        return Match::Unknown;
    if (ByteAt(bytes, first) != kTsSync)
        return Match::No;
    // One sync byte is 1 in 256 for any data; two a packet apart is a stream.
    if (bytes.size() <= first + packet)
        return Match::Unknown;
    return ByteAt(bytes, first + packet) == kTsSync ? Match::Yes : Match::No;
}

Match Prefix(std::string_view bytes, std::string_view prefix)
{
    const std::size_t n = std::min(bytes.size(), prefix.size());
    if (bytes.substr(0, n) != prefix.substr(0, n))
        return Match::No;
    return n == prefix.size() ? Match::Yes : Match::Unknown;
}

// ISO base media files and fragments start with a box: a 32-bit size, then
// its type. Live fMP4 segments start with styp, moof, sidx, emsg or prft.
Match IsoBox(std::string_view bytes)
{
    if (bytes.size() < 8)
        return Match::Unknown;
    static constexpr std::array<std::string_view, 9> kTypes = {"ftyp", "styp", "moof", "sidx", "emsg",
                                                               "prft", "moov", "mdat", "free"};
    const std::string_view type = bytes.substr(4, 4);
    for (const std::string_view known : kTypes) {
        if (type == known)
            return Match::Yes;
    }
    return Match::No;
}

// AAC in ADTS frames, as HLS packed audio and AAC radio send it.
Match Adts(std::string_view bytes)
{
    if (bytes.empty())
        return Match::Unknown;
    if (ByteAt(bytes, 0) != 0xFF)
        return Match::No;
    if (bytes.size() < 3)
        return Match::Unknown;
    const bool sync = (ByteAt(bytes, 1) & 0xF6) == 0xF0;  // 12 sync bits, layer 00
    const int samplingIndex = (ByteAt(bytes, 2) >> 2) & 0x0F;
    return sync && samplingIndex < 13 ? Match::Yes : Match::No;
}

// An MPEG audio frame header (MP3 radio), with its reserved values ruled out.
Match MpegAudio(std::string_view bytes)
{
    if (bytes.empty())
        return Match::Unknown;
    if (ByteAt(bytes, 0) != 0xFF)
        return Match::No;
    if (bytes.size() < 3)
        return Match::Unknown;
    const std::uint8_t b1 = ByteAt(bytes, 1);
    const std::uint8_t b2 = ByteAt(bytes, 2);
    const bool sync = (b1 & 0xE0) == 0xE0;
    const bool version = ((b1 >> 3) & 0x03) != 0x01;
    const bool layer = ((b1 >> 1) & 0x03) != 0x00;
    const bool bitrate = (b2 >> 4) != 0x0F;
    const bool sampleRate = ((b2 >> 2) & 0x03) != 0x03;
    return sync && version && layer && bitrate && sampleRate ? Match::Yes : Match::No;
}

}  // namespace

MediaSniff SniffMedia(std::string_view bytes, bool complete)
{
    struct Signature {
        std::string_view kind;
        Match match;
    };
    const Signature signatures[] = {
        {"MPEG-TS", SyncBytes(bytes, 0, kTsPacket)},
        {"MPEG-TS (M2TS)", SyncBytes(bytes, 4, kM2tsPacket)},
        {"fMP4", IsoBox(bytes)},
        {"ID3-tagged audio", Prefix(bytes, "ID3")},
        {"AAC (ADTS)", Adts(bytes)},
        {"MPEG audio", MpegAudio(bytes)},
        {"FLV", Prefix(bytes, "FLV\x01")},
        {"Matroska/WebM", Prefix(bytes, "\x1A\x45\xDF\xA3")},
        {"Ogg", Prefix(bytes, "OggS")},
    };
    bool undecided = false;
    for (const Signature& signature : signatures) {
        if (signature.match == Match::Yes)
            return {MediaSniff::State::Media, signature.kind};
        undecided = undecided || signature.match == Match::Unknown;
    }
    if (undecided && !complete)
        return {MediaSniff::State::NeedMore, {}};
    return {MediaSniff::State::NotMedia, {}};
}

std::string LeadingBytesHex(std::string_view bytes, std::size_t count)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < bytes.size() && i < count; ++i) {
        if (i > 0)
            hex += ' ';
        hex += kDigits[ByteAt(bytes, i) >> 4];
        hex += kDigits[ByteAt(bytes, i) & 0x0F];
    }
    return hex;
}

}  // namespace vantelo
