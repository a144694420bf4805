#include "script/build/il_builder.h"

#include <new>
#include <sstream>
#include <typeinfo>

#include "script/front/literals.h"
#include "script/program/declarations.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "script/value/position.h"
#include "script/value/stack_guard.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

std::string Lower(const std::string& s) {
  return LowerCase(s);
}
std::string NameOf(const TfsXMLItem& e) {
  return LowerCase(e.Name);
}

[[noreturn]] void Fail(const std::string& message) {
  throw Exception(message);
}

TfsXMLItem* ChildOrNull(const TfsXMLItem& e, int i) {
  return i >= 0 && i < e.Count() ? e.Items(i) : nullptr;
}

TfsXMLItem& Child(const TfsXMLItem& e, int i) {
  TfsXMLItem* c = ChildOrNull(e, i);
  if (c == nullptr) Fail("Invalid file format");
  return *c;
}

}  // namespace

void TfsILBuilder::Build(TfsXMLItem& root) {
  TfsScript& program = FProgram;
  FWithList.clear();
  program.ErrorUnitName.clear();
  FUnitName.clear();
  try {
    DoProgram(root, program);
    program.ErrorPlace.clear();
  } catch (const Exception& e) {
    program.ErrorText = e.Message().empty() ? std::string(e.ClassName()) : e.Message();
    program.ErrorPlace = FErrorPos;
    program.ErrorUnitName = FUnitName;
  } catch (const std::bad_alloc&) {
    program.ErrorText = EOutOfMemory().Message();
    program.ErrorPlace = FErrorPos;
    program.ErrorUnitName = FUnitName;
  }
}

void TfsILBuilder::ErrorPos(const TfsXMLItem& element) {
  std::string pos = element.GetProp("pos");
  if (!pos.empty()) FErrorPos = pos;
}

void TfsILBuilder::Append(TfsStatement& list, std::unique_ptr<TfsStatement> stmt, const std::string& pos) {
  list.Add(std::move(stmt));
  FProgram.AddCodeLine(FUnitName, pos);
}

// --- programs and statement lists

void TfsILBuilder::DeclarePass(TfsXMLItem& element, TfsScript& prog) {
  CheckStackSpace();
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& child = *element.Items(i);
    std::string name = NameOf(child);
    if (name == "compoundstmt") {
      DeclarePass(child, prog);
    } else if (name == "procedure") {
      DoProc1(child, prog, false);
    } else if (name == "function") {
      DoProc1(child, prog, true);
    }
  }
}

void TfsILBuilder::DoProgram(TfsXMLItem& element, TfsScript& prog) {
  TfsXMLItem* savedTypes = FProgTypes;
  int types = element.Find("types");
  FProgTypes = types >= 0 ? element.Items(types) : nullptr;
  DeclarePass(element, prog);
  DoCompoundStmt(element, prog, prog.RootStatement());
  FProgTypes = savedTypes;
}

// The intermediate tree of a statement is not read again once the statement is built: its
// elements are freed at once, so that a long program is never held twice in memory. (The element
// itself stays, and so does the program's table of types.)
void TfsILBuilder::DoCompoundStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& child = *element.Items(i);
    DoStmt(child, prog, stmt);
    if (&child != FProgTypes) child.Clear();
  }
}

