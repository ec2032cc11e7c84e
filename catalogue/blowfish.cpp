#include "catalogue/blowfish.h"

namespace vantelo {
namespace {

std::uint32_t Feistel(const BlowfishContext& context, std::uint32_t x)
{
    const std::uint32_t a = context.s[0][x >> 24];
    const std::uint32_t b = context.s[1][(x >> 16) & 0xFF];
    const std::uint32_t c = context.s[2][(x >> 8) & 0xFF];
    const std::uint32_t d = context.s[3][x & 0xFF];
    return ((a + b) ^ c) + d;
}

std::uint32_t LoadBigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void StoreBigEndian(std::uint32_t word, std::uint8_t* bytes)
{
    bytes[0] = static_cast<std::uint8_t>(word >> 24);
    bytes[1] = static_cast<std::uint8_t>(word >> 16);
    bytes[2] = static_cast<std::uint8_t>(word >> 8);
    bytes[3] = static_cast<std::uint8_t>(word);
}

template <typename BlockFunction>
void TransformBuffer(const BlowfishContext& context, const std::uint8_t* input, std::size_t length,
                     std::uint8_t* output, BlockFunction transformBlock)
{
    for (std::size_t offset = 0; offset + 8 <= length; offset += 8) {
        std::uint32_t left = LoadBigEndian(input + offset);
        std::uint32_t right = LoadBigEndian(input + offset + 4);
        transformBlock(context, left, right);
        StoreBigEndian(left, output + offset);
        StoreBigEndian(right, output + offset + 4);
    }
}

}  // namespace

void BlowfishEncipher(const BlowfishContext& context, std::uint32_t& left, std::uint32_t& right)
{
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = 0; round < kBlowfishRounds; ++round) {
        l ^= context.p[round];
        r ^= Feistel(context, l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= context.p[kBlowfishRounds];
    l ^= context.p[kBlowfishRounds + 1];
    left = l;
    right = r;
}

void BlowfishDecipher(const BlowfishContext& context, std::uint32_t& left, std::uint32_t& right)
{
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int round = kBlowfishRounds + 1; round > 1; --round) {
        l ^= context.p[round];
        r ^= Feistel(context, l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= context.p[1];
    l ^= context.p[0];
    left = l;
    right = r;
}

void BlowfishInit(BlowfishContext& context, const std::uint8_t* key, std::size_t keyLength)
{
    context.p = kBlowfishInitialP;
    context.s = kBlowfishInitialS;

    std::size_t keyPosition = 0;
    for (std::uint32_t& entry : context.p) {
        std::uint32_t keyWord = 0;
        for (int byte = 0; byte < 4; ++byte) {
            keyWord = (keyWord << 8) | key[keyPosition];
            keyPosition = (keyPosition + 1) % keyLength;
        }
        entry ^= keyWord;
    }

    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < context.p.size(); i += 2) {
        BlowfishEncipher(context, left, right);
        context.p[i] = left;
        context.p[i + 1] = right;
    }
    for (auto& box : context.s) {
        for (std::size_t i = 0; i < box.size(); i += 2) {
            BlowfishEncipher(context, left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

void BlowfishInit(BlowfishContext& context)
{
    BlowfishInit(context, kAddressTableKey.data(), kAddressTableKey.size());
}

void BlowfishDecipherBuffer(const BlowfishContext& context, const std::uint8_t* input,
                            std::size_t length, std::uint8_t* output)
{
    TransformBuffer(context, input, length, output, BlowfishDecipher);
}

void BlowfishEncipherBuffer(const BlowfishContext& context, const std::uint8_t* input,
                            std::size_t length, std::uint8_t* output)
{
    TransformBuffer(context, input, length, output, BlowfishEncipher);
}

}  // namespace vantelo
