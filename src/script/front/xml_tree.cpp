#include "script/front/xml_tree.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include "script/value/str_to_int.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

const char* const kInvalidFileFormat = "Invalid file format";

// Deeper documents than this are refused as malformed: nothing the engine writes comes near it.
constexpr int kMaxDepth = 10000;

[[noreturn]] void RaiseInvalidFormat() {
  throw Exception(kInvalidFileFormat);
}

// Reads tags from a stream through a 4096-byte read-ahead buffer. On destruction the stream is
// left just after the last character consumed, not at the end of the buffer.
class TfsXMLReader {
 public:
  explicit TfsXMLReader(std::istream& stream) : FStream(stream) {
    FStart = FStream.tellg();
    if (FStart < 0) FStart = 0;
  }
  ~TfsXMLReader() {
    FStream.clear();
    FStream.seekg(FStart + static_cast<std::streamoff>(FConsumed));
  }

  void ReadHeader() {
    std::string name, text;
    ReadItem(name, text);
    if (name.compare(0, 4, "?xml") != 0) RaiseInvalidFormat();
  }

  // Reads the element whose start tag comes next into root, with its descendants. Returns false
  // when the level ended instead (end of stream or a closing tag): the caller drops the item. The
  // open elements are kept in a list rather than in nested calls, however deep the document.
  bool ReadRootItem(TfsXMLItem& root) {
    TTag first = ReadTag(root);
    if (first != ttOpen) return first == ttLeaf;
    std::vector<TfsXMLItem*> open{&root};
    while (!open.empty()) {
      if (open.size() > static_cast<size_t>(kMaxDepth)) RaiseInvalidFormat();
      auto child = std::make_unique<TfsXMLItem>();
      TTag tag = ReadTag(*child);
      if (tag == ttEnd) {
        // The closing tag of the innermost open element; the end of the stream closes them all.
        if (!FLastName.empty() && !AnsiSameText(FLastName, "/" + open.back()->Name)) RaiseInvalidFormat();
        open.pop_back();
        continue;
      }
      TfsXMLItem* added = open.back()->AddItem(std::move(child));
      if (tag == ttOpen) open.push_back(added);
    }
    return true;
  }

 private:
  // What a tag did: ended a level (a closing tag or the end of the stream), made an element
  // without children, or opened one.
  enum TTag { ttEnd, ttLeaf, ttOpen };

  TTag ReadTag(TfsXMLItem& item) {
    ReadItem(item.Name, item.Text);
    FLastName = item.Name;
    if (item.Name.empty() || item.Name[0] == '/') return ttEnd;
    if (item.Name.back() == '/') {
      item.Name.pop_back();
      return ttLeaf;
    }
    if (!item.Text.empty() && item.Text.back() == '/') {
      item.Text.pop_back();
      return ttLeaf;
    }
    return ttOpen;
  }

  // Next character, or false at the end of the stream.
  bool NextChar(char& c) {
    if (FBufPos >= FBufEnd) {
      FStream.read(FBuffer, sizeof FBuffer);
      FBufEnd = static_cast<size_t>(FStream.gcount());
      FBufPos = 0;
      if (FBufEnd == 0) return false;
    }
    c = FBuffer[FBufPos++];
    ++FConsumed;
    return true;
  }

  // One tag: character data before it is dropped, comments are skipped. name comes back empty
  // at the end of the stream outside any tag.
  void ReadItem(std::string& name, std::string& text) {
    enum { stOutside, stInTag, stInComment } state = stOutside;
    std::string tag;
    int dashes = 0;
    char c;
    bool closed = false;
    while (!closed && NextChar(c)) {
      switch (state) {
        case stOutside:
          if (c == '<') state = stInTag;
          break;
        case stInTag:
          if (c == '>') {
            closed = true;
          } else if (c == '<') {
            RaiseInvalidFormat();
          } else {
            tag += c;
            if (tag.size() == 3 && tag == "!--") {
              tag.clear();
              dashes = 0;
              state = stInComment;
            }
          }
          break;
        case stInComment:
          if (dashes == 2) {
            if (c == '>') state = stOutside;
            dashes = 0;
          } else {
            dashes = c == '-' ? dashes + 1 : 0;
          }
          break;
      }
    }
    if (!closed && state == stInTag) RaiseInvalidFormat();
    if (!tag.empty() && tag.back() == ' ') tag.pop_back();
    size_t space = tag.find(' ');
    if (space == std::string::npos) {
      name = tag;
      text.clear();
    } else {
      name = tag.substr(0, space);
      text = tag.substr(space + 1);
    }
  }

  std::istream& FStream;
  std::streamoff FStart = 0;
  size_t FConsumed = 0;
  char FBuffer[4096];
  size_t FBufPos = 0;
  size_t FBufEnd = 0;
  std::string FLastName;
};

