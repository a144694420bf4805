// The grammars must be exactly the ones written in the rule notation below: each rule is read
// into an element tree and compared with the tree the engine loads from its grammar text.
//
// Notation, one grammar element per item: 'x' a char element; an upper-case word a keyword
// element with that text; `keyword`, `ident`, `number`, `string`, `frstring` token elements; any
// other lower-case word a rule reference; ( a b ) a sequence; ( a | b ) a switch and ( a | b )? an
// optionalswitch; [ a b ] optional; { a } optionalloop and { a }+ loop, with `sep ','` as the
// separator text; ⟨k=v ...⟩ after an element adds attributes in that order.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "script/front/grammars/grammars.h"
#include "script/front/languages.h"
#include "script/front/xml_tree.h"

using namespace kelvo;

namespace {

struct TElement {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Attributes;
  std::vector<TElement> Children;
};

const std::string kOpenAttr = "\xE2\x9F\xA8";   // ⟨
const std::string kCloseAttr = "\xE2\x9F\xA9";  // ⟩

// Reads one rule of the notation.
class TNotationReader {
 public:
  explicit TNotationReader(std::string text) : FText(std::move(text)) {}

  TElement ReadRule() {
    TElement rule;
    rule.Name = Word();
    Spaces();
    if (At(kOpenAttr)) ReadAttributes(rule);
    Expect(":=");
    Spaces();
    if (At("(empty)")) {
      FPos += 7;
    } else {
      rule.Children = ReadSequence();
    }
    Spaces();
    if (FPos != FText.size()) throw std::runtime_error("trailing text in: " + FText);
    return rule;
  }

