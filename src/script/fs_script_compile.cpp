// Compiling a program: the grammar-driven parser turns Lines into the intermediate tree and the
// builder turns that tree into items and statements.
#include <istream>
#include <ostream>

#include "script/fs_il_parser.h"
#include "script/fs_languages.h"
#include "script/fs_script.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

bool TfsScript::Compile() {
  ErrorText.clear();
  TfsILParser parser(*this);
  parser.SelectLanguage(SyntaxType);
  if (parser.MakeILScript(LinesText())) parser.ParseILScript();
  if (!ErrorText.empty()) return false;
  ErrorPlace.clear();
  return true;
}

bool TfsScript::GetILCode(std::ostream& stream) {
  ErrorText.clear();
  TfsILParser parser(*this);
  parser.SelectLanguage(SyntaxType);
  if (parser.MakeILScript(LinesText())) parser.ILScript().SaveToStream(stream);
  if (!ErrorText.empty()) return false;
  ErrorPlace.clear();
  return true;
}

bool TfsScript::SetILCode(std::istream& stream) {
  ErrorText.clear();
  TfsILParser parser(*this);
  // The tree carries no parser settings: the program's language, when registered, supplies
  // whether names must be declared and its type table.
  std::vector<std::string> languages;
  fsGetLanguageList(languages);
  for (const std::string& name : languages)
    if (AnsiSameText(name, SyntaxType)) parser.SelectLanguage(SyntaxType);
  parser.ILScript().LoadFromStream(stream);
  parser.ParseILScript();
  if (!ErrorText.empty()) return false;
  ErrorPlace.clear();
  return true;
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
