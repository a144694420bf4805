// The builder's designators and name lookups.
#include "script/build/il_builder.h"
#include "script/program/declarations.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "script/value/stack_guard.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

[[noreturn]] void Fail(const std::string& message) {
  throw Exception(message);
}
std::string Quoted(const std::string& name) {
  return "'" + name + "'";
}

// Variables and parameters hold their value; every other item computes it (a call, a property).
bool HoldsValue(TfsCustomVariable* item) {
  return dynamic_cast<TfsVariable*>(item) != nullptr || dynamic_cast<TfsParamItem*>(item) != nullptr;
}

// The value of an item that can be read at build time without running anything.
Variant BuildTimeValue(TfsCustomVariable* item) {
  return HoldsValue(item) ? item->Value : Variant::Null();
}

// A copy of a dsgn element whose first node is replaced by a node naming hiddenName; the
// remaining children stay for binding at run time.
std::unique_ptr<TfsXMLItem> PendingCopy(const TfsXMLItem& element, const std::string& hiddenName,
                                        int dropFirst) {
  auto copy = std::make_unique<TfsXMLItem>();
  copy->Assign(&element);
  if (!hiddenName.empty()) {
    for (int i = 0; i < dropFirst && copy->Count() > 0; ++i) copy->Delete(0);
    TfsXMLItem* node = copy->InsertItem(0, std::make_unique<TfsXMLItem>());
    node->Name = "node";
    node->SetProp("text", hiddenName);
    node->SetProp("pos", element.GetProp("pos"));
  }
  return copy;
}

}  // namespace

std::unique_ptr<TfsDesignator> fsBuildDesignator(TfsXMLItem& element, TfsScript& prog) {
  static const TfsNoParseInfo noLanguage;
  TfsILBuilder builder(prog, noLanguage);
  std::unique_ptr<TfsDesignator> d = builder.DoDesignator(element, prog, emNone);
  if (d->PendingSource) throw EVariantInvalidOpError();  // the value is still null: nothing to bind to
  return d;
}

bool TfsILBuilder::BindWithScope(TfsXMLItem& element, TfsScript& prog, TfsDesignator& d,
                                 const std::string& text) {
  for (auto it = FWithList.rbegin(); it != FWithList.rend(); ++it) {
    TfsWithStmt* with = it->second;
    if (prog.FindLocal(it->first) != with->Variable) continue;
    if (with->Designator->VarType == fvtVariant) {
      if (prog.Find(text) != nullptr) return false;
      d.AddStep(with->Variable, FErrorPos);
      d.Finalize();
      d.PendingSource = PendingCopy(element, it->first, 0);
      d.LateBinder = fsBuildDesignator;
      return true;
    }
    TfsClassVariable* cls = prog.FindClass(with->Designator->TypeName);
    if (cls == nullptr) continue;
    if (TfsCustomVariable* member = cls->Find(text)) {
      d.AddStep(with->Variable, FErrorPos);
      d.AddStep(member, FErrorPos);
      return false;
    }
  }
  return false;
}

