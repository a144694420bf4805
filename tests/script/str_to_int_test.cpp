#include "script/value/str_to_int.h"

#include <gtest/gtest.h>

#include "script/convert_message.h"
#include "script/value/convert_error.h"

using namespace kelvo;
using kelvo::testing::ConvertMessage;

TEST(StrToInt, ReadsDecimalAndHexadecimal) {
  const std::pair<const char*, int32_t> cases[] = {{"0", 0},
                                                   {"123", 123},
                                                   {"-123", -123},
                                                   {"  42", 42},
                                                   {"+7", 7},
                                                   {"$FF", 255},
                                                   {"$ff", 255},
                                                   {"0x1F", 31},
                                                   {"-$10", -16},
                                                   {"$FFFFFFFF", -1},
                                                   {"$80000000", INT32_MIN},
                                                   {"2147483647", INT32_MAX},
                                                   {"-2147483648", INT32_MIN},
                                                   {"007", 7}};
  for (auto [text, value] : cases) EXPECT_EQ(StrToInt(text), value) << text;
}

TEST(StrToInt, RejectsAnythingElseNamingTheText) {
  for (const char* bad : {"2147483648", "-2147483649", "", " ", "12a", "$", "$G", "1 ", "--1", "+",
                          "99999999999999999999999", "$100000000", "1.5", "0x", "1e3"}) {
    int32_t v;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(ConvertMessage([&] { StrToInt(bad); }),
              std::string("'") + bad + "' is not a valid integer value");
  }
}

TEST(StrToInt, SixtyFourBitRange) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("3000000000"), 3000000000LL);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295LL);
  EXPECT_EQ(ConvertMessage([] { StrToInt64("9223372036854775808"); }),
            "'9223372036854775808' is not a valid integer value");
}

TEST(StrToInt, TheVariantFormIgnoresBlanksAndControlCharactersAround) {
  std::int64_t v = 0;
  EXPECT_TRUE(TryTextToInt64(" \t-12\r\n", v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(TryTextToInt64("$FFFFFFFFFFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(TryTextToInt64("0x10", v));
  EXPECT_EQ(v, 16);
  EXPECT_FALSE(TryTextToInt64("9223372036854775808", v));
  EXPECT_FALSE(TryTextToInt64("1 2", v));
  // The runtime's form allows blanks before the number only.
  EXPECT_FALSE(TryStrToInt64("12 ", v));
}
