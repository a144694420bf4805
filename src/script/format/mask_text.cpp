#include "script/format/mask_text.h"

#include <algorithm>
#include <vector>

#include "text/ansi_text.h"

namespace kelvo {

namespace {

enum class TMaskCase { mcAsTyped, mcUpper, mcLower };

// One position of the laid-out text: a literal character or a slot for a character of the text.
struct TMaskElement {
  bool Slot = false;
  char Literal = 0;
  TMaskCase Case = TMaskCase::mcAsTyped;
};

struct TEditMask {
  std::vector<TMaskElement> Elements;
  bool Reverse = false;
  bool SaveLiterals = true;
};

bool IsSlotChar(char c) {
  switch (c) {
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c':
    case '0':
    case '9':
    case '#':
      return true;
    default:
      return false;
  }
}

// The mask ends at the first ";" that is not escaped; the field after it is the save-literals
// flag ("0" = do not save), the one after that the blank character.
TEditMask ParseEditMask(std::string_view editMask, const TFormatSettings& fs) {
  TEditMask mask;
  TMaskCase current = TMaskCase::mcAsTyped;
  size_t i = 0;
  for (; i < editMask.size(); ++i) {
    char c = editMask[i];
    if (c == ';') break;
    TMaskElement e;
    e.Case = current;
    if (c == '\\') {
      if (++i >= editMask.size()) break;
      e.Literal = editMask[i];
    } else if (c == '!') {
      mask.Reverse = true;
      continue;
    } else if (c == '<' && i + 1 < editMask.size() && editMask[i + 1] == '>') {
      current = TMaskCase::mcAsTyped;
      ++i;
      continue;
    } else if (c == '>' || c == '<') {
      current = c == '>' ? TMaskCase::mcUpper : TMaskCase::mcLower;
      continue;
    } else if (IsSlotChar(c)) {
      e.Slot = true;
    } else if (c == '/') {
      e.Literal = fs.DateSeparator;
    } else if (c == ':') {
      e.Literal = fs.TimeSeparator;
    } else if (c == '_') {
      e.Literal = ' ';
    } else {
      e.Literal = c;
    }
    mask.Elements.push_back(e);
  }
  if (i + 1 < editMask.size() && editMask[i] == ';') mask.SaveLiterals = editMask[i + 1] != '0';
  return mask;
}

char InCase(char c, TMaskCase how) {
  if (how == TMaskCase::mcUpper) return AnsiUpperChar(c);
  if (how == TMaskCase::mcLower) return AnsiLowerChar(c);
  return c;
}

// The text holds only the slot characters: literals are put between them. Characters left over
// after the last slot are kept, so that no part of the text is lost.
std::string InsertLiterals(const TEditMask& mask, std::string_view value) {
  const auto& el = mask.Elements;
  std::string out;
  if (!mask.Reverse) {
    size_t vi = 0;
    for (const TMaskElement& e : el) {
      if (!e.Slot)
        out += e.Literal;
      else
        out += vi < value.size() ? InCase(value[vi++], e.Case) : ' ';
    }
    out.append(value.substr(std::min(vi, value.size())));
    return out;
  }
  size_t left = value.size();
  for (auto it = el.rbegin(); it != el.rend(); ++it) {
    if (!it->Slot)
      out += it->Literal;
    else
      out += left > 0 ? InCase(value[--left], it->Case) : ' ';
  }
  std::reverse(out.begin(), out.end());
  return std::string(value.substr(0, left)) + out;
}

// The text already holds the literals: each run of slots between two literals takes the text up
// to that literal, padded with spaces to the run's width (on the left when filling from the right).
std::string PadFields(const TEditMask& mask, std::string_view value) {
  const auto& el = mask.Elements;
  std::string out;
  size_t vi = 0;
  for (size_t i = 0; i < el.size();) {
    if (!el[i].Slot) {
      out += el[i].Literal;
      if (vi < value.size() && value[vi] == el[i].Literal) ++vi;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < el.size() && el[end].Slot) ++end;
    size_t width = end - i;
    size_t stop = end < el.size() ? value.find(el[end].Literal, vi) : std::string_view::npos;
    std::string_view field =
        value.substr(vi, std::min(stop == std::string_view::npos ? value.size() : stop, value.size()) - vi);
    // A field longer than its slots keeps what fits; the rest up to the literal is dropped.
    vi = stop == std::string_view::npos ? vi + std::min(field.size(), width) : stop;
    if (field.size() > width) field = field.substr(0, width);
    std::string padded(width - field.size(), ' ');
    size_t at = mask.Reverse ? padded.size() : 0;
    for (size_t k = 0; k < field.size(); ++k)
      padded.insert(at + k, 1, InCase(field[k], el[i + (mask.Reverse ? width - field.size() : 0) + k].Case));
    out += padded;
    i = end;
  }
  return out;
}

}  // namespace

std::string FormatMaskText(std::string_view editMask, std::string_view value, const TFormatSettings& fs) {
  TEditMask mask = ParseEditMask(editMask, fs);
  return mask.SaveLiterals ? PadFields(mask, value) : InsertLiterals(mask, value);
}

}  // namespace kelvo