// The item the step after the previous one refers to, by the kind of what the previous step
// yields. Sets pending when the chain must be bound at run time, indexTaken when the arguments
// that follow belong to the previous step (an index property).
TfsCustomVariable* TfsILBuilder::NextStepRef(TfsXMLItem& element, TfsScript& prog, TfsDesignator& d,
                                             const std::string& text, bool& pending, bool& indexTaken) {
  TfsDesignatorItem* prev = d.Step(d.Count() - 1);
  TfsCustomVariable* prevRef = prev->Ref;
  TfsVarType kind = prevRef->VarType;
  auto* method = dynamic_cast<TfsMethodHelper*>(prevRef);
  bool indexProp = method != nullptr && method->IsIndexProp && !prev->IndexTaken;
  std::string objectClass;
  if (kind == fvtVariant && !indexProp) {
    // Reading a computed value would run it (a script's function sending to the modem) while
    // compiling: an index on it is applied to whatever it yields when the program runs.
    if (text == "[" && !HoldsValue(prevRef)) return FindVar(prog, "__IndexHelper");
    Variant value = BuildTimeValue(prevRef);
    if (value.IsNull() || value.IsEmpty()) {
      pending = true;
      return nullptr;
    }
    if (value.IsString()) {
      kind = fvtString;
    } else if (value.IsArray()) {
      if (text != "[") Fail("Index required");
      return FindVar(prog, "__ArrayHelper");
    } else {
      TfsHostObject* obj = VariantToObject(value);
      if (obj == nullptr) Fail(FormatMessage("Undeclared identifier: %s", {Quoted(text)}));
      kind = fvtClass;
      objectClass = obj->ClassType()->ClassName();
    }
  }
  if (indexProp) {
    prev->IndexTaken = true;
    indexTaken = true;
    FErrorPos = prev->SourcePos;
    if (text != "[") Fail("Index required");
    return nullptr;
  }
  if (kind == fvtString) {
    if (text != "[") Fail("Strings doesn't have properties or methods");
    return FindVar(prog, "__StringHelper");
  }
  if (kind == fvtClass) {
    TfsClassVariable* cls = FindClass(objectClass.empty() ? prevRef->TypeName : objectClass);
    if (text == "[") {
      if (cls->DefaultProperty == nullptr)
        Fail(FormatMessage("Class %s does not have a default property", {cls->Name}));
      return cls->DefaultProperty;
    }
    TfsCustomVariable* member = cls->Find(text);
    if (member == nullptr) Fail(FormatMessage("Undeclared identifier: %s", {Quoted(text)}));
    return member;
  }
  if (kind != fvtArray || prevRef->Target == nullptr) Fail("Array type required");
  (void)element;
  return prevRef->Target;
}

std::unique_ptr<TfsDesignator> TfsILBuilder::DoDesignator(TfsXMLItem& element, TfsScript& prog,
                                                          TfsEmitOp emitOp) {
  CheckStackSpace();
  auto d = std::make_unique<TfsDesignator>(&prog);
  ErrorPos(element);
  int n = element.Count();
  bool argsToPrevious = false;
  for (int ci = 0; ci < n; ++ci) {
    TfsXMLItem& child = *element.Items(ci);
    ErrorPos(child);
    std::string name = LowerCase(child.Name);
    std::string text = child.GetProp("text");
    if (name == "node") {
      argsToPrevious = false;
      if (d->Count() == 0) {
        if (BindWithScope(element, prog, *d, text)) return d;
        if (d->Count() == 0) d->AddStep(FindVar(prog, text), FErrorPos);
        if (emitOp == emCreate) {
          auto* cls = dynamic_cast<TfsClassVariable*>(d->Step(0)->Ref);
          if (cls == nullptr) Fail("Class type required");
          TfsCustomVariable* create = cls->Find("Create");
          if (create == nullptr) Fail(FormatMessage("Undeclared identifier: %s", {Quoted("Create")}));
          d->AddStep(create, FErrorPos);
        }
        continue;
      }
      bool pending = false;
      TfsCustomVariable* ref = NextStepRef(element, prog, *d, text, pending, argsToPrevious);
      if (pending) {
        d->Finalize();
        d->PendingSource = PendingCopy(element, "", 0);
        d->LateBinder = fsBuildDesignator;
        return d;
      }
      if (ref != nullptr) d->AddStep(ref, FErrorPos);
    } else if (name == "expr") {
      if (d->Count() == 0) Fail("Invalid file format");
      d->Step(d->Count() - 1)->Add(DoExpression(child, prog));
    } else if (name == "addr") {
      if (n != 2) Fail("Variable required");
      TfsXMLItem* other = element.Items(ci == 0 ? 1 : 0);
      if (LowerCase(other->Name) != "node") Fail("Variable required");
      auto* v = prog.Add(std::string(), std::make_unique<TfsStringVariable>("", fvtString, "String"));
      v->SetValue(Variant(other->GetProp("text")));
      d->AddStep(v, FErrorPos);
      break;
    }
  }
  if (d->Count() == 0) Fail("Invalid file format");
  if (emitOp == emFree) {
    TfsVarType kind = d->Step(d->Count() - 1)->Ref->VarType;
    if (kind != fvtClass && kind != fvtVariant) Fail("Class type required");
    TfsCustomVariable* freeMember = FindClass("TObject")->Find("Free");
    if (freeMember == nullptr) Fail(FormatMessage("Undeclared identifier: %s", {Quoted("Free")}));
    d->AddStep(freeMember, FErrorPos);
  }
  CheckArguments(*d);
  d->Finalize();
  return Specialise(std::move(d));
}