void TfsILBuilder::DoStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  CheckStackSpace();
  ErrorPos(element);
  std::string name = NameOf(element);
  if (name == "compoundstmt") return DoCompoundStmt(element, prog, stmt);
  if (name == "assignstmt") return DoAssign(element, prog, stmt);
  if (name == "callstmt") return DoCall(element, prog, stmt);
  if (name == "ifstmt") return DoIf(element, prog, stmt);
  if (name == "casestmt") return DoCase(element, prog, stmt);
  if (name == "forstmt") return DoFor(element, prog, stmt);
  if (name == "vbforstmt") return DoVbFor(element, prog, stmt);
  if (name == "cppforstmt") return DoCppFor(element, prog, stmt);
  if (name == "whilestmt") return DoWhile(element, prog, stmt);
  if (name == "repeatstmt") return DoRepeat(element, prog, stmt);
  if (name == "trystmt") return DoTry(element, prog, stmt);
  if (name == "break")
    return DoJump(element, prog, stmt,
                  std::make_unique<TfsBreakStmt>(&prog, element.GetProp("pos"), FUnitName));
  if (name == "continue")
    return DoJump(element, prog, stmt,
                  std::make_unique<TfsContinueStmt>(&prog, element.GetProp("pos"), FUnitName));
  if (name == "exit")
    return DoJump(element, prog, stmt,
                  std::make_unique<TfsExitStmt>(&prog, element.GetProp("pos"), FUnitName));
  if (name == "return") return DoReturn(element, prog, stmt);
  if (name == "with") return DoWith(element, prog, stmt);
  if (name == "delete") return DoDelete(element, prog, stmt);
  if (name == "uses") return DoUses(element, prog);
  if (name == "var") return DoVar(element, prog, &stmt);
  if (name == "const") return DoConst(element, prog);
  if (name == "procedure") return DoProc2(element, prog, false);
  if (name == "function") return DoProc2(element, prog, true);
}

// --- statements

