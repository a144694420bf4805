#include "script/program/items.h"

#include <algorithm>
#include <utility>

#include "script/program/host.h"
#include "script/program/script.h"
#include "script/program/statements.h"
#include "script/value/stack_guard.h"
#include "text/ansi_text.h"

namespace kelvo {

// --- TfsItemList

std::unique_ptr<TfsObject> TfsItemList::Remove(TfsObject* item) {
  auto it = std::find_if(FList.begin(), FList.end(), [item](const auto& p) { return p.get() == item; });
  if (it == FList.end()) return nullptr;
  std::unique_ptr<TfsObject> owned = std::move(*it);
  FList.erase(it);
  return owned;
}

void TfsItemList::ClearList() {
  // First to last; an element's destructor never sees the list half torn down.
  std::vector<std::unique_ptr<TfsObject>> items;
  items.swap(FList);
  for (auto& item : items) item.reset();
}

// --- TfsCustomVariable

TfsCustomVariable::TfsCustomVariable(const std::string& name, TfsVarType varType, std::string typeName)
    : Name(name), UpperName(AnsiUpperCase(name)), VarType(varType), TypeName(std::move(typeName)) {}

void TfsCustomVariable::SetValue(const Variant& value) {
  if (!ReadOnly) Value = value;
}

Variant TfsCustomVariable::GetValue() {
  return Value;
}

TfsParamItem* TfsCustomVariable::AddParam(std::unique_ptr<TfsParamItem> param) {
  return Add(std::move(param));
}

int TfsCustomVariable::GetNumberOfRequiredParams() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i)
    if (!GetParam(i)->Optional) ++n;
  return n;
}

// --- TfsStringVariable

TfsStringVariable::TfsStringVariable(const std::string& name, TfsVarType varType, const std::string& typeName)
    : TfsVariable(name, varType, typeName) {
  Value = Variant(std::string());
  FStore = stText;
}

void TfsStringVariable::SetValue(const Variant& value) {
  if (ReadOnly) return;
  Value = value.IsString() ? value : Variant(value.AsString());
}

// --- TfsParamItem

TfsParamItem::TfsParamItem(const std::string& name, TfsVarType varType, const std::string& typeName,
                           bool optional, bool byRef)
    : TfsCustomVariable(name, varType, typeName), Optional(optional), ByRef(byRef) {
  FStore = stPlain;
}

// --- TfsProcVariable

TfsProcVariable::TfsProcVariable(const std::string& name, TfsVarType varType, const std::string& typeName,
                                 TfsScript* parentProg, bool isFunction)
    : TfsCustomVariable(name, varType, typeName),
      IsFunction(isFunction),
      LocalProg(std::make_unique<TfsScript>()),
      FLocalProgVersion(&LocalProg->TableVersion()) {
  ReadOnly = true;
  LocalProg->Parent = parentProg;
  if (isFunction) {
    Target = LocalProg->Add("Result", std::make_unique<TfsVariable>("Result", varType, typeName));
  }
}

TfsProcVariable::~TfsProcVariable() {
  // The local program lists the parameters without owning them: unlist before it goes.
  for (int i = 0; i < Count(); ++i) LocalProg->Remove(GetParam(i));
}

Variant TfsProcVariable::GetValue() {
  CheckStackSpace();
  bool wasExecuting = Executing;
  Executing = true;
  TfsScript* main = LocalProg.get();
  while (main != nullptr && !main->MainRun) main = main->Parent;
  TfsScript* savedRunning = main != nullptr ? main->RunningProg : nullptr;
  if (main != nullptr) main->RunningProg = LocalProg.get();
  struct Restore {
    TfsProcVariable* self;
    TfsScript* main;
    TfsScript* savedRunning;
    bool wasExecuting;
    ~Restore() {
      TfsScript& local = *self->LocalProg;
      local.ExitFlag = local.StopRequested = local.Running = false;
      if (main != nullptr) main->RunningProg = savedRunning;
      self->Executing = wasExecuting;
    }
  } restore{this, main, savedRunning, wasExecuting};
  TfsScript& local = *LocalProg;
  local.ExitFlag = local.StopRequested = false;
  local.Running = true;
  local.RootStatement().Execute();
  return IsFunction && Target != nullptr ? Target->Value : Variant::Null();
}

void TfsProcVariable::RemakeLocalSlots() {
  FLocalSlots.clear();
  for (int i = 0; i < LocalProg->Count(); ++i) {
    auto* item = dynamic_cast<TfsCustomVariable*>(LocalProg->GetItem(i));
    if (item != nullptr && item->Store() != stComputed) FLocalSlots.push_back(item);
  }
  FLocalSlotsVersion = LocalProg->TableVersion();
}

void TfsProcVariable::GrowSavedStack(std::size_t size) {
  FSavedStack.resize(std::max(size, FSavedStack.size() * 2));
}

void TfsProcVariable::SaveLocals(std::vector<Variant>& saved) {
  saved.clear();
  for (TfsCustomVariable* item : LocalSlots()) saved.push_back(item->Value);
}

void TfsProcVariable::RestoreLocals(const std::vector<Variant>& saved) {
  const std::vector<TfsCustomVariable*>& locals = LocalSlots();
  for (std::size_t i = 0; i < locals.size() && i < saved.size(); ++i) locals[i]->Value = saved[i];
}

// --- TfsArrayHelper

