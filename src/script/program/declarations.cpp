#include "script/program/declarations.h"

#include <vector>

#include "script/front/literals.h"
#include "script/front/parser.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "text/ansi_text.h"

namespace kelvo {

TfsVarType StrToVarType(const std::string& typeName, const TfsScript* script) {
  if (script == nullptr) return fvtClass;
  TfsCustomVariable* item = script->Find(typeName);
  return item != nullptr ? item->VarType : fvtClass;
}

namespace {

bool ClassDerives(const TfsTypeRec& base, const TfsTypeRec& derived, const TfsScript* script) {
  if (script == nullptr) return false;
  TfsClassVariable* c1 = script->FindClass(base.TypeName);
  TfsClassVariable* c2 = script->FindClass(derived.TypeName);
  if (c1 == nullptr || c2 == nullptr) return false;
  if (c1 == c2) return true;
  if (c1->ClassRef != nullptr && c2->ClassRef != nullptr) return c2->ClassRef->InheritsFrom(c1->ClassRef);
  return false;
}

}  // namespace

bool TypesCompatible(const TfsTypeRec& type1, const TfsTypeRec& type2, const TfsScript* script) {
  TfsVarType t2 = type2.VarType;
  switch (type1.VarType) {
    case fvtInt:
      return t2 == fvtInt || t2 == fvtFloat || t2 == fvtVariant || t2 == fvtEnum;
    case fvtBool:
      return t2 == fvtBool || t2 == fvtVariant;
    case fvtFloat:
      return t2 == fvtInt || t2 == fvtFloat || t2 == fvtVariant;
    case fvtChar:
    case fvtString:
      return t2 == fvtChar || t2 == fvtString || t2 == fvtVariant;
    case fvtClass:
      return t2 == fvtVariant || (t2 == fvtClass && ClassDerives(type1, type2, script));
    case fvtArray:
      return t2 == fvtArray || t2 == fvtVariant;
    case fvtVariant:
      return true;
    case fvtEnum:
      return t2 == fvtInt || t2 == fvtVariant ||
             (t2 == fvtEnum && AnsiSameText(type1.TypeName, type2.TypeName));
    case fvtConstructor:
      return false;
  }
  return false;
}

bool AssignCompatible(const TfsCustomVariable& var1, const TfsCustomVariable& var2, const TfsScript* script) {
  if (var1.VarType == fvtInt && var2.VarType == fvtFloat) return false;
  return TypesCompatible(var1.TypeRec(), var2.TypeRec(), script);
}

// --- the declaration parser

namespace {

// The identifier after the last colon of the whole text (a function's result type).
std::string ResultTypeName(TfsParser& parser) {
  std::size_t colon = parser.Text().rfind(':');
  if (colon == std::string::npos) return std::string();
  int saved = parser.Position();
  parser.SetPosition(static_cast<int>(colon) + 2);
  std::string name = parser.Ident();
  parser.SetPosition(saved);
  return name;
}

Variant ReadDefaultLiteral(TfsParser& parser, const TfsScript* script) {
  // Numbers and strings may follow a blank; a minus sign only directly after "=".
  int saved = parser.Position();
  std::string number = parser.GetNumber();
  if (!number.empty()) return ParserStringToVariant(number);
  parser.SetPosition(saved);
  std::string str = parser.GetString();
  if (!str.empty()) return ParserStringToVariant(str);
  parser.SetPosition(saved);
  if (parser.GetChar() == "-") {
    number = parser.GetNumber();
    if (!number.empty()) return ParserStringToVariant("-" + number);
  }
  parser.SetPosition(saved);
  // A named default is the current value of a constant or variable ("True", "Null"); a function
  // of that name is not run while a declaration is read.
  std::string ident = parser.Ident();
  TfsCustomVariable* item = script != nullptr && !ident.empty() ? script->Find(ident) : nullptr;
  return dynamic_cast<TfsVariable*>(item) != nullptr ? item->GetValue() : Variant::Null();
}

// A default value that is no representable number (1e999) leaves the parameter without one:
// declarations are never reported as malformed.
Variant ReadDefault(TfsParser& parser, const TfsScript* script) {
  try {
    return ReadDefaultLiteral(parser, script);
  } catch (const Exception&) {
    return Variant::Null();
  }
}

struct TParamGroup {
  bool ByRef = false;
  std::vector<std::string> Names;
};

void AddGroup(TfsCustomVariable& method, const TParamGroup& group, const std::string& typeName,
              const Variant& defaultValue, const TfsScript* script) {
  TfsVarType kind = StrToVarType(typeName, script);
  for (std::size_t i = 0; i < group.Names.size(); ++i) {
    bool last = i + 1 == group.Names.size();
    bool optional = last && !defaultValue.IsNull();
    auto param = std::make_unique<TfsParamItem>(group.Names[i], kind, typeName, optional, group.ByRef);
    if (last) param->DefaultValue = defaultValue;
    method.AddParam(std::move(param));
  }
}

// group -> ["var" | "const"] name {"," name} ":" type ["=" default]. Returns false at the ")"
// that ends the list (left unread) or at the end of the text.
bool ReadGroup(TfsParser& parser, TfsCustomVariable& method, const TfsScript* script) {
  TParamGroup group;
  for (;;) {
    int before = parser.Position();
    std::string word = parser.Ident();
    if (AnsiSameText(word, "var")) {
      group.ByRef = true;
    } else if (!AnsiSameText(word, "const")) {
      group.Names.push_back(word);
    }
    parser.SkipSpaces();
    if (parser.Position() > parser.Length()) return false;
    int at = parser.Position();
    std::string c = parser.GetChar();
    if (c == ")") {
      parser.SetPosition(at);
      return false;
    }
    if (c == ":") {
      std::string typeName = parser.Ident();
      parser.SkipSpaces();
      Variant defaultValue = Variant::Null();
      int eq = parser.Position();
      if (parser.GetChar() == "=") {
        defaultValue = ReadDefault(parser, script);
      } else {
        parser.SetPosition(eq);
      }
      AddGroup(method, group, typeName, defaultValue, script);
      return true;
    }
    // Neither a word nor a separator was read: step over the character to make progress.
    if (c.empty() && parser.Position() == before) parser.SetPosition(parser.Position() + 1);
  }
}

// Reads the parameter groups after "(" until ")" or the end of the text; groups are separated
// by any one character.
void ReadParameters(TfsParser& parser, TfsCustomVariable& method, const TfsScript* script) {
  for (;;) {
    ReadGroup(parser, method, script);
    parser.SkipSpaces();
    if (parser.Position() > parser.Length()) return;
    std::string c = parser.GetChar();
    if (c == ")") return;
    if (c.empty()) parser.SetPosition(parser.Position() + 1);
  }
}

}  // namespace

std::unique_ptr<TfsCustomVariable> ParseMethodSyntax(const std::string& syntax, const TfsScript* script) {
  TfsParser parser;
  parser.SetText(syntax);
  std::string kindWord = parser.Ident();
  bool macroArgs = false;
  if (AnsiLowerCase(kindWord).rfind("macro", 0) == 0) {
    macroArgs = true;
    kindWord = kindWord.substr(5);
  }
  bool isFunction = AnsiSameText(kindWord, "function");
  std::string name = parser.Ident();
  std::string typeName = isFunction ? ResultTypeName(parser) : std::string();
  TfsVarType kind = StrToVarType(typeName, script);
  auto method = std::make_unique<TfsCustomVariable>(name, kind, typeName);
  method->MacroArgs = macroArgs;
  parser.SkipSpaces();
  if (parser.GetChar() == "(") ReadParameters(parser, *method, script);
  return method;
}

}  // namespace kelvo
