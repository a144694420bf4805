// The tokenizer on arbitrary text under arbitrary settings: every reader returns, keeps the
// position inside the text (or just past it) and never reads outside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/front/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  kelvo::TfsParser p;
  // The first bytes choose the settings; the rest is the text.
  uint8_t flags = data[0];
  if (flags & 1) p.StringQuotes = "\"";
  if (flags & 2) p.HexSequence = "0x";
  if (flags & 4) p.SkipEOL = false;
  if (flags & 8) p.SkipChar = std::string(1, static_cast<char>(data[1]));
  if (flags & 16) p.SetCommentBlock1(std::string(1, static_cast<char>(data[2])) + ",");
  if (flags & 32) p.CommentLine2 = std::string(1, static_cast<char>(data[3]));
  if (flags & 64) p.CaseSensitive = true;
  p.AddKeyword("if");
  p.SetText(std::string(reinterpret_cast<const char*>(data) + 4, size - 4));
  for (int step = 0; step < 4096 && p.Position() <= p.Length(); ++step) {
    int before = p.Position();
    switch (step % 8) {
      case 0:
        p.GetNumber();
        break;
      case 1:
        p.GetString();
        break;
      case 2:
        p.GetIdent();
        break;
      case 3:
        p.GetWord();
        break;
      case 4:
        p.GetEOL();
        break;
      case 5:
        p.GetFRString();
        break;
      case 6:
        p.GetXYPosition();
        break;
      default:
        p.SkipSpaces();
        p.GetChar();
        break;
    }
    if (p.Position() < 1 || p.Position() > p.Length() + 1) std::abort();
    if (step % 8 == 7 && p.Position() == before) p.SetPosition(before + 1);
  }
  return 0;
}
