// TfsParser: the character-level scanner under the grammar-driven parser. It keeps no token
// stream: the parser asks for one kind of lexeme at the current position (a word, a number, a
// string, one punctuation character, ...) and moves the position back when an alternative fails.
// Every lexical rule that differs between languages is a setting filled from the grammar.
#pragma once

#include <bitset>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "script/value/position.h"

namespace kelvo {

// One bit per 8-bit character code.
using TfsIdentifierCharset = std::bitset<256>;

class TfsParser {
 public:
  TfsParser();

  // Empties the keyword list and restores the default settings (the second line comment and the
  // case sensitivity are not reset).
  void Clear();

  // Stores the text, sets the position to 1 and builds the line table.
  void SetText(std::string_view text);
  const std::string& Text() const { return FText; }
  int Length() const { return FLength; }

  int Position() const { return FPosition; }
  // Sets the position and the token start.
  void SetPosition(int position);

  // Settings, each filled from the grammar option of the same meaning.
  std::string CommentLine1 = "//";
  std::string CommentLine2;
  void SetCommentBlock1(std::string_view text);
  void SetCommentBlock2(std::string_view text);
  const std::string& CommentBlock1() const { return FCommentBlock1; }
  const std::string& CommentBlock2() const { return FCommentBlock2; }
  // Only the first character is used.
  std::string StringQuotes = "'";
  std::string HexSequence = "$";
  TfsIdentifierCharset IdentifierCharset;
  // Line-continuation character: it and the line end after it are skipped as spaces.
  std::string SkipChar;
  // When off, carriage return is not skipped as a space, so that ends of lines can be seen.
  bool SkipEOL = true;
  // Keywords are matched exactly when on, without regard to case when off.
  bool CaseSensitive = false;

  // Replaces the identifier characters by exactly the characters of text.
  void ConstructCharset(std::string_view text);
  void AddKeyword(std::string_view word);
  const std::vector<std::string>& Keywords() const { return FKeywords; }

  // Readers. On failure they return an empty text; the position is then unchanged or (GetIdent
  // on a keyword) past the word, and the caller restores it.
  void SkipSpaces();
  bool GetEOL();
  std::string Ident();
  bool IsKeyWord(std::string_view word) const;
  std::string GetIdent();
  std::string GetWord();
  std::string GetChar();
  std::string GetString();
  std::string GetNumber();
  std::string GetFRString();

  // Number-recognition steps; each advances the position on success.
  bool DoDigitSequence();
  bool DoHexDigitSequence();
  bool DoUnsignedInteger();
  bool DoUnsignedReal();
  bool DoScaleFactor();

  // The current position as "line:column".
  std::string GetXYPosition() const;
  // 1-based position of a column/line pair, or -1 when the line does not exist.
  int GetPlainPosition(TfsPoint point) const;
  // Line and column of a 1-based position.
  TfsPoint PositionToPoint(int position) const;

 private:
  // The character at a 1-based position; the appended NUL past the end.
  unsigned char At(int position) const {
    return position >= 1 && position <= FLength ? static_cast<unsigned char>(FText[position - 1]) : 0;
  }
  bool MarkerAt(int position, std::string_view marker) const;
  bool IsIdentChar(unsigned char c) const { return IdentifierCharset[c]; }
  bool ReadQuotedPiece(std::string& out);
  bool ReadCharCodePiece(std::string& out);
  void ConsumeLineEnds();

  std::string FText;
  int FLength = 0;
  int FPosition = 1;
  int FTokenStart = 1;
  // 0 for line 1, then the 1-based position of every line feed, in text order.
  std::vector<int> FLineTable{0};

  std::string FCommentBlock1, FCommentBlock1Open, FCommentBlock1Close;
  std::string FCommentBlock2, FCommentBlock2Open, FCommentBlock2Close;

  std::vector<std::string> FKeywords;         // as written, in the order added
  std::set<std::string> FKeywordsExact;       // lookups of a case-sensitive language
  std::set<std::string> FKeywordsUpperCased;  // lookups ignoring case
};

}  // namespace kelvo