 private:
  bool At(const std::string& s) const {
    return FPos <= FText.size() && FText.compare(FPos, s.size(), s) == 0;
  }
  void Spaces() {
    while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
  }
  void Expect(const std::string& s) {
    Spaces();
    if (!At(s)) throw std::runtime_error("expected " + s + " at " + FText.substr(FPos));
    FPos += s.size();
  }
  std::string Word() {
    Spaces();
    size_t start = FPos;
    while (FPos < FText.size() && (isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_'))
      ++FPos;
    return FText.substr(start, FPos - start);
  }

  // Items up to a closing bracket, a bar or the end.
  std::vector<TElement> ReadSequence() {
    std::vector<TElement> items;
    for (;;) {
      Spaces();
      if (FPos >= FText.size() || At(")") || At("]") || At("}") || At("|")) return items;
      items.push_back(ReadItem());
    }
  }

  TElement ReadItem() {
    TElement e;
    if (At("'")) {
      e.Name = "char";
      e.Attributes.push_back({"text", FText.substr(FPos + 1, 1)});
      FPos += 3;
    } else if (At("(")) {
      ++FPos;
      std::vector<std::vector<TElement>> alternatives{ReadSequence()};
      while (At("|")) {
        ++FPos;
        alternatives.push_back(ReadSequence());
      }
      Expect(")");
      if (alternatives.size() == 1) {
        e.Name = "sequence";
        e.Children = std::move(alternatives[0]);
      } else {
        e.Name = At("?") ? (++FPos, "optionalswitch") : "switch";
        for (auto& alternative : alternatives) {
          if (alternative.size() != 1) throw std::runtime_error("alternative of several items");
          e.Children.push_back(std::move(alternative[0]));
        }
      }
    } else if (At("[")) {
      ++FPos;
      e.Name = "optional";
      e.Children = ReadSequence();
      Expect("]");
    } else if (At("{")) {
      ++FPos;
      e.Children = ReadSequence();
      Expect("}");
      e.Name = At("+") ? (++FPos, "loop") : "optionalloop";
      Spaces();
      if (At("sep '")) {
        e.Attributes.push_back({"text", FText.substr(FPos + 5, 1)});
        FPos += 7;
      }
    } else {
      std::string word = Word();
      if (word.empty()) throw std::runtime_error("cannot read " + FText.substr(FPos));
      if (isupper(static_cast<unsigned char>(word[0]))) {
        e.Name = "keyword";
        e.Attributes.push_back({"text", word});
      } else {
        e.Name = word;
      }
    }
    if (At(kOpenAttr)) ReadAttributes(e);
    return e;
  }

  void ReadAttributes(TElement& e) {
    FPos += kOpenAttr.size();
    size_t end = FText.find(kCloseAttr, FPos);
    std::string body = FText.substr(FPos, end - FPos);
    FPos = end + kCloseAttr.size();
    size_t at = 0;
    while (at < body.size()) {
      size_t space = body.find(' ', at);
      if (space == std::string::npos) space = body.size();
      std::string pair = body.substr(at, space - at);
      size_t eq = pair.find('=');
      std::string value = pair.substr(eq + 1);
      if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
        value = value.substr(1, value.size() - 2);
      e.Attributes.push_back({pair.substr(0, eq), value});
      at = space + 1;
    }
  }

  std::string FText;
  size_t FPos = 0;
};

// The attribute text as the grammars write it: the four characters that XML cannot hold as they
// are become numeric entities.
std::string RawAttributes(const TElement& e) {
  std::string text;
  for (const auto& [name, value] : e.Attributes) {
    if (!text.empty()) text += ' ';
    text += name + "=\"";
    for (char c : value) {
      switch (c) {
        case '<':
          text += "&#60;";
          break;
        case '>':
          text += "&#62;";
          break;
        case '&':
          text += "&#38;";
          break;
        case '"':
          text += "&#34;";
          break;
        default:
          text += c;
      }
    }
    text += '"';
  }
  return text;
}

void ExpectSameTree(const TElement& expected, const TfsXMLItem& actual, const std::string& path) {
  std::string here = path + "/" + expected.Name;
  EXPECT_EQ(actual.Name, expected.Name) << here;
  EXPECT_EQ(actual.Text, RawAttributes(expected)) << here;
  ASSERT_EQ(actual.Count(), static_cast<int>(expected.Children.size())) << here;
  for (size_t i = 0; i < expected.Children.size(); ++i)
    ExpectSameTree(expected.Children[i], *actual.Items(static_cast<int>(i)),
                   here + "[" + std::to_string(i) + "]");
}

std::unique_ptr<TfsXMLDocument> LoadGrammar(const std::string& name) {
  auto doc = std::make_unique<TfsXMLDocument>();
  doc->LoadFromString(fsGetLanguage(name));
  return doc;
}

template <size_t N>
void ExpectRules(const TfsXMLItem& root, const char* const (&rules)[N]) {
  // The rules follow <parser> and <types>.
  ASSERT_EQ(root.Count(), static_cast<int>(N) + 2);
  EXPECT_EQ(root.Items(0)->Name, "parser");
  EXPECT_EQ(root.Items(1)->Name, "types");
  for (size_t i = 0; i < N; ++i) {
    TElement rule = TNotationReader(rules[i]).ReadRule();
    ExpectSameTree(rule, *root.Items(static_cast<int>(i) + 2), "");
  }
}

std::vector<std::string> ChildNames(const TfsXMLItem& item) {
  std::vector<std::string> names;
  for (int i = 0; i < item.Count(); ++i) names.push_back(item.Items(i)->Name);
  return names;
}

std::vector<std::string> ChildTexts(const TfsXMLItem& item) {
  std::vector<std::string> texts;
  for (int i = 0; i < item.Count(); ++i) texts.push_back(item.Items(i)->Name + "=" + item.Items(i)->Text);
  return texts;
}

const std::vector<std::string> kErrorTable = {
    "err1=text=\"Identifier expected\"", "err2=text=\"Expression expected\"",
    "err3=text=\"Statement expected\"",  "err4=text=\"':' expected\"",
    "err5=text=\"';' expected\"",        "err6=text=\"'.' expected\"",
    "err7=text=\"')' expected\"",        "err8=text=\"']' expected\"",
    "err9=text=\"'=' expected\"",        "err10=text=\"'{' expected\"",
    "err11=text=\"'}' expected\"",       "err12=text=\"'(' expected\"",
    "err14=text=\"'WHILE' expected\"",   "err17=text=\"'FINALLY' or 'EXCEPT' expected\"",
    "err18=text=\"'[' expected\"",       "err19=text=\"'..' expected\"",
    "err20=text=\"'&#62;' expected\"",
};

const char* const kJScriptRules[] = {
    R"(empty := (empty))",
    R"(program := statements)",
    R"(statements ⟨node=compoundstmt⟩ := { statement })",
    R"(block := '{' statements '}'⟨err=err11⟩)",
    R"(importstmt ⟨node=uses⟩ := IMPORT { string⟨add=file err=err1⟩ }+ sep ',')",
    R"(varstmt := VAR { vardecl }+ sep ',')",
    R"(vardecl ⟨node=var⟩ := ident⟨add=ident⟩ [ array ] [ initvalue ])",
    R"(array ⟨node=array⟩ := '[' { arraydim⟨err=err2⟩ }+ sep ',' ']'⟨err=err8⟩)",
    R"(arraydim ⟨node=dim⟩ := expression)",
    R"(initvalue ⟨node=init⟩ := '=' expression⟨err=err2⟩)",
    R"(expression ⟨node=expr⟩ := simpleexpression { relop simpleexpression })",
    R"(simpleexpression := [ '-'⟨add=op addtext=unminus⟩ ] term { addop term })",
    R"(term := factor { mulop factor })",
    R"(factor := ( designator | number⟨add=number⟩ | string⟨add=string⟩ | ( '('⟨add=op⟩ expression⟨err=err2⟩ ')'⟨add=op err=err7⟩ ) | ( '!'⟨add=op addtext=not⟩ factor⟨err=err2⟩ ) | ( '[' setconstructor⟨err=err2⟩ ']'⟨err=err8⟩ ) | newoperator | ( '<' frstring '>'⟨err=err20⟩ ) ))",
    R"(setconstructor ⟨node=set⟩ := { setnode }+ sep ',')",
    R"(setnode := expression [ '.' '.'⟨add=range⟩ expression ])",
    R"(newoperator ⟨node=new⟩ := NEW designator⟨err=err2⟩)",
    R"(relop := ( ( '>' '='⟨skip=0 add=op addtext='>='⟩ ) | ( '<' '='⟨skip=0 add=op addtext='<='⟩ ) | '>'⟨add=op addtext='>'⟩ | '<'⟨add=op addtext='<'⟩ | ( '=' '='⟨skip=0 add=op addtext='='⟩ ) | ( '!' '='⟨skip=0 add=op addtext='<>'⟩ ) | IN⟨add=op addtext=in⟩ | IS⟨add=op addtext=is⟩ ))",
    R"(addop := ( '+'⟨add=op⟩ | '-'⟨add=op⟩ | ( '|' '|'⟨add=op addtext=or⟩ ) | '^'⟨add=op addtext=xor⟩ ))",
    R"(mulop := ( '*'⟨add=op⟩ | '/'⟨add=op⟩ | DIV⟨add=op addtext=div⟩ | '%'⟨add=op addtext=mod⟩ | ( '&' '&'⟨add=op addtext=and⟩ ) | ( '<' '<'⟨skip=0 add=op addtext=shl⟩ ) | ( '>' '>'⟨skip=0 add=op addtext=shr⟩ ) ))",
    R"(designator ⟨node=dsgn⟩ := [ '&'⟨add=addr⟩ ] ident⟨add=node⟩ { ( ( '.' keyword⟨add=node⟩ ) | ( '['⟨add=node⟩ exprlist⟨err=err2⟩ ']'⟨err=err8⟩ ) | ( '(' [ exprlist ] ')'⟨err=err7⟩ ) ) })",
    R"(exprlist := { expression }+ sep ',')",
    R"(statement := ( breakstmt | continuestmt | deletestmt | dowhilestmt | forstmt | functionstmt | ifstmt | importstmt | returnstmt | switchstmt | trystmt | varstmt | whilestmt | withstmt | assignstmt | callstmt | block ) [ ';' ])",
    R"(breakstmt := BREAK⟨node=break⟩)",
    R"(continuestmt := CONTINUE⟨node=continue⟩)",
    R"(deletestmt ⟨node=delete⟩ := DELETE designator⟨err=err2⟩)",
    R"(assignstmt ⟨node=assignstmt⟩ := designator ( ( '+'⟨add=modificator⟩ '='⟨skip=0⟩ ) | ( '-'⟨add=modificator⟩ '='⟨skip=0⟩ ) | ( '*'⟨add=modificator⟩ '='⟨skip=0⟩ ) | ( '/'⟨add=modificator⟩ '='⟨skip=0⟩ ) | '=' ) expression⟨err=err2⟩)",
    R"(callstmt ⟨node=callstmt⟩ := designator ( ( '+' '+'⟨skip=0 add=modificator⟩ ) | ( '-' '-'⟨skip=0 add=modificator⟩ ) )?)",
    R"(returnstmt ⟨node=return⟩ := RETURN [ expression ])",
    R"(ifstmt ⟨node=ifstmt⟩ := IF '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ statement⟨node=thenstmt⟩ [ ELSE statement⟨node=elsestmt⟩ ])",
    R"(switchstmt ⟨node=casestmt⟩ := SWITCH '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ '{'⟨err=err10⟩ { caseselector }+ [ DEFAULT ':'⟨err=err4⟩ statement ] '}'⟨err=err11⟩)",
    R"(caseselector ⟨node=caseselector⟩ := CASE setconstructor⟨err=err2⟩ ':'⟨err=err4⟩ statement)",
    R"(dowhilestmt ⟨node=repeatstmt⟩ := DO statement [ ';' ] WHILE⟨err=err14⟩ '('⟨err=err12⟩ expression⟨err=err2⟩ empty⟨add=inverse⟩ ')'⟨err=err7⟩ ';'⟨err=err5⟩)",
    R"(whilestmt ⟨node=whilestmt⟩ := WHILE '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ statement)",
    R"(forstmt ⟨node=cppforstmt⟩ := FOR '('⟨err=err12⟩ forstmtitem ';'⟨err=err5⟩ expression⟨err=err2⟩ ';'⟨err=err5⟩ forstmtitem ')'⟨err=err7⟩ statement)",
    R"(forstmtitem := ( assignstmt | callstmt | varstmt | empty⟨node=empty⟩ ))",
    R"(trystmt ⟨node=trystmt⟩ := TRY statement ( ( FINALLY statement⟨node=finallystmt⟩ ) | ( EXCEPT statement⟨node=exceptstmt⟩ ) )⟨err=err17⟩)",
    R"(functionstmt ⟨node=function⟩ := functionheading block)",
    R"(functionheading := FUNCTION ident⟨add=name err=err2⟩ formalparameters)",
    R"(formalparameters ⟨node=parameters⟩ := '(' { formalparam } sep ',' ')'⟨err=err7⟩)",
    R"(formalparam ⟨node=var⟩ := [ '&'⟨add=varparam⟩ ] ident⟨add=ident⟩)",
    R"(withstmt ⟨node=with⟩ := WITH '(' designator⟨err=err2⟩ ')'⟨err=err7⟩ statement)",
};

const char* const kCppScriptRules[] = {
    R"(empty := (empty))",
    R"(program := [ usesclause ] { declsection } compoundstmt⟨err=err10⟩)",
    R"(usesclause ⟨node=uses⟩ := '#' INCLUDE { string⟨add=file err=err1⟩ }+ sep ',')",
    R"(declsection := ( constsection | functiondecl | ( varstmt ';'⟨err=err5⟩ ) ))",
    R"(constsection := '#' DEFINE⟨err=err13⟩ constantdecl)",
    R"(constantdecl ⟨node=const⟩ := ident⟨add=ident err=err1⟩ expression⟨err=err2⟩)",
    R"(varstmt ⟨node=var⟩ := ident⟨add=type⟩ { ident⟨add=ident⟩ [ array ] [ initvalue ] }+ sep ',')",
    R"(array ⟨node=array⟩ := { '[' { arraydim⟨err=err2⟩ } sep ',' ']'⟨err=err8⟩ }+)",
    R"(arraydim ⟨node=dim⟩ := expression)",
    R"(initvalue ⟨node=init⟩ := '=' expression⟨err=err2⟩)",
    R"(expression ⟨node=expr⟩ := simpleexpression { relop simpleexpression })",
    R"(simpleexpression := [ '-'⟨add=op addtext=unminus⟩ ] term { addop term })",
    R"(term := factor { mulop factor })",
    R"(factor := ( designator | number⟨add=number⟩ | string⟨add=string⟩ | ( '('⟨add=op⟩ expression⟨err=err2⟩ ')'⟨add=op err=err7⟩ ) | ( '!'⟨add=op addtext=not⟩ factor⟨err=err2⟩ ) | ( '[' setconstructor⟨err=err2⟩ ']'⟨err=err8⟩ ) | newoperator | ( '<' frstring '>'⟨err=err20⟩ ) ))",
    R"(setconstructor ⟨node=set⟩ := { setnode }+ sep ',')",
    R"(setnode := expression [ '.' '.'⟨add=range⟩ expression ])",
    R"(newoperator ⟨node=new⟩ := NEW designator⟨err=err2⟩)",
    R"(relop := ( ( '>' '='⟨skip=0 add=op addtext='>='⟩ ) | ( '<' '='⟨skip=0 add=op addtext='<='⟩ ) | '>'⟨add=op addtext='>'⟩ | '<'⟨add=op addtext='<'⟩ | ( '=' '='⟨skip=0 add=op addtext='='⟩ ) | ( '!' '='⟨skip=0 add=op addtext='<>'⟩ ) | IN⟨add=op addtext=in⟩ | IS⟨add=op addtext=is⟩ ))",
    R"(addop := ( '+'⟨add=op⟩ | '-'⟨add=op⟩ | ( '|' '|'⟨add=op addtext=or⟩ ) | '^'⟨add=op addtext=xor⟩ ))",
    R"(mulop := ( '*'⟨add=op⟩ | '/'⟨add=op⟩ | DIV⟨add=op addtext=div⟩ | '%'⟨add=op addtext=mod⟩ | ( '&' '&'⟨add=op addtext=and⟩ ) | ( '<' '<'⟨skip=0 add=op addtext=shl⟩ ) | ( '>' '>'⟨skip=0 add=op addtext=shr⟩ ) ))",
    R"(designator ⟨node=dsgn⟩ := [ '&'⟨add=addr⟩ ] ident⟨add=node⟩ { ( ( '.' keyword⟨add=node⟩ ) | ( '['⟨add=node⟩ exprlist⟨err=err2⟩ ']'⟨err=err8⟩ { '[' exprlist⟨err=err2⟩ ']'⟨err=err8⟩ } ) | ( '(' [ exprlist ] ')'⟨err=err7⟩ ) ) })",
    R"(exprlist := { expression }+ sep ',')",
    R"(statement := ( ( simplestatement ';'⟨err=err5⟩ ) | structstmt | emptystmt )?)",
    R"(emptystmt ⟨node=empty⟩ := ';')",
    R"(stmtlist := { statement }+)",
    R"(simplestatement := ( deletestmt | varstmt | returnstmt | BREAK⟨node=break⟩ | CONTINUE⟨node=continue⟩ | EXIT⟨node=exit⟩ | assignstmt | callstmt ))",
    R"(deletestmt ⟨node=delete⟩ := DELETE designator⟨err=err2⟩)",
    R"(assignstmt ⟨node=assignstmt⟩ := designator ( ( '+'⟨opt=1 add=modificator⟩ '='⟨skip=0⟩ ) | ( '-'⟨opt=1 add=modificator⟩ '='⟨skip=0⟩ ) | ( '*'⟨opt=1 add=modificator⟩ '='⟨skip=0⟩ ) | ( '/'⟨opt=1 add=modificator⟩ '='⟨skip=0⟩ ) | '=' ) expression⟨err=err2⟩)",
    R"(callstmt ⟨node=callstmt⟩ := designator ( ( '+' '+'⟨skip=0 add=modificator⟩ ) | ( '-' '-'⟨skip=0 add=modificator⟩ ) )?)",
    R"(returnstmt ⟨node=return⟩ := RETURN [ expression ])",
    R"(structstmt := ( compoundstmt | conditionalstmt | loopstmt | trystmt ))",
    R"(compoundstmt ⟨node=compoundstmt⟩ := '{' [ stmtlist ] '}'⟨err=err11⟩)",
    R"(conditionalstmt := ( ifstmt | casestmt ))",
    R"(ifstmt ⟨node=ifstmt⟩ := IF '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ statement⟨node=thenstmt⟩ [ ELSE statement⟨node=elsestmt⟩ ])",
    R"(casestmt ⟨node=casestmt⟩ := SWITCH '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ '{'⟨err=err10⟩ { caseselector }+ [ DEFAULT ':'⟨err=err4⟩ statement ] '}'⟨err=err11⟩)",
    R"(caseselector ⟨node=caseselector⟩ := CASE setconstructor⟨err=err2⟩ ':'⟨err=err4⟩ statement)",
    R"(loopstmt := ( repeatstmt | whilestmt | forstmt ))",
    R"(repeatstmt ⟨node=repeatstmt⟩ := DO statement [ ';' ] WHILE⟨err=err14⟩ '('⟨err=err12⟩ expression⟨err=err2⟩ empty⟨add=inverse⟩ ')'⟨err=err7⟩ ';'⟨err=err5⟩)",
    R"(whilestmt ⟨node=whilestmt⟩ := WHILE '('⟨err=err12⟩ expression⟨err=err2⟩ ')'⟨err=err7⟩ statement)",
    R"(forstmt ⟨node=cppforstmt⟩ := FOR '('⟨err=err12⟩ forcompoundstmt ';'⟨err=err5⟩ expression⟨err=err2⟩ ';'⟨err=err5⟩ forcompoundstmt ')'⟨err=err7⟩ statement)",
    R"(forcompoundstmt ⟨node=compoundstmt⟩ := { forstmtitem }+ sep ',')",
    R"(forstmtitem := ( assignstmt | varstmt | callstmt | empty⟨node=empty⟩ ))",
    R"(trystmt ⟨node=trystmt⟩ := TRY compoundstmt ( ( FINALLY compoundstmt⟨node=finallystmt⟩ ) | ( EXCEPT compoundstmt⟨node=exceptstmt⟩ ) )⟨err=err17⟩)",
    R"(functiondecl ⟨node=function⟩ := functionheading compoundstmt)",
    R"(functionheading := ident⟨add=type⟩ ident⟨add=name⟩ formalparameters)",
    R"(formalparameters ⟨node=parameters⟩ := '(' { formalparam } sep ',' ')'⟨err=err7⟩)",
    R"(formalparam ⟨node=var⟩ := ident⟨add=type⟩ [ '&'⟨add=varparam⟩ ] ident⟨add=ident err=err1⟩ [ initvalue ])",
};

}  // namespace

TEST(JScriptGrammar, IsOneLineWithHeaderAndRoot) {
  const std::string& text = fsGetLanguage("jscript");
  EXPECT_EQ(text, fsJScriptGrammar());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?><language text=\"JScript\"><parser>", 0), 0u);
  auto doc = LoadGrammar("JScript");
  EXPECT_EQ(doc->Root()->Name, "language");
  EXPECT_EQ(doc->Root()->Text, "text=\"JScript\"");
}

