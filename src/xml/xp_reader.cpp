#include "xml/xp_reader.h"

#include <cctype>

#include "text/ansi_text.h"
#include "text/cp1251.h"
#include "text/integer_text.h"

namespace kelvo {
namespace {

class ParseError {
 public:
  explicit ParseError(std::string message) : Message(std::move(message)) {}
  std::string Message;
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsNameStart(unsigned char c) {
  return c == '_' || c == ':' || std::isalpha(c) || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || std::isdigit(c) || c == '-' || c == '.';
}

// Turns UTF-16 bytes into UTF-8 so that one parser serves every encoding; malformed input fails.
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) throw ParseError("Truncated UTF-16 text");
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t i) {
    auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    return static_cast<char16_t>(hi << 8 | lo);
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char16_t w = unit(i);
    char32_t cp = w;
    if (w >= 0xD800 && w <= 0xDBFF) {
      if (i + 2 >= bytes.size()) throw ParseError("Invalid UTF-16 surrogate pair");
      char16_t w2 = unit(i + 2);
      if (w2 < 0xDC00 || w2 > 0xDFFF) throw ParseError("Invalid UTF-16 surrogate pair");
      cp = 0x10000 + ((char32_t(w) - 0xD800) << 10) + (w2 - 0xDC00);
      i += 2;
    } else if (w >= 0xDC00 && w <= 0xDFFF) {
      throw ParseError("Invalid UTF-16 surrogate pair");
    }
    AppendUtf8(out, cp);
  }
  return out;
}

// The parser proper, over UTF-8 (or, after an ISO-8859-1 declaration, Latin-1) bytes.
class Reader {
 public:
  // allowLatin1: the file is read byte by byte (not UTF-16), so an ISO-8859-1 declaration can
  // switch the rest of it to Latin-1.
  Reader(std::string_view src, TXpDocument& doc, const TXpReadOptions& options, bool allowLatin1)
      : FSrc(src), FAllowLatin1(allowLatin1), FDoc(doc), FOptions(options) {}

  void Parse() {
    ParseDeclaration();
    ParseMisc();
    if (AtEnd()) throw Error("No document element");
    if (Peek() != '<') throw Error("Text outside the document element");
    ParseElementTree();
    ParseMisc();
    if (!AtEnd()) throw Error("Content after the document element");
  }

  bool Latin1() const { return FLatin1; }

