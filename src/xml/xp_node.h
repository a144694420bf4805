// The document tree of the library file: a document node owning its children, elements with ordered
// attributes and children, and the leaf nodes (text, comment, CDATA, processing instruction).
// Every node is owned by its parent through std::unique_ptr; a node handed to a caller stays valid
// while it is in the document. Names and values are UTF-16 and compare exactly.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/exception.h"

namespace kelvo {

enum class TXpNodeType { ntDocument, ntElement, ntText, ntCDataSection, ntComment, ntProcessingInstruction };

class TXpElement;
class TXpNodeList;

// Raised when a node asked to be removed is not a child of the node asked.
class EXpNotFound : public Exception {
 public:
  EXpNotFound() : Exception("Node not found") {}
  const char* ClassName() const noexcept override { return "EXpNotFound"; }
};

class TXpNode {
 public:
  virtual ~TXpNode();
  TXpNode(const TXpNode&) = delete;
  TXpNode& operator=(const TXpNode&) = delete;

  TXpNodeType NodeType() const { return FNodeType; }
  // Element name, processing-instruction target, or "#text", "#comment", "#cdata-section", "#document".
  const std::u16string& NodeName() const { return FNodeName; }
  // The text of a text, comment, CDATA or processing-instruction node; empty for the others.
  const std::u16string& NodeValue() const { return FNodeValue; }
  void SetNodeValue(std::u16string value) { FNodeValue = std::move(value); }

  TXpNode* ParentNode() const { return FParent; }
  const std::vector<std::unique_ptr<TXpNode>>& ChildNodes() const { return FChildren; }
  bool HasChildNodes() const { return !FChildren.empty(); }

  // Appends child as the last child and returns it.
  TXpNode* AppendChild(std::unique_ptr<TXpNode> child);
  // Detaches child from this node and hands it back; EXpNotFound when it is not a child.
  std::unique_ptr<TXpNode> RemoveChild(TXpNode* child);

 protected:
  TXpNode(TXpNodeType type, std::u16string name, std::u16string value = {});

 private:
  TXpNodeType FNodeType;
  std::u16string FNodeName;
  std::u16string FNodeValue;
  TXpNode* FParent = nullptr;
  std::vector<std::unique_ptr<TXpNode>> FChildren;
};

// The result of a query: references to nodes of the document, counted from 0. The caller owns the
// list, not the nodes.
class TXpNodeList {
 public:
  int nlGetLength() const { return static_cast<int>(FItems.size()); }
  TXpNode* Item(int index) const;
  // The node at index as an element (queries of elements hold only elements).
  TXpElement* ElementItem(int index) const;
  void Add(TXpNode* node) { FItems.push_back(node); }

 private:
  std::vector<TXpNode*> FItems;
};

struct TXpAttribute {
  std::u16string Name;
  std::u16string Value;
};

class TXpElement : public TXpNode {
 public:
  explicit TXpElement(std::u16string name) : TXpNode(TXpNodeType::ntElement, std::move(name)) {}

  // The value of the attribute, or the empty text when there is none.
  std::u16string GetAttribute(std::u16string_view name) const;
  bool HasAttribute(std::u16string_view name) const;
  // Removes an attribute of that name, then appends the new value at the end of the list, so
  // setting an existing attribute moves it to the end.
  void SetAttribute(std::u16string_view name, std::u16string value);
  // Appends without looking for a duplicate (the reader has already refused duplicates).
  void AppendAttribute(std::u16string name, std::u16string value);
  const std::vector<TXpAttribute>& Attributes() const { return FAttributes; }

  // Direct child elements named name, in document order; "*" matches every name.
  TXpNodeList GetChildElementsByTagName(std::u16string_view name) const;
  // Every descendant element, depth first in document order, named tag whose attribute reads value
  // (a missing attribute reads as the empty text).
  TXpNodeList GetElementsByTagNameWithAttribute(std::u16string_view tag, std::u16string_view attr,
                                                std::u16string_view value) const;
  // A new element without attributes appended as the last child.
  TXpElement* CreateChildElement(std::u16string name);

  // Free for the caller; the application keeps the element's tree node here.
  void* UserSlot = nullptr;

 private:
  std::vector<TXpAttribute> FAttributes;
};

class TXpText : public TXpNode {
 public:
  explicit TXpText(std::u16string text) : TXpNode(TXpNodeType::ntText, u"#text", std::move(text)) {}
};

class TXpCDataSection : public TXpNode {
 public:
  explicit TXpCDataSection(std::u16string text)
      : TXpNode(TXpNodeType::ntCDataSection, u"#cdata-section", std::move(text)) {}
};

class TXpComment : public TXpNode {
 public:
  explicit TXpComment(std::u16string text) : TXpNode(TXpNodeType::ntComment, u"#comment", std::move(text)) {}
};

class TXpProcessingInstruction : public TXpNode {
 public:
  TXpProcessingInstruction(std::u16string target, std::u16string data)
      : TXpNode(TXpNodeType::ntProcessingInstruction, std::move(target), std::move(data)) {}
};

class TXpDocument : public TXpNode {
 public:
  TXpDocument() : TXpNode(TXpNodeType::ntDocument, u"#document") {}

  // The first element child, or nullptr.
  TXpElement* DocumentElement() const;
  // Removes every child.
  void Clear();

  // Writing flags: indentation and line breaks; non-ASCII characters written as themselves
  // instead of as numeric character references.
  bool FormattedOutput = false;
  bool WriteNonAsciiRaw = false;
};

}  // namespace kelvo