TEST(JScriptGrammar, ParserOptionsKeywordsAndErrors) {
  auto doc = LoadGrammar("JScript");
  TfsXMLItem* parser = doc->Root()->Items(0);
  std::vector<std::string> options = ChildTexts(*parser);
  ASSERT_EQ(options.size(), 8u);
  options.resize(6);
  EXPECT_EQ(options, (std::vector<std::string>{"commentline1=text=\"//\"", "commentblock1=text=\"/*,*/\"",
                                               "commentblock2=text=\"/*,*/\"", "stringquotes=text=\"&#34;\"",
                                               "hexsequence=text=\"0x\"", "declarevars=text=\"0\""}));
  EXPECT_EQ(
      ChildNames(*parser->Items(6)),
      (std::vector<std::string>{"break",   "case",   "continue", "default", "delete", "do",  "else", "except",
                                "finally", "for",    "function", "import",  "in",     "is",  "if",   "new",
                                "return",  "switch", "try",      "var",     "while",  "with"}));
  EXPECT_EQ(parser->Items(6)->Name, "keywords");
  EXPECT_EQ(parser->Items(7)->Name, "errors");
  EXPECT_EQ(ChildTexts(*parser->Items(7)), kErrorTable);
  EXPECT_EQ(parser->Items(7)->FindItem("err20")->GetProp("text"), "'>' expected");
  EXPECT_EQ(doc->Root()->Items(1)->Count(), 0);
  EXPECT_EQ(doc->Root()->Items(1)->Text, "");
}

