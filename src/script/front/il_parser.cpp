#include "script/front/il_parser.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <new>
#include <sstream>
#include <utility>

#include "script/front/languages.h"
#include "script/value/position.h"
#include "script/value/stack_guard.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

const char* const kInvalidLanguageDefinition = "Invalid language definition";
const char* const kNestingTooDeep = "Nesting too deep";
const char* const kStatementExpected = "Statement expected";

// Raised by the matcher when the nesting limit is reached; MakeILScript turns it into a syntax
// error at the position where matching stood.
struct TfsNestingTooDeep {
  int Position;
};

TfsGrammarKind KindOfName(const std::string& lowerName) {
  static const std::pair<const char*, TfsGrammarKind> kinds[] = {
      {"char", TfsGrammarKind::gkChar},         {"keyword", TfsGrammarKind::gkKeyword},
      {"ident", TfsGrammarKind::gkIdent},       {"number", TfsGrammarKind::gkNumber},
      {"string", TfsGrammarKind::gkString},     {"frstring", TfsGrammarKind::gkFRString},
      {"eol", TfsGrammarKind::gkEol},           {"sequence", TfsGrammarKind::gkSequence},
      {"switch", TfsGrammarKind::gkSwitch},     {"optionalswitch", TfsGrammarKind::gkOptionalSwitch},
      {"loop", TfsGrammarKind::gkLoop},         {"optionalloop", TfsGrammarKind::gkOptionalLoop},
      {"optional", TfsGrammarKind::gkOptional},
  };
  for (const auto& [name, kind] : kinds)
    if (lowerName == name) return kind;
  return TfsGrammarKind::gkReference;
}

// Counts one level of nesting for as long as a matcher call runs. Besides the fixed limit, the
// stack left is checked now and then: a compilation may start with much of the stack in use
// (a script that evaluates an expression from deep inside its own recursion).
class TfsDepthGuard {
 public:
  TfsDepthGuard(int& depth, int position) : FDepth(depth) {
    if (FDepth >= TfsILParser::kMaxMatchDepth) throw TfsNestingTooDeep{position};
    if (FDepth % 64 == 0) {
      try {
        CheckStackSpace();
      } catch (const EStackOverflow&) {
        throw TfsNestingTooDeep{position};
      }
    }
    ++FDepth;
  }
  ~TfsDepthGuard() { --FDepth; }
  TfsDepthGuard(const TfsDepthGuard&) = delete;
  TfsDepthGuard& operator=(const TfsDepthGuard&) = delete;

 private:
  int& FDepth;
};

}  // namespace

TfsILParser::TfsILParser(TfsGetUnitText getUnit) : FGetUnit(std::move(getUnit)) {}

TfsILParser::~TfsILParser() = default;

// ---- selecting the language ----

void TfsILParser::SelectLanguage(const std::string& name) {
  FParser.Clear();
  // The tokenizer's Clear keeps these two; a parser that switches language through the
  // #language line must not keep the case sensitivity or the declaration rule of the old one.
  FParser.CaseSensitive = false;
  FParser.CommentLine2.clear();
  FNeedDeclareVars = true;
  FLangName = name;

  const std::string grammarText = fsGetLanguage(name);
  FGrammar.LoadFromString(grammarText);
  FRoot = FGrammar.Root();
  TfsXMLItem* parser = FRoot->FindItem("parser");
  TfsXMLItem* keywords = parser->FindItem("keywords");
  for (int i = 0; i < keywords->Count(); ++i) FParser.AddKeyword(keywords->Items(i)->Name);

  for (int i = 0; i < parser->Count(); ++i) {
    const TfsXMLItem* option = parser->Items(i);
    std::string key = AnsiLowerCase(option->Name);
    std::string value = option->GetProp("text");
    if (key == "identchars")
      FParser.ConstructCharset(value);
    else if (key == "commentline1")
      FParser.CommentLine1 = value;
    else if (key == "commentline2")
      FParser.CommentLine2 = value;
    else if (key == "commentblock1")
      FParser.SetCommentBlock1(value);
    else if (key == "commentblock2")
      FParser.SetCommentBlock2(value);
    else if (key == "stringquotes")
      FParser.StringQuotes = value;
    else if (key == "hexsequence")
      FParser.HexSequence = value;
    else if (key == "declarevars" && value == "0")
      FNeedDeclareVars = false;
    else if (key == "skipeol" && value == "0")
      FParser.SkipEOL = false;
    else if (key == "skipchar")
      FParser.SkipChar = value;
    else if (key == "casesensitive" && value == "1")
      FParser.CaseSensitive = true;
  }
  if (WideIdentifiers)
    for (int c = 128; c < 256; ++c) FParser.IdentifierCharset.set(static_cast<size_t>(c));

  // Compiling costs more than parsing a short script, and every compilation, every imported
  // unit and every Evaluate selects a language: each grammar text is compiled once per process.
  static std::mutex cacheLock;
  static std::map<std::string, std::shared_ptr<const TfsCompiledGrammar>> cache;
  std::lock_guard<std::mutex> lock(cacheLock);
  auto& code = cache[grammarText];
  if (!code) code = CompileGrammar();
  FCode = code;
}

