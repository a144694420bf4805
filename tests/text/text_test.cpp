#include <iconv.h>

#include <gtest/gtest.h>

#include "text/ansi_text.h"
#include "text/cp1251.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

// The C library's own converter, as an independent reference for the code page.
std::string IconvToUtf8(const std::string& in) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return "<unconvertible>";
  out.resize(out.size() - dstLeft);
  return out;
}

std::string A(const char* utf8) {
  return Utf8ToAnsi(utf8);
}

}  // namespace

TEST(Cp1251, EveryByteMatchesTheSystemConverter) {
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;  // unassigned in the code page; iconv refuses it
    std::string one(1, static_cast<char>(b));
    EXPECT_EQ(AnsiToUtf8(one), IconvToUtf8(one)) << "byte " << b;
  }
}

TEST(Cp1251, EveryByteSurvivesTheRoundTripThroughUtf8AndUtf16) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                       "b"),
            "a?b");                                // a CJK character
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "?");  // beyond 16 bits
  EXPECT_EQ(Utf8ToAnsi("\xC3"), "?");              // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");         // overlong form
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");    // encoded surrogate
}

TEST(Cp1251, Utf8ReadsASurrogatePairAsOneCharacter) {
  std::u16string pair = u"\U0001F600";
  EXPECT_EQ(pair.size(), 2u);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), pair);
}

TEST(AnsiCase, CyrillicUpperAndLowerCase) {
  EXPECT_EQ(AnsiUpperCase(A("привет")), A("ПРИВЕТ"));
  EXPECT_EQ(AnsiUpperCase(A("ёжик")), A("ЁЖИК"));
  EXPECT_EQ(AnsiLowerCase(A("ЁЛКА Ok")), A("ёлка ok"));
  EXPECT_EQ(AnsiUpperCase(A("ґїєіў")), A("ҐЇЄІЎ"));
  EXPECT_EQ(AnsiUpperCase(A("№ 5 «ok»")), A("№ 5 «OK»"));
}

TEST(AnsiCase, PlainUpperCaseTouchesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCase(A("ok да")), A("OK да"));
  EXPECT_EQ(LowerCase(A("OK ДА")), A("ok ДА"));
}

TEST(AnsiCompare, IgnoresCaseAndOrdersCyrillicAlphabetically) {
  EXPECT_EQ(AnsiCompareText(A("Модем"), A("МОДЕМ")), 0);
  EXPECT_TRUE(AnsiSameText(A("ёж"), A("ЁЖ")));
  EXPECT_LT(AnsiCompareText(A("е"), A("ё")), 0);
  EXPECT_LT(AnsiCompareText(A("ё"), A("ж")), 0);
  EXPECT_LT(AnsiCompareText(A("я"), A("Яя")), 0);
  EXPECT_LT(AnsiCompareText("zebra", A("абв")), 0);
  EXPECT_LT(AnsiCompareText("COM10", "com2"), 0);
  EXPECT_GT(AnsiCompareText("b", "A"), 0);
}

TEST(AnsiTrim, RemovesControlCharactersAndSpacesAtBothEnds) {
  EXPECT_EQ(Trim("\r\n\t OK \x01\r"), "OK");
  EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
  EXPECT_EQ(TrimRight("  a b  "), "  a b");
  EXPECT_EQ(Trim(" \t\r\n"), "");
  EXPECT_EQ(Trim(A(" \xA0да ")), A("\xA0да"));  // no-break space is above ' ' and stays
}

TEST(Exception, FormatsMessagesAndNamesItsClass) {
  Exception e(FormatMessage("Language '%s' not found", {"Pascal"}));
  EXPECT_STREQ(e.what(), "Language 'Pascal' not found");
  EXPECT_STREQ(e.ClassName(), "Exception");
  EXPECT_STREQ(EAbort().ClassName(), "EAbort");
  EXPECT_EQ(FormatMessage("100%% of %s, %s", {"a"}), "100% of a, %s");
}
