#include <gtest/gtest.h>

#include <string>

#include "tools/probe/media_signature.h"

namespace vantelo {
namespace {

using State = MediaSniff::State;

std::string Ts(std::size_t packets, std::size_t packetSize = 188, std::size_t syncAt = 0)
{
    std::string bytes(packets * packetSize, '\xff');
    for (std::size_t i = 0; i < packets; ++i)
        bytes[i * packetSize + syncAt] = '\x47';
    return bytes;
}

std::string Box(const char* type) { return std::string("\x00\x00\x00\x18", 4) + type + std::string(16, '\0'); }

TEST(MediaSignatureTest, KnowsTheContainersStreamsComeIn)
{
    struct Row {
        const char* what;
        std::string bytes;
        State state;
        const char* kind;
    };
    const Row rows[] = {
        {"two TS packets", Ts(2), State::Media, "MPEG-TS"},
        {"M2TS packets", Ts(2, 192, 4), State::Media, "MPEG-TS (M2TS)"},
        {"fMP4 fragment", Box("moof"), State::Media, "fMP4"},
        {"fMP4 segment type", Box("styp"), State::Media, "fMP4"},
        {"MP4 file", Box("ftyp"), State::Media, "fMP4"},
        {"ID3 tag", "ID3\x04\x00", State::Media, "ID3-tagged audio"},
        {"ADTS", std::string("\xff\xf1\x50\x80", 4), State::Media, "AAC (ADTS)"},
        {"MP3 frame", std::string("\xff\xfb\x90\x64", 4), State::Media, "MPEG audio"},
        {"FLV", std::string("FLV\x01\x05", 5), State::Media, "FLV"},
        {"WebM", std::string("\x1a\x45\xdf\xa3\x01", 5), State::Media, "Matroska/WebM"},
        {"Ogg", "OggS\x00", State::Media, "Ogg"},
        // One sync byte alone is chance, until the next packet shows.
        {"one TS sync byte", Ts(1).substr(0, 100), State::NeedMore, ""},
        {"sync byte, none a packet later", std::string("\x47") + std::string(300, 'x'), State::NotMedia, ""},
        {"nothing yet", "", State::NeedMore, ""},
        {"web page", "<!DOCTYPE html><html>", State::NotMedia, ""},
        {"JSON error", "{\"error\":\"denied\"}", State::NotMedia, ""},
        {"0xFF with reserved sampling rate", std::string("\xff\xf1\x3c\x80\0\0\0\0", 8), State::NotMedia, ""},
        {"unknown box type", Box("abcd"), State::NotMedia, ""},
    };
    for (const Row& row : rows) {
        const MediaSniff sniff = SniffMedia(row.bytes, false);
        EXPECT_EQ(sniff.state, row.state) << row.what;
        EXPECT_EQ(sniff.kind, row.kind) << row.what;
    }
}

TEST(MediaSignatureTest, AnEndedAnswerThatCouldStillBeMediaIsNot)
{
    EXPECT_EQ(SniffMedia(Ts(1).substr(0, 100), true).state, State::NotMedia);
    EXPECT_EQ(SniffMedia("", true).state, State::NotMedia);
    EXPECT_EQ(SniffMedia(Ts(2), true).state, State::Media);
}

TEST(MediaSignatureTest, LeadingBytesAreShownAsHex)
{
    EXPECT_EQ(LeadingBytesHex(std::string("<h\x00\xff", 4)), "3c 68 00 ff");
    EXPECT_EQ(LeadingBytesHex("0123456789"), "30 31 32 33 34 35 36 37");
    EXPECT_EQ(LeadingBytesHex(""), "");
}

}  // namespace
}  // namespace vantelo
