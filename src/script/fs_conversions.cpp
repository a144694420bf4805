#include "script/fs_conversions.h"

#include <vector>

#include "script/fs_host.h"
#include "script/fs_script.h"
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
    case fvtInt: return t2 == fvtInt || t2 == fvtFloat || t2 == fvtVariant || t2 == fvtEnum;
    case fvtBool: return t2 == fvtBool || t2 == fvtVariant;
    case fvtFloat: return t2 == fvtInt || t2 == fvtFloat || t2 == fvtVariant;
    case fvtChar:
    case fvtString: return t2 == fvtChar || t2 == fvtString || t2 == fvtVariant;
    case fvtClass: return t2 == fvtVariant || (t2 == fvtClass && ClassDerives(type1, type2, script));
    case fvtArray: return t2 == fvtArray || t2 == fvtVariant;
    case fvtVariant: return true;
    case fvtEnum:
      return t2 == fvtInt || t2 == fvtVariant || (t2 == fvtEnum && AnsiSameText(type1.TypeName, type2.TypeName));
    case fvtConstructor: return false;
  }
  return false;
}

bool AssignCompatible(const TfsCustomVariable& var1, const TfsCustomVariable& var2, const TfsScript* script) {
  if (var1.VarType == fvtInt && var2.VarType == fvtFloat) return false;
  return TypesCompatible(var1.TypeRec(), var2.TypeRec(), script);
}

Variant ParserStringToVariant(const std::string& text) {
  if (text.empty()) return Variant::Null();
  if (text[0] == '\'') return Variant(text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string());
  std::int64_t i;
  if (TryTextToInt64(text, i) && text.find_first_of("xX") == std::string::npos) {
    if (i >= -2147483648LL && i <= 2147483647LL) return Variant(static_cast<int>(i));
    return Variant(i);
  }
  double d;
  if (TryTextToFloat(text, d)) return Variant(d);
  throw EConvertError(FormatMessage("'%s' is not a valid floating point value", {text}));
}

// --- the declaration parser

namespace {

// A scanner with the tokenizer's default settings as declarations need them: no comments and
// no keywords, single-quote strings, "$" for hexadecimal. It never reads past the text.
class TDeclarationScanner {
 public:
  explicit TDeclarationScanner(const std::string& text) : FText(text) {}

  std::size_t Position = 0;

