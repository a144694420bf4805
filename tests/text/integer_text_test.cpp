#include "text/integer_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace kelvo;

TEST(HexDigit, HexDigitsOfEitherCase) {
  const std::string digits = "0123456789abcdefABCDEF";
  const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
  for (size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
  for (char c : std::string("gG/:@`x \xC0")) EXPECT_EQ(HexDigitValue(c), -1) << c;
}

TEST(IntegerReader, DecimalFitsTheSignedRangeAndHexadecimalEveryBit) {
  std::int64_t v = 0;
  EXPECT_TRUE(TryReadInteger("-2147483648", 32, v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(TryReadInteger("2147483648", 32, v));
  EXPECT_TRUE(TryReadInteger("0xFFFFFFFF", 32, v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(TryReadInteger("-$80000000", 32, v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(TryReadInteger("$100000000", 32, v));
  EXPECT_TRUE(TryReadInteger("$100000000", 64, v));
  EXPECT_EQ(v, 0x100000000LL);
  EXPECT_TRUE(TryReadInteger("-9223372036854775808", 64, v));
  EXPECT_EQ(v, INT64_MIN);
}

TEST(IntegerReader, NoBlanksNoEmptyDigitsNoSecondSign) {
  std::int64_t v = 0;
  for (const char* bad : {"", " 1", "1 ", "+", "-", "$", "0x", "--1", "+-1", "1e3", "12a", "$G"})
    EXPECT_FALSE(TryReadInteger(bad, 64, v)) << bad;
}
