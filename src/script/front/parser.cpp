#include "script/front/parser.h"

#include <algorithm>

#include "text/ansi_text.h"
#include "text/integer_text.h"

namespace kelvo {

namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(unsigned char c) {
  return HexDigitValue(static_cast<char>(c)) >= 0;
}
// Codes 0 to 8 and 10 to 31 end a string literal; tab is allowed inside.
bool IsStringStopper(unsigned char c) {
  return c < 32 && c != 9;
}

void SplitPair(std::string_view text, std::string& open, std::string& close) {
  size_t comma = text.find(',');
  open = std::string(text.substr(0, comma));
  close = comma == std::string_view::npos ? std::string() : std::string(text.substr(comma + 1));
  // Only the first two items of the comma-separated list count.
  size_t second = close.find(',');
  if (second != std::string::npos) close.resize(second);
}

}  // namespace

TfsParser::TfsParser() {
  Clear();
}

void TfsParser::Clear() {
  FKeywords.clear();
  FKeywordsExact.clear();
  FKeywordsUpperCased.clear();
  CommentLine1 = "//";
  SetCommentBlock1("{,}");
  SetCommentBlock2("(*,*)");
  StringQuotes = "'";
  HexSequence = "$";
  ConstructCharset("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
  SkipChar.clear();
  SkipEOL = true;
}

void TfsParser::SetText(std::string_view text) {
  FText = std::string(text);
  FLength = static_cast<int>(FText.size());
  FPosition = FTokenStart = 1;
  FLineTable.assign(1, 0);
  for (int i = 0; i < FLength; ++i)
    if (FText[static_cast<size_t>(i)] == '\n') FLineTable.push_back(i + 1);
}

void TfsParser::SetPosition(int position) {
  FPosition = FTokenStart = position;
}

void TfsParser::SetCommentBlock1(std::string_view text) {
  FCommentBlock1 = std::string(text);
  SplitPair(text, FCommentBlock1Open, FCommentBlock1Close);
}

void TfsParser::SetCommentBlock2(std::string_view text) {
  FCommentBlock2 = std::string(text);
  SplitPair(text, FCommentBlock2Open, FCommentBlock2Close);
}

void TfsParser::ConstructCharset(std::string_view text) {
  IdentifierCharset.reset();
  for (char c : text) IdentifierCharset.set(static_cast<unsigned char>(c));
}

void TfsParser::AddKeyword(std::string_view word) {
  FKeywords.emplace_back(word);
  FKeywordsExact.emplace(word);
  FKeywordsUpperCased.insert(AnsiUpperCase(word));
}

bool TfsParser::MarkerAt(int position, std::string_view marker) const {
  if (marker.empty() || position < 1 || position > FLength) return false;
  // SkipSpaces asks for every marker before every token: most calls end at the first character.
  if (FText[static_cast<size_t>(position - 1)] != marker[0]) return false;
  return std::string_view(FText).substr(static_cast<size_t>(position - 1), marker.size()) == marker;
}

// Each "start SkipSpaces again" of the rules is a turn of the outer loop. A line continuation
// asks for the line end after it once the spaces after it are skipped; those requests are counted
// instead of recursing, so a text full of continuation characters cannot exhaust the stack.
void TfsParser::SkipSpaces() {
  int pendingLineEnds = 0;
  for (;;) {
    while (FPosition <= FLength && At(FPosition) <= 32 && (SkipEOL || At(FPosition) != 13)) ++FPosition;
    if (FPosition <= FLength && !SkipChar.empty() &&
        At(FPosition) == static_cast<unsigned char>(SkipChar[0])) {
      ++FPosition;
      ++pendingLineEnds;
      continue;
    }
    if (FPosition < FLength) {
      if (MarkerAt(FPosition, CommentLine1) || MarkerAt(FPosition, CommentLine2)) {
        while (FPosition <= FLength && At(FPosition) != 10) ++FPosition;
        continue;
      }
      const std::string* close = nullptr;
      int openLength = 0;
      if (!FCommentBlock1.empty() && MarkerAt(FPosition, FCommentBlock1Open)) {
        close = &FCommentBlock1Close;
        openLength = static_cast<int>(FCommentBlock1Open.size());
      } else if (!FCommentBlock2.empty() && MarkerAt(FPosition, FCommentBlock2Open)) {
        close = &FCommentBlock2Close;
        openLength = static_cast<int>(FCommentBlock2Open.size());
      }
      if (close) {
        FPosition += openLength;
        while (FPosition <= FLength && !(close->empty() || MarkerAt(FPosition, *close))) ++FPosition;
        FPosition = std::min(FPosition + static_cast<int>(close->size()), FLength + 1);
        continue;
      }
    }
    if (pendingLineEnds > 0) {
      --pendingLineEnds;
      ConsumeLineEnds();
      continue;
    }
    break;
  }
  FTokenStart = FPosition;
}

void TfsParser::ConsumeLineEnds() {
  while (At(FPosition) == 10 || At(FPosition) == 13) ++FPosition;
}

bool TfsParser::GetEOL() {
  SkipSpaces();
  if (At(FPosition) != 10 && At(FPosition) != 13) return false;
  ConsumeLineEnds();
  return true;
}

std::string TfsParser::Ident() {
  SkipSpaces();
  unsigned char c = At(FPosition);
  if (FPosition > FLength || !IsIdentChar(c) || IsDigit(c)) return std::string();
  while (FPosition <= FLength && IsIdentChar(At(FPosition))) ++FPosition;
  return FText.substr(static_cast<size_t>(FTokenStart - 1), static_cast<size_t>(FPosition - FTokenStart));
}

bool TfsParser::IsKeyWord(std::string_view word) const {
  if (CaseSensitive) return FKeywordsExact.count(std::string(word)) > 0;
  return FKeywordsUpperCased.count(AnsiUpperCase(word)) > 0;
}

std::string TfsParser::GetIdent() {
  std::string word = Ident();
  if (!word.empty() && IsKeyWord(word)) return std::string();
  return word;
}

std::string TfsParser::GetWord() {
  return Ident();
}

std::string TfsParser::GetChar() {
  if (FPosition > FLength) return std::string();
  unsigned char c = At(FPosition);
  bool punctuation =
      (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
  if (!punctuation) return std::string();
  ++FPosition;
  return std::string(1, static_cast<char>(c));
}

bool TfsParser::DoDigitSequence() {
  if (!IsDigit(At(FPosition)) || FPosition > FLength) return false;
  while (FPosition <= FLength && IsDigit(At(FPosition))) ++FPosition;
  return true;
}

bool TfsParser::DoHexDigitSequence() {
  if (!IsHexDigit(At(FPosition)) || FPosition > FLength) return false;
  while (FPosition <= FLength && IsHexDigit(At(FPosition))) ++FPosition;
  return true;
}

bool TfsParser::DoUnsignedInteger() {
  int saved = FPosition;
  bool ok;
  if (MarkerAt(FPosition, HexSequence)) {
    FPosition += static_cast<int>(HexSequence.size());
    ok = DoHexDigitSequence();
  } else {
    ok = DoDigitSequence();
  }
  if (!ok) FPosition = saved;
  return ok;
}

bool TfsParser::DoScaleFactor() {
  int saved = FPosition;
  if (At(FPosition) != 'E' && At(FPosition) != 'e') return false;
  ++FPosition;
  if (At(FPosition) == '+' || At(FPosition) == '-') ++FPosition;
  if (DoDigitSequence()) return true;
  FPosition = saved;
  return false;
}

bool TfsParser::DoUnsignedReal() {
  int saved = FPosition;
  if (!DoUnsignedInteger()) return false;
  if (At(FPosition) == '.') {
    ++FPosition;
    if (!DoDigitSequence()) {
      FPosition = saved;
      return false;
    }
  }
  DoScaleFactor();
  return true;
}

std::string TfsParser::GetNumber() {
  SkipSpaces();
  int saved = FPosition;
  if (!DoUnsignedReal() && !DoUnsignedInteger()) {
    FPosition = saved;
    return std::string();
  }
  std::string number =
      FText.substr(static_cast<size_t>(FTokenStart - 1), static_cast<size_t>(FPosition - FTokenStart));
  if (!HexSequence.empty() && HexSequence != "$") {
    for (size_t at = number.find(HexSequence); at != std::string::npos; at = number.find(HexSequence, at + 1))
      number.replace(at, HexSequence.size(), "$");
  }
  return number;
}

// A quoted piece: in a double-quote language backslash escapes apply, otherwise a doubled quote
// stands for one quote. A control character (tab excepted), the end of the text included, ends
// the piece early and makes it fail.
bool TfsParser::ReadQuotedPiece(std::string& out) {
  if (StringQuotes.empty() || FPosition > FLength ||
      At(FPosition) != static_cast<unsigned char>(StringQuotes[0]))
    return false;
  const auto quote = static_cast<unsigned char>(StringQuotes[0]);
  const bool cStyle = quote == '"';
  int p = FPosition + 1;
  std::string piece;
  for (;;) {
    unsigned char c = At(p);
    if (p > FLength || IsStringStopper(c)) return false;
    if (cStyle && c == '\\') {
      ++p;
      if (p > FLength) return false;
      unsigned char e = At(p);
      switch (e | 0x20) {
        case 'n':
          piece += '\n';
          ++p;
          break;
        case 'r':
          piece += '\r';
          ++p;
          break;
        case 'x': {
          ++p;
          if (!IsHexDigit(At(p)) || p > FLength) break;
          unsigned value = 0;
          while (p <= FLength && IsHexDigit(At(p)))
            value = value * 16 + static_cast<unsigned>(HexDigitValue(static_cast<char>(At(p++))));
          piece += static_cast<char>(value & 0xFF);
          break;
        }
        default:
          piece += static_cast<char>(e);
          ++p;
          break;
      }
      continue;
    }
    if (c == quote) {
      if (!cStyle && At(p + 1) == quote && p + 1 <= FLength) {
        piece += static_cast<char>(quote);
        p += 2;
        continue;
      }
      FPosition = p + 1;
      out += piece;
      return true;
    }
    piece += static_cast<char>(c);
    ++p;
  }
}

// A character-code piece: '#' and an unsigned integer, decimal or with the hexadecimal prefix.
bool TfsParser::ReadCharCodePiece(std::string& out) {
  if (FPosition > FLength || At(FPosition) != '#') return false;
  int saved = FPosition;
  ++FPosition;
  int digitsStart = FPosition;
  if (!DoUnsignedInteger()) {
    FPosition = saved;
    return false;
  }
  unsigned value = 0;
  int p = digitsStart;
  if (MarkerAt(p, HexSequence)) {
    for (p += static_cast<int>(HexSequence.size()); p < FPosition; ++p)
      value = value * 16 + static_cast<unsigned>(HexDigitValue(static_cast<char>(At(p))));
  } else {
    for (; p < FPosition; ++p) value = value * 10 + (At(p) - '0');
  }
  out += static_cast<char>(value & 0xFF);
  return true;
}

std::string TfsParser::GetString() {
  SkipSpaces();
  std::string text;
  bool any = false;
  while (ReadQuotedPiece(text) || ReadCharCodePiece(text)) any = true;
  return any ? "'" + text + "'" : std::string();
}

std::string TfsParser::GetFRString() {
  int start = FPosition;
  int depth = 1;
  bool inSingle = false, inDouble = false;
  for (; FPosition <= FLength; ++FPosition) {
    unsigned char c = At(FPosition);
    if (!inSingle && !inDouble) {
      if (c == '<' || c == '[')
        ++depth;
      else if (c == '>' || c == ']')
        --depth;
      if (depth == 0) break;
    }
    if (c == '"' && !inSingle)
      inDouble = !inDouble;
    else if (c == '\'' && !inDouble)
      inSingle = !inSingle;
  }
  return FText.substr(static_cast<size_t>(start - 1), static_cast<size_t>(FPosition - start));
}

TfsPoint TfsParser::PositionToPoint(int position) const {
  // The first entry not smaller than the position: its index is the line number; a line feed
  // belongs to the line it ends.
  auto it = std::lower_bound(FLineTable.begin(), FLineTable.end(), position);
  int line = static_cast<int>(it - FLineTable.begin());
  if (line == 0) line = 1;  // positions before the text count as line 1
  return TfsPoint{position - FLineTable[static_cast<size_t>(line - 1)], line};
}

std::string TfsParser::GetXYPosition() const {
  TfsPoint point = PositionToPoint(FPosition);
  return std::to_string(point.Y) + ":" + std::to_string(point.X);
}

int TfsParser::GetPlainPosition(TfsPoint point) const {
  if (point.Y < 1 || point.Y > static_cast<int>(FLineTable.size())) return -1;
  return FLineTable[static_cast<size_t>(point.Y - 1)] + point.X;
}

}  // namespace kelvo
