#include <cmath>

#include <gtest/gtest.h>

#include "script/convert_message.h"
#include "script/format/number_text.h"
#include "script/value/convert_error.h"

using namespace kelvo;
using kelvo::testing::ConvertMessage;

TEST(FloatText, ReadsWithTheLocaleDecimalSeparator) {
  TFormatSettings fs = RussianFormatSettings();
  const std::pair<const char*, double> cases[] = {{"1,5", 1.5}, {"-2,5E3", -2500}, {" 3 ", 3},
                                                  {",5", 0.5},  {"5,", 5},         {"1e-2", 0.01},
                                                  {"+4", 4},    {"0", 0},          {"1E+2", 100}};
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(StrToFloat(text, fs), value) << text;
  fs.DecimalSeparator = '.';
  EXPECT_DOUBLE_EQ(StrToFloat("1.25", fs), 1.25);
}

TEST(FloatText, RejectsAnythingElseNamingTheText) {
  TFormatSettings fs = RussianFormatSettings();
  for (const char* bad : {"1.5", "1e400", "1e", "", "nan", "inf", ",", "1,2,3", "1 2", "-", "e5", "$10"}) {
    double v;
    EXPECT_FALSE(TryStrToFloat(bad, v, fs)) << bad;
    EXPECT_EQ(ConvertMessage([&] { StrToFloat(bad, fs); }),
              std::string("'") + bad + "' is not a valid floating point value");
  }
}

TEST(FloatText, GeneralFormUpToFifteenDigits) {
  TFormatSettings fs = RussianFormatSettings();
  const std::pair<double, const char*> cases[] = {{1.5, "1,5"},
                                                  {1e20, "1E20"},
                                                  {1.5e-5, "1,5E-5"},
                                                  {0.0001, "0,0001"},
                                                  {123456789012345.0, "123456789012345"},
                                                  {1e15, "1E15"},
                                                  {0.1 + 0.2, "0,3"},
                                                  {-0.5, "-0,5"},
                                                  {0.0, "0"},
                                                  {100.0, "100"},
                                                  {-1e-10, "-1E-10"},
                                                  {NAN, "NAN"},
                                                  {INFINITY, "INF"},
                                                  {-INFINITY, "-INF"},
                                                  {2.0 / 3, "0,666666666666667"}};
  for (auto [value, text] : cases) EXPECT_EQ(FloatToStr(value, fs), text) << value;
}
