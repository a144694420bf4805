// Host classes as program items, and the registration of host methods, objects, classes and
// components with a program.
#include <algorithm>
#include <utility>

#include "script/program/declarations.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

TfsTypeRec KindOfProperty(const TfsPropInfo& prop) {
  switch (prop.Kind) {
    case TfsPropKind::Integer:
      return TfsTypeRec(fvtInt, "");
    case TfsPropKind::Char:
      return TfsTypeRec(fvtChar, "");
    case TfsPropKind::Enumeration:
      if (AnsiSameText(prop.TypeName, "Boolean") || AnsiSameText(prop.TypeName, "bool"))
        return TfsTypeRec(fvtBool, prop.TypeName);
      return TfsTypeRec(fvtEnum, prop.TypeName);
    case TfsPropKind::Float:
      return TfsTypeRec(fvtFloat, "");
    case TfsPropKind::String:
      return TfsTypeRec(fvtString, "");
    case TfsPropKind::Set:
      return TfsTypeRec(fvtEnum, prop.TypeName);
    case TfsPropKind::Class:
      return TfsTypeRec(fvtClass, prop.TypeName);
    case TfsPropKind::Variant:
      return TfsTypeRec(fvtVariant, "");
    default:
      return TfsTypeRec(fvtInt, "");
  }
}

}  // namespace

TfsClassVariable::TfsClassVariable(TfsClassRef classRef, std::string ancestorName)
    : TfsCustomVariable(classRef->ClassName(), fvtClass, classRef->ClassName()),
      ClassRef(classRef),
      AncestorName(std::move(ancestorName)) {
  AddParam(std::make_unique<TfsParamItem>("", fvtVariant, "", true, false));
  for (TfsClassRef c = classRef; c != nullptr; c = c->ClassParent()) {
    for (const TfsPropInfo& prop : c->Properties()) {
      if (prop.Kind == TfsPropKind::Method) continue;
      TfsTypeRec kind = KindOfProperty(prop);
      auto member = std::make_unique<TfsPropertyHelper>(prop.Name, kind.VarType, kind.TypeName);
      member->Published = true;
      member->ReadOnly = !prop.Set;
      AddMember(std::move(member));
    }
  }
}

template <class T>
T* TfsClassVariable::AddMember(std::unique_ptr<T> member) {
  if constexpr (requires { member->ClassRef; }) member->ClassRef = ClassRef;
  return Members.Add(std::move(member));
}

Variant TfsClassVariable::GetValue() {
  Variant v = GetParam(0)->Value;
  GetParam(0)->Value = Variant::Null();
  // A class name applied to one argument is a type cast. Without one no instance is made (host
  // objects come from the host's own constructors): the value is null, and a following
  // constructor step (`new TClass(...)`) is called as a class function.
  return v;
}

TfsMethodHelper* TfsClassVariable::AddMethod(const std::string& syntax, TfsCallMethodEvent handler) {
  auto m = std::make_unique<TfsMethodHelper>(syntax, Prog);
  m->ParamsHandler = std::move(handler);
  return AddMember(std::move(m));
}

TfsMethodHelper* TfsClassVariable::AddMethod(const std::string& syntax, TfsCallMethodNewEvent handler) {
  auto m = std::make_unique<TfsMethodHelper>(syntax, Prog);
  m->CallerHandler = std::move(handler);
  return AddMember(std::move(m));
}

namespace {

std::string ConstructorAsFunction(const std::string& syntax) {
  std::size_t blank = syntax.find(' ');
  std::string rest = blank == std::string::npos ? std::string() : syntax.substr(blank);
  return "function" + rest + ": Constructor";
}

}  // namespace

TfsMethodHelper* TfsClassVariable::AddConstructor(const std::string& syntax, TfsCallMethodEvent handler) {
  return AddMethod(ConstructorAsFunction(syntax), std::move(handler));
}

TfsMethodHelper* TfsClassVariable::AddConstructor(const std::string& syntax, TfsCallMethodNewEvent handler) {
  return AddMethod(ConstructorAsFunction(syntax), std::move(handler));
}

TfsPropertyHelper* TfsClassVariable::AddProperty(const std::string& name, const std::string& typeName,
                                                 TfsGetValueEvent getter, TfsSetValueEvent setter) {
  auto p = std::make_unique<TfsPropertyHelper>(name, StrToVarType(typeName, Prog), typeName);
  p->ReadOnly = !setter;
  p->Getter = std::move(getter);
  p->Setter = std::move(setter);
  return AddMember(std::move(p));
}

