#include "script/fs_script.h"

#include <algorithm>
#include <sstream>

#include "script/fs_conversions.h"
#include "script/fs_modules.h"
#include "script/fs_statement.h"
#include "text/ansi_text.h"

namespace kelvo {

TfsScript::TfsScript() : FRootStatement(std::make_unique<TfsStatement>(this, "", "")) {}

TfsScript::~TfsScript() {
  Clear();
  ClearRTTI();
  // Whatever is left (items of other owner tags) goes with the table.
  while (!FItems.empty()) FreeEntry(FItems.size() - 1);
}

// --- the item table

std::size_t TfsScript::LowerBound(const std::string& name) const {
  auto it = std::lower_bound(
      FItems.begin(), FItems.end(), name,
      [](const TItemEntry& e, const std::string& n) { return AnsiCompareText(e.Name, n) < 0; });
  return static_cast<std::size_t>(it - FItems.begin());
}

void TfsScript::InsertEntry(const std::string& name, TfsObject* item, bool owned) {
  // Before the first entry of an equal name: the newest registration is found first.
  FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(LowerBound(name)),
                TItemEntry{name, item, owned});
}

TfsObject* TfsScript::Add(const std::string& name, std::unique_ptr<TfsObject> item) {
  TfsObject* raw = item.release();
  if (auto* v = dynamic_cast<TfsCustomVariable*>(raw)) v->OwnerTag = PendingOwnerTag;
  InsertEntry(name, raw, true);
  return raw;
}

void TfsScript::AddUnowned(const std::string& name, TfsObject* item) {
  InsertEntry(name, item, false);
}

std::unique_ptr<TfsObject> TfsScript::Remove(TfsObject* item) {
  auto it =
      std::find_if(FItems.begin(), FItems.end(), [item](const TItemEntry& e) { return e.Object == item; });
  if (it == FItems.end()) return nullptr;
  std::unique_ptr<TfsObject> owned(it->Owned ? it->Object : nullptr);
  FItems.erase(it);
  return owned;
}

void TfsScript::FreeEntry(std::size_t index) {
  TItemEntry entry = FItems[index];
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(index));
  if (entry.Owned) delete entry.Object;
}

TfsCustomVariable* TfsScript::FindLocal(const std::string& name) const {
  std::size_t i = LowerBound(name);
  if (i >= FItems.size() || AnsiCompareText(FItems[i].Name, name) != 0) return nullptr;
  return dynamic_cast<TfsCustomVariable*>(FItems[i].Object);
}

TfsCustomVariable* TfsScript::Find(const std::string& name) const {
  for (const TfsScript* p = this; p != nullptr; p = p->Parent)
    if (TfsCustomVariable* item = p->FindLocal(name)) return item;
  return nullptr;
}

TfsClassVariable* TfsScript::FindClass(const std::string& name) const {
  return dynamic_cast<TfsClassVariable*>(Find(name));
}

void TfsScript::ResetStatements() {
  FRootStatement->Clear();
  ExecutableLines.clear();
}

void TfsScript::Clear() {
  std::size_t i = 0;
  while (i < FItems.size()) {
    TfsObject* obj = FItems[i].Object;
    auto* v = dynamic_cast<TfsCustomVariable*>(obj);
    bool libraryItem =
        dynamic_cast<TfsRTTIModule*>(obj) != nullptr || (v != nullptr && v->OwnerTag == fsLibraryOwnerTag);
    if (libraryItem) {
      ++i;
    } else {
      FreeEntry(i);
    }
  }
  ResetStatements();
  ErrorPlace.clear();
  ErrorText.clear();
  ErrorUnitName.clear();
}

void TfsScript::RemoveItems(std::intptr_t owner) {
  for (std::size_t i = FItems.size(); i-- > 0;) {
    if (i >= FItems.size()) continue;
    auto* v = dynamic_cast<TfsCustomVariable*>(FItems[i].Object);
    if (v != nullptr && v->OwnerTag == owner) FreeEntry(i);
  }
}

void TfsScript::ClearItems(std::intptr_t owner) {
  RemoveItems(owner);
  ResetStatements();
}

Variant TfsScript::GetVariables(const std::string& name) const {
  TfsCustomVariable* item = Find(name);
  return item != nullptr ? item->GetValue() : Variant::Null();
}

void TfsScript::SetVariables(const std::string& name, const Variant& value) {
  if (TfsCustomVariable* item = Find(name)) {
    item->SetValue(value);
  } else {
    AddVariable(name, "Variant", value);
  }
}

// --- registration

void TfsScript::AddType(const std::string& typeName, TfsVarType varType) {
  if (Find(typeName) != nullptr) return;
  Add(typeName, std::make_unique<TfsTypeVariable>(typeName, varType, ""));
}

void TfsScript::AddConst(const std::string& name, const std::string& typeName, const Variant& value) {
  if (Find(name) != nullptr) return;
  auto item = std::make_unique<TfsVariable>(name, StrToVarType(typeName, this), typeName);
  item->SetValue(value);
  item->ReadOnly = true;
  Add(name, std::move(item));
}

void TfsScript::AddVariable(const std::string& name, const std::string& typeName, const Variant& value) {
  if (Find(name) != nullptr) return;
  auto item = std::make_unique<TfsVariable>(name, StrToVarType(typeName, this), typeName);
  item->SetValue(value);
  Add(name, std::move(item));
}