// Every child of the grammar root becomes a rule; references are then resolved by name
// (ignoring case, first match, as the tree's Find does). An undefined rule stays -1 and raises
// only when matching reaches it.
std::shared_ptr<const TfsCompiledGrammar> TfsILParser::CompileGrammar() {
  auto code = std::make_shared<TfsCompiledGrammar>();
  std::vector<int> rules;
  rules.reserve(static_cast<size_t>(FRoot->Count()));
  for (int i = 0; i < FRoot->Count(); ++i) rules.push_back(CompileElement(*code, *FRoot->Items(i), true));
  for (auto& e : code->Elements) {
    if (e.Kind != TfsGrammarKind::gkReference || e.IsRule) continue;
    int at = FRoot->Find(e.Name);
    e.Rule = at < 0 ? -1 : rules[static_cast<size_t>(at)];
  }
  int program = FRoot->Find("program");
  code->ProgramRule = program < 0 ? -1 : rules[static_cast<size_t>(program)];
  return code;
}

int TfsILParser::CompileElement(TfsCompiledGrammar& code, const TfsXMLItem& item, bool isRule) {
  TfsGrammarElement e;
  e.IsRule = isRule;
  e.Name = AnsiLowerCase(item.Name);
  e.Kind = isRule ? TfsGrammarKind::gkRule : KindOfName(e.Name);
  e.Expected = AnsiLowerCase(item.GetProp("text"));
  e.Node = AnsiLowerCase(item.GetProp("node"));
  e.Add = item.GetProp("add");
  e.HasAddText = item.PropExists("addtext");
  if (e.HasAddText) e.AddText = item.GetProp("addtext");
  if (item.PropExists("err")) {
    e.ErrMessage = ErrorMessage(item.GetProp("err"));
    e.HasErr = !e.ErrMessage.empty();  // an undefined code counts as no error
  }
  std::string skip = item.GetProp("skip");
  e.NoSkip = skip == "0";
  e.SkipErrors = skip == "1";
  e.Term = item.GetProp("term") == "1";
  int index = static_cast<int>(code.Elements.size());
  code.Elements.push_back(std::move(e));
  std::vector<int> children;
  children.reserve(static_cast<size_t>(item.Count()));
  for (int i = 0; i < item.Count(); ++i) children.push_back(CompileElement(code, *item.Items(i), false));
  code.Elements[static_cast<size_t>(index)].Children = std::move(children);
  return index;
}

std::string TfsILParser::ErrorMessage(const std::string& code) {
  return FRoot->FindItem("parser")->FindItem("errors")->FindItem(code)->GetProp("text");
}

// ---- what the builder reads ----

const TfsXMLItem* TfsILParser::LanguageTypes() const {
  if (FRoot == nullptr) return nullptr;
  int types = FRoot->Find("types");
  return types >= 0 ? FRoot->Items(types) : nullptr;
}

std::string TfsILParser::SourceBetween(const std::string& from, const std::string& to) const {
  if (from.empty() || to.empty()) return {};
  try {
    int a = FParser.GetPlainPosition(fsPosToPoint(from));
    int b = FParser.GetPlainPosition(fsPosToPoint(to));
    const std::string& text = FParser.Text();
    if (a < 1 || b < a || static_cast<std::size_t>(b - 1) > text.size()) return {};
    return Trim(text.substr(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(b - a)));
  } catch (const Exception&) {
    return {};
  }
}

// ---- the whole script ----

