// TfsParseInfo: what the program builder reads of a parse besides its intermediate tree: the
// language's rule on declarations, its table of type names, and the source text (the texts of
// macro arguments are cut from it).
#pragma once

#include <string>

namespace kelvo {

class TfsXMLItem;

class TfsParseInfo {
 public:
  virtual ~TfsParseInfo() = default;
  // Whether a name must be declared before it is used.
  virtual bool NeedDeclareVars() const = 0;
  // The language's <types> element (type names and the engine types they stand for), or none.
  virtual const TfsXMLItem* LanguageTypes() const = 0;
  // The source between two "line:column" positions, trimmed; empty when they do not fit it.
  virtual std::string SourceBetween(const std::string& from, const std::string& to) const = 0;
};

// The parse of no text and no language, for building pieces without one (late binding, an IL
// tree of an unregistered language): names must be declared, no type table, no source.
class TfsNoParseInfo : public TfsParseInfo {
 public:
  bool NeedDeclareVars() const override { return true; }
  const TfsXMLItem* LanguageTypes() const override { return nullptr; }
  std::string SourceBetween(const std::string&, const std::string&) const override { return {}; }
};

}  // namespace kelvo
