#include "text/cp1251.h"

#include <array>

namespace kelvo {
namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F and 0x00..0x7F are ASCII.
// 0x98 is unassigned in the code page and maps to U+0098 as the system's converter does.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// Decodes one UTF-8 sequence at s[i], advancing i; malformed bytes give U+FFFD and advance by one.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF)
    len = 2;
  else if (b0 >= 0xE0 && b0 <= 0xEF)
    len = 3;
  else if (b0 >= 0xF0 && b0 <= 0xF4)
    len = 4;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = b0 & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += len;
  return cp;
}

// Decodes one UTF-16 code point at s[i], advancing i; an unpaired surrogate gives U+FFFD.
char32_t DecodeUtf16(std::u16string_view s, size_t& i) {
  char16_t w = s[i++];
  if (w >= 0xD800 && w <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
    return 0x10000 + ((char32_t(w) - 0xD800) << 10) + (s[i++] - 0xDC00);
  }
  if (w >= 0xD800 && w <= 0xDFFF) return 0xFFFD;
  return w;
}

struct ReverseTable {
  std::array<std::pair<char16_t, char>, 64> entries{};
  ReverseTable() {
    for (int k = 0; k < 64; ++k) entries[k] = {kHighHalf[k], static_cast<char>(0x80 + k)};
  }
};

}  // namespace

char16_t AnsiCharToUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c >= 0xC0) return static_cast<char16_t>(0x0410 + (c - 0xC0));
  return kHighHalf[c - 0x80];
}

char UnicodeToAnsiChar(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
  static const ReverseTable reverse;
  for (const auto& [u, b] : reverse.entries)
    if (u == cp) return b;
  return '?';
}

std::u16string AnsiToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char c : s) out += AnsiCharToUnicode(static_cast<unsigned char>(c));
  return out;
}

std::string Utf16ToAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out += UnicodeToAnsiChar(DecodeUtf16(s, i));
  return out;
}

std::string AnsiToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (char c : s) AppendUtf8(out, AnsiCharToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out += UnicodeToAnsiChar(DecodeUtf8(s, i));
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) AppendUtf16(out, DecodeUtf8(s, i));
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

}  // namespace kelvo