// Collects output lines and writes them to the stream in pieces of a little over 4096 bytes.
class TfsXMLWriter {
 public:
  TfsXMLWriter(std::ostream& stream, bool autoIndent) : FStream(stream), FAutoIndent(autoIndent) {}

  void WriteHeader() { WriteLn("<?xml version=\"1.0\"?>"); }

  // Each element, then its children two columns further in, then its closing tag; the open
  // elements are kept in a list rather than in nested calls.
  void WriteRootItem(const TfsXMLItem& root) {
    struct TOpen {
      const TfsXMLItem* Item;
      int Level;
      int Next;  // the child to write next
    };
    WriteItem(root, 0);
    std::vector<TOpen> open{{&root, 0, 0}};
    while (!open.empty()) {
      TOpen& top = open.back();
      if (top.Next < top.Item->Count()) {
        const TfsXMLItem* child = top.Item->Items(top.Next++);
        int level = top.Level + 2;
        WriteItem(*child, level);
        open.push_back({child, level, 0});
        continue;
      }
      if (top.Item->Count() > 0) WriteLn(Indent(top.Level) + "</" + top.Item->Name + ">");
      open.pop_back();
    }
  }

  void Flush() {
    FStream.write(FPending.data(), static_cast<std::streamsize>(FPending.size()));
    FPending.clear();
  }

 private:
  std::string Indent(int level) const { return FAutoIndent ? std::string(level, ' ') : std::string(); }

  void WriteLn(const std::string& line) {
    FPending += line;
    if (FAutoIndent) FPending += "\r\n";
    if (FPending.size() > 4096) Flush();
  }

  void WriteItem(const TfsXMLItem& item, int level) {
    std::string attributes;
    if (!item.Text.empty()) attributes = item.Text[0] == ' ' ? item.Text : " " + item.Text;
    attributes += item.Count() > 0 ? ">" : "/>";
    WriteLn(Indent(level) + "<" + item.Name + attributes);
  }

  std::ostream& FStream;
  bool FAutoIndent;
  std::string FPending;
};

}  // namespace

// ---- TfsXMLItem ----

TfsXMLItem::~TfsXMLItem() {
  Clear();
}

// Descendants are freed one at a time from a list, each after its own children were moved onto
// the list: a tree as deep as a long nesting is not torn down by one nested call per level.
void TfsXMLItem::Clear() {
  std::vector<std::unique_ptr<TfsXMLItem>> doomed;
  doomed.swap(FItems);
  while (!doomed.empty()) {
    std::unique_ptr<TfsXMLItem> item = std::move(doomed.back());
    doomed.pop_back();
    for (auto& child : item->FItems) doomed.push_back(std::move(child));
    item->FItems.clear();
  }
}

TfsXMLItem* TfsXMLItem::Items(int index) const {
  if (index < 0 || index >= Count())
    throw Exception(FormatMessage("List index out of bounds (%d)", {std::to_string(index)}));
  return FItems[static_cast<size_t>(index)].get();
}

TfsXMLItem* TfsXMLItem::Add() {
  return AddItem(std::make_unique<TfsXMLItem>());
}

TfsXMLItem* TfsXMLItem::AddItem(std::unique_ptr<TfsXMLItem> item) {
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

TfsXMLItem* TfsXMLItem::InsertItem(int index, std::unique_ptr<TfsXMLItem> item) {
  index = std::clamp(index, 0, Count());
  return FItems.insert(FItems.begin() + index, std::move(item))->get();
}

std::unique_ptr<TfsXMLItem> TfsXMLItem::Extract(int index) {
  Items(index);  // the index check and its error
  std::unique_ptr<TfsXMLItem> item = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  return item;
}

int TfsXMLItem::Find(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(FItems[static_cast<size_t>(i)]->Name, name)) return i;
  return -1;
}

TfsXMLItem* TfsXMLItem::FindItem(std::string_view name) {
  int i = Find(name);
  if (i >= 0) return Items(i);
  TfsXMLItem* item = Add();
  item->Name = std::string(name);
  return item;
}

// The key ` NAME="` is searched, upper-cased, in " " + Text, also upper-cased: names match
// without regard to case and attributes must be separated by exactly one space. The result is
// the index in Text where the name begins.
size_t TfsXMLItem::FindPropKey(std::string_view name) const {
  // Compared in place, character by character: the builder asks for attributes of every element.
  auto haystackAt = [this](size_t i) { return i == 0 ? ' ' : Text[i - 1]; };
  auto keyAt = [name](size_t k) {
    if (k == 0) return ' ';
    if (k <= name.size()) return name[k - 1];
    return k == name.size() + 1 ? '=' : '"';
  };
  const std::array<char, 256>& upper = AnsiUpperTable();
  auto up = [&upper](char c) { return upper[static_cast<unsigned char>(c)]; };
  const size_t keyLength = name.size() + 3, haystackLength = Text.size() + 1;
  for (size_t at = 0; at + keyLength <= haystackLength; ++at) {
    if (haystackAt(at) != ' ') continue;  // no other character upper-cases to a blank
    size_t k = 1;
    while (k < keyLength && up(haystackAt(at + k)) == up(keyAt(k))) ++k;
    if (k == keyLength) return at;
  }
  return std::string::npos;
}

