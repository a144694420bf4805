#include <cmath>

#include <gtest/gtest.h>

#include "script/format/format_float.h"
#include "text/cp1251.h"

using namespace kelvo;

namespace {

struct TPictureCase {
  const char* Picture;
  double Value;
  const char* Expected;
};

class PictureTest : public ::testing::TestWithParam<TPictureCase> {};

}  // namespace

// Worked by hand with the Russian conventions: "," decimal, " " thousands.
INSTANTIATE_TEST_SUITE_P(
    FormatFloat, PictureTest,
    ::testing::Values(
        TPictureCase{"0.00", 1234.567, "1234,57"}, TPictureCase{"#,##0.00", 1234567.891, "1 234 567,89"},
        TPictureCase{"#,##0", 1000, "1 000"}, TPictureCase{"#,##0", 999, "999"},
        TPictureCase{"#,##0", -1234567, "-1 234 567"}, TPictureCase{"#.##", 0.5, ",5"},
        TPictureCase{"0.##", 1, "1"}, TPictureCase{"0.##", 1.5, "1,5"}, TPictureCase{"0.0#", 1.5, "1,5"},
        TPictureCase{"0.0#", 1.25, "1,25"}, TPictureCase{"000", 7, "007"}, TPictureCase{"#", 0, ""},
        TPictureCase{"0", 0, "0"}, TPictureCase{"0", 1234, "1234"}, TPictureCase{"#0.00", 0.5, "0,50"},
        TPictureCase{".00", 12.5, "12,50"}, TPictureCase{"0.00E+00", 1234.5, "1,23E+03"},
        TPictureCase{"0.0E-0", 0.00012, "1,2E-4"}, TPictureCase{"0.0E+0", 0, "0,0E+0"},
        TPictureCase{"0.0E-0", 12, "1,2E1"}, TPictureCase{"00.0e+000", 1234.5, "12,3e+002"},
        TPictureCase{"#,##0.00;(#,##0.00)", -1234.5, "(1 234,50)"},
        TPictureCase{"#,##0.00;(#,##0.00)", 1234.5, "1 234,50"}, TPictureCase{"0.00;-0.00;\"nil\"", 0, "nil"},
        TPictureCase{"0.0;;\"nil\"", 0.01, "nil"}, TPictureCase{"0.0;;\"nil\"", -2, "-2,0"},
        TPictureCase{"0.0", -0.01, "0,0"}, TPictureCase{"(###) ###-####", 1234567890, "(123) 456-7890"},
        TPictureCase{"\"$\"0.00", 5, "$5,00"}, TPictureCase{"'#'0", 5, "#5"}, TPictureCase{"", 1.5, "1,5"},
        TPictureCase{"abc", 5, "abc"}, TPictureCase{"0", 1e20, "1E20"}, TPictureCase{"0", NAN, "NAN"},
        TPictureCase{"0.00", -INFINITY, "-INF"}, TPictureCase{"0 \"a;b\"", 3, "3 a;b"},
        TPictureCase{"0.000", 0.0005, "0,001"}, TPictureCase{"00", 123, "123"},
        TPictureCase{"0.00000000000000000000000", 1.0, "1,00000000000000000000000"},
        // An exact half rounds away from zero; a binary value just below a half rounds down.
        TPictureCase{"0.00", 0.125, "0,13"}, TPictureCase{"0", 2.5, "3"}, TPictureCase{"0", -2.5, "-3"},
        TPictureCase{"0.0E+0", 1.25, "1,3E+0"}, TPictureCase{"0.00", 9.995, "9,99"},
        TPictureCase{"#", 0.5, "1"}, TPictureCase{"#,##0", 999.5, "1 000"}, TPictureCase{"0.0", 9.96, "10,0"},
        TPictureCase{"0.0", 0.04, "0,0"}, TPictureCase{"0.0", 0.05, "0,1"},
        TPictureCase{"0.000", 5e-324, "0,000"}, TPictureCase{"0.0E+0", 5e-324, "4,9E-324"}));

TEST_P(PictureTest, GivesTheHandWorkedText) {
  const TPictureCase& c = GetParam();
  EXPECT_EQ(FormatFloat(c.Picture, c.Value, RussianFormatSettings()), c.Expected)
      << "picture " << c.Picture << " value " << c.Value;
}

TEST(FloatForms, ExponentFormKeepsEveryDigitAndThreeExponentDigits) {
  TFormatSettings fs = RussianFormatSettings();
  EXPECT_EQ(FloatToTextExponent(1.5, 15, 3, fs), "1,50000000000000E+000");
  EXPECT_EQ(FloatToTextExponent(-1234.5, 3, 3, fs), "-1,23E+003");
  EXPECT_EQ(FloatToTextExponent(0, 2, 3, fs), "0,0E+000");
  EXPECT_EQ(FloatToTextExponent(1e-300, 1, 3, fs), "1E-300");
}

TEST(FloatForms, FixedAndNumberForms) {
  TFormatSettings fs = RussianFormatSettings();
  EXPECT_EQ(FloatToTextFixed(1234567.126, 2, false, fs), "1234567,13");
  EXPECT_EQ(FloatToTextFixed(1234567.126, 2, true, fs), "1 234 567,13");
  EXPECT_EQ(FloatToTextFixed(0.001, 2, false, fs), "0,00");
  EXPECT_EQ(FloatToTextFixed(-0.001, 2, false, fs), "0,00");
  EXPECT_EQ(FloatToTextFixed(-5, 0, true, fs), "-5");
  EXPECT_EQ(FloatToTextFixed(1e300, 0, false, fs).size(), 301u);
}

TEST(FloatForms, MoneyPlacesTheCurrencyBySettings) {
  TFormatSettings fs = RussianFormatSettings();
  EXPECT_EQ(AnsiToUtf8(FloatToTextCurrency(1234.5, 2, fs)), "1 234,50 р.");
  EXPECT_EQ(AnsiToUtf8(FloatToTextCurrency(-1234.5, 2, fs)), "-1 234,50 р.");
  fs.CurrencyString = "$";
  fs.CurrencyFormat = 0;
  fs.NegCurrFormat = 0;
  EXPECT_EQ(FloatToTextCurrency(2, 2, fs), "$2,00");
  EXPECT_EQ(FloatToTextCurrency(-2, 2, fs), "($2,00)");
}

TEST(FloatForms, HalfAwayRoundingCarriesThroughNines) {
  TFloatDigits d = FloatToDigitsFixedHalfAway(99.95, 1);  // 99.9500000000000028...
  EXPECT_EQ(d.Digits, "1");
  EXPECT_EQ(d.Exponent, 3);
  d = FloatToDigitsHalfAway(0.5, 1);
  EXPECT_EQ(d.Digits, "5");
  d = FloatToDigitsFixedHalfAway(0.0004, 2);
  EXPECT_TRUE(d.Digits.empty());
}

TEST(FloatForms, DigitsAreCorrectlyRounded) {
  TFloatDigits d = FloatToDigits(0.1, 17);
  EXPECT_EQ(d.Digits, "10000000000000001");
  EXPECT_EQ(d.Exponent, 0);
  d = FloatToDigits(9.99, 2);
  EXPECT_EQ(d.Digits, "1");
  EXPECT_EQ(d.Exponent, 2);
  d = FloatToDigitsFixed(0.0123, 3);
  EXPECT_EQ(d.Digits, "12");
  EXPECT_EQ(d.Exponent, -1);
}