 private:
  // ---- low-level access ----
  bool AtEnd() const { return FPos >= FSrc.size(); }
  char Peek(size_t ahead = 0) const { return FPos + ahead < FSrc.size() ? FSrc[FPos + ahead] : '\0'; }
  bool StartsWith(std::string_view s) const { return FSrc.substr(FPos, s.size()) == s; }
  void Expect(std::string_view s) {
    if (!StartsWith(s)) throw Error("'" + std::string(s) + "' expected");
    FPos += s.size();
  }
  void SkipSpaces() {
    while (!AtEnd() && IsSpace(FSrc[FPos])) ++FPos;
  }
  // The message with the place where reading stopped: the line and the column, both from 1, the
  // column counted in characters (a UTF-8 sequence is one).
  ParseError Error(const std::string& what) const {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < FPos && i < FSrc.size(); ++i) {
      const auto c = static_cast<unsigned char>(FSrc[i]);
      if (c == '\n') {
        ++line;
        column = 1;
      } else if (FLatin1 || (c & 0xC0) != 0x80) {
        ++column;
      }
    }
    return ParseError(what + " at line " + std::to_string(line) + ", column " + std::to_string(column));
  }
  // Position of the next occurrence of s, or an error naming what was left open.
  size_t Find(std::string_view s, const char* unclosed) const {
    size_t at = FSrc.find(s, FPos);
    if (at == std::string_view::npos) throw Error(std::string("Unclosed ") + unclosed);
    return at;
  }
  void CheckSize(size_t n) const {
    if (n > FOptions.MaxTokenBytes) throw Error("Value too long");
  }

  // Decodes raw bytes of the file into UTF-16, refusing NUL and malformed UTF-8.
  void Decode(std::string_view raw, std::u16string& out) const {
    out.reserve(out.size() + raw.size());
    for (size_t i = 0; i < raw.size();) {
      auto b0 = static_cast<unsigned char>(raw[i]);
      if (b0 == 0) throw Error("NUL character");
      if (b0 < 0x80 || FLatin1) {
        out += static_cast<char16_t>(b0);
        ++i;
        continue;
      }
      int len = b0 >= 0xC2 && b0 <= 0xDF   ? 2
                : b0 >= 0xE0 && b0 <= 0xEF ? 3
                : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                           : 0;
      if (len == 0 || i + len > raw.size()) throw Error("Invalid UTF-8 sequence");
      char32_t cp = b0 & (0x7F >> len);
      for (int k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(raw[i + k]);
        if ((b & 0xC0) != 0x80) throw Error("Invalid UTF-8 sequence");
        cp = cp << 6 | (b & 0x3F);
      }
      if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
          (cp >= 0xD800 && cp <= 0xDFFF))
        throw Error("Invalid UTF-8 sequence");
      AppendUtf16(out, cp);
      i += len;
    }
  }

  std::u16string DecodeName(std::string_view raw) const {
    std::u16string out;
    Decode(raw, out);
    return out;
  }

  // Resolves the predefined entities and character references of raw into out.
  void DecodeWithReferences(std::string_view raw, std::u16string& out) const {
    size_t i = 0;
    while (i < raw.size()) {
      size_t amp = raw.find('&', i);
      Decode(raw.substr(i, amp == std::string_view::npos ? raw.npos : amp - i), out);
      if (amp == std::string_view::npos) break;
      size_t semi = raw.find(';', amp);
      if (semi == std::string_view::npos || semi - amp > 12) throw Error("Unterminated entity reference");
      AppendReference(raw.substr(amp + 1, semi - amp - 1), out);
      i = semi + 1;
    }
  }

  void AppendReference(std::string_view name, std::u16string& out) const {
    static constexpr std::pair<std::string_view, char16_t> kEntities[] = {
        {"lt", u'<'}, {"gt", u'>'}, {"amp", u'&'}, {"quot", u'"'}, {"apos", u'\''}};
    for (const auto& [entity, ch] : kEntities)
      if (name == entity) {
        out += ch;
        return;
      }
    if (name.size() < 2 || name[0] != '#') throw Error("Unknown entity '" + std::string(name) + "'");
    bool hex = name[1] == 'x';
    std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) throw Error("Invalid character reference");
    char32_t cp = 0;
    for (char d : digits) {
      int v = hex ? HexDigitValue(d) : (d >= '0' && d <= '9' ? d - '0' : -1);
      if (v < 0) throw Error("Invalid character reference");
      cp = cp * (hex ? 16 : 10) + v;
      if (cp > 0x10FFFF) throw Error("Invalid character reference");
    }
    if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) throw Error("Invalid character reference");
    AppendUtf16(out, cp);
  }

  std::string_view ReadName() {
    size_t start = FPos;
    if (AtEnd() || !IsNameStart(static_cast<unsigned char>(Peek()))) throw Error("Name expected");
    while (!AtEnd() && IsNameChar(static_cast<unsigned char>(Peek()))) ++FPos;
    CheckSize(FPos - start);
    return FSrc.substr(start, FPos - start);
  }

  // name="value" or name='value'; the raw value, references unresolved.
  std::pair<std::string_view, std::string_view> ReadAttribute() {
    std::string_view name = ReadName();
    SkipSpaces();
    Expect("=");
    SkipSpaces();
    char quote = Peek();
    if (quote != '"' && quote != '\'') throw Error("Quoted value expected");
    ++FPos;
    size_t end = FSrc.find(quote, FPos);
    if (end == std::string_view::npos) throw Error("Unclosed attribute value");
    std::string_view value = FSrc.substr(FPos, end - FPos);
    CheckSize(value.size());
    if (value.find('<') != std::string_view::npos) throw Error("'<' in attribute value");
    FPos = end + 1;
    return {name, value};
  }

  // ---- prolog ----
  // <?xml version="1.0" encoding="..." standalone="..."?>, kept as a processing instruction whose
  // text is rebuilt from what was read.
  void ParseDeclaration() {
    if (!StartsWith("<?xml") || !IsSpace(Peek(5))) return;
    FPos += 5;
    std::string version, encoding, standalone;
    bool haveEncoding = false, haveStandalone = false;
    for (;;) {
      SkipSpaces();
      if (StartsWith("?>")) break;
      auto [name, value] = ReadAttribute();
      if (name == "version")
        version = value;
      else if (name == "encoding")
        encoding = value, haveEncoding = true;
      else if (name == "standalone")
        standalone = value, haveStandalone = true;
      else
        throw Error("Unknown declaration attribute");
    }
    FPos += 2;
    if (version != "1.0") throw Error("Unsupported XML version '" + version + "'");
    std::string text = "version=\"1.0\"";
    if (haveEncoding) text += " encoding=\"" + encoding + "\"";
    if (haveStandalone) text += " standalone=\"" + standalone + "\"";
    FDoc.AppendChild(std::make_unique<TXpProcessingInstruction>(u"xml", DecodeName(text)));
    if (FAllowLatin1 && AnsiSameText(encoding, "ISO-8859-1")) FLatin1 = true;
  }

  // Comments, processing instructions, a document type declaration and white space.
  void ParseMisc() {
    for (;;) {
      SkipSpaces();
      if (StartsWith("<!--")) {
        FDoc.AppendChild(ParseComment());
      } else if (StartsWith("<?")) {
        FDoc.AppendChild(ParsePI());
      } else if (StartsWith("<!DOCTYPE")) {
        SkipDoctype();
      } else {
        return;
      }
    }
  }

  void SkipDoctype() {
    int depth = 0;
    for (; !AtEnd(); ++FPos) {
      char c = FSrc[FPos];
      if (c == '[')
        ++depth;
      else if (c == ']')
        --depth;
      else if (c == '>' && depth <= 0) {
        ++FPos;
        return;
      }
    }
    throw Error("Unclosed document type declaration");
  }

  std::unique_ptr<TXpNode> ParseComment() {
    FPos += 4;
    size_t end = Find("-->", "comment");
    CheckSize(end - FPos);
    std::u16string text;
    Decode(FSrc.substr(FPos, end - FPos), text);
    FPos = end + 3;
    return std::make_unique<TXpComment>(std::move(text));
  }

  std::unique_ptr<TXpNode> ParsePI() {
    FPos += 2;
    std::string_view target = ReadName();
    if (AnsiSameText(target, "xml")) throw Error("Misplaced XML declaration");
    SkipSpaces();
    size_t end = Find("?>", "processing instruction");
    CheckSize(end - FPos);
    std::u16string data;
    Decode(FSrc.substr(FPos, end - FPos), data);
    FPos = end + 2;
    return std::make_unique<TXpProcessingInstruction>(DecodeName(target), std::move(data));
  }

  // ---- elements, without recursion: open elements live on an explicit stack ----
  void ParseElementTree() {
    std::vector<TXpElement*> open;
    TXpNode* root = &FDoc;
    do {
      TXpNode* parent = open.empty() ? root : open.back();
      if (StartsWith("</")) {
        if (open.empty()) throw Error("Unexpected end tag");
        CloseElement(open);
      } else if (StartsWith("<!--")) {
        parent->AppendChild(ParseComment());
      } else if (StartsWith("<![CDATA[")) {
        parent->AppendChild(ParseCData());
      } else if (StartsWith("<?")) {
        parent->AppendChild(ParsePI());
      } else if (Peek() == '<') {
        TXpElement* element = OpenElement(parent);
        if (element) {
          if (open.size() >= FOptions.MaxDepth) throw Error("Elements nested too deeply");
          open.push_back(element);
        }
      } else {
        if (open.empty()) throw Error("Text outside the document element");
        ParseText(*open.back());
      }
      if (AtEnd() && !open.empty()) throw Error("Unclosed element");
    } while (!open.empty());
  }

  // Reads a start tag; returns the element when it stays open (not "/>").
  TXpElement* OpenElement(TXpNode* parent) {
    ++FPos;
    auto element = std::make_unique<TXpElement>(DecodeName(ReadName()));
    for (;;) {
      bool spaced = !AtEnd() && IsSpace(Peek());
      SkipSpaces();
      if (AtEnd()) throw Error("Unclosed start tag");
      if (StartsWith("/>")) {
        FPos += 2;
        parent->AppendChild(std::move(element));
        return nullptr;
      }
      if (Peek() == '>') {
        ++FPos;
        return static_cast<TXpElement*>(parent->AppendChild(std::move(element)));
      }
      if (!spaced) throw Error("White space expected between attributes");
      auto [rawName, rawValue] = ReadAttribute();
      std::u16string name = DecodeName(rawName);
      if (element->HasAttribute(name)) throw Error("Duplicate attribute '" + std::string(rawName) + "'");
      std::u16string value;
      DecodeWithReferences(rawValue, value);
      element->AppendAttribute(std::move(name), std::move(value));
    }
  }

  void CloseElement(std::vector<TXpElement*>& open) {
    FPos += 2;
    std::u16string name = DecodeName(ReadName());
    SkipSpaces();
    Expect(">");
    if (name != open.back()->NodeName()) throw Error("End tag does not match its start tag");
    open.pop_back();
  }

  std::unique_ptr<TXpNode> ParseCData() {
    FPos += 9;
    size_t end = Find("]]>", "CDATA section");
    CheckSize(end - FPos);
    std::u16string text;
    Decode(FSrc.substr(FPos, end - FPos), text);
    FPos = end + 3;
    return std::make_unique<TXpCDataSection>(std::move(text));
  }

  void ParseText(TXpElement& parent) {
    size_t end = FSrc.find('<', FPos);
    if (end == std::string_view::npos) end = FSrc.size();
    std::string_view raw = FSrc.substr(FPos, end - FPos);
    CheckSize(raw.size());
    FPos = end;
    std::u16string text;
    DecodeWithReferences(raw, text);
    if (FOptions.NormalizeData) text = Normalize(text);
    if (!text.empty()) parent.AppendChild(std::make_unique<TXpText>(std::move(text)));
  }

  // White space trimmed at both ends and each inner run made one space.
  static std::u16string Normalize(const std::u16string& text) {
    std::u16string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (char16_t c : text) {
      if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
        pendingSpace = !out.empty();
        continue;
      }
      if (pendingSpace) out += u' ';
      pendingSpace = false;
      out += c;
    }
    return out;
  }

  std::string_view FSrc;
  size_t FPos = 0;
  bool FAllowLatin1;
  bool FLatin1 = false;
  TXpDocument& FDoc;
  const TXpReadOptions& FOptions;
};

}  // namespace