bool TfsILParser::MakeILScript(const std::string& text) {
  FILItems.clear();
  FPendingMessage.clear();
  FPendingPos.clear();
  FTermFlag = false;
  if (FUnitName.empty()) FErrorUnitName.clear();
  bool result = false;

  FParser.SetText(text);
  int startPos = 1;
  if (!text.empty() && text[0] == '#') {
    FParser.SetPosition(2);
    if (AnsiSameText(FParser.Ident(), "language")) {
      const auto from = static_cast<size_t>(FParser.Position() - 1);
      size_t lineEnd = text.find_first_of("\r\n", from);
      std::string language =
          Trim(text.substr(from, lineEnd == std::string::npos ? std::string::npos : lineEnd - from));
      SelectLanguage(language);
      if (lineEnd == std::string::npos)
        startPos = static_cast<int>(text.size()) + 1;
      else
        startPos = static_cast<int>(lineEnd) + (text.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1) + 1;
    }
  }
  if (!FCode || FCode->ProgramRule < 0) throw Exception(kInvalidLanguageDefinition);

  FParser.SetPosition(startPos);
  bool matched = false;
  try {
    matched = MatchElement(FCode->ProgramRule);
  } catch (const TfsNestingTooDeep& e) {
    RecordError(kNestingTooDeep, e.Position);
  } catch (const std::bad_alloc&) {
    // The tree read so far goes first, to leave room for the error itself.
    std::vector<std::unique_ptr<TfsXMLItem>>().swap(FILItems);
    RecordError(EOutOfMemory().Message(), FParser.Position());
  }
  if (matched && FPendingMessage.empty()) CheckTrailingText();
  if (matched && FPendingMessage.empty()) {
    BuildILDocument();
    result = true;
  }
  FErrorPlace = FPendingPos;
  FErrorText = FPendingMessage;
  return result;
}

// A script whose tail the start rule could not match must not compile as if the tail were not
// there: whatever is left after spaces and comments is reported as a statement expected.
void TfsILParser::CheckTrailingText() {
  for (;;) {
    FParser.SkipSpaces();
    int c = FParser.Position() <= FParser.Length()
                ? static_cast<unsigned char>(FParser.Text()[static_cast<size_t>(FParser.Position() - 1)])
                : -1;
    if (c != 13 && c != 10) break;
    FParser.SetPosition(FParser.Position() + 1);
  }
  if (FParser.Position() > FParser.Length()) return;
  std::string message = ErrorMessage("err3");
  RecordError(message.empty() ? kStatementExpected : message, FParser.Position());
}

void TfsILParser::BuildILDocument() {
  FILScript.Clear();
  TfsXMLItem* root = FILScript.Root();
  root->Name = "program";
  root->Text.clear();
  for (auto& item : FILItems) root->AddItem(std::move(item));
  FILItems.clear();
  root->Add()->Assign(FRoot->FindItem("types"));
}

// ---- matching one grammar element ----

bool TfsILParser::MatchElement(int index) {
  TfsDepthGuard guard(FDepth, FParser.Position());
  const TfsGrammarElement& e = FCode->Elements[static_cast<size_t>(index)];
  const int start = FParser.Position();
  const size_t mark = FILItems.size();
  std::string token;
  bool matched = true;

  switch (e.Kind) {
    case TfsGrammarKind::gkRule:
    case TfsGrammarKind::gkSequence:
      break;
    case TfsGrammarKind::gkSwitch:
    case TfsGrammarKind::gkOptionalSwitch:
      return MatchSwitch(e, start);
    case TfsGrammarKind::gkLoop:
    case TfsGrammarKind::gkOptionalLoop:
      return MatchLoop(e, start);
    case TfsGrammarKind::gkOptional:
      return MatchOptional(e, start);
    case TfsGrammarKind::gkEol:
      matched = FParser.GetEOL();
      break;
    case TfsGrammarKind::gkReference:
      if (e.Rule < 0) throw Exception(kInvalidLanguageDefinition);
      matched = MatchElement(e.Rule);
      break;
    default:
      matched = MatchToken(e, token);
      break;
  }

  bool result = matched;
  if (!matched) {
    ReportError(e, start);
  } else {
    if (!e.IsRule) WrapNode(e, start, mark, true);
    if (!e.Add.empty()) AddLeaf(e, token);
    for (int child : e.Children)
      if (!(result = MatchElement(child))) break;
  }
  if (!result) FParser.SetPosition(start);
  if (e.IsRule) WrapNode(e, start, mark, result);
  return result;
}

