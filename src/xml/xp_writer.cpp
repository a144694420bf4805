#include "xml/xp_writer.h"

#include "text/cp1251.h"

namespace kelvo {
namespace {

class Writer {
 public:
  explicit Writer(const TXpWriteOptions& options) : FOptions(options) {
    switch (options.LineBreakMode) {
      case TXpLineBreakMode::lbmCR:
        FBreak = "\r";
        break;
      case TXpLineBreakMode::lbmLF:
        FBreak = "\n";
        break;
      default:
        FBreak = "\r\n";
        break;
    }
  }

  std::string Document(const TXpDocument& doc) {
    FOut.reserve(EstimateSize(doc));
    bool first = true;
    for (const auto& child : doc.ChildNodes()) {
      if (!first) FOut += "\r\n";
      first = false;
      Node(*child, 0);
    }
    return std::move(FOut);
  }

 private:
  void Node(const TXpNode& node, int depth) {
    switch (node.NodeType()) {
      case TXpNodeType::ntElement:
        Element(static_cast<const TXpElement&>(node), depth);
        break;
      case TXpNodeType::ntText:
        Escaped(node.NodeValue(), false);
        break;
      case TXpNodeType::ntCDataSection:
        FOut += "<![CDATA[";
        Put(node.NodeValue());
        FOut += "]]>";
        break;
      case TXpNodeType::ntComment:
        FOut += "<!--";
        Put(node.NodeValue());
        FOut += "-->";
        break;
      case TXpNodeType::ntProcessingInstruction:
        FOut += "<?";
        Put(node.NodeName());
        FOut += ' ';
        Put(node.NodeValue());
        FOut += "?>";
        break;
      case TXpNodeType::ntDocument:
        break;
    }
  }

  // About the size of the output, so that the buffer is allocated once instead of doubling (fresh
  // pages dominate the cost of saving a large library).
  static size_t EstimateSize(const TXpNode& root) {
    size_t total = 0;
    std::vector<const TXpNode*> stack{&root};
    while (!stack.empty()) {
      const TXpNode* node = stack.back();
      stack.pop_back();
      total += node->NodeName().size() * 2 + node->NodeValue().size() + 16;
      if (node->NodeType() == TXpNodeType::ntElement)
        for (const auto& a : static_cast<const TXpElement*>(node)->Attributes())
          total += a.Name.size() + a.Value.size() + 4;
      for (const auto& child : node->ChildNodes()) stack.push_back(child.get());
    }
    return total + total / 8;
  }

  void Indent(int depth) {
    FOut += "\r\n";
    FOut.append(static_cast<size_t>(depth) * 2, ' ');
  }

  // Appends UTF-16 text as UTF-8; ASCII runs are narrowed in one pass.
  void Put(std::u16string_view s) { Put(s, 0, s.size()); }
  void Put(std::u16string_view s, size_t from, size_t to) {
    size_t i = from;
    while (i < to) {
      size_t run = i;
      while (run < to && s[run] < 0x80) ++run;
      if (run > i) {
        size_t old = FOut.size();
        FOut.resize(old + (run - i));
        for (size_t k = i; k < run; ++k) FOut[old + (k - i)] = static_cast<char>(s[k]);
        i = run;
        continue;
      }
      char32_t cp = s[i++];
      if (cp >= 0xD800 && cp <= 0xDBFF && i < to && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
        cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i++] - 0xDC00);
      AppendUtf8(FOut, cp);
    }
  }

  // <name attr="value" ...> children </name>, or <name .../> without children. Depth is bounded by
  // the reader's nesting limit and by what the application builds (three levels).
  void Element(const TXpElement& element, int depth) {
    FOut += '<';
    Put(element.NodeName());
    for (const auto& a : element.Attributes()) {
      FOut += ' ';
      Put(a.Name);
      FOut += "=\"";
      Escaped(a.Value, true);
      FOut += '"';
    }
    const auto& children = element.ChildNodes();
    if (children.empty()) {
      FOut += "/>";
      return;
    }
    FOut += '>';
    for (const auto& child : children) {
      if (FOptions.FormattedOutput && child->NodeType() == TXpNodeType::ntElement) Indent(depth + 1);
      Node(*child, depth + 1);
    }
    if (FOptions.FormattedOutput && children.back()->NodeType() != TXpNodeType::ntText) Indent(depth);
    FOut += "</";
    Put(element.NodeName());
    FOut += '>';
  }

  // Characters that are written as they are, whatever the settings.
  static bool Plain(char16_t c, bool attribute) {
    return c >= u' ' && c <= u'~' && c != u'&' && c != u'<' && !(attribute && c == u'"');
  }

  void Escaped(const std::u16string& s, bool attribute) {
    for (size_t i = 0; i < s.size(); ++i) {
      // Runs of plain characters (all of a hexadecimal body) are narrowed in one tight loop.
      size_t old = FOut.size();
      FOut.resize(old + (s.size() - i));
      char* out = FOut.data() + old;
      while (i < s.size() && Plain(s[i], attribute)) *out++ = static_cast<char>(s[i++]);
      FOut.resize(static_cast<size_t>(out - FOut.data()));
      if (i == s.size()) break;
      char16_t c = s[i];
      if (c == u'&') {
        FOut += "&amp;";
      } else if (c == u'<') {
        FOut += "&lt;";
      } else if (attribute && c == u'"') {
        FOut += "&#34;";
      } else if (attribute && c == u'\n') {
        FOut += "&#xA;";
      } else if (!attribute && (c == u'\r' || c == u'\n')) {
        if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
        FOut += FBreak;
      } else if (c == u'\t' || (c >= u' ' && c <= u'~') || FOptions.WriteNonAsciiRaw) {
        size_t end = i + 1;
        if (c >= 0xD800 && c <= 0xDBFF && end < s.size()) ++end;  // keep a surrogate pair together
        Put(s, i, end);
        i = end - 1;
      } else {
        char32_t cp = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
          cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (s[++i] - 0xDC00);
        FOut += "&#" + std::to_string(cp) + ";";
      }
    }
  }

  const TXpWriteOptions& FOptions;
  std::string FBreak;
  std::string FOut;  // UTF-8
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

std::string XpWriteUtf8(const TXpDocument& doc, const TXpWriteOptions& options) {
  return Writer(options).Document(doc);
}

std::string XpWriteBytes(const TXpDocument& doc, const TXpWriteOptions& options) {
  std::string out;
  if (options.Encoding == TXpCharEncoding::ceUTF8) {
    if (options.WriteUTF8Signature) out = "\xEF\xBB\xBF";
    out += XpWriteUtf8(doc, options);
    return out;
  }
  std::u16string text = Utf8ToUtf16(XpWriteUtf8(doc, options));
  switch (options.Encoding) {
    case TXpCharEncoding::ceUTF8:
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