  void SkipSpaces() {
    while (Position < FText.size() && static_cast<unsigned char>(FText[Position]) <= ' ') ++Position;
  }
  char Peek() const { return Position < FText.size() ? FText[Position] : '\0'; }
  std::string Ident() {
    SkipSpaces();
    std::size_t start = Position;
    if (!IsIdentChar(Peek()) || IsDigit(Peek())) return std::string();
    while (IsIdentChar(Peek())) ++Position;
    return FText.substr(start, Position - start);
  }
  // One punctuation character, or empty; no spaces skipped.
  std::string GetChar() {
    char c = Peek();
    bool punct = (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~');
    if (!punct) return std::string();
    ++Position;
    return std::string(1, c);
  }
  std::string GetNumber() {
    SkipSpaces();
    std::size_t start = Position;
    if (!UnsignedReal() && !UnsignedInteger()) {
      Position = start;
      return std::string();
    }
    return FText.substr(start, Position - start);
  }
  // A quoted text with doubled quotes and #13 pieces, returned wrapped in single quotes.
  std::string GetString() {
    SkipSpaces();
    std::string result;
    bool any = false;
    for (;;) {
      std::size_t start = Position;
      if (Peek() == '\'') {
        ++Position;
        std::string piece;
        bool closed = false;
        while (Position < FText.size()) {
          char c = FText[Position];
          unsigned char u = static_cast<unsigned char>(c);
          if (u < 32 && c != '\t') break;
          ++Position;
          if (c == '\'') {
            if (Peek() == '\'') {
              piece += '\'';
              ++Position;
              continue;
            }
            closed = true;
            break;
          }
          piece += c;
        }
        if (!closed) {
          Position = start;
          break;
        }
        result += piece;
        any = true;
      } else if (Peek() == '#') {
        ++Position;
        std::size_t digits = Position;
        if (!UnsignedInteger()) {
          Position = start;
          break;
        }
        std::int64_t code = 0;
        TryTextToInt64(FText.substr(digits, Position - digits), code);
        result += static_cast<char>(code);
        any = true;
      } else {
        break;
      }
    }
    return any ? "'" + result + "'" : std::string();
  }
  std::size_t Size() const { return FText.size(); }
  const std::string& Text() const { return FText; }

 private:
  const std::string& FText;

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
  static bool IsIdentChar(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
  }
  bool DigitSequence(bool hex) {
    if (!(hex ? IsHex(Peek()) : IsDigit(Peek()))) return false;
    while (hex ? IsHex(Peek()) : IsDigit(Peek())) ++Position;
    return true;
  }
  bool UnsignedInteger() {
    std::size_t start = Position;
    if (Peek() == '$') {
      ++Position;
      if (DigitSequence(true)) return true;
      Position = start;
      return false;
    }
    return DigitSequence(false);
  }
  bool UnsignedReal() {
    std::size_t start = Position;
    if (!UnsignedInteger()) return false;
    if (Peek() == '.') {
      ++Position;
      if (!DigitSequence(false)) {
        Position = start;
        return false;
      }
    }
    std::size_t beforeScale = Position;
    if (Peek() == 'e' || Peek() == 'E') {
      ++Position;
      if (Peek() == '+' || Peek() == '-') ++Position;
      if (!DigitSequence(false)) Position = beforeScale;
    }
    return true;
  }
};

// The identifier after the last colon of the whole text (a function's result type).
std::string ResultTypeName(TDeclarationScanner& scanner) {
  std::size_t colon = scanner.Text().rfind(':');
  if (colon == std::string::npos) return std::string();
  std::size_t saved = scanner.Position;
  scanner.Position = colon + 1;
  std::string name = scanner.Ident();
  scanner.Position = saved;
  return name;
}

Variant ReadDefaultLiteral(TDeclarationScanner& scanner, const TfsScript* script);

// A default value that is no representable number (1e999) leaves the parameter without one:
// declarations are never reported as malformed.
Variant ReadDefault(TDeclarationScanner& scanner, const TfsScript* script) {
  try {
    return ReadDefaultLiteral(scanner, script);
  } catch (const EConvertError&) {
    return Variant::Null();
  }
}

Variant ReadDefaultLiteral(TDeclarationScanner& scanner, const TfsScript* script) {
  // Numbers and strings may follow a blank; a minus sign only directly after "=".
  std::size_t saved = scanner.Position;
  std::string number = scanner.GetNumber();
  if (!number.empty()) return ParserStringToVariant(number);
  scanner.Position = saved;
  std::string str = scanner.GetString();
  if (!str.empty()) return ParserStringToVariant(str);
  scanner.Position = saved;
  if (scanner.Peek() == '-') {
    ++scanner.Position;
    number = scanner.GetNumber();
    if (!number.empty()) return ParserStringToVariant("-" + number);
    scanner.Position = saved;
  }
  std::string ident = scanner.Ident();
  TfsCustomVariable* item = script != nullptr && !ident.empty() ? script->Find(ident) : nullptr;
  return item != nullptr ? item->GetValue() : Variant::Null();
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

// Reads the parameter groups after "(" until ")" or the end of the text.
void ReadParameters(TDeclarationScanner& scanner, TfsCustomVariable& method, const TfsScript* script) {
  for (;;) {
    TParamGroup group;
    bool listEnd = false;
    for (;;) {
      std::size_t before = scanner.Position;
      std::string word = scanner.Ident();
      if (AnsiSameText(word, "var")) {
        group.ByRef = true;
      } else if (!AnsiSameText(word, "const")) {
        group.Names.push_back(word);
      }
      scanner.SkipSpaces();
      if (scanner.Position >= scanner.Size()) return;  // unterminated list: nothing more to read
      std::string c = scanner.GetChar();
      if (c == ")") {
        --scanner.Position;
        listEnd = true;
        break;
      }
      if (c == ":") {
        std::string typeName = scanner.Ident();
        scanner.SkipSpaces();
        Variant defaultValue = Variant::Null();
        if (scanner.Peek() == '=') {
          ++scanner.Position;
          defaultValue = ReadDefault(scanner, script);
        }
        AddGroup(method, group, typeName, defaultValue, script);
        break;
      }
      // Neither a word nor a separator was consumed: step over the character to make progress.
      if (c.empty() && scanner.Position == before) ++scanner.Position;
    }
    (void)listEnd;
    scanner.SkipSpaces();
    if (scanner.Position >= scanner.Size()) return;
    std::string c = scanner.GetChar();
    if (c == ")") return;
    if (c.empty()) ++scanner.Position;
  }
}

}  // namespace

std::unique_ptr<TfsCustomVariable> ParseMethodSyntax(const std::string& syntax, const TfsScript* script) {
  TDeclarationScanner scanner(syntax);
  std::string kindWord = scanner.Ident();
  bool macroArgs = false;
  if (AnsiLowerCase(kindWord).rfind("macro", 0) == 0) {
    macroArgs = true;
    kindWord = kindWord.substr(5);
  }
  bool isFunction = AnsiSameText(kindWord, "function");
  std::string name = scanner.Ident();
  std::string typeName = isFunction ? ResultTypeName(scanner) : std::string();
  TfsVarType kind = StrToVarType(typeName, script);
  auto method = std::make_unique<TfsCustomVariable>(name, kind, typeName);
  method->MacroArgs = macroArgs;
  scanner.SkipSpaces();
  if (scanner.GetChar() == "(") ReadParameters(scanner, *method, script);
  return method;
}

}  // namespace kelvo
