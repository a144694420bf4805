// The engine's own small XML tree: it holds the language grammars and the intermediate tree that
// the grammar-driven parser writes and the program builder reads. An element keeps its name, its
// raw attribute text (entities still encoded) and its children; character data is not kept.
//
// Ownership: an item owns its children (std::unique_ptr); a child leaves its parent only through
// Extract or Delete, so no list ever holds a freed item. A tree however deep is copied and freed
// without a nested call per level.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

class TfsXMLItem {
 public:
  TfsXMLItem() = default;
  ~TfsXMLItem();
  TfsXMLItem(const TfsXMLItem&) = delete;
  TfsXMLItem& operator=(const TfsXMLItem&) = delete;

  // Element name as read or set (case kept).
  std::string Name;
  // The attribute part of the start tag, raw: `text="&#62;" err="err20"`.
  std::string Text;

  // Destroys all children; Name and Text stay.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // The child at a 0-based index; an index out of range raises "List index out of bounds (%d)".
  TfsXMLItem* Items(int index) const;

  // Makes room for count children in all, so that adding them allocates once.
  void Reserve(int count) { FItems.reserve(static_cast<size_t>(count)); }
  // Appends a new empty child and returns it.
  TfsXMLItem* Add();
  // Appends item as the last child and returns it.
  TfsXMLItem* AddItem(std::unique_ptr<TfsXMLItem> item);
  // Inserts item as the child at index (clamped to the children) and returns it.
  TfsXMLItem* InsertItem(int index, std::unique_ptr<TfsXMLItem> item);
  // Unlists the child at index and hands it to the caller (to be added elsewhere or freed).
  std::unique_ptr<TfsXMLItem> Extract(int index);
  // Destroys the child at index.
  void Delete(int index) { Extract(index); }

  // Index of the first child named name (ignoring case), or -1.
  int Find(std::string_view name) const;
  // The first child named name; when there is none a new empty child of that name is appended.
  TfsXMLItem* FindItem(std::string_view name);

  // Attribute value, decoded; empty when absent.
  std::string GetProp(std::string_view name) const;
  // Sets or replaces an attribute in place, encoding the value.
  void SetProp(std::string_view name, std::string_view value);
  bool PropExists(std::string_view name) const;

  // Clear, then a deep copy of source's Name, Text and children (source may be null).
  void Assign(const TfsXMLItem* source);

 private:
  // Position of the first character of the attribute name in Text, or npos.
  size_t FindPropKey(std::string_view name) const;

  // Owned children; empty while the element has none (Clear gives the storage back).
  std::vector<std::unique_ptr<TfsXMLItem>> FItems;
};

class TfsXMLDocument {
 public:
  TfsXMLDocument();
  ~TfsXMLDocument();
  TfsXMLDocument(const TfsXMLDocument&) = delete;
  TfsXMLDocument& operator=(const TfsXMLDocument&) = delete;

  // Writes one element per line, indented by level, when set; else the whole text is one line.
  bool AutoIndent = false;

  // After loading, Root is the top element of the file itself, not a level above it.
  TfsXMLItem* Root() const { return FRoot.get(); }

  // Clears the root's children only.
  void Clear();
  // Structural faults raise "Invalid file format"; the tree is left as far as it was read.
  void LoadFromStream(std::istream& stream);
  void SaveToStream(std::ostream& stream) const;
  void LoadFromString(const std::string& text);
  std::string SaveToString() const;
  // Hands the root over to the caller and starts again with a new empty root.
  std::unique_ptr<TfsXMLItem> ReleaseRoot();

 private:
  std::unique_ptr<TfsXMLItem> FRoot;
};

// Encodes line feed, carriage return, double quote, '<' and '>' as "&#N;" and `&quot;` as
// "&#34;"; every other character, '&' included, stays as it is.
std::string StrToXML(std::string_view text);
// Decodes "&#N;" numeric entities and `&quot;`; other named entities stay as they are. A
// non-numeric entity body raises the integer conversion error.
std::string XMLToStr(std::string_view text);

}  // namespace kelvo
