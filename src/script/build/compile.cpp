// Compiling a program: the grammar-driven parser turns Lines into the intermediate tree and the
// builder turns that tree into items and statements.
#include <istream>
#include <ostream>

#include "script/build/il_builder.h"
#include "script/front/il_parser.h"
#include "script/front/languages.h"
#include "script/lib/modules.h"
#include "script/program/script.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

// The program's unit provider in the parser's form; none leaves imports to files.
TfsGetUnitText UnitProvider(TfsScript& program) {
  if (!program.OnGetUnit) return nullptr;
  return [&program](const std::string& name, std::string& text) { program.OnGetUnit(program, name, text); };
}

// Parses the program's lines in its language; the first syntax error goes to its error fields.
bool Parse(TfsScript& program, TfsILParser& parser) {
  parser.WideIdentifiers = program.WideIdentifiers;
  parser.SelectLanguage(program.SyntaxType);
  program.ErrorUnitName.clear();
  bool parsed = parser.MakeILScript(program.LinesText());
  program.ErrorText = parser.ErrorText();
  program.ErrorPlace = parser.ErrorPlace();
  program.ErrorUnitName = parser.ErrorUnitName();
  return parsed;
}

// False, with the place of the error kept, when parsing or building failed.
bool Succeeded(TfsScript& program) {
  if (!program.ErrorText.empty()) return false;
  program.ErrorPlace.clear();
  return true;
}

}  // namespace

bool TfsScript::Compile() {
  ErrorText.clear();
  TfsILParser parser(UnitProvider(*this));
  if (Parse(*this, parser)) TfsILBuilder(*this, parser).Build(*parser.ILScript().Root());
  return Succeeded(*this);
}

bool TfsScript::Run() {
  bool ok = Compile();
  if (ok) Execute();
  return ok;
}

bool TfsScript::GetILCode(std::ostream& stream) {
  ErrorText.clear();
  TfsILParser parser(UnitProvider(*this));
  if (Parse(*this, parser)) parser.ILScript().SaveToStream(stream);
  return Succeeded(*this);
}

bool TfsScript::SetILCode(std::istream& stream) {
  ErrorText.clear();
  TfsILParser parser(UnitProvider(*this));
  parser.WideIdentifiers = WideIdentifiers;
  // The tree carries no parser settings: the program's language, when registered, supplies
  // whether names must be declared and its type table.
  std::vector<std::string> languages;
  fsGetLanguageList(languages);
  for (const std::string& name : languages)
    if (AnsiSameText(name, SyntaxType)) parser.SelectLanguage(SyntaxType);
  parser.ILScript().LoadFromStream(stream);
  TfsILBuilder(*this, parser).Build(*parser.ILScript().Root());
  return Succeeded(*this);
}

Variant TfsScript::Evaluate(const std::string& expression) {
  TfsScript* scope = RunningProg != nullptr ? RunningProg : this;
  TfsScript temp;
  temp.AddRTTI();
  temp.Parent = scope;
  TfsRunLineEvent savedRunLine = std::move(OnRunLine);
  OnRunLine = nullptr;
  struct Restore {
    TfsScript* self;
    TfsRunLineEvent& saved;
    ~Restore() { self->OnRunLine = std::move(saved); }
  } restore{this, savedRunLine};
  temp.Lines = {"function __f__: Variant; begin Result := " + expression + " end; begin end."};
  if (!temp.Compile()) return Variant(temp.ErrorText);
  TfsCustomVariable* f = temp.FindLocal("__f__");
  return f != nullptr ? f->GetValue() : Variant::Null();
}

}  // namespace kelvo
