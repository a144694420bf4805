#include "xml/xp_writer.h"

#include "text/cp1251.h"

namespace kelvo {
namespace {

class Writer {
 public:
  explicit Writer(const TXpWriteOptions& options) : FOptions(options) {
    switch (options.LineBreakMode) {
      case TXpLineBreakMode::lbmCR: FBreak = u"\r"; break;
      case TXpLineBreakMode::lbmLF: FBreak = u"\n"; break;
      default: FBreak = u"\r\n"; break;
    }
  }

  std::u16string Document(const TXpDocument& doc) {
    bool first = true;
    for (const auto& child : doc.ChildNodes()) {
      if (!first) FOut += u"\r\n";
      first = false;
      Node(*child, 0);
    }
    return std::move(FOut);
  }

 private:
  void Node(const TXpNode& node, int depth) {
    switch (node.NodeType()) {
      case TXpNodeType::ntElement: Element(static_cast<const TXpElement&>(node), depth); break;
      case TXpNodeType::ntText: Escaped(node.NodeValue(), false); break;
      case TXpNodeType::ntCDataSection: FOut += u"<![CDATA[" + node.NodeValue() + u"]]>"; break;
      case TXpNodeType::ntComment: FOut += u"<!--" + node.NodeValue() + u"-->"; break;
      case TXpNodeType::ntProcessingInstruction:
        FOut += u"<?" + node.NodeName() + u" " + node.NodeValue() + u"?>";
        break;
      case TXpNodeType::ntDocument: break;
    }
  }

  void Indent(int depth) {
    FOut += u"\r\n";
    FOut.append(static_cast<size_t>(depth) * 2, u' ');
  }

  // <name attr="value" ...> children </name>, or <name .../> without children. Depth is bounded by
  // the reader's nesting limit and by what the application builds (three levels).
  void Element(const TXpElement& element, int depth) {
    FOut += u'<';
    FOut += element.NodeName();
    for (const auto& a : element.Attributes()) {
      FOut += u' ';
      FOut += a.Name;
      FOut += u"=\"";
      Escaped(a.Value, true);
      FOut += u'"';
    }
    const auto& children = element.ChildNodes();
    if (children.empty()) {
      FOut += u"/>";
      return;
    }
    FOut += u'>';
    for (const auto& child : children) {
      if (FOptions.FormattedOutput && child->NodeType() == TXpNodeType::ntElement) Indent(depth + 1);
      Node(*child, depth + 1);
    }
    if (FOptions.FormattedOutput && children.back()->NodeType() != TXpNodeType::ntText) Indent(depth);
    FOut += u"</";
    FOut += element.NodeName();
    FOut += u'>';
  }

  void Escaped(const std::u16string& s, bool attribute) {
    for (size_t i = 0; i < s.size(); ++i) {
      char16_t c = s[i];
      if (c == u'&') {
        FOut += u"&amp;";
      } else if (c == u'<') {
        FOut += u"&lt;";
      } else if (attribute && c == u'"') {
        FOut += u"&#34;";
      } else if (attribute && c == u'\n') {
        FOut += u"&#xA;";
      } else if (!attribute && (c == u'\r' || c == u'\n')) {
        if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        FOut += FBreak;
      } else if (c == u'\t' || (c >= u' ' && c <= u'~') || FOptions.WriteNonAsciiRaw) {
        FOut += c;
      } else {
        char32_t cp = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
          cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (s[++i] - 0xDC00);
        FOut += u"&#";
        for (char ch : std::to_string(cp)) FOut += static_cast<char16_t>(ch);
        FOut += u';';
      }
    }
  }

  const TXpWriteOptions& FOptions;
  std::u16string FBreak;
  std::u16string FOut;
};

void AppendUtf16Bytes(std::string& out, const std::u16string& text, bool bigEndian) {
  out.reserve(out.size() + text.size() * 2);
  for (char16_t c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
}

// Latin-1 cannot hold every character: one outside it is written as a character reference, which
// any reader turns back into the character, instead of being lost.
void AppendLatin1Bytes(std::string& out, const std::u16string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp <= 0xFF) {
      out += static_cast<char>(cp);
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size())
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    out += "&#" + std::to_string(cp) + ";";
  }
}

}  // namespace

std::u16string XpWriteText(const TXpDocument& doc, const TXpWriteOptions& options) {
  return Writer(options).Document(doc);
}

std::string XpWriteBytes(const TXpDocument& doc, const TXpWriteOptions& options) {
  std::u16string text = XpWriteText(doc, options);
  std::string out;
  switch (options.Encoding) {
    case TXpCharEncoding::ceUTF8:
      if (options.WriteUTF8Signature) out = "\xEF\xBB\xBF";
      out += Utf16ToUtf8(text);
      break;
    case TXpCharEncoding::ceUTF16LE:
      out = "\xFF\xFE";
      AppendUtf16Bytes(out, text, false);
      break;
    case TXpCharEncoding::ceUTF16BE:
      out = "\xFE\xFF";
      AppendUtf16Bytes(out, text, true);
      break;
    case TXpCharEncoding::ceISO88591:
      AppendLatin1Bytes(out, text);
      break;
  }
  return out;
}

}  // namespace kelvo
