#include <gtest/gtest.h>

#include "script/front/parser.h"
#include "script/value/position.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

// The tokenizer as the JScript grammar configures it.
TfsParser JScriptTokenizer(const std::string& text) {
  TfsParser p;
  p.CommentLine1 = "//";
  p.SetCommentBlock1("/*,*/");
  p.SetCommentBlock2("/*,*/");
  p.StringQuotes = "\"";
  p.HexSequence = "0x";
  for (const char* k : {"break", "case", "if", "while", "var"}) p.AddKeyword(k);
  p.SetText(text);
  return p;
}

TfsParser PascalTokenizer(const std::string& text) {
  TfsParser p;
  p.SetText(text);
  return p;
}

}  // namespace

TEST(TokenizerComments, LineAndBlockCommentsAreSkipped) {
  auto p = JScriptTokenizer("a /* x */ // y\nb");
  EXPECT_EQ(p.GetWord(), "a");
  EXPECT_EQ(p.GetWord(), "b");
  EXPECT_EQ(p.GetWord(), "");
}

TEST(TokenizerComments, UnclosedBlockCommentRunsToTheEnd) {
  auto p = JScriptTokenizer("a /* never closed b c");
  EXPECT_EQ(p.GetWord(), "a");
  EXPECT_EQ(p.GetWord(), "");
  EXPECT_EQ(p.Position(), p.Length() + 1);
  auto q = JScriptTokenizer("/*");
  q.SkipSpaces();
  EXPECT_EQ(q.Position(), 3);
}

TEST(TokenizerComments, DefaultPascalMarkersDoNotNest) {
  auto p = PascalTokenizer("{ a { b } c (* d *) e");
  EXPECT_EQ(p.GetWord(), "c");
  EXPECT_EQ(p.GetWord(), "e");
}

TEST(TokenizerComments, SkipCharacterJoinsLines) {
  auto p = PascalTokenizer("a _\r\n b");
  p.SkipEOL = false;
  p.SkipChar = "_";
  EXPECT_EQ(p.GetWord(), "a");
  EXPECT_FALSE(p.GetEOL());
  EXPECT_EQ(p.GetWord(), "b");
}

TEST(TokenizerComments, ManyContinuationCharactersDoNotRecurse) {
  auto p = PascalTokenizer(std::string(200000, '_') + "x");
  p.SkipChar = "_";
  EXPECT_EQ(p.GetWord(), "x");
}

TEST(TokenizerLines, GetEOLSeesCarriageReturnOnlyWithoutSkipEOL) {
  auto p = PascalTokenizer("a\r\n\r\nb");
  p.SkipEOL = false;
  EXPECT_EQ(p.GetWord(), "a");
  EXPECT_TRUE(p.GetEOL());
  EXPECT_EQ(p.GetWord(), "b");
  auto q = PascalTokenizer("a\r\nb");
  EXPECT_EQ(q.GetWord(), "a");
  EXPECT_FALSE(q.GetEOL());  // the line end was skipped as a space
}

TEST(TokenizerWords, KeywordsAreRefusedAsIdentifiersIgnoringCase) {
  auto p = JScriptTokenizer("while WHILE x1 1x");
  EXPECT_EQ(p.GetIdent(), "");
  EXPECT_EQ(p.Position(), 6);  // past the keyword; the caller restores
  EXPECT_EQ(p.GetWord(), "WHILE");
  EXPECT_EQ(p.GetIdent(), "x1");
  EXPECT_EQ(p.GetIdent(), "");  // an identifier may not begin with a digit
}

TEST(TokenizerWords, CaseSensitiveKeywordsMatchExactly) {
  auto p = JScriptTokenizer("If if");
  p.CaseSensitive = true;
  EXPECT_EQ(p.GetIdent(), "If");
  EXPECT_EQ(p.GetIdent(), "");
  EXPECT_TRUE(p.IsKeyWord("if"));
  EXPECT_FALSE(p.IsKeyWord("IF"));
}

TEST(TokenizerWords, IdentifierCharsetDecidesLetters) {
  auto p = PascalTokenizer("\xCF\xF0\xE8\xE2\xE5\xF2 abc");
  EXPECT_EQ(p.GetWord(), "");
  std::string wide;
  for (int c = 128; c < 256; ++c) wide += static_cast<char>(c);
  p.ConstructCharset("abcdefghijklmnopqrstuvwxyz" + wide);
  EXPECT_EQ(p.GetWord(), "\xCF\xF0\xE8\xE2\xE5\xF2");
}

TEST(TokenizerChars, GetCharTakesOnlyPunctuationWithoutSkipping) {
  auto p = PascalTokenizer("; a");
  EXPECT_EQ(p.GetChar(), ";");
  EXPECT_EQ(p.GetChar(), "");  // a space
  p.SkipSpaces();
  EXPECT_EQ(p.GetChar(), "");  // a letter
  for (const char* c : {"!", "/", ":", "@", "[", "`", "{", "~"}) {
    auto q = PascalTokenizer(c);
    EXPECT_EQ(q.GetChar(), c);
  }
  auto digit = PascalTokenizer("5");
  EXPECT_EQ(digit.GetChar(), "");
  auto end = PascalTokenizer("");
  EXPECT_EQ(end.GetChar(), "");
}

TEST(TokenizerNumbers, HexPrefixIsNormalisedToDollar) {
  auto p = JScriptTokenizer("0x10 0xZ");
  EXPECT_EQ(p.GetNumber(), "$10");
  EXPECT_EQ(p.GetNumber(), "");
}

