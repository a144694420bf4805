#include "text/ansi_text.h"

#include <array>

#include "text/cp1251.h"

namespace kelvo {
namespace {

// Upper case of a code point within the letters that Windows-1251 holds.
char32_t UnicodeUpper(char32_t u) {
  if (u >= 'a' && u <= 'z') return u - 32;
  if (u >= 0x0430 && u <= 0x044F) return u - 0x20;  // а..я
  if (u >= 0x0450 && u <= 0x045F) return u - 0x50;  // ѐ..џ (ё, ђ, ѓ, є, ...)
  if (u == 0x0491) return 0x0490;                   // ґ
  return u;
}

char32_t UnicodeLower(char32_t u) {
  if (u >= 'A' && u <= 'Z') return u + 32;
  if (u >= 0x0410 && u <= 0x042F) return u + 0x20;
  if (u >= 0x0400 && u <= 0x040F) return u + 0x50;
  if (u == 0x0490) return 0x0491;
  return u;
}

struct CaseTables {
  std::array<char, 256> upper{}, lower{};
  // Sort weight of each byte after upper-casing: Latin before Cyrillic, Ё right after Е.
  std::array<unsigned, 256> weight{};
  CaseTables() {
    // Made at the first comparison of every run: the code points are read once, and a byte whose
    // case partner is itself (most of them) needs no search back.
    std::array<char32_t, 256> code{};
    for (int b = 0; b < 256; ++b) code[b] = AnsiCharToUnicode(static_cast<unsigned char>(b));
    auto toAnsi = [&code](char32_t u, int self) {
      if (u == code[self]) return static_cast<char>(self);
      for (int c = 0; c < 256; ++c)
        if (code[c] == u) return static_cast<char>(c);
      return UnicodeToAnsiChar(u);
    };
    for (int b = 0; b < 256; ++b) {
      char32_t u = code[b];
      upper[b] = toAnsi(UnicodeUpper(u), b);
      lower[b] = toAnsi(UnicodeLower(u), b);
      if (u >= 0x0410 && u <= 0x044F) {
        weight[b] = 0x10000 + 2 * (u - 0x0410) + (u > 0x0415 ? 2 : 0);
      } else if (u == 0x0401 || u == 0x0451) {
        weight[b] = 0x10000 + 2 * (0x0415 - 0x0410) + 1;
      } else {
        weight[b] = u;
      }
    }
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

unsigned char U8(char c) {
  return static_cast<unsigned char>(c);
}

template <bool IgnoreCase>
int Compare(std::string_view a, std::string_view b) {
  const auto& t = Tables();
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char ca = IgnoreCase ? t.upper[U8(a[i])] : a[i];
    char cb = IgnoreCase ? t.upper[U8(b[i])] : b[i];
    if (ca == cb) continue;
    unsigned wa = t.weight[U8(t.upper[U8(ca)])];
    unsigned wb = t.weight[U8(t.upper[U8(cb)])];
    if (wa != wb) return wa < wb ? -1 : 1;
    // Same letter in another case: lower case sorts first, as the locale does.
    return U8(ca) == U8(t.lower[U8(ca)]) ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

const std::array<char, 256>& AnsiUpperTable() {
  return Tables().upper;
}

char AnsiUpperChar(char c) {
  return Tables().upper[U8(c)];
}
char AnsiLowerChar(char c) {
  return Tables().lower[U8(c)];
}

std::string AnsiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AnsiUpperChar(c);
  return out;
}

std::string AnsiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AnsiLowerChar(c);
  return out;
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  return Compare<true>(a, b);
}
bool AnsiSameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return Compare<true>(a, b) == 0;
}
std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && U8(s[i]) <= ' ') ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && U8(s[n - 1]) <= ' ') --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  return TrimLeft(TrimRight(s));
}

}  // namespace kelvo