TEST(JScriptGrammar, RulesMatchTheNotation) {
  auto doc = LoadGrammar("JScript");
  ExpectRules(*doc->Root(), kJScriptRules);
}

TEST(CppScriptGrammar, IsOneLineWithHeaderAndRoot) {
  const std::string& text = fsGetLanguage("C++Script");
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?><language text=\"C++Script\"><parser>", 0), 0u);
}

TEST(CppScriptGrammar, ParserOptionsKeywordsErrorsAndTypes) {
  auto doc = LoadGrammar("C++Script");
  TfsXMLItem* parser = doc->Root()->Items(0);
  std::vector<std::string> options = ChildTexts(*parser);
  ASSERT_EQ(options.size(), 8u);
  options.resize(6);
  EXPECT_EQ(options, (std::vector<std::string>{"commentline1=text=\"//\"", "commentblock1=text=\"/*,*/\"",
                                               "commentblock2=text=\"/*,*/\"", "stringquotes=text=\"&#34;\"",
                                               "hexsequence=text=\"0x\"", "casesensitive=text=\"1\""}));
  EXPECT_EQ(ChildNames(*parser->Items(6)),
            (std::vector<std::string>{"break", "case", "continue", "define", "default", "delete", "do",
                                      "else", "except", "finally", "for", "in", "is", "if", "new", "return",
                                      "switch", "try", "while"}));
  std::vector<std::string> errors = kErrorTable;
  errors.insert(errors.begin() + 12, "err13=text=\"'DEFINE' expected\"");
  EXPECT_EQ(ChildTexts(*parser->Items(7)), errors);
  EXPECT_EQ(
      ChildTexts(*doc->Root()->Items(1)),
      (std::vector<std::string>{"int=type=\"integer\"", "long=type=\"integer\"", "void=type=\"integer\"",
                                "bool=type=\"boolean\"", "float=type=\"extended\""}));
}

