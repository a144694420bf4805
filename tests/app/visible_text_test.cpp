#include "app/visible_text.h"

#include <gtest/gtest.h>

#include "text/cp1251.h"

using namespace kelvo;

TEST(VisibleText, EveryControlCharacterIsShownByItsName) {
  const char kAll[] =
      "\0\x01\x02\x03\x04\x05\x06\x07\x08\t\n\x0B\x0C\r\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17"
      "\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\x7F\x98";
  EXPECT_EQ(VisibleText(std::string_view(kAll, sizeof kAll - 1)),
            "<NUL><SOH><STX><ETX><EOT><ENQ><ACK><BEL><BS><HT><LF><VT><FF><CR><SO><SI><DLE><DC1><DC2>"
            "<DC3><DC4><NAK><SYN><ETB><CAN><EM><SUB><ESC><FS><GS><RS><US><DEL><SOS>");
}

TEST(VisibleText, TerminalSequencesAndNulsCanNeitherActNorCutTheLine) {
  const char kHostile[] = "\x1B]0;owned\a\x1B[31mred\0tail";
  std::string shown = VisibleText(std::string_view(kHostile, sizeof kHostile - 1));
  EXPECT_EQ(shown, "<ESC>]0;owned<BEL><ESC>[31mred<NUL>tail");
  EXPECT_EQ(shown.find('\x1B'), std::string::npos);
  EXPECT_EQ(shown.size(), std::string(shown.c_str()).size());
}

TEST(VisibleText, PrintableAndCyrillicTextStaysAsItIs) {
  std::string text = Utf8ToAnsi("AT\\N3 &F ~ ОК готов ё №");
  EXPECT_EQ(VisibleText(text), text);
  EXPECT_EQ(VisibleText(""), "");
}

TEST(VisibleMessage, LineBreaksStayAsCrLfAndOtherControlsAreNamed) {
  EXPECT_EQ(VisibleMessage("one\r\ntwo\nthree\rfour\x1B[2J"), "one\r\ntwo\r\nthree\r\nfour<ESC>[2J");
  EXPECT_EQ(VisibleUtf8(Utf8ToAnsi("ошибка\r\n\x07причина")), "ошибка\n<BEL>причина");
}