namespace {

std::vector<std::string> SplitNames(const std::string& names) {
  std::vector<std::string> result;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = names.find(',', start);
    result.push_back(
        Trim(names.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return result;
}

}  // namespace

void TfsScript::AddEnum(const std::string& typeName, const std::string& names) {
  Add(typeName, std::make_unique<TfsVariable>(typeName, fvtEnum, typeName));
  int value = 0;
  for (const std::string& name : SplitNames(names)) {
    auto item = std::make_unique<TfsVariable>(name, fvtEnum, typeName);
    item->Value = Variant(value++);
    item->ReadOnly = true;
    Add(name, std::move(item));
  }
}

void TfsScript::AddEnumSet(const std::string& typeName, const std::string& names) {
  Add(typeName, std::make_unique<TfsVariable>(typeName, fvtEnum, typeName));
  std::int64_t value = 1;
  for (const std::string& name : SplitNames(names)) {
    auto item = std::make_unique<TfsVariable>(name, fvtEnum, typeName);
    item->Value = Variant(static_cast<int>(value));
    value *= 2;
    item->ReadOnly = true;
    Add(name, std::move(item));
  }
}

void TfsScript::AddRTTI() {
  if (ModulesAdded) return;
  std::vector<TfsRTTIModuleClass>* modules = fsRTTIModules();
  PendingOwnerTag = fsLibraryOwnerTag;
  if (modules != nullptr) {
    for (const auto& moduleClass : *modules) Add(std::string(), moduleClass(this));
  }
  PendingOwnerTag = 0;
  ModulesAdded = true;
}

void TfsScript::ClearRTTI() {
  if (!ModulesAdded) return;
  for (std::size_t i = FItems.size(); i-- > 0;) {
    if (i >= FItems.size()) continue;
    TfsObject* obj = FItems[i].Object;
    auto* v = dynamic_cast<TfsCustomVariable*>(obj);
    if (dynamic_cast<TfsRTTIModule*>(obj) != nullptr || (v != nullptr && v->OwnerTag == fsLibraryOwnerTag))
      FreeEntry(i);
  }
  ModulesAdded = false;
}

// --- running

void TfsScript::Execute() {
  ExitFlag = StopRequested = false;
  // A break or continue left over from outside any loop must not stop the next run.
  BreakFlag = ContinueFlag = false;
  Running = true;
  MainRun = true;
  struct Reset {
    TfsScript* s;
    ~Reset() { s->ExitFlag = s->StopRequested = s->Running = false; }
  } reset{this};
  FRootStatement->Execute();
}

void TfsScript::Terminate() {
  ExitFlag = true;
  StopRequested = true;
  for (const TItemEntry& e : FItems)
    if (auto* proc = dynamic_cast<TfsProcVariable*>(e.Object)) proc->LocalProg->Terminate();
}

void TfsScript::RunLine(const std::string& unitName, const std::string& sourcePos) {
  for (TfsScript* p = this; p != nullptr; p = p->Parent) {
    if (p->OnRunLine) {
      p->OnRunLine(*this, unitName, sourcePos);
      return;
    }
  }
}

void TfsScript::AddCodeLine(const std::string& unitName, const std::string& sourcePos) {
  std::string line = sourcePos.substr(0, sourcePos.find(':'));
  std::string prefix = unitName + "=";
  auto it = std::find_if(ExecutableLines.begin(), ExecutableLines.end(),
                         [&](const std::string& e) { return e.compare(0, prefix.size(), prefix) == 0; });
  if (it == ExecutableLines.end()) {
    ExecutableLines.push_back(prefix);
    it = ExecutableLines.end() - 1;
  }
  std::string list = "," + it->substr(prefix.size());
  if (list.find("," + line + ",") == std::string::npos) *it += line + ",";
}

bool TfsScript::IsExecutableLine(int line, const std::string& unitName) const {
  std::string prefix = unitName + "=";
  for (const std::string& e : ExecutableLines) {
    if (e.compare(0, prefix.size(), prefix) != 0) continue;
    std::string list = "," + e.substr(prefix.size());
    return list.find("," + std::to_string(line) + ",") != std::string::npos;
  }
  return false;
}

std::string TfsScript::LinesText() const {
  std::string text;
  for (const std::string& line : Lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool TfsScript::Run() {
  bool ok = Compile();
  if (ok) Execute();
  return ok;
}

// --- the host calling into the script

void TfsScript::CallFunction(const std::string& name, const Variant& params, Variant& result) {
  auto* proc = dynamic_cast<TfsProcVariable*>(FindLocal(name));
  if (proc == nullptr) {
    result = Variant::Null();
    return;
  }
  if (params.IsArray() && params.ArrayDimCount() == 1) {
    int high = params.ArrayHighBound(1);
    int low = params.ArrayLowBound(1);
    for (int i = 0; i <= high && i < proc->ParamCount(); ++i) {
      if (i < low) continue;
      std::int64_t idx = i;
      proc->GetParam(i)->Value = params.GetElement(std::span<const std::int64_t>(&idx, 1));
    }
  }
  result = proc->GetValue();
}

void TfsScript::CallFunction1(const std::string& name, Variant& params, Variant& result) {
  CallFunction(name, params, result);
  auto* proc = dynamic_cast<TfsProcVariable*>(FindLocal(name));
  if (proc == nullptr || !params.IsArray() || params.ArrayDimCount() != 1) return;
  int high = params.ArrayHighBound(1);
  for (int i = params.ArrayLowBound(1); i <= high && i < proc->ParamCount(); ++i) {
    if (i < 0) continue;
    std::int64_t idx = i;
    params.PutElement(std::span<const std::int64_t>(&idx, 1), proc->GetParam(i)->Value);
  }
}

}  // namespace kelvo