TEST(TokenizerNumbers, RealsIntegersAndRanges) {
  auto p = JScriptTokenizer("1.5e-3 1..5 1.e3 7E+2 3e");
  EXPECT_EQ(p.GetNumber(), "1.5e-3");
  EXPECT_EQ(p.GetNumber(), "1");
  EXPECT_EQ(p.GetChar(), ".");
  EXPECT_EQ(p.GetChar(), ".");
  EXPECT_EQ(p.GetNumber(), "5");
  EXPECT_EQ(p.GetNumber(), "1");
  EXPECT_EQ(p.GetChar(), ".");  // the position was left on the point
  EXPECT_EQ(p.GetWord(), "e3");
  EXPECT_EQ(p.GetNumber(), "7E+2");
  EXPECT_EQ(p.GetNumber(), "3");  // a scale factor without digits is undone
}

TEST(TokenizerNumbers, PascalDollarHex) {
  auto p = PascalTokenizer("$FF $");
  EXPECT_EQ(p.GetNumber(), "$FF");
  EXPECT_EQ(p.GetNumber(), "");
}

TEST(TokenizerStrings, CStyleEscapesInDoubleQuoteLanguages) {
  auto p = JScriptTokenizer(R"("a\"b" "\n\R\x41\x" "\\" "")");
  EXPECT_EQ(p.GetString(), "'a\"b'");
  EXPECT_EQ(p.GetString(), "'\n\rA'");
  EXPECT_EQ(p.GetString(), "'\\'");
  EXPECT_EQ(p.GetString(), "''");
}

TEST(TokenizerStrings, UnclosedStringFailsWithoutMoving) {
  auto p = JScriptTokenizer("  \"abc\ndef\"");
  EXPECT_EQ(p.GetString(), "");
  EXPECT_EQ(p.Position(), 3);
  auto q = JScriptTokenizer("\"abc\\");
  EXPECT_EQ(q.GetString(), "");
  auto r = JScriptTokenizer("\"tab\tinside\"");
  EXPECT_EQ(r.GetString(), "'tab\tinside'");
}

TEST(TokenizerStrings, DoubledQuotesAndCharacterCodesInPascalStyle) {
  auto p = PascalTokenizer("'it''s'#13#10 'x'#$41#");
  EXPECT_EQ(p.GetString(), "'it's\r\n'");
  EXPECT_EQ(p.GetString(), "'xA'");  // the lone '#' is not a piece
  EXPECT_EQ(p.GetChar(), "#");
}

TEST(TokenizerStrings, PiecesMustTouch) {
  auto p = PascalTokenizer("'a' 'b'");
  EXPECT_EQ(p.GetString(), "'a'");
  EXPECT_EQ(p.GetString(), "'b'");
}

TEST(TokenizerRawText, GetFRStringStopsAtTheMatchingBracket) {
  auto p = PascalTokenizer("a <b> [c] \">\" '>'> rest");
  EXPECT_EQ(p.GetFRString(), "a <b> [c] \">\" '>'");
  EXPECT_EQ(p.GetChar(), ">");
  auto q = PascalTokenizer("no end <");
  EXPECT_EQ(q.GetFRString(), "no end <");
  EXPECT_EQ(q.Position(), q.Length() + 1);
}

TEST(TokenizerPositions, LineAndColumnFromOne) {
  auto p = PascalTokenizer("ab\ncd\r\nef");
  EXPECT_EQ(p.GetXYPosition(), "1:1");
  p.SetPosition(3);  // the line feed belongs to the line it ends
  EXPECT_EQ(p.GetXYPosition(), "1:3");
  p.SetPosition(4);
  EXPECT_EQ(p.GetXYPosition(), "2:1");
  p.SetPosition(9);
  EXPECT_EQ(p.GetXYPosition(), "3:2");
  p.SetPosition(p.Length() + 1);
  EXPECT_EQ(p.GetXYPosition(), "3:3");
}

TEST(TokenizerPositions, PlainPositionOfAPoint) {
  auto p = PascalTokenizer("ab\ncd\nef");
  EXPECT_EQ(p.GetPlainPosition({1, 1}), 1);
  EXPECT_EQ(p.GetPlainPosition({2, 3}), 8);
  EXPECT_EQ(p.GetPlainPosition({1, 4}), -1);
  EXPECT_EQ(p.GetPlainPosition({1, 0}), -1);
}

TEST(TokenizerSettings, ClearRestoresDefaultsButNotCaseOrSecondLineComment) {
  TfsParser p;
  p.CaseSensitive = true;
  p.CommentLine2 = "#";
  p.HexSequence = "0x";
  p.AddKeyword("if");
  p.Clear();
  EXPECT_TRUE(p.CaseSensitive);
  EXPECT_EQ(p.CommentLine2, "#");
  EXPECT_EQ(p.HexSequence, "$");
  EXPECT_EQ(p.CommentBlock1(), "{,}");
  EXPECT_TRUE(p.Keywords().empty());
}

TEST(TokenizerSettings, EmptyMarkersNeverMatch) {
  auto p = PascalTokenizer("12 a");
  p.CommentLine1.clear();
  p.SetCommentBlock1("");
  p.SetCommentBlock2(",x");
  p.HexSequence.clear();
  EXPECT_EQ(p.GetNumber(), "12");
  EXPECT_EQ(p.GetWord(), "a");
}

TEST(Positions, PosToPointReadsLineThenColumn) {
  TfsPoint pt = fsPosToPoint("3:15");
  EXPECT_EQ(pt.X, 15);
  EXPECT_EQ(pt.Y, 3);
  pt = fsPosToPoint("");
  EXPECT_EQ(pt.X, 0);
  EXPECT_EQ(pt.Y, 0);
  EXPECT_THROW(fsPosToPoint("a:1"), Exception);
  EXPECT_THROW(fsPosToPoint("1:"), Exception);
}
