// TfsILParser: one compilation of one script (or of one imported unit). The front half loads the
// grammar of the selected language, configures the tokenizer from it and interprets the grammar
// elements over the script text, writing the intermediate tree ("IL"); the back half,
// ParseILScript (fs_il_builder.cpp), builds the program from that tree.
//
// The grammar is kept twice: as the XML tree it was read into, and as a flat table of compiled
// elements (attributes decoded once, rule references resolved) that the matcher walks. The IL is
// built as elements of the engine XML tree directly, exactly as the XML lines of the matching
// rules would read back, without writing and re-reading the text.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "script/fs_tokenizer.h"
#include "script/fs_xml.h"

namespace kelvo {

class TfsScript;
class TfsWithStmt;

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

class TfsILParser {
 public:
  explicit TfsILParser(TfsScript& program);
  ~TfsILParser();
  TfsILParser(const TfsILParser&) = delete;
  TfsILParser& operator=(const TfsILParser&) = delete;

  // Loads and applies the grammar of the language; raises "Language '%s' not found" and
  // "Invalid file format".
  void SelectLanguage(const std::string& name);
  // Parses the text into the IL document; true on success. The program's ErrorText and
  // ErrorPlace receive the first syntax error (both empty on success). A grammar that names an
  // undefined rule raises "Invalid language definition"; an imported file that cannot be read
  // raises its file error.
  bool MakeILScript(const std::string& text);
  // Builds the program from the IL document (the builder, in fs_il_builder.cpp).
  void ParseILScript();

  // The result of MakeILScript; the IL import loads a tree here and calls ParseILScript.
  TfsXMLDocument& ILScript() { return FILScript; }
  TfsXMLDocument& Grammar() { return FGrammar; }
  TfsXMLItem* GrammarRoot() const { return FRoot; }
  TfsParser& Tokenizer() { return FParser; }
  TfsScript& Program() const { return FProgram; }
  const std::string& LangName() const { return FLangName; }
  bool NeedDeclareVars() const { return FNeedDeclareVars; }
  const std::string& UnitName() const { return FUnitName; }
  const std::vector<std::string>& UsesList() const { return FUsesList; }

  // The matcher refuses to go deeper than this many nested grammar elements: deeper nesting of
  // the script (or a rule that refers to itself without consuming) is a syntax error, not a
  // stack overflow. Enough for several hundred nested parentheses or blocks.
  static constexpr int kMaxMatchDepth = 6000;

 private:
  friend class TfsILBuilder;

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

  // Fields in the order of the description; the builder uses FErrorPos and FWithList.
  std::string FErrorPos;  // "line:column" of the IL node being built when a build error is raised
  TfsXMLDocument FGrammar;
  TfsXMLDocument FILScript;
  std::string FLangName;
  bool FNeedDeclareVars = true;  // false when the grammar's declarevars option is "0"
  TfsParser FParser;
  TfsScript& FProgram;
  TfsXMLItem* FRoot = nullptr;  // the grammar's <language> element
  std::string FUnitName;        // empty for the main script
  std::vector<std::string> FUsesList;
  // Names of the hidden variables of `with` statements, each with its statement.
  std::vector<std::pair<std::string, TfsWithStmt*>> FWithList;

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