TXpReadResult XpReadDocument(std::string_view bytes, TXpDocument& doc, const TXpReadOptions& options) {
  TXpReadResult result;
  try {
    std::string converted;
    std::string_view body = bytes;
    auto starts = [&](std::string_view mark) {
      return bytes.size() >= 3 && bytes.substr(0, mark.size()) == mark;
    };
    if (starts("\xFE\xFF")) {
      result.Encoding = TXpCharEncoding::ceUTF16BE;
      converted = Utf16BytesToUtf8(bytes.substr(2), true);
      body = converted;
    } else if (starts("\xFF\xFE")) {
      result.Encoding = TXpCharEncoding::ceUTF16LE;
      converted = Utf16BytesToUtf8(bytes.substr(2), false);
      body = converted;
    } else if (starts("\xEF\xBB\xBF")) {
      body = bytes.substr(3);
    }
    bool byteStream = result.Encoding == TXpCharEncoding::ceUTF8;
    Reader reader(body, doc, options, byteStream);
    reader.Parse();
    if (reader.Latin1()) result.Encoding = TXpCharEncoding::ceISO88591;
    result.Ok = true;
  } catch (const ParseError& e) {
    result.Error = e.Message;
    doc.Clear();
  }
  return result;
}

}  // namespace kelvo
