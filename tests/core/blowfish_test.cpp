#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/blowfish.h"

namespace vantelo {
namespace {

std::vector<std::uint8_t> FromHex(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct Vector {
    const char* key;
    const char* plaintext;
    const char* ciphertext;
};

class BlowfishVectorTest : public testing::TestWithParam<Vector> {};

// Enciphers and deciphers one block through the buffer functions, so that the
// byte order of the words is checked together with the cipher.
TEST_P(BlowfishVectorTest, MatchesPublishedVector)
{
    const Vector& vector = GetParam();
    const auto key = FromHex(vector.key);
    const auto plaintext = FromHex(vector.plaintext);
    const auto expected = FromHex(vector.ciphertext);

    BlowfishContext context;
    BlowfishInit(context, key.data(), key.size());
    std::vector<std::uint8_t> enciphered(8);
    BlowfishEncipherBuffer(context, plaintext.data(), 8, enciphered.data());
    EXPECT_EQ(enciphered, expected);

    std::vector<std::uint8_t> deciphered(8);
    BlowfishDecipherBuffer(context, expected.data(), 8, deciphered.data());
    EXPECT_EQ(deciphered, plaintext);
}

INSTANTIATE_TEST_SUITE_P(
    EightByteKeys, BlowfishVectorTest,
    testing::Values(Vector{"0000000000000000", "0000000000000000", "4EF997456198DD78"},
                    Vector{"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
                    Vector{"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
                    Vector{"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
                    Vector{"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
                    Vector{"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
                    Vector{"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
                    Vector{"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
                    Vector{"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
                    Vector{"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"}));

// Keys of 1 to 10 bytes: the key schedule wraps around the key, which is what
// the 6-byte key of the address table relies on.
INSTANTIATE_TEST_SUITE_P(
    VariableLengthKeys, BlowfishVectorTest,
    testing::Values(Vector{"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
                    Vector{"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
                    Vector{"F0E1D2", "FEDCBA9876543210", "E9C2B70A1BC65CF3"},
                    Vector{"F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05"},
                    Vector{"F0E1D2C3B4", "FEDCBA9876543210", "B39E44481BDB1E6E"},
                    Vector{"F0E1D2C3B4A5", "FEDCBA9876543210", "9457AA83B1928C0D"},
                    Vector{"F0E1D2C3B4A596", "FEDCBA9876543210", "8BB77032F960629D"},
                    Vector{"F0E1D2C3B4A59687", "FEDCBA9876543210", "E87A244E2CC85E82"},
                    Vector{"F0E1D2C3B4A5968778", "FEDCBA9876543210", "15750E7A4F4EC577"},
                    Vector{"F0E1D2C3B4A596877869", "FEDCBA9876543210", "122BA70B3AB64AE0"}));

TEST(BlowfishBufferTest, DeciphersWholeBlocksOnlyAndLeavesTheRemainder)
{
    BlowfishContext context;
    BlowfishInit(context);
    std::vector<std::uint8_t> plain = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l',
                                       'm', 'n', 'o', 'p', 'q', 'r', 's'};
    std::vector<std::uint8_t> cipher(plain.size(), 0xEE);
    BlowfishEncipherBuffer(context, plain.data(), plain.size(), cipher.data());
    EXPECT_EQ(cipher[16], 0xEE) << "the 3 bytes after the last whole block are not touched";

    std::vector<std::uint8_t> roundTrip(plain.size(), 0xEE);
    BlowfishDecipherBuffer(context, cipher.data(), cipher.size(), roundTrip.data());
    EXPECT_TRUE(std::equal(plain.begin(), plain.begin() + 16, roundTrip.begin()));
    EXPECT_EQ(roundTrip[16], 0xEE);

    std::vector<std::uint8_t> shortOutput(7, 0xEE);
    BlowfishDecipherBuffer(context, cipher.data(), 7, shortOutput.data());
    EXPECT_EQ(shortOutput, std::vector<std::uint8_t>(7, 0xEE)) << "less than a block deciphers nothing";
}

}  // namespace
}  // namespace vantelo
