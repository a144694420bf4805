// TfsILParser: the grammar-driven parser of one script (or of one imported unit). It loads the
// grammar of the selected language, configures the tokenizer from it and interprets the grammar
// elements over the script text, writing the intermediate tree ("IL"). The builder (build/) then
// turns that tree into a program, reading what else it needs through TfsParseInfo.
//
// The grammar is kept twice: as the XML tree it was read into, and as a flat table of compiled
// elements (attributes decoded once, rule references resolved) that the matcher walks. The IL is
// built as elements of the engine XML tree directly, exactly as the XML lines of the matching
// rules would read back, without writing and re-reading the text.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "script/front/parse_info.h"
#include "script/front/parser.h"
#include "script/front/xml_tree.h"

namespace kelvo {

// Answers an import: the text of the unit of that name (empty when there is none).
using TfsGetUnitText = std::function<void(const std::string& unitName, std::string& unitText)>;

// What one grammar element asks the matcher to do.
enum class TfsGrammarKind {
  gkRule,     // a rule definition: a child of the grammar root
  gkChar,     // one punctuation character
  gkKeyword,  // any word, keywords included
  gkIdent,    // an identifier that is not a keyword
  gkNumber,
  gkString,
  gkFRString,  // raw text up to the closing bracket, passed to the script function Get
  gkEol,
  gkSequence,
  gkSwitch,
  gkOptionalSwitch,
  gkLoop,
  gkOptionalLoop,
  gkOptional,
  gkReference  // a use of the rule of the element's name
};

// One grammar element with its attributes decoded once.
struct TfsGrammarElement {
  TfsGrammarKind Kind = TfsGrammarKind::gkSequence;
  bool IsRule = false;
  std::string Name;      // lower case
  std::string Expected;  // the text attribute, lower case: the token required, or a separator
  std::string Node;      // lower case; the IL node that encloses what the element wrote
  std::string Add;       // the IL leaf written after the element matched
  bool HasAddText = false;
  std::string AddText;
  bool HasErr = false;
  std::string ErrMessage;   // the text of the err code in the grammar's error table
  bool NoSkip = false;      // skip="0": a char element does not skip spaces first
  bool SkipErrors = false;  // skip="1": a loop that made progress forgets the pending error
  bool Term = false;
  int Rule = -1;  // for a reference: the index of the rule element, -1 when undefined
  std::vector<int> Children;
};

// A grammar compiled for the matcher: its elements, rules first in grammar order, each with the
// indexes of its children; ProgramRule is the start rule, -1 when the grammar has none.
struct TfsCompiledGrammar {
  std::vector<TfsGrammarElement> Elements;
  int ProgramRule = -1;
};

class TfsILParser : public TfsParseInfo {
 public:
  // getUnit answers imports; without one an import reads the file of the unit's name.
  explicit TfsILParser(TfsGetUnitText getUnit = nullptr);
  ~TfsILParser() override;
  TfsILParser(const TfsILParser&) = delete;
  TfsILParser& operator=(const TfsILParser&) = delete;

  // Identifiers may hold the characters 128..255; read by SelectLanguage.
  bool WideIdentifiers = false;

  // Loads and applies the grammar of the language; raises "Language '%s' not found" and
  // "Invalid file format".
  void SelectLanguage(const std::string& name);
  // Parses the text into the IL document; true on success. ErrorText and ErrorPlace receive the
  // first syntax error (both empty on success), ErrorUnitName the imported unit it is in. A
  // grammar that names an undefined rule raises "Invalid language definition"; an imported file
  // that cannot be read raises its file error.
  bool MakeILScript(const std::string& text);
  const std::string& ErrorText() const { return FErrorText; }
  const std::string& ErrorPlace() const { return FErrorPlace; }
  const std::string& ErrorUnitName() const { return FErrorUnitName; }

  // The result of MakeILScript; the IL import loads a tree here instead.
  TfsXMLDocument& ILScript() { return FILScript; }
  TfsXMLDocument& Grammar() { return FGrammar; }
  const std::string& LangName() const { return FLangName; }
  const std::string& UnitName() const { return FUnitName; }

  // TfsParseInfo: what the builder reads besides the tree.
  bool NeedDeclareVars() const override { return FNeedDeclareVars; }
  const TfsXMLItem* LanguageTypes() const override;
  std::string SourceBetween(const std::string& from, const std::string& to) const override;

  // The matcher refuses to go deeper than this many nested grammar elements: deeper nesting of
  // the script (or a rule that refers to itself without consuming) is a syntax error, not a
  // stack overflow. Enough for several hundred nested parentheses or blocks.
  static constexpr int kMaxMatchDepth = 6000;

 private:
  std::shared_ptr<const TfsCompiledGrammar> CompileGrammar();
  int CompileElement(TfsCompiledGrammar& code, const TfsXMLItem& item, bool isRule);
  std::string ErrorMessage(const std::string& code);

  bool MatchElement(int index);
  bool MatchToken(const TfsGrammarElement& e, std::string& token);
  bool MatchSwitch(const TfsGrammarElement& e, int start);
  bool MatchLoop(const TfsGrammarElement& e, int start);
  bool MatchOptional(const TfsGrammarElement& e, int start);
  bool TokenEquals(const std::string& token, const std::string& expected) const;
  void WrapNode(const TfsGrammarElement& e, int start, std::size_t mark, bool outcome);
  void AddLeaf(const TfsGrammarElement& e, const std::string& token);
  void AddFRStringCall(const std::string& token);
  void ReportError(const TfsGrammarElement& e, int start);
  void RecordError(const std::string& message, int position);
  std::string FirstTokenPosition(int start);
  std::string PositionText(int position) const;
  void CheckTrailingText();
  void IncludeUnits(std::size_t mark);
  std::unique_ptr<TfsXMLItem> IncludeUnit(const std::string& name);
  std::string ReadUnitText(const std::string& name);
  void BuildILDocument();

  TfsXMLDocument FGrammar;
  TfsXMLDocument FILScript;
  std::string FLangName;
  bool FNeedDeclareVars = true;  // false when the grammar's declarevars option is "0"
  TfsParser FParser;
  TfsGetUnitText FGetUnit;
  TfsXMLItem* FRoot = nullptr;  // the grammar's <language> element
  std::string FUnitName;        // empty for the main script
  std::vector<std::string> FUsesList;
  std::string FErrorText, FErrorPlace, FErrorUnitName;

  // The compiled grammar, shared by every parser of the same grammar text.
  std::shared_ptr<const TfsCompiledGrammar> FCode;

  // State of one MakeILScript call.
  // The IL written so far: complete elements in text order. Every construct that wraps or drops
  // what it wrote works on a suffix of this list, so an element is never split.
  std::vector<std::unique_ptr<TfsXMLItem>> FILItems;
  std::string FPendingMessage;  // empty while no error is pending
  std::string FPendingPos;
  bool FTermFlag = false;
  int FDepth = 0;  // nested grammar elements, counted on from the importing parser for a unit
};

}  // namespace kelvo
