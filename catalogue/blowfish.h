#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantelo {

inline constexpr int kBlowfishRounds = 16;

extern const std::array<std::uint32_t, kBlowfishRounds + 2> kBlowfishInitialP;
extern const std::array<std::array<std::uint32_t, 256>, 4> kBlowfishInitialS;

// The key under which the built-in address table is enciphered.
inline constexpr std::array<std::uint8_t, 6> kAddressTableKey = {'V', 't', 'l', '1', '4', 'k'};

struct BlowfishContext {
    std::array<std::uint32_t, kBlowfishRounds + 2> p;
    std::array<std::array<std::uint32_t, 256>, 4> s;
};

// Fills the context with the initial state and runs the standard key schedule;
// the key bytes wrap around as often as the 18 P entries need. keyLength 1-56.
void BlowfishInit(BlowfishContext& context, const std::uint8_t* key, std::size_t keyLength);

// The same, with the built-in key of the address table.
void BlowfishInit(BlowfishContext& context);

void BlowfishEncipher(const BlowfishContext& context, std::uint32_t& left, std::uint32_t& right);
void BlowfishDecipher(const BlowfishContext& context, std::uint32_t& left, std::uint32_t& right);

// Deciphers length / 8 blocks (ECB, big-endian words) from input into output;
// a remainder of length % 8 bytes is left alone.
void BlowfishDecipherBuffer(const BlowfishContext& context, const std::uint8_t* input,
                            std::size_t length, std::uint8_t* output);

// Enciphers the same way; the address-table builder uses it.
void BlowfishEncipherBuffer(const BlowfishContext& context, const std::uint8_t* input,
                            std::size_t length, std::uint8_t* output);

}  // namespace vantelo
