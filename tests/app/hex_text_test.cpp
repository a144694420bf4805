#include <gtest/gtest.h>

#include "app/hex_text.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

std::string ErrorOf(const std::string& hex) {
  try {
    HexToText(hex);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace

TEST(HexText, EncodesBytesAsUpperCasePairsHighNibbleFirst) {
  EXPECT_EQ(TextToHex("AT\r\n"), "41540D0A");
  EXPECT_EQ(TextToHex("\xCF\xF0\xE8"), "CFF0E8");  // "При" in Windows-1251
  EXPECT_EQ(TextToHex(""), "");
}

TEST(HexText, EveryByteValueRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string hex = TextToHex(all);
  ASSERT_EQ(hex.size(), 512u);
  EXPECT_EQ(hex.substr(0, 6), "000102");
  EXPECT_EQ(hex.substr(506), "FDFEFF");
  EXPECT_EQ(HexToText(hex), all);
}

TEST(HexText, DecodingAcceptsEitherCase) {
  EXPECT_EQ(HexToText("41540d0a"), "AT\r\n");
  EXPECT_EQ(HexToText("fF"), "\xFF");
}

TEST(HexText, OddLengthIsRefused) {
  EXPECT_EQ(ErrorOf("4"), "invalid hex length");
  EXPECT_EQ(ErrorOf("41540D0"), "invalid hex length");
}

TEST(HexText, NonHexadecimalPairIsRefusedNotCutShort) {
  EXPECT_EQ(ErrorOf("41G4"), "invalid hex digit");
  EXPECT_EQ(ErrorOf("4154 0"), "invalid hex digit");
  EXPECT_EQ(ErrorOf("0x41"), "invalid hex digit");
}
