#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>

#include "platform/leading_integer.h"

namespace vantelo {
namespace {

struct LeadingIntegerCase {
    const char* name;
    const char* text;
    std::int32_t expected;
};

// Names the case, not its bytes, wherever Google Test shows the parameter.
void PrintTo(const LeadingIntegerCase& c, std::ostream* out) { *out << c.name; }

class LeadingIntegerTest : public testing::TestWithParam<LeadingIntegerCase> {};

TEST_P(LeadingIntegerTest, Reads) { EXPECT_EQ(ReadLeadingInteger(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingIntegerTest,
    testing::Values(LeadingIntegerCase{"missing_attribute", nullptr, 0}, LeadingIntegerCase{"empty", "", 0},
                    LeadingIntegerCase{"plain", "2162701", 2162701},
                    LeadingIntegerCase{"stops_at_the_first_other_character", "12abc", 12},
                    LeadingIntegerCase{"stops_at_a_decimal_point", "3.9", 3}, LeadingIntegerCase{"no_digits", "abc", 0},
                    LeadingIntegerCase{"leading_white_space", " \t\r\n-7", -7},
                    LeadingIntegerCase{"trailing_white_space", "8 9", 8}, LeadingIntegerCase{"plus_sign", "+5", 5},
                    LeadingIntegerCase{"space_after_the_sign", "- 5", 0}, LeadingIntegerCase{"sign_alone", "-", 0},
                    LeadingIntegerCase{"two_signs", "--5", 0}, LeadingIntegerCase{"leading_zeros", "-0042", -42},
                    LeadingIntegerCase{"hexadecimal_is_not_read", "0x1F", 0},
                    LeadingIntegerCase{"largest", "2147483647", INT_MAX},
                    LeadingIntegerCase{"smallest", "-2147483648", INT_MIN},
                    LeadingIntegerCase{"one_above_saturates", "2147483648", INT_MAX},
                    LeadingIntegerCase{"one_below_saturates", "-2147483649", INT_MIN},
                    LeadingIntegerCase{"far_above_saturates", "99999999999", INT_MAX},
                    LeadingIntegerCase{"far_below_saturates", "-99999999999999999999999999", INT_MIN},
                    LeadingIntegerCase{"beyond_64_bits_saturates", "184467440737095516160", INT_MAX}),
    [](const testing::TestParamInfo<LeadingIntegerCase>& row) { return row.param.name; });

}  // namespace
}  // namespace vantelo
