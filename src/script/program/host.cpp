#include "script/program/host.h"

#include <mutex>
#include <unordered_set>

#include "script/program/declarations.h"
#include "script/program/script.h"
#include "text/ansi_text.h"

namespace kelvo {

// --- live host objects

namespace {

std::unordered_set<const TfsHostObject*>& LiveObjects() {
  static std::unordered_set<const TfsHostObject*> objects;
  return objects;
}

std::mutex& LiveObjectsLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

TfsHostObject::TfsHostObject() {
  std::lock_guard<std::mutex> guard(LiveObjectsLock());
  LiveObjects().insert(this);
}

TfsHostObject::TfsHostObject(const TfsHostObject& other) : Name(other.Name), Components(other.Components) {
  std::lock_guard<std::mutex> guard(LiveObjectsLock());
  LiveObjects().insert(this);
}

TfsHostObject::~TfsHostObject() {
  std::lock_guard<std::mutex> guard(LiveObjectsLock());
  LiveObjects().erase(this);
}

bool TfsHostObject::SetEvent(const std::string&, TfsCustomEvent*) {
  return false;
}

TfsHostObject* VariantToObject(const Variant& value) {
  if (!value.IsOrdinal() || value.RawInt() == 0) return nullptr;
  // The integer is only compared with the addresses of live objects before it is used as one.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  auto* candidate = reinterpret_cast<TfsHostObject*>(static_cast<std::intptr_t>(value.RawInt()));
  std::lock_guard<std::mutex> guard(LiveObjectsLock());
  return LiveObjects().count(candidate) != 0 ? candidate : nullptr;
}

// --- TfsClassInfo

TfsClassInfo::TfsClassInfo(std::string className, TfsClassRef parent, std::vector<TfsPropInfo> properties)
    : FClassName(std::move(className)), FParent(parent), FProperties(std::move(properties)) {}

bool TfsClassInfo::InheritsFrom(TfsClassRef other) const {
  for (TfsClassRef c = this; c != nullptr; c = c->FParent)
    if (c == other) return true;
  return false;
}

const TfsPropInfo* TfsClassInfo::FindProperty(const std::string& name) const {
  for (TfsClassRef c = this; c != nullptr; c = c->FParent)
    for (const TfsPropInfo& p : c->FProperties)
      if (AnsiSameText(p.Name, name)) return &p;
  return nullptr;
}

// --- TfsCustomEvent

void TfsCustomEvent::CallHandler(const std::vector<Variant>& args) {
  if (Handler == nullptr || Handler->Executing) return;
  for (std::size_t i = 0; i < args.size() && static_cast<int>(i) < Handler->ParamCount(); ++i)
    Handler->GetParam(static_cast<int>(i))->Value = args[i];
  Handler->GetValue();
}

// --- TfsPropertyHelper

namespace {

Variant ReadPublished(const TfsPropInfo& prop, TfsHostObject& instance) {
  if (!prop.Get) return Variant::Null();
  Variant v = prop.Get(instance);
  switch (prop.Kind) {
    case TfsPropKind::Char:
      return Variant(v.AsString().substr(0, 1));
    case TfsPropKind::Float:
      return Variant(v.AsFloat());
    case TfsPropKind::String:
      return Variant(v.AsString());
    case TfsPropKind::Variant:
      return v;
    case TfsPropKind::Integer:
    case TfsPropKind::Enumeration:
    case TfsPropKind::Set:
      return Variant(v.AsInteger());
    case TfsPropKind::Class:
      return v.IsOrdinal() ? v : Variant(std::int64_t{0});
    default:
      return Variant::Null();
  }
}

void WritePublished(const TfsPropInfo& prop, TfsHostObject& instance, TfsVarType varType,
                    const Variant& value) {
  if (!prop.Set) return;
  switch (prop.Kind) {
    case TfsPropKind::Char:
      prop.Set(instance, Variant(value.AsString().substr(0, 1)));
      break;
    case TfsPropKind::Float:
      prop.Set(instance, Variant(value.AsFloat()));
      break;
    case TfsPropKind::String:
      prop.Set(instance, Variant(value.AsString()));
      break;
    case TfsPropKind::Variant:
      prop.Set(instance, value);
      break;
    case TfsPropKind::Integer:
    case TfsPropKind::Enumeration:
    case TfsPropKind::Set:
    case TfsPropKind::Class:
      if (varType == fvtBool) {
        prop.Set(instance, Variant(VarEquals(value, Variant(true)) ? 1 : 0));
      } else if (prop.Kind == TfsPropKind::Class) {
        prop.Set(instance, Variant(value.AsInt64()));
      } else {
        prop.Set(instance, Variant(value.AsInteger()));
      }
      break;
    default:
      break;
  }
}

}  // namespace

Variant TfsPropertyHelper::GetValue() {
  Variant result = Variant::Null();
  TfsHostObject* instance = VariantToObject(OwnerValue);
  if (Published && instance != nullptr) {
    if (const TfsPropInfo* prop = instance->ClassType()->FindProperty(Name))
      result = ReadPublished(*prop, *instance);
  } else if (Getter) {
    result = Getter(instance, ClassRef, UpperName);
  }
  if (VarType == fvtBool && !result.IsNull()) result = Variant(!VarEquals(result, Variant(0)));
  return result;
}

void TfsPropertyHelper::SetValue(const Variant& value) {
  if (ReadOnly) return;
  TfsHostObject* instance = VariantToObject(OwnerValue);
  if (Published && instance != nullptr) {
    if (const TfsPropInfo* prop = instance->ClassType()->FindProperty(Name))
      WritePublished(*prop, *instance, VarType, value);
  } else if (!Published && Setter) {
    Setter(instance, ClassRef, UpperName, value);
  }
}

// --- TfsMethodHelper

TfsMethodHelper::TfsMethodHelper(const std::string& syntax, TfsScript* prog)
    : TfsCustomHelper("", fvtVariant, "") {
  std::unique_ptr<TfsCustomVariable> parsed = ParseMethodSyntax(syntax, prog);
  Name = parsed->Name;
  UpperName = parsed->UpperName;
  VarType = parsed->VarType;
  TypeName = parsed->TypeName;
  MacroArgs = parsed->MacroArgs;
  SwapList(*parsed);  // the parameters move over; the parse result goes
  ReadOnly = true;
  Syntax = syntax;
  ArgArray = ParamCount() > 0 ? Variant::CreateArray(0, ParamCount() - 1) : Variant::CreateArray(0, -1);
}

TfsHostObject* TfsMethodHelper::Instance() const {
  return OwnerValue.IsNull() ? nullptr : VariantToObject(OwnerValue);
}

Variant TfsMethodHelper::GetValue() {
  if (ParamsHandler) {
    for (int i = 0; i < ParamCount(); ++i) {
      std::int64_t idx = i;
      ArgArray.PutElement(std::span<const std::int64_t>(&idx, 1), GetParam(i)->Value);
    }
    Variant result =
        ParamsHandler(Instance(), ClassRef, IsIndexProp ? UpperName + ".GET" : UpperName, ArgArray);
    // A handler may have replaced the array: only elements that exist are taken back.
    for (int i = 0; i < ParamCount(); ++i) {
      if (!GetParam(i)->ByRef) continue;
      if (!ArgArray.IsArray() || ArgArray.ArrayDimCount() != 1 || i > ArgArray.ArrayHighBound(1)) continue;
      std::int64_t idx = i;
      GetParam(i)->Value = ArgArray.GetElement(std::span<const std::int64_t>(&idx, 1));
    }
    return result;
  }
  if (CallerHandler)
    return CallerHandler(Instance(), ClassRef, IsIndexProp ? UpperName + ".GET" : UpperName, *this);
  return Variant(0);
}

void TfsMethodHelper::SetValue(const Variant& value) {
  if (!IsIndexProp) return;
  if (ParamsHandler) {
    Variant args = Variant::CreateArray(0, ParamCount());
    for (int i = 0; i < ParamCount(); ++i) {
      std::int64_t idx = i;
      args.PutElement(std::span<const std::int64_t>(&idx, 1), GetParam(i)->Value);
    }
    std::int64_t last = ParamCount();
    args.PutElement(std::span<const std::int64_t>(&last, 1), value);
    ParamsHandler(Instance(), ClassRef, UpperName + ".SET", args);
  } else if (CallerHandler) {
    SetSlot = value;
    CallerHandler(Instance(), ClassRef, UpperName + ".SET", *this);
    SetSlot = Variant::Null();
  }
}

Variant TfsMethodHelper::GetVParam(int i) {
  if (i == ParamCount()) return SetSlot;
  if (i < 0 || i > ParamCount()) throw EVariantBadIndexError();
  return GetParam(i)->Value;
}

void TfsMethodHelper::SetVParam(int i, const Variant& value) {
  if (i < 0 || i >= ParamCount()) throw EVariantBadIndexError();
  GetParam(i)->Value = value;
}

// --- TfsComponentHelper, TfsEventHelper

TfsComponentHelper::TfsComponentHelper(TfsHostObject* component)
    : TfsCustomHelper(component->Name, fvtClass, component->ClassType()->ClassName()), Component(component) {}

Variant TfsComponentHelper::GetValue() {
  return ObjectToVariant(Component);
}

TfsEventHelper::TfsEventHelper(const std::string& name, TfsEventClass eventClass)
    : TfsCustomHelper(name, fvtString, ""), EventClass(std::move(eventClass)) {}

void TfsEventHelper::SetValue(const Variant& value) {
  TfsHostObject* instance = VariantToObject(OwnerValue);
  std::string text = value.AsString();
  if (text == "0") {
    if (instance != nullptr) instance->SetEvent(Name, nullptr);
    return;
  }
  auto* proc = HostProg != nullptr ? dynamic_cast<TfsProcVariable*>(HostProg->Find(text)) : nullptr;
  if (proc == nullptr) throw Exception("Event handler must be a procedure");
  if (!EventClass || instance == nullptr) return;
  TfsCustomEvent* bridge = HostProg->Add(std::string(), EventClass(instance, proc));
  instance->SetEvent(Name, bridge);
}

}  // namespace kelvo