TEST(CppScriptGrammar, RulesMatchTheNotation) {
  auto doc = LoadGrammar("C++Script");
  ExpectRules(*doc->Root(), kCppScriptRules);
}

TEST(GrammarNotation, ReaderBuildsTheDocumentedElements) {
  // The reader itself, on a rule that uses every construct.
  TElement rule =
      TNotationReader("r ⟨node=n⟩ := 'x'⟨err=e1⟩ IF ( a | b )? [ c ] { d }+ sep ',' ( e f )").ReadRule();
  EXPECT_EQ(rule.Name, "r");
  EXPECT_EQ(RawAttributes(rule), "node=\"n\"");
  ASSERT_EQ(rule.Children.size(), 6u);
  EXPECT_EQ(RawAttributes(rule.Children[0]), "text=\"x\" err=\"e1\"");
  EXPECT_EQ(RawAttributes(rule.Children[1]), "text=\"IF\"");
  EXPECT_EQ(rule.Children[2].Name, "optionalswitch");
  EXPECT_EQ(rule.Children[3].Name, "optional");
  EXPECT_EQ(rule.Children[4].Name, "loop");
  EXPECT_EQ(RawAttributes(rule.Children[4]), "text=\",\"");
  EXPECT_EQ(rule.Children[5].Name, "sequence");
}