TfsArrayHelper::TfsArrayHelper(const std::string& name, int dimCount, TfsVarType varType,
                               const std::string& typeName)
    : TfsCustomHelper(name, varType, typeName) {
  if (dimCount == -1) {
    AddParam(std::make_unique<TfsParamItem>("", fvtInt, "", false, false));
    AddParam(std::make_unique<TfsParamItem>("", fvtInt, "", true, false));
    AddParam(std::make_unique<TfsParamItem>("", fvtInt, "", true, false));
  } else {
    for (int i = 0; i < dimCount; ++i) AddParam(std::make_unique<TfsParamItem>("", fvtInt, "", false, false));
  }
}

namespace {

// The stored value of an item that keeps its value in Value (variables and parameters), which
// an element store may change in place; none for items that compute their value.
Variant* StoredValue(TfsCustomVariable* item) {
  return item->Store() == TfsCustomVariable::stPlain ? &item->Value : nullptr;
}

}  // namespace

int TfsArrayHelper::IndexesOf(const Variant& array, std::int64_t (&indexes)[3]) const {
  int d = array.ArrayDimCount();
  if (d < 1 || d > 3 || d > ParamCount()) return 0;
  for (int i = 0; i < d; ++i) indexes[i] = GetParam(i)->Value.AsInt64();
  return d;
}

Variant TfsArrayHelper::GetValue() {
  if (OwnerItem == nullptr) return Variant::Null();
  std::int64_t idx[3];
  if (Variant* stored = StoredValue(OwnerItem)) {
    int d = IndexesOf(*stored, idx);
    if (d == 0) return Variant::Null();
    return stored->GetElement(std::span<const std::int64_t>(idx, static_cast<std::size_t>(d)));
  }
  Variant array = OwnerItem->GetValue();
  int d = IndexesOf(array, idx);
  if (d == 0) return Variant::Null();
  return array.GetElement(std::span<const std::int64_t>(idx, static_cast<std::size_t>(d)));
}

void TfsArrayHelper::SetValue(const Variant& value) {
  if (OwnerItem == nullptr) return;
  std::int64_t idx[3];
  if (Variant* stored = StoredValue(OwnerItem)) {
    if (OwnerItem->ReadOnly) return;
    int d = IndexesOf(*stored, idx);
    if (d != 0) stored->PutElement(std::span<const std::int64_t>(idx, static_cast<std::size_t>(d)), value);
    return;
  }
  Variant array = OwnerItem->GetValue();
  int d = IndexesOf(array, idx);
  if (d == 0) return;
  array.PutElement(std::span<const std::int64_t>(idx, static_cast<std::size_t>(d)), value);
  OwnerItem->SetValue(array);
}

// --- TfsStringHelper

TfsStringHelper::TfsStringHelper() : TfsCustomHelper("__StringHelper", fvtChar, "") {
  AddParam(std::make_unique<TfsParamItem>("", fvtInt, "", false, false));
}

Variant TfsStringHelper::GetValue() {
  std::int64_t i = GetParam(0)->Value.AsInt64();
  if (OwnerValue.IsString()) return Variant(std::string(1, OwnerValue.GetChar(i)));
  return Variant(std::string(1, Variant(OwnerValue.AsString()).GetChar(i)));
}

void TfsStringHelper::SetValue(const Variant& value) {
  std::int64_t i = GetParam(0)->Value.AsInt64();
  Variant s(OwnerValue.AsString());
  std::string text = value.AsString();
  if (text.empty()) return;
  s.SetChar(i, text[0]);
  if (OwnerItem != nullptr) OwnerItem->SetValue(s);
}

// --- TfsValueIndexHelper

TfsValueIndexHelper::TfsValueIndexHelper() : TfsCustomHelper("__IndexHelper", fvtVariant, "") {
  AddParam(std::make_unique<TfsParamItem>("", fvtVariant, "", false, false));
  AddParam(std::make_unique<TfsParamItem>("", fvtVariant, "", true, false));
  AddParam(std::make_unique<TfsParamItem>("", fvtVariant, "", true, false));
  ReadOnly = true;  // an element of a returned value is no place to store into
}

namespace {

// What indexing a variable that holds the value would give.
Variant IndexHostObject(TfsHostObject& obj, TfsCustomHelper& index, const Variant& value) {
  TfsClassVariable* cls =
      index.HostProg != nullptr ? index.HostProg->FindClass(obj.ClassType()->ClassName()) : nullptr;
  auto* property = cls != nullptr ? dynamic_cast<TfsCustomHelper*>(cls->DefaultProperty) : nullptr;
  if (property == nullptr)
    throw Exception(
        FormatMessage("Class %s does not have a default property", {obj.ClassType()->ClassName()}));
  for (int i = 0; i < property->ParamCount() && i < index.ParamCount(); ++i)
    property->GetParam(i)->Value = index.GetParam(i)->Value;
  property->OwnerItem = nullptr;
  property->OwnerValue = value;
  property->HostProg = index.HostProg;
  return property->GetValue();
}

}  // namespace

Variant TfsValueIndexHelper::GetValue() {
  const Variant& value = OwnerValue;
  if (value.IsString()) return Variant(std::string(1, value.GetChar(GetParam(0)->Value.AsInt64())));
  if (value.IsArray()) {
    int d = std::min(value.ArrayDimCount(), ParamCount());
    std::int64_t idx[3];
    for (int i = 0; i < d; ++i) idx[i] = GetParam(i)->Value.AsInt64();
    return value.GetElement(std::span<const std::int64_t>(idx, static_cast<std::size_t>(d)));
  }
  if (value.IsNull() || value.IsEmpty()) throw EVariantInvalidOpError();
  if (TfsHostObject* obj = VariantToObject(value)) return IndexHostObject(*obj, *this, value);
  throw Exception(FormatMessage("Undeclared identifier: %s", {"'['"}));
}

}  // namespace kelvo