TfsMethodHelper* TfsClassVariable::AddIndexProperty(const std::string& name, const std::string& paramTypes,
                                                    const std::string& typeName, TfsCallMethodEvent handler,
                                                    bool readOnly) {
  std::string params;
  std::size_t start = 0;
  for (int index = 0; start <= paramTypes.size(); ++index) {
    std::size_t comma = paramTypes.find(',', start);
    std::string type =
        Trim(paramTypes.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (index > 0) params += "; ";
    params += "p" + std::to_string(index) + ": " + type;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  TfsMethodHelper* m = AddMethod("function " + name + "(" + params + "): " + typeName, std::move(handler));
  m->ReadOnly = readOnly;
  m->IsIndexProp = true;
  return m;
}

TfsMethodHelper* TfsClassVariable::AddDefaultProperty(const std::string& name, const std::string& paramTypes,
                                                      const std::string& typeName, TfsCallMethodEvent handler,
                                                      bool readOnly) {
  TfsMethodHelper* m = AddIndexProperty(name, paramTypes, typeName, std::move(handler), readOnly);
  DefaultProperty = m;
  return m;
}

TfsEventHelper* TfsClassVariable::AddEvent(const std::string& name, TfsEventClass eventClass) {
  return AddMember(std::make_unique<TfsEventHelper>(name, std::move(eventClass)));
}

TfsComponentHelper* TfsClassVariable::AddComponent(TfsHostObject* component) {
  return AddMember(std::make_unique<TfsComponentHelper>(component));
}

TfsCustomVariable* TfsClassVariable::Find(const std::string& name) const {
  // Depth-limited: a class registered as its own ancestor must not loop.
  const TfsClassVariable* c = this;
  for (int depth = 0; c != nullptr && depth < 64; ++depth) {
    for (int i = 0; i < c->Members.Count(); ++i) {
      auto* m = static_cast<TfsCustomVariable*>(c->Members.Get(i));
      if (AnsiSameText(m->Name, name)) return m;
    }
    if (c->Prog == nullptr || c->AncestorName.empty()) return nullptr;
    c = c->Prog->FindClass(c->AncestorName);
  }
  return nullptr;
}

// --- registration on a program

void TfsScript::AddObject(const std::string& name, TfsHostObject* obj) {
  std::string className = obj != nullptr ? obj->ClassType()->ClassName() : std::string();
  AddVariable(name, className, ObjectToVariant(obj));
}

TfsMethodHelper* TfsScript::AddMethod(const std::string& syntax, TfsCallMethodEvent handler,
                                      const std::string& category, const std::string& description) {
  auto m = std::make_unique<TfsMethodHelper>(syntax, this);
  m->ParamsHandler = std::move(handler);
  m->Description = description.empty() ? m->Name : description;
  m->Category = category;
  std::string name = m->Name;
  return Add(name, std::move(m));
}

TfsMethodHelper* TfsScript::AddMethod(const std::string& syntax, TfsCallMethodNewEvent handler,
                                      const std::string& category, const std::string& description) {
  auto m = std::make_unique<TfsMethodHelper>(syntax, this);
  m->CallerHandler = std::move(handler);
  m->Description = description.empty() ? m->Name : description;
  m->Category = category;
  std::string name = m->Name;
  return Add(name, std::move(m));
}

TfsClassVariable* TfsScript::AddClass(TfsClassRef classRef, const std::string& ancestorName) {
  if (classRef == nullptr || Find(classRef->ClassName()) != nullptr) return nullptr;
  auto c = std::make_unique<TfsClassVariable>(classRef, ancestorName);
  c->Prog = this;
  if (TfsClassVariable* ancestor = FindClass(ancestorName)) c->DefaultProperty = ancestor->DefaultProperty;
  return Add(classRef->ClassName(), std::move(c));
}

void TfsScript::AddComponent(TfsHostObject* component) {
  if (component == nullptr) return;
  TfsClassRef classRef = component->ClassType();
  TfsClassVariable* classItem = FindClass(classRef->ClassName());
  if (classItem == nullptr) {
    if (classRef->IsForm) {
      classItem = AddClass(classRef, "TForm");
    } else if (classRef->IsDataModule) {
      classItem = AddClass(classRef, "TDataModule");
    } else {
      return;
    }
  }
  if (classItem == nullptr) return;
  for (TfsHostObject* owned : component->Components)
    if (owned != nullptr) classItem->AddComponent(owned);
  AddObject(component->Name, component);
}

}  // namespace kelvo