// Reads the token of a token element and checks it against the element's text.
bool TfsILParser::MatchToken(const TfsGrammarElement& e, std::string& token) {
  switch (e.Kind) {
    case TfsGrammarKind::gkChar:
      if (!e.NoSkip) FParser.SkipSpaces();
      token = FParser.GetChar();
      break;
    case TfsGrammarKind::gkKeyword:
      token = FParser.GetWord();
      break;
    case TfsGrammarKind::gkIdent:
      token = FParser.GetIdent();
      break;
    case TfsGrammarKind::gkNumber:
      token = FParser.GetNumber();
      break;
    case TfsGrammarKind::gkString:
      token = FParser.GetString();
      break;
    case TfsGrammarKind::gkFRString:
      token = FParser.GetFRString();
      AddFRStringCall(token);
      break;
    default:
      break;
  }
  return !token.empty() && (e.Expected.empty() || TokenEquals(token, e.Expected));
}

bool TfsILParser::TokenEquals(const std::string& token, const std::string& expected) const {
  return FParser.CaseSensitive ? token == expected : AnsiSameText(token, expected);
}

// switch: the first alternative that matches; none is an error. optionalswitch: none is fine.
bool TfsILParser::MatchSwitch(const TfsGrammarElement& e, int start) {
  for (int child : e.Children)
    if (MatchElement(child)) return true;
  if (e.Kind == TfsGrammarKind::gkOptionalSwitch) return true;
  ReportError(e, start);
  return false;
}

// loop / optionalloop, with the separator in the text attribute. An iteration that fails ends
// the loop, but what it matched before its failing child, and the separator before it, stay
// consumed once more than one iteration ran; an iteration without progress ends the loop too.
bool TfsILParser::MatchLoop(const TfsGrammarElement& e, int start) {
  int iterations = 0;
  bool result = true;
  int afterBody = start;
  for (;;) {
    ++iterations;
    const int iterStart = FParser.Position();
    bool last = false;
    for (int child : e.Children) {
      result = MatchElement(child);
      if (!result) {
        last = true;
        break;
      }
    }
    afterBody = FParser.Position();
    if (result && !e.Expected.empty()) {
      FParser.SkipSpaces();
      if (!TokenEquals(FParser.GetChar(), e.Expected)) {
        FParser.SetPosition(afterBody);
        last = true;
      }
    }
    if (FParser.Position() == iterStart) last = true;
    if (last) break;
  }
  if (iterations > 1) {
    if (e.SkipErrors || FTermFlag) {
      FPendingMessage.clear();
      FPendingPos.clear();
    }
    FParser.SetPosition(afterBody);
    result = true;
  }
  if (e.Kind == TfsGrammarKind::gkOptionalLoop && !result) {
    FParser.SetPosition(start);
    result = true;
  }
  return result;
}

bool TfsILParser::MatchOptional(const TfsGrammarElement& e, int start) {
  for (int child : e.Children) {
    if (!MatchElement(child)) {
      FParser.SetPosition(start);
      break;
    }
  }
  return true;
}

// ---- writing the IL ----

std::string TfsILParser::PositionText(int position) const {
  TfsPoint point = FParser.PositionToPoint(position);
  return std::to_string(point.Y) + ":" + std::to_string(point.X);
}

// The position of the first token at or after start; the tokenizer is left there.
std::string TfsILParser::FirstTokenPosition(int start) {
  FParser.SetPosition(start);
  FParser.SkipSpaces();
  return FParser.GetXYPosition();
}

namespace {

std::unique_ptr<TfsXMLItem> NewItem(std::string name, std::string text) {
  auto item = std::make_unique<TfsXMLItem>();
  item->Name = std::move(name);
  item->Text = std::move(text);
  return item;
}

}  // namespace

// <N pos="first token"> ... </N> around every element written since mark, or those elements
// dropped when the construct failed; a "uses" node turns its elements into included units.
void TfsILParser::WrapNode(const TfsGrammarElement& e, int start, size_t mark, bool outcome) {
  if (e.Node.empty()) return;
  if (e.Node == "uses") {
    IncludeUnits(mark);
    return;
  }
  if (!outcome) {
    FILItems.resize(mark);
    return;
  }
  const int current = FParser.Position();
  std::string text = "pos=\"" + FirstTokenPosition(start) + "\"";
  FParser.SetPosition(current);
  if (e.Node == "expr") text += " pos1=\"" + PositionText(current) + "\"";
  auto node = NewItem(e.Node, std::move(text));
  node->Reserve(static_cast<int>(FILItems.size() - mark));
  for (size_t i = mark; i < FILItems.size(); ++i) node->AddItem(std::move(FILItems[i]));
  FILItems.resize(mark);
  FILItems.push_back(std::move(node));
}