void TfsILBuilder::DoAssign(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  std::unique_ptr<TfsDesignator> designator = DoDesignator(Child(element, 0), prog, emNone);
  int exprIndex = 1;
  std::string modificator;
  if (TfsXMLItem* c = ChildOrNull(element, 1); c != nullptr && NameOf(*c) == "modificator") {
    modificator = c->GetProp("text");
    exprIndex = 2;
  }
  std::unique_ptr<TfsExpression> expression = DoExpression(Child(element, exprIndex), prog);
  ErrorPos(element);
  if (designator->ReadOnly) Fail("Left side cannot be assigned to");
  CheckTypeCompatibility(*designator, *expression);
  if (modificator.empty()) {
    std::string m = expression->Optimize(designator.get());
    if (m != " ") modificator = m;
  }
  std::unique_ptr<TfsAssignmentStmt> s;
  char kind = modificator.empty() ? ' ' : modificator[0];
  switch (kind) {
    case '*':
      s = std::make_unique<TfsAssignMulStmt>(&prog, pos, FUnitName);
      break;
    case '+':
      s = std::make_unique<TfsAssignPlusStmt>(&prog, pos, FUnitName);
      break;
    case '-':
      s = std::make_unique<TfsAssignMinusStmt>(&prog, pos, FUnitName);
      break;
    case '/':
      s = std::make_unique<TfsAssignDivStmt>(&prog, pos, FUnitName);
      break;
    default:
      s = std::make_unique<TfsAssignmentStmt>(&prog, pos, FUnitName);
      break;
  }
  s->IntOnly = designator->VarType == fvtInt && expression->Root->VarType == fvtInt;
  s->Designator = std::move(designator);
  s->Expression = std::move(expression);
  s->Optimize();
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoCall(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsCallStmt>(&prog, pos, FUnitName);
  s->Designator = DoDesignator(Child(element, 0), prog, emNone);
  if (TfsXMLItem* c = ChildOrNull(element, 1)) {
    s->Modifier = c->GetProp("text");
    s->IntOnly = s->Designator->VarType == fvtInt;
    ErrorPos(element);
    if (s->Designator->ReadOnly) Fail("Left side cannot be assigned to");
  }
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoIf(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsIfStmt>(&prog, pos, FUnitName);
  s->Condition = DoExpression(Child(element, 0), prog);
  for (int i = 1; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    std::string name = NameOf(c);
    if (name == "thenstmt") DoCompoundStmt(c, prog, *s);
    if (name == "elsestmt") DoCompoundStmt(c, prog, *s->ElseStmt);
  }
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoCase(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsCaseStmt>(&prog, pos, FUnitName);
  s->Condition = DoExpression(Child(element, 0), prog);
  for (int i = 1; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    if (NameOf(c) != "caseselector") {
      if (i == element.Count() - 1) DoStmt(c, prog, *s->ElseStmt);
      continue;
    }
    if (c.Count() != 2) continue;
    ErrorPos(c);
    auto selector = std::make_unique<TfsCaseSelector>(&prog, c.GetProp("pos"), FUnitName);
    selector->SetExpression = DoSet(*c.Items(0), prog);
    DoStmt(*c.Items(1), prog, *selector);
    s->Add(std::move(selector));
  }
  Append(stmt, std::move(s), pos);
}

namespace {

TfsCustomVariable* CheckLoopVariable(TfsCustomVariable* v) {
  bool numeric = v != nullptr && dynamic_cast<TfsVariable*>(v) != nullptr &&
                 (v->VarType == fvtInt || v->VarType == fvtFloat || v->VarType == fvtVariant);
  if (!numeric) Fail("For loop variable must be numeric variable");
  return v;
}

}  // namespace

void TfsILBuilder::DoFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsForStmt>(&prog, pos, FUnitName);
  s->Variable = CheckLoopVariable(FindVar(prog, Child(element, 0).GetProp("text")));
  s->BeginValue = DoExpression(Child(element, 1), prog);
  CheckTypeCompatibility(*s->Variable, *s->BeginValue);
  int next = 2;
  if (NameOf(Child(element, 2)) == "downto") {
    s->Down = true;
    next = 3;
  }
  s->EndValue = DoExpression(Child(element, next), prog);
  CheckTypeCompatibility(*s->Variable, *s->EndValue);
  if (TfsXMLItem* body = ChildOrNull(element, next + 1)) DoStmt(*body, prog, *s);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoVbFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsVbForStmt>(&prog, pos, FUnitName);
  s->Variable = CheckLoopVariable(FindVar(prog, Child(element, 0).GetProp("text")));
  s->BeginValue = DoExpression(Child(element, 1), prog);
  CheckTypeCompatibility(*s->Variable, *s->BeginValue);
  s->EndValue = DoExpression(Child(element, 2), prog);
  CheckTypeCompatibility(*s->Variable, *s->EndValue);
  int next = 3;
  if (TfsXMLItem* c = ChildOrNull(element, 3); c != nullptr && NameOf(*c) == "expr") {
    s->Step = DoExpression(*c, prog);
    CheckTypeCompatibility(*s->Variable, *s->Step);
    next = 4;
  }
  if (TfsXMLItem* body = ChildOrNull(element, next)) DoStmt(*body, prog, *s);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoCppFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsCppForStmt>(&prog, pos, FUnitName);
  DoStmt(Child(element, 0), prog, *s->FirstStmt);
  s->Condition = DoExpression(Child(element, 1), prog);
  DoStmt(Child(element, 2), prog, *s->SecondStmt);
  if (TfsXMLItem* body = ChildOrNull(element, 3)) DoStmt(*body, prog, *s);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoWhile(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsWhileStmt>(&prog, pos, FUnitName);
  s->Condition = DoExpression(Child(element, 0), prog);
  if (TfsXMLItem* body = ChildOrNull(element, 1)) DoStmt(*body, prog, *s);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoRepeat(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsRepeatStmt>(&prog, pos, FUnitName);
  int last = element.Count() - 1;
  if (last < 0) Fail("Invalid file format");
  int condition = last;
  if (NameOf(*element.Items(last)) == "inverse") {
    s->InverseCondition = true;
    condition = last - 1;
  }
  for (int i = 0; i < condition; ++i) DoStmt(*element.Items(i), prog, *s);
  s->Condition = DoExpression(Child(element, condition), prog);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoTry(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsTryStmt>(&prog, pos, FUnitName);
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    std::string name = NameOf(c);
    if (name == "exceptstmt") {
      s->IsExcept = true;
      DoCompoundStmt(c, prog, *s->ExceptStmt);
    } else if (name == "finallystmt") {
      DoCompoundStmt(c, prog, *s->ExceptStmt);
    } else {
      DoStmt(c, prog, *s);
    }
  }
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoJump(TfsXMLItem& element, TfsScript&, TfsStatement& stmt,
                          std::unique_ptr<TfsStatement> jump) {
  Append(stmt, std::move(jump), element.GetProp("pos"));
}

void TfsILBuilder::DoReturn(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  if (element.Count() == 1) {
    // return value  ->  Result = value; exit
    TfsXMLItem& value = *element.Items(0);
    std::string valuePos = value.GetProp("pos");
    TfsXMLItem assign;
    assign.Name = "assignstmt";
    assign.SetProp("pos", element.GetProp("pos"));
    TfsXMLItem* dsgn = assign.Add();
    dsgn->Name = "dsgn";
    dsgn->SetProp("pos", valuePos);
    TfsXMLItem* node = dsgn->Add();
    node->Name = "node";
    node->SetProp("text", "Result");
    node->SetProp("pos", valuePos);
    assign.Add()->Assign(&value);
    DoAssign(assign, prog, stmt);
    // A plain assignment leaves the function itself, saving a statement per call.
    TfsObject* last = stmt.Get(stmt.Count() - 1);
    if (typeid(*last) == typeid(TfsAssignmentStmt)) {
      static_cast<TfsAssignmentStmt*>(last)->ExitAfter = true;
      return;
    }
  }
  ErrorPos(element);
  DoJump(element, prog, stmt, std::make_unique<TfsExitStmt>(&prog, element.GetProp("pos"), FUnitName));
}

void TfsILBuilder::DoWith(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::size_t listSize = FWithList.size();
  int n = element.Count();
  for (int i = 0; i < n - 1; ++i) {
    TfsXMLItem& c = *element.Items(i);
    std::unique_ptr<TfsDesignator> d = DoDesignator(c, prog, emNone);
    if (d->VarType != fvtClass && d->VarType != fvtVariant) Fail("Class type required");
    // Hidden names stay in the program once added, so the search for the first free one goes on
    // from where it stopped last time in this program.
    std::string name;
    for (int& k = FNextHiddenName[&prog];; ++k) {
      name = std::to_string(k);
      bool inList = false;
      for (const auto& entry : FWithList) inList = inList || entry.first == name;
      if (prog.FindLocal(name) == nullptr && !inList) break;
    }
    auto* variable = prog.Add(name, std::make_unique<TfsVariable>(name, d->VarType, d->TypeName));
    std::string pos = c.GetProp("pos");
    auto s = std::make_unique<TfsWithStmt>(&prog, pos, FUnitName);
    s->Variable = variable;
    s->Designator = std::move(d);
    TfsWithStmt* raw = s.get();
    Append(stmt, std::move(s), pos);
    FWithList.emplace_back(name, raw);
  }
  if (n > 0) DoStmt(*element.Items(n - 1), prog, stmt);
  FWithList.resize(listSize);
}

void TfsILBuilder::DoDelete(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto s = std::make_unique<TfsCallStmt>(&prog, pos, FUnitName);
  s->Designator = DoDesignator(Child(element, 0), prog, emFree);
  Append(stmt, std::move(s), pos);
}

void TfsILBuilder::DoUses(TfsXMLItem& element, TfsScript& prog) {
  std::string savedUnit = FUnitName;
  FUnitName = element.GetProp("unit");
  std::string ilText;
  if (FProgram.OnGetILUnit) FProgram.OnGetILUnit(FProgram, FUnitName, ilText);
  if (!ilText.empty()) {
    TfsXMLDocument unit;
    unit.LoadFromString(ilText);
    DoProgram(*unit.Root(), prog);
  } else {
    for (int i = 0; i < element.Count(); ++i) DoProgram(*element.Items(i), prog);
  }
  FUnitName = savedUnit;
}

// --- declarations

void TfsILBuilder::DoVar(TfsXMLItem& element, TfsScript& prog, TfsStatement* stmt) {
  const TfsDeclaration declaration{element, element.Find("type")};
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    if (NameOf(c) != "ident") continue;
    ErrorPos(c);
    std::string name = c.GetProp("text");
    CheckIdent(prog, name);
    std::unique_ptr<TfsCustomVariable> v = CreateVar(declaration, i, prog, stmt, false, false);
    prog.Add(name, std::move(v));
  }
}

namespace {

// A fresh variable's value by its kind; arrays, variants and the rest start unassigned.
Variant InitialValue(TfsVarType kind) {
  switch (kind) {
    case fvtBool:
      return Variant(false);
    case fvtChar:
    case fvtString:
      return Variant(std::string());
    case fvtInt:
    case fvtFloat:
    case fvtClass:
      return Variant(0);
    default:
      return Variant::Null();
  }
}

}  // namespace

// array -> dim*; dim -> expr (bounds 0 .. n - 1) | expr expr (low .. high). Evaluated now.
std::vector<TVarArrayBound> TfsILBuilder::ArrayBounds(TfsXMLItem& arrayElement, TfsScript& prog) {
  std::vector<TVarArrayBound> bounds;
  for (int i = 0; i < arrayElement.Count(); ++i) {
    TfsXMLItem& dim = *arrayElement.Items(i);
    if (NameOf(dim) != "dim") continue;
    ErrorPos(dim);
    std::unique_ptr<TfsExpression> first = DoExpression(Child(dim, 0), prog);
    if (dim.Count() > 1) {
      std::unique_ptr<TfsExpression> second = DoExpression(*dim.Items(1), prog);
      bounds.push_back({first->GetValue().AsInteger(), second->GetValue().AsInteger()});
    } else {
      bounds.push_back({0, first->GetValue().AsInteger() - 1});
    }
  }
  if (bounds.empty()) bounds.push_back({0, 0});
  return bounds;
}

// `var x = e` assigns when the statement list runs: x := e, appended to the list.
void TfsILBuilder::AppendInitialAssignment(TfsXMLItem& element, TfsXMLItem& initElement, TfsScript& prog,
                                           TfsCustomVariable& variable, TfsStatement& stmt) {
  std::string pos = element.GetProp("pos");
  auto designator = std::make_unique<TfsVariableDesignator>(&prog);
  designator->AddStep(&variable, pos);
  designator->Finalize();
  std::unique_ptr<TfsExpression> e = DoExpression(Child(initElement, 0), prog);
  CheckTypeCompatibility(variable, *e);
  auto s = std::make_unique<TfsAssignmentStmt>(&prog, pos, FUnitName);
  s->Designator = std::move(designator);
  s->Expression = std::move(e);
  s->Optimize();
  Append(stmt, std::move(s), pos);
}

std::unique_ptr<TfsCustomVariable> TfsILBuilder::CreateVar(const TfsDeclaration& declaration, int identIndex,
                                                           TfsScript& prog, TfsStatement* stmt,
                                                           bool createParam, bool isVarParam) {
  TfsXMLItem& element = declaration.Element;
  const std::string name = element.Items(identIndex)->GetProp("text");
  std::string entryPos = FErrorPos;
  std::string typeName = "Variant";
  const int typeIndex = declaration.TypeIndex;
  bool typeAfterNames = false;
  if (typeIndex >= 0) {
    ErrorPos(*element.Items(typeIndex));
    typeName = element.Items(typeIndex)->GetProp("text");
    typeAfterNames = typeIndex != 0;
  }
  // The parts of a name follow its first mention among the children; only a type of the same name
  // can come before the name itself (a second equal name is refused before this).
  int start =
      typeIndex >= 0 && typeIndex < identIndex && AnsiSameText(typeName, name) ? typeIndex : identIndex;
  TfsVarType kind = FindType(typeName);
  Variant initial = InitialValue(kind);
  TfsXMLItem* arrayElement = nullptr;
  TfsXMLItem* initElement = nullptr;
  for (int i = start + 1; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    std::string cname = NameOf(c);
    if (!typeAfterNames && cname == "ident") break;
    if (cname == "array") arrayElement = &c;
    if (cname == "init") initElement = &c;
  }
  std::unique_ptr<TfsArrayHelper> helper;
  if (arrayElement != nullptr) {
    std::vector<TVarArrayBound> bounds = ArrayBounds(*arrayElement, prog);
    initial = Variant::CreateArray(bounds);
    helper = std::make_unique<TfsArrayHelper>("", static_cast<int>(bounds.size()), kind, typeName);
    kind = fvtArray;
  }
  bool hasInit = initElement != nullptr;
  if (hasInit && stmt == nullptr) {
    std::unique_ptr<TfsExpression> e = DoExpression(Child(*initElement, 0), prog);
    TfsVariable probe("", kind, typeName);
    CheckTypeCompatibility(probe, *e);
    initial = e->GetValue();
  }
  std::unique_ptr<TfsCustomVariable> v;
  if (createParam) {
    v = std::make_unique<TfsParamItem>(name, kind, typeName, hasInit, isVarParam);
  } else if (kind == fvtChar || kind == fvtString) {
    v = std::make_unique<TfsStringVariable>(name, kind, typeName);
  } else {
    v = std::make_unique<TfsVariable>(name, kind, typeName);
  }
  v->Value = initial;
  if (dynamic_cast<TfsStringVariable*>(v.get()) != nullptr) v->SetValue(initial);
  if (helper) v->Target = prog.Add(std::string(), std::move(helper));
  v->SourcePos = entryPos;
  if (hasInit && stmt != nullptr) AppendInitialAssignment(element, *initElement, prog, *v, *stmt);
  return v;
}

void TfsILBuilder::DoConst(TfsXMLItem& element, TfsScript& prog) {
  TfsXMLItem& nameElement = Child(element, 0);
  ErrorPos(nameElement);
  std::string name = nameElement.GetProp("text");
  CheckIdent(prog, name);
  std::unique_ptr<TfsExpression> e = DoExpression(Child(element, 1), prog);
  auto c = std::make_unique<TfsVariable>(name, e->VarType, e->TypeName);
  c->Value = e->GetValue();
  c->ReadOnly = true;
  prog.Add(name, std::move(c));
}

void TfsILBuilder::DoProc1(TfsXMLItem& element, TfsScript& prog, bool isFunction) {
  ErrorPos(element);
  std::string name;
  std::string typeName;
  TfsVarType kind = fvtVariant;
  bool returnsValue = isFunction;
  if (!isFunction) {
    TfsXMLItem& nameElement = Child(element, 0);
    ErrorPos(nameElement);
    name = nameElement.GetProp("text");
  } else {
    int n = element.Find("name");
    if (n >= 0) {
      ErrorPos(*element.Items(n));
      name = element.Items(n)->GetProp("text");
    }
    int t = element.Find("type");
    if (t >= 0) {
      ErrorPos(*element.Items(t));
      typeName = element.Items(t)->GetProp("text");
      // Decided on the name as written: the language's type table maps "void" to another name.
      returnsValue = !AnsiSameText(typeName, "void");
      kind = FindType(typeName);
    }
  }
  CheckIdent(prog, name);
  auto proc = std::make_unique<TfsProcVariable>(name, kind, typeName, &prog, returnsValue);
  proc->SourcePos = element.GetProp("pos");
  TfsProcVariable* raw = prog.Add(name, std::move(proc));
  for (int i = 0; i < element.Count(); ++i)
    if (NameOf(*element.Items(i)) == "parameters") DoParameters(*element.Items(i), *raw);
}

void TfsILBuilder::DoParameters(TfsXMLItem& element, TfsProcVariable& proc) {
  bool groupByRef = false;
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& group = *element.Items(i);
    std::string gname = NameOf(group);
    if (gname == "varparams") {
      groupByRef = true;
      continue;
    }
    if (gname != "var") continue;
    const TfsDeclaration declaration{group, group.Find("type")};
    bool nextByRef = false;
    for (int k = 0; k < group.Count(); ++k) {
      TfsXMLItem& c = *group.Items(k);
      std::string cname = NameOf(c);
      if (cname == "varparam") {
        nextByRef = true;
        continue;
      }
      if (cname != "ident") continue;
      ErrorPos(c);
      std::string name = c.GetProp("text");
      CheckIdent(*proc.LocalProg, name);
      std::unique_ptr<TfsCustomVariable> v =
          CreateVar(declaration, k, *proc.LocalProg, nullptr, true, groupByRef || nextByRef);
      auto* param = static_cast<TfsParamItem*>(v.release());
      param->DefaultValue = param->Value;
      proc.AddParam(std::unique_ptr<TfsParamItem>(param));
      proc.LocalProg->AddUnowned(name, param);
      nextByRef = false;
    }
    groupByRef = false;
  }
}

void TfsILBuilder::DoProc2(TfsXMLItem& element, TfsScript& prog, bool isFunction) {
  std::string name;
  if (!isFunction) {
    name = Child(element, 0).GetProp("text");
  } else if (int n = element.Find("name"); n >= 0) {
    name = element.Items(n)->GetProp("text");
  }
  // Only a procedure that the declaration pass created from this very element is built here: a
  // function written inside a statement (an if branch, a loop body) has none.
  auto* proc = dynamic_cast<TfsProcVariable*>(prog.FindLocal(name));
  if (proc == nullptr || proc->SourcePos != element.GetProp("pos")) {
    ErrorPos(element);
    Fail(FormatMessage("Function '%s' must be declared at the top level of a program or function body",
                       {name}));
  }
  DoProgram(element, *proc->LocalProg);
}

// --- expressions

void TfsILBuilder::CheckDepth(const TfsXMLItem& element, const TfsExpression& expr) {
  if (expr.Root->NodeDeeperThan(TfsExpression::kMaxDepth) == nullptr) return;
  ErrorPos(element);
  Fail("Nesting too deep");
}

void TfsILBuilder::AddExpressionChildren(TfsXMLItem& element, TfsScript& prog, TfsExpression& expr) {
  int n = element.Count();
  // A long chain of operators is refused while it is read, not after a million of its terms: the
  // depth is checked whenever the count of terms read doubles.
  int nextCheck = 2 * TfsExpression::kMaxDepth;
  for (int i = 0; i < n; ++i) {
    if (i == nextCheck) {
      CheckDepth(element, expr);
      nextCheck *= 2;
    }
    TfsXMLItem& c = *element.Items(i);
    ErrorPos(c);
    expr.SourcePos = c.GetProp("pos");
    std::string name = NameOf(c);
    if (name == "op") {
      std::string text = Lower(c.GetProp("text"));
      // An operator left over from an alternative the parser abandoned.
      if (text != ")" && i == n - 1) continue;
      expr.AddOperator(text);
    } else if (name == "number" || name == "string") {
      expr.AddConst(ParserStringToVariant(c.GetProp("text")));
    } else if (name == "dsgn") {
      expr.AddDesignator(DoDesignator(c, prog, emNone));
    } else if (name == "set") {
      expr.AddSet(DoSet(c, prog));
    } else if (name == "new") {
      expr.AddDesignator(DoDesignator(Child(c, 0), prog, emCreate));
    } else if (name == "expr") {
      CheckStackSpace();
      AddExpressionChildren(c, prog, expr);
    }
  }
}

std::unique_ptr<TfsExpression> TfsILBuilder::DoExpression(TfsXMLItem& element, TfsScript& prog) {
  CheckStackSpace();
  auto expr = std::make_unique<TfsExpression>(&FProgram);
  ErrorPos(element);
  expr->SourcePos = element.GetProp("pos");
  AddExpressionChildren(element, prog, *expr);
  CheckDepth(element, *expr);
  expr->SourceText = FParse.SourceBetween(element.GetProp("pos"), element.GetProp("pos1"));
  std::string errorPos = expr->Finalize();
  if (!errorPos.empty()) {
    FErrorPos = errorPos;
    Fail("Incompatible types");
  }
  return expr;
}

std::unique_ptr<TfsSetExpression> TfsILBuilder::DoSet(TfsXMLItem& element, TfsScript& prog) {
  auto set = std::make_unique<TfsSetExpression>();
  for (int i = 0; i < element.Count(); ++i) {
    TfsXMLItem& c = *element.Items(i);
    std::string name = NameOf(c);
    if (name == "expr") set->Add(DoExpression(c, prog));
    if (name == "range") set->AddEmpty();
  }
  return set;
}

}  // namespace kelvo
