#include "app/visible_text.h"

#include "text/cp1251.h"

namespace kelvo {
namespace {

constexpr const char* kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                           "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                           "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                           "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

// The name of a byte that must not be shown as it is, or nullptr for a printable one. 0x98 maps
// to the C1 control U+0098, which some terminals act on.
const char* ControlName(unsigned char c) {
  if (c < 32) return kControlNames[c];
  if (c == 0x7F) return "DEL";
  if (c == 0x98) return "SOS";
  return nullptr;
}

void AppendVisible(std::string& out, char c) {
  const char* name = ControlName(static_cast<unsigned char>(c));
  if (name == nullptr) {
    out += c;
    return;
  }
  out += '<';
  out += name;
  out += '>';
}

}  // namespace

std::string VisibleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendVisible(out, c);
  return out;
}

std::string VisibleMessage(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      AppendVisible(out, c);
    }
  }
  return out;
}

std::string VisibleUtf8(std::string_view text) {
  std::string out;
  for (char c : AnsiToUtf8(VisibleMessage(text)))
    if (c != '\r') out += c;
  return out;
}

}  // namespace kelvo
