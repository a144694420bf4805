#include "script/program/script.h"

#include <algorithm>
#include <sstream>

#include "script/program/declarations.h"
#include "script/program/module.h"
#include "script/program/statements.h"
#include "text/ansi_text.h"

namespace kelvo {

TfsScript::TfsScript() : FRootStatement(std::make_unique<TfsStatement>(this, "", "")) {}

TfsScript::~TfsScript() {
  Clear();
  ClearRTTI();
  // Whatever is left (items of other owner tags) goes with the table.
  FreeFromLast([](TfsObject*) { return true; });
}

// --- the item table

bool TfsScript::TNameLess::operator()(const std::string& a, const std::string& b) const {
  return AnsiCompareText(a, b) < 0;
}

TfsScript::TItemTable::const_iterator TfsScript::Entry(int i) const {
  if (!FOrderValid) {
    FOrder.clear();
    for (auto it = FItems.cbegin(); it != FItems.cend(); ++it) FOrder.push_back(it);
    FOrderValid = true;
  }
  return FOrder[static_cast<std::size_t>(i)];
}

std::size_t TfsScript::TNameHash::operator()(std::string_view name) const {
  std::size_t hash = 14695981039346656037ull;  // FNV-1a over the upper-case form
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(AnsiUpperChar(c))) * 1099511628211ull;
  return hash;
}

bool TfsScript::TNameEqual::operator()(std::string_view a, std::string_view b) const {
  return AnsiSameText(a, b);
}

void TfsScript::InsertEntry(const std::string& name, TfsObject* item, bool owned) {
  // Just before the first entry of an equal name: the newest registration is found first.
  auto entry = FItems.emplace_hint(FItems.lower_bound(name), name, TItemEntry{item, owned});
  FNewest.erase(name);
  FNewest.emplace(entry->first, entry);
  FOrderValid = false;
  ++FTableVersion;
}

TfsScript::TItemTable::iterator TfsScript::EraseEntry(TItemTable::iterator entry) {
  auto newest = FNewest.find(entry->first);
  if (newest != FNewest.end() && newest->second == entry) {
    FNewest.erase(newest);
    auto older = std::next(entry);
    if (older != FItems.end() && AnsiSameText(older->first, entry->first))
      FNewest.emplace(older->first, older);
  }
  FOrderValid = false;
  ++FTableVersion;
  return FItems.erase(entry);
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
      std::find_if(FItems.begin(), FItems.end(), [item](const auto& e) { return e.second.Object == item; });
  if (it == FItems.end()) return nullptr;
  std::unique_ptr<TfsObject> owned(it->second.Owned ? it->second.Object : nullptr);
  EraseEntry(it);
  return owned;
}

TfsScript::TItemTable::iterator TfsScript::FreeEntry(TItemTable::iterator entry) {
  TItemEntry freed = entry->second;
  auto next = EraseEntry(entry);
  if (freed.Owned) delete freed.Object;
  return next;
}

template <class TTest>
void TfsScript::FreeFromLast(TTest test) {
  for (auto it = FItems.end(); it != FItems.begin();) {
    --it;
    if (test(it->second.Object)) it = FreeEntry(it);
  }
}

TfsCustomVariable* TfsScript::FindLocal(const std::string& name) const {
  auto it = FNewest.find(name);
  if (it == FNewest.end()) return nullptr;
  return dynamic_cast<TfsCustomVariable*>(it->second->second.Object);
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
  FCodeLines.clear();
}

namespace {

bool IsLibraryItem(TfsObject* obj) {
  auto* v = dynamic_cast<TfsCustomVariable*>(obj);
  return dynamic_cast<TfsRTTIModule*>(obj) != nullptr || (v != nullptr && v->OwnerTag == fsLibraryOwnerTag);
}

}  // namespace

void TfsScript::Clear() {
  for (auto it = FItems.begin(); it != FItems.end();)
    it = IsLibraryItem(it->second.Object) ? std::next(it) : FreeEntry(it);
  ResetStatements();
  ErrorPlace.clear();
  ErrorText.clear();
  ErrorUnitName.clear();
}

void TfsScript::RemoveItems(std::intptr_t owner) {
  FreeFromLast([owner](TfsObject* obj) {
    auto* v = dynamic_cast<TfsCustomVariable*>(obj);
    return v != nullptr && v->OwnerTag == owner;
  });
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

void TfsScript::ClearRTTI() {
  if (!ModulesAdded) return;
  FreeFromLast(IsLibraryItem);
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
  for (const auto& [name, e] : FItems)
    if (auto* proc = dynamic_cast<TfsProcVariable*>(e.Object)) proc->LocalProg->Terminate();
}

bool TfsScript::TUnitLines::Insert(std::string_view line) {
  bool plain = !line.empty() && line.size() <= 9 && line[0] != '0' &&
               std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!plain) return Others.insert(std::string(line)).second;
  std::size_t n = 0;
  for (char c : line) n = n * 10 + static_cast<std::size_t>(c - '0');
  if (n >= Numbers.size()) Numbers.resize(std::max(n + 1, Numbers.size() * 2));
  if (Numbers[n]) return false;
  Numbers[n] = true;
  return true;
}

TfsScript::TUnitLines& TfsScript::UnitLines(const std::string& unitName) {
  auto isEntryOf = [&unitName](const std::string& e) {
    return e.size() > unitName.size() && e.compare(0, unitName.size(), unitName) == 0 &&
           e[unitName.size()] == '=';
  };
  TUnitLines& unit = FCodeLines[unitName];
  if (unit.Entry < ExecutableLines.size() && ExecutableLines[unit.Entry].size() == unit.Length &&
      isEntryOf(ExecutableLines[unit.Entry]))
    return unit;
  unit = TUnitLines();
  auto it = std::find_if(ExecutableLines.begin(), ExecutableLines.end(), isEntryOf);
  if (it == ExecutableLines.end()) it = ExecutableLines.insert(it, unitName + "=");
  unit.Entry = static_cast<std::size_t>(it - ExecutableLines.begin());
  std::string_view list = std::string_view(*it).substr(unitName.size() + 1);
  for (std::size_t comma; (comma = list.find(',')) != std::string_view::npos; list.remove_prefix(comma + 1))
    unit.Insert(list.substr(0, comma));
  unit.Length = it->size();
  return unit;
}

void TfsScript::AddCodeLine(const std::string& unitName, const std::string& sourcePos) {
  std::string_view line = std::string_view(sourcePos).substr(0, sourcePos.find(':'));
  TUnitLines& unit = UnitLines(unitName);
  if (!unit.Insert(line)) return;
  std::string& entry = ExecutableLines[unit.Entry];
  entry.append(line).push_back(',');
  unit.Length = entry.size();
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
