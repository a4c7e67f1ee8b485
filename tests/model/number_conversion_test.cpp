#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "model/number_conversion.h"

namespace {

struct Accepted {
  const char* text;
  char separator;
  double value;
};

class ConvertsTo : public ::testing::TestWithParam<Accepted> {};

TEST_P(ConvertsTo, GivesTheValue) {
  const Accepted& c = GetParam();
  const std::optional<double> value = ConvertNumber(c.text, c.separator);
  ASSERT_TRUE(value.has_value()) << '"' << c.text << '"';
  EXPECT_EQ(*value, c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ConvertsTo,
    ::testing::Values(Accepted{"15.0", '.', 15.0}, Accepted{" 15.0 ", '.', 15.0}, Accepted{"1e3", '.', 1000.0},
                      Accepted{"1E+3", '.', 1000.0}, Accepted{"-2.5e-1", '.', -0.25}, Accepted{"+7", '.', 7.0},
                      Accepted{".5", '.', 0.5}, Accepted{"5.", '.', 5.0}, Accepted{"0.00052", '.', 0.00052},
                      Accepted{"15,0", ',', 15.0}, Accepted{"   0.1   ", '.', 0.1},
                      Accepted{"1.7976931348623157e308", '.', 1.7976931348623157e308},
                      Accepted{"0.1000000000000000055511151231257827", '.', 0.1}));

class Refused : public ::testing::TestWithParam<std::pair<const char*, char>> {};

TEST_P(Refused, DoesNotConvert) {
  const auto& [text, separator] = GetParam();
  EXPECT_FALSE(ConvertNumber(text, separator).has_value()) << '"' << text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Refused,
    ::testing::Values(std::pair{"", '.'}, std::pair{"   ", '.'}, std::pair{"1e400", '.'}, std::pair{"-1e400", '.'},
                      std::pair{"15,0", '.'}, std::pair{"15.0", ','}, std::pair{"1,000.0", '.'},
                      std::pair{"abc", '.'}, std::pair{"1.2.3", '.'}, std::pair{"1e", '.'}, std::pair{"1e+", '.'},
                      std::pair{"+", '.'}, std::pair{"-", '.'}, std::pair{"e5", '.'}, std::pair{"0x10", '.'},
                      std::pair{"1 5", '.'}, std::pair{"\t15", '.'}, std::pair{"15\t", '.'},
                      std::pair{"inf", '.'}, std::pair{"nan", '.'}, std::pair{"1.0f", '.'}, std::pair{"--1", '.'}));

TEST(NumberConversion, TinyMagnitudesUnderflowWithoutRefusal) {
  const std::optional<double> value = ConvertNumber("1e-400");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, 0.0);
}

TEST(NumberConversion, ReadsOnlyTheTextItIsGiven) {
  const std::string_view longer = "2.5e3 and more";
  EXPECT_EQ(ConvertNumber(longer.substr(0, 3)), 2.5);
  EXPECT_EQ(ConvertNumber(longer.substr(0, 5)), 2500.0);
  EXPECT_FALSE(ConvertNumber(longer.substr(0, 4)).has_value());  // an exponent letter without digits
}

TEST(NumberConversion, ASeparatorAloneIsZero) {
  const std::optional<double> value = ConvertNumber("-.");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, 0.0);
  EXPECT_TRUE(std::signbit(*value));
}

}  // namespace