void TfsILBuilder::CheckArguments(TfsDesignator& d) {
  for (int i = 0; i < d.Count(); ++i) {
    TfsDesignatorItem* step = d.Step(i);
    TfsCustomVariable* ref = step->Ref;
    if (dynamic_cast<TfsDesignator*>(ref) != nullptr) continue;
    if (!step->SourcePos.empty()) FErrorPos = step->SourcePos;
    if (step->Count() < ref->GetNumberOfRequiredParams()) Fail("Not enough actual parameters");
    if (step->Count() > ref->ParamCount()) Fail("Too many actual parameters");
    for (int k = step->Count(); k < ref->ParamCount(); ++k) {
      auto e = std::make_unique<TfsExpression>(&FProgram);
      e->AddConst(ref->GetParam(k)->DefaultValue);
      e->Finalize();
      step->Add(std::move(e));
    }
    for (int k = 0; k < step->Count(); ++k) {
      if (!step->Arg(k)->SourcePos.empty()) FErrorPos = step->Arg(k)->SourcePos;
      CheckTypeCompatibility(*ref->GetParam(k), *step->Arg(k));
    }
  }
}

std::unique_ptr<TfsDesignator> TfsILBuilder::Specialise(std::unique_ptr<TfsDesignator> d) {
  std::unique_ptr<TfsDesignator> fast;
  switch (d->Kind) {
    case dkVariable:
      fast = std::make_unique<TfsVariableDesignator>(d->Prog);
      break;
    case dkCall:
      fast = std::make_unique<TfsCallDesignator>(d->Prog);
      break;
    case dkStringArray:
      fast = std::make_unique<TfsStringDesignator>(d->Prog);
      break;
    case dkArray:
      fast = std::make_unique<TfsArrayDesignator>(d->Prog);
      break;
    default:
      return d;
  }
  fast->Borrow(*d);
  fast->SourcePos = d->SourcePos;
  return fast;
}

// --- lookups

TfsCustomVariable* TfsILBuilder::FindVar(TfsScript& prog, const std::string& name) {
  if (TfsCustomVariable* item = prog.Find(name)) return item;
  if (FParse.NeedDeclareVars()) Fail(FormatMessage("Undeclared identifier: %s", {Quoted(name)}));
  return FProgram.Add(name, std::make_unique<TfsVariable>(name, fvtVariant, ""));
}

TfsVarType TfsILBuilder::FindType(std::string& typeName) {
  auto lookIn = [&](const TfsXMLItem* types) {
    if (types == nullptr) return false;
    int i = types->Find(typeName);
    if (i < 0) return false;
    typeName = types->Items(i)->GetProp("type");
    return true;
  };
  bool found = lookIn(FProgTypes);
  if (!found) lookIn(FParse.LanguageTypes());
  TfsVarType kind = StrToVarType(typeName, &FProgram);
  if (kind == fvtClass) FindClass(typeName);
  return kind;
}

TfsClassVariable* TfsILBuilder::FindClass(const std::string& name) {
  TfsClassVariable* cls = FProgram.FindClass(name);
  if (cls == nullptr) Fail(FormatMessage("Unknown type: %s", {Quoted(name)}));
  return cls;
}

void TfsILBuilder::CheckIdent(TfsScript& prog, const std::string& name) {
  if (prog.FindLocal(name) != nullptr) Fail(FormatMessage("Identifier redeclared: %s", {Quoted(name)}));
}

void TfsILBuilder::CheckTypeCompatibility(const TfsCustomVariable& target, const TfsCustomVariable& source) {
  if (!AssignCompatible(target, source, &FProgram))
    Fail("Incompatible types: '" + target.GetFullTypeName() + "', '" + source.GetFullTypeName() + "'");
}

}  // namespace kelvo