std::string TfsXMLItem::GetProp(std::string_view name) const {
  size_t at = FindPropKey(name);
  if (at == std::string::npos) return std::string();
  size_t valueStart = at + name.size() + 2;  // after `NAME="` (the leading space is not in Text)
  size_t quote = Text.find('"', valueStart);
  if (quote == std::string::npos) return std::string();
  return XMLToStr(std::string_view(Text).substr(valueStart, quote - valueStart));
}

bool TfsXMLItem::PropExists(std::string_view name) const {
  return FindPropKey(name) != std::string::npos;
}

void TfsXMLItem::SetProp(std::string_view name, std::string_view value) {
  size_t at = FindPropKey(name);
  if (at != std::string::npos) {
    size_t valueStart = at + name.size() + 2;
    size_t quote = Text.find('"', valueStart);
    size_t end = quote == std::string::npos ? Text.size() : quote + 1;
    Text.erase(at, end - at);
  } else {
    at = Text.size();
  }
  std::string piece = std::string(name) + "=\"" + StrToXML(value) + "\"";
  if (at > 0 && Text[at - 1] != ' ') piece.insert(0, 1, ' ');
  Text.insert(at, piece);
}

void TfsXMLItem::Assign(const TfsXMLItem* source) {
  Clear();
  if (!source) return;
  // Pairs of (copy, original) still to fill; children are created in order before being filled.
  std::vector<std::pair<TfsXMLItem*, const TfsXMLItem*>> pending{{this, source}};
  while (!pending.empty()) {
    auto [copy, original] = pending.back();
    pending.pop_back();
    copy->Name = original->Name;
    copy->Text = original->Text;
    for (const auto& child : original->FItems) pending.emplace_back(copy->Add(), child.get());
  }
}

// ---- TfsXMLDocument ----

TfsXMLDocument::TfsXMLDocument() : FRoot(std::make_unique<TfsXMLItem>()) {}
TfsXMLDocument::~TfsXMLDocument() = default;

void TfsXMLDocument::Clear() {
  FRoot->Clear();
}

std::unique_ptr<TfsXMLItem> TfsXMLDocument::ReleaseRoot() {
  auto root = std::move(FRoot);
  FRoot = std::make_unique<TfsXMLItem>();
  return root;
}

void TfsXMLDocument::LoadFromStream(std::istream& stream) {
  TfsXMLReader reader(stream);
  FRoot->Clear();
  reader.ReadHeader();
  // A closing tag where the top element should begin would become the root's name and be
  // written back as a different document: it is a structural fault like any other.
  if (!reader.ReadRootItem(*FRoot) && !FRoot->Name.empty()) {
    FRoot->Name.clear();
    FRoot->Text.clear();
    RaiseInvalidFormat();
  }
}

void TfsXMLDocument::SaveToStream(std::ostream& stream) const {
  TfsXMLWriter writer(stream, AutoIndent);
  writer.WriteHeader();
  writer.WriteRootItem(*FRoot);
  writer.Flush();
}

void TfsXMLDocument::LoadFromString(const std::string& text) {
  std::istringstream stream(text);
  LoadFromStream(stream);
}

std::string TfsXMLDocument::SaveToString() const {
  std::ostringstream stream;
  SaveToStream(stream);
  return stream.str();
}

// ---- entities ----

std::string StrToXML(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 10 || c == 13 || c == '"' || c == '<' || c == '>') {
      out += "&#" + std::to_string(c) + ";";
    } else if (c == '&' && text.substr(i + 1, 5) == "quot;") {
      out += "&#34;";
      i += 5;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string XMLToStr(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  for (; i + 1 < text.size(); ++i) {
    char c = text[i];
    if (c == '&' && text[i + 1] == '#' && i + 3 < text.size()) {
      size_t semicolon = text.find(';', i + 2);
      if (semicolon != std::string_view::npos) {
        int code = StrToInt(text.substr(i + 2, semicolon - i - 2));
        out += static_cast<char>(code & 0xFF);
        i = semicolon;
        continue;
      }
    } else if (c == '&' && text.substr(i + 1, 5) == "quot;") {
      out += '"';
      i += 5;
      continue;
    }
    out += c;
  }
  if (i < text.size()) out += text[i];
  return out;
}

}  // namespace kelvo
