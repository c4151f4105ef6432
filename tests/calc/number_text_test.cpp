#include "calc/number_text.h"
#include "calc/utf8.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

using calc::formatFixed;
using calc::formatFixedSingle;
using calc::leadingNumber;
using calc::numberToText;
using calc::parseNumber;
using calc::parseSingle;
using calc::singleToText;

// A decimal-comma locale for the whole process, as a user's system may set one (Qt sets the
// C locale from the environment): the tables of reading and writing run under it, where
// strtod, printf or a stream would read "2.5" as 2 or write "2,50". On Linux CTest makes
// de_DE.UTF-8 in the build folder (LOCPATH), so the machine need not have it.
struct CommaLocale {
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
      if (std::setlocale(LC_ALL, name)) break;
    }
    EXPECT_STREQ(std::localeconv()->decimal_point, ",") << "no decimal-comma locale here";
  }
  ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
};

TEST(ParseNumber, AcceptsDecimalTextsAndRefusesTheRest) {
  const CommaLocale comma;
  const std::optional<double> no;
  // Full-width digits, point, signs and the ideographic space come from a Chinese input
  // method; a value too small to represent reads as 0.
  const struct {
    const char* text;
    std::optional<double> expected;
  } cases[] = {{"20", 20},    {"  2.5 ", 2.5}, {"-3", -3},        {"+4", 4},     {"1.", 1},
               {".5", 0.5},   {"1e3", 1000},   {"1.5E-2", 0.015}, {"\t7\t", 7},  {"１０．５", 10.5},
               {"－２", -2},  {"＋３", 3},     {"\u300013", 13},  {"1e-400", 0}, {"", no},
               {"   ", no},   {"1,5", no},     {"inf", no},       {"nan", no},   {"0x10", no},
               {".", no},     {"-", no},       {"1e", no},        {"1 0", no},   {"10m", no},
               {"1e400", no}, {"--1", no},     {"ａ", no}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseNumber(c.text), c.expected);
  }
}

TEST(ParseSingle, NarrowsAndRefusesWhatFloatCannotHold) {
  EXPECT_EQ(parseSingle("4.62"), 4.62f);
  EXPECT_EQ(parseSingle("23.10"), 23.1f);
  EXPECT_EQ(parseSingle("1e38"), 1e38f);
  EXPECT_EQ(parseSingle("1e39"), std::nullopt);
  EXPECT_EQ(parseSingle("abc"), std::nullopt);
}

TEST(LeadingNumber, ReadsTheLongestLeadingNumber) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"10", 10}, {"  12abc", 12}, {"1e", 1},      {"1e5x", 1e5}, {"-", 0},
      {".", 0},   {"+.5", 0.5},    {"1.2.3", 1.2}, {"abc", 0},    {"", 0},
      {"   ", 0}, {"１２米", 12},  {"-7", -7},     {"1e-999", 0}, {"3,5", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(leadingNumber(c.text), c.expected);
  }
  EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
}

// Half away from zero on the decimal digits; single precision with its seven significant
// digits (the float nearest 0.1 is 0.100000001..., not a longer tail); nothing for non-finite.
TEST(FormatFixed, RoundsDecimalDigitsHalfAwayFromZero) {
  const CommaLocale comma;
  constexpr bool single = true;
  const struct {
    double value;
    int decimals;
    const char* expected;
    bool single = false;
  } cases[] = {{2.675, 2, "2.68"},
               {1.005, 2, "1.01"},
               {0.125, 2, "0.13"},
               {-0.125, 2, "-0.13"},
               {3, 2, "3.00"},
               {0, 2, "0.00"},
               {-0.001, 2, "0.00"},
               {-0.0000001, 6, "0.000000"},
               {0.005, 2, "0.01"},
               {0.0049, 2, "0.00"},
               {9.995, 2, "10.00"},
               {999.9996, 3, "1000.000"},
               {0.0096678, 4, "0.0097"},
               {1.57552, 3, "1.576"},
               {13.5493, 2, "13.55"},
               {23.1, 2, "23.10"},
               {0.0000004, 6, "0.000000"},
               {0.0000005, 6, "0.000001"},
               {1e20, 2, "100000000000000000000.00"},
               {std::numeric_limits<double>::infinity(), 2, ""},
               {std::nan(""), 2, ""},
               {2.675, 2, "2.68", single},
               {1.021871, 6, "1.021871", single},
               {-0.0011444, 6, "-0.001144", single},
               {-4.0, 6, "-4.000000", single},
               {0.1, 6, "0.100000", single}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    EXPECT_EQ(c.single ? formatFixedSingle(static_cast<float>(c.value), c.decimals)
                       : formatFixed(c.value, c.decimals),
              c.expected);
  }
  EXPECT_EQ(formatFixed(std::optional<double>{}, 2), "");
  EXPECT_EQ(formatFixed(std::optional<double>{1.198}, 2), "1.20");
}

TEST(NumberToText, PlainDecimalWithoutExponentOrTrailingZeros) {
  const struct {
    float value;
    const char* expected;
  } singles[] = {{4.62f, "4.62"},      {23.1000004f, "23.1"}, {5.0f, "5"},  {2.5f, "2.5"},
                 {1e-7f, "0.0000001"}, {6.41f, "6.41"},       {-0.0f, "0"}, {1e10f, "10000000000"}};
  for (const auto& c : singles) EXPECT_EQ(singleToText(c.value), c.expected);
  // Beside each, its three significant digits (rounding into the next power, or into plain
  // decimals from 0.001 to 999999).
  const struct {
    double value;
    const char* expected;
    const char* significant;
  } doubles[] = {{0.01501, "0.01501", "0.0150"},
                 {0.1 + 0.2, "0.3", "0.300"},
                 {10, "10", "10.0"},
                 {-2.5, "-2.5", "-2.50"},
                 {123456789012345.0, "123456789012345", "1.23×10¹⁴"},
                 {1.1428e-7, "0.00000011428", "1.14×10⁻⁷"},
                 {9.996e-10, "0.0000000009996", "1.00×10⁻⁹"},
                 {0.0009996, "0.0009996", "0.00100"}};
  for (const auto& c : doubles) {
    EXPECT_EQ(numberToText(c.value), c.expected);
    EXPECT_EQ(calc::significantText(c.value), c.significant);
  }
}

}  // namespace
