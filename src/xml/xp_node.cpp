#include "xml/xp_node.h"

#include <algorithm>

namespace kelvo {

TXpNode::TXpNode(TXpNodeType type, std::u16string name, std::u16string value)
    : FNodeType(type), FNodeName(std::move(name)), FNodeValue(std::move(value)) {}

// Deep documents are destroyed without recursion: children are moved into a work list first, so a
// file of many nested elements cannot exhaust the stack when the model is cleared.
TXpNode::~TXpNode() {
  std::vector<std::unique_ptr<TXpNode>> pending;
  for (auto& child : FChildren) pending.push_back(std::move(child));
  FChildren.clear();
  while (!pending.empty()) {
    std::unique_ptr<TXpNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->FChildren) pending.push_back(std::move(child));
    node->FChildren.clear();
  }
}

TXpNode* TXpNode::AppendChild(std::unique_ptr<TXpNode> child) {
  child->FParent = this;
  FChildren.push_back(std::move(child));
  return FChildren.back().get();
}

std::unique_ptr<TXpNode> TXpNode::RemoveChild(TXpNode* child) {
  auto it = std::find_if(FChildren.begin(), FChildren.end(),
                         [child](const std::unique_ptr<TXpNode>& p) { return p.get() == child; });
  if (it == FChildren.end()) throw EXpNotFound();
  std::unique_ptr<TXpNode> detached = std::move(*it);
  FChildren.erase(it);
  detached->FParent = nullptr;
  return detached;
}

TXpNode* TXpNodeList::Item(int index) const {
  if (index < 0 || index >= nlGetLength()) return nullptr;
  return FItems[static_cast<size_t>(index)];
}

TXpElement* TXpNodeList::ElementItem(int index) const {
  TXpNode* node = Item(index);
  return node && node->NodeType() == TXpNodeType::ntElement ? static_cast<TXpElement*>(node) : nullptr;
}

std::u16string TXpElement::GetAttribute(std::u16string_view name) const {
  for (const auto& a : FAttributes)
    if (a.Name == name) return a.Value;
  return {};
}

bool TXpElement::HasAttribute(std::u16string_view name) const {
  return std::any_of(FAttributes.begin(), FAttributes.end(),
                     [name](const TXpAttribute& a) { return a.Name == name; });
}

void TXpElement::SetAttribute(std::u16string_view name, std::u16string value) {
  std::erase_if(FAttributes, [name](const TXpAttribute& a) { return a.Name == name; });
  FAttributes.push_back({std::u16string(name), std::move(value)});
}

void TXpElement::AppendAttribute(std::u16string name, std::u16string value) {
  FAttributes.push_back({std::move(name), std::move(value)});
}

TXpNodeList TXpElement::GetChildElementsByTagName(std::u16string_view name) const {
  TXpNodeList list;
  for (const auto& child : ChildNodes())
    if (child->NodeType() == TXpNodeType::ntElement && (name == u"*" || child->NodeName() == name))
      list.Add(child.get());
  return list;
}

TXpNodeList TXpElement::GetElementsByTagNameWithAttribute(std::u16string_view tag, std::u16string_view attr,
                                                          std::u16string_view value) const {
  TXpNodeList list;
  // Depth first in document order, with an explicit stack of (node, next child index).
  std::vector<std::pair<const TXpNode*, size_t>> stack{{this, 0}};
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    if (next >= node->ChildNodes().size()) {
      stack.pop_back();
      continue;
    }
    TXpNode* child = node->ChildNodes()[next++].get();
    if (child->NodeType() != TXpNodeType::ntElement) continue;
    auto* element = static_cast<TXpElement*>(child);
    if (element->NodeName() == tag && element->GetAttribute(attr) == value) list.Add(element);
    stack.emplace_back(element, 0);
  }
  return list;
}

TXpElement* TXpElement::CreateChildElement(std::u16string name) {
  return static_cast<TXpElement*>(AppendChild(std::make_unique<TXpElement>(std::move(name))));
}

TXpElement* TXpDocument::DocumentElement() const {
  for (const auto& child : ChildNodes())
    if (child->NodeType() == TXpNodeType::ntElement) return static_cast<TXpElement*>(child.get());
  return nullptr;
}

void TXpDocument::Clear() {
  while (HasChildNodes()) RemoveChild(ChildNodes().back().get());
}

}  // namespace kelvo