// <A text="token or addtext" pos="after the token"/>
void TfsILParser::AddLeaf(const TfsGrammarElement& e, const std::string& token) {
  FILItems.push_back(NewItem(e.Add, "text=\"" + StrToXML(e.HasAddText ? e.AddText : token) + "\" pos=\"" +
                                        FParser.GetXYPosition() + "\""));
}

// A raw text in angle brackets is a call of the script function Get with the text as argument:
// <dsgn><node text="Get"/><expr><string text="'raw'"/></expr></dsgn>, all at the same position.
void TfsILParser::AddFRStringCall(const std::string& token) {
  const std::string pos = "pos=\"" + FParser.GetXYPosition() + "\"";
  auto dsgn = NewItem("dsgn", pos);
  dsgn->AddItem(NewItem("node", "text=\"Get\" " + pos));
  TfsXMLItem* expr = dsgn->AddItem(NewItem("expr", pos));
  expr->AddItem(NewItem("string", "text=\"'" + StrToXML(token) + "'\" " + pos));
  FILItems.push_back(std::move(dsgn));
}

// ---- errors ----

// Only the first error of a compilation is kept.
void TfsILParser::ReportError(const TfsGrammarElement& e, int start) {
  if (!e.HasErr || !FPendingMessage.empty()) return;
  FPendingMessage = e.ErrMessage;
  FPendingPos = FirstTokenPosition(start);
  FTermFlag = e.Term;
}

void TfsILParser::RecordError(const std::string& message, int position) {
  if (!FPendingMessage.empty()) return;
  FPendingMessage = message;
  FPendingPos = PositionText(position);
}

// ---- imported units ----

// Every element after mark is an import request <file text="'name'" .../>. They are taken from
// the last one backwards, so the units appear in reverse order of the import statement.
void TfsILParser::IncludeUnits(size_t mark) {
  std::vector<std::unique_ptr<TfsXMLItem>> requests;
  for (size_t i = mark; i < FILItems.size(); ++i) requests.push_back(std::move(FILItems[i]));
  FILItems.resize(mark);
  for (size_t i = requests.size(); i-- > 0;) {
    std::string name = requests[i]->GetProp("text");
    if (name.size() >= 2 && name.front() == '\'' && name.back() == '\'')
      name = name.substr(1, name.size() - 2);
    if (auto unit = IncludeUnit(name)) FILItems.push_back(std::move(unit));
  }
}

// <uses unit="name"> holding the unit's own <program> tree; none when the unit was already
// imported in this compilation. A unit that fails to compile leaves its <uses> empty and its
// error becomes this parser's pending error.
std::unique_ptr<TfsXMLItem> TfsILParser::IncludeUnit(const std::string& name) {
  for (const auto& used : FUsesList)
    if (AnsiSameText(used, name)) return nullptr;
  FUsesList.push_back(name);

  std::string unitText;
  if (FGetUnit)
    FGetUnit(name, unitText);
  else
    unitText = ReadUnitText(name);

  auto uses = NewItem("uses", "unit=\"" + StrToXML(name) + "\"");
  if (unitText.empty()) return uses;
  TfsILParser nested(FGetUnit);
  nested.FUnitName = name;
  nested.FDepth = FDepth;
  nested.WideIdentifiers = WideIdentifiers;
  nested.SelectLanguage(FLangName);
  nested.FUsesList = FUsesList;
  if (nested.MakeILScript(unitText)) {
    FUsesList = nested.FUsesList;
    uses->AddItem(nested.FILScript.ReleaseRoot());
  } else if (FPendingMessage.empty()) {
    FPendingMessage = nested.FErrorText;
    FPendingPos = nested.FErrorPlace;
    if (FErrorUnitName.empty()) FErrorUnitName = nested.FErrorUnitName.empty() ? name : nested.FErrorUnitName;
  }
  return uses;
}

std::string TfsILParser::ReadUnitText(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  if (!file) throw Exception(FormatMessage("Cannot open file \"%s\". %s", {name, std::strerror(errno)}));
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace kelvo
