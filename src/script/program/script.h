// TfsScript: one script program. It owns a table of named items (variables, constants, types,
// procedures, host methods, classes, library modules), the source lines, the compiled statement
// tree and the run flags. Programs nest through Parent: a program sees its parents' items, and
// every script procedure owns a child program for its locals.
//
// Ownership: the program owns every object of its item table, except entries added with
// AddUnowned (a procedure's local program lists the procedure's parameters that way). Names
// compare without regard to case; among equal names the newest entry comes first, so a later
// registration shadows an earlier one.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "script/program/host.h"
#include "script/program/items.h"
#include "script/value/types.h"
#include "script/value/variant.h"

namespace kelvo {

class TfsScript;
class TfsStatement;

// Unit text providers used by the parser for imported units.
using TfsGetUnitEvent =
    std::function<void(TfsScript& sender, const std::string& unitName, std::string& unitText)>;
// Called before each statement that reports its line; may call Terminate.
using TfsRunLineEvent =
    std::function<void(TfsScript& sender, const std::string& unitName, const std::string& sourcePos)>;

// The tag that marks items registered by library modules; Clear keeps them.
inline constexpr std::intptr_t fsLibraryOwnerTag = 1;

class TfsScript {
 public:
  TfsScript();
  ~TfsScript();
  TfsScript(const TfsScript&) = delete;
  TfsScript& operator=(const TfsScript&) = delete;

  // --- published properties
  std::vector<std::string> Lines;  // source text, one entry per line
  std::string SyntaxType = "PascalScript";
  TfsGetUnitEvent OnGetILUnit, OnGetUnit;
  TfsRunLineEvent OnRunLine;

  // --- public fields
  TfsScript* Parent = nullptr;  // not owned
  std::string ErrorText, ErrorPlace, ErrorUnitName;
  std::intptr_t PendingOwnerTag = 0;  // stamped on items as they are added
  bool BreakFlag = false, ContinueFlag = false, ExitFlag = false, StopRequested = false;
  bool Running = false;
  bool MainRun = false;              // set once the program has been executed
  TfsScript* RunningProg = nullptr;  // local program of the innermost running procedure
  bool ModulesAdded = false;
  bool WideIdentifiers = false;              // identifiers may hold characters 128..255
  std::vector<std::string> ExecutableLines;  // "unit=12,15,"
  TfsStatement& RootStatement() { return *FRootStatement; }

  // --- the item table
  // Adds an owned object under a name; returns it. A TfsCustomVariable gets OwnerTag.
  TfsObject* Add(const std::string& name, std::unique_ptr<TfsObject> item);
  template <class T>
  T* Add(const std::string& name, std::unique_ptr<T> item) {
    T* raw = item.get();
    Add(name, std::unique_ptr<TfsObject>(std::move(item)));
    return raw;
  }
  // Lists an object that someone else owns (a procedure's parameters in its local program).
  void AddUnowned(const std::string& name, TfsObject* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  // Changes whenever an entry is added or removed, so derived lists know when to be remade.
  const std::uint64_t& TableVersion() const { return FTableVersion; }
  // The i-th entry in table order (by name, newest first among equal names).
  TfsObject* GetItem(int i) const { return Entry(i)->second.Object; }
  const std::string& GetItemName(int i) const { return Entry(i)->first; }
  // Unlists without freeing; the caller takes over an owned object.
  std::unique_ptr<TfsObject> Remove(TfsObject* item);
  TfsCustomVariable* FindLocal(const std::string& name) const;
  TfsCustomVariable* Find(const std::string& name) const;
  TfsClassVariable* FindClass(const std::string& name) const;
  void Clear();
  void RemoveItems(std::intptr_t owner);
  void ClearItems(std::intptr_t owner);
  Variant GetVariables(const std::string& name) const;
  void SetVariables(const std::string& name, const Variant& value);

  // --- registration
  void AddType(const std::string& typeName, TfsVarType varType);
  void AddConst(const std::string& name, const std::string& typeName, const Variant& value);
  void AddVariable(const std::string& name, const std::string& typeName, const Variant& value);
  void AddEnum(const std::string& typeName, const std::string& names);
  void AddEnumSet(const std::string& typeName, const std::string& names);
  // Instantiates every library module once (defined with the module list, in lib/modules.cpp).
  void AddRTTI();
  void ClearRTTI();
  void AddObject(const std::string& name, TfsHostObject* obj);
  TfsMethodHelper* AddMethod(const std::string& syntax, TfsCallMethodEvent handler,
                             const std::string& category = "", const std::string& description = "");
  TfsMethodHelper* AddMethod(const std::string& syntax, TfsCallMethodNewEvent handler,
                             const std::string& category = "", const std::string& description = "");
  // Registers a host class described by classRef; none when its name is already known.
  TfsClassVariable* AddClass(TfsClassRef classRef, const std::string& ancestorName);
  // Registers a host component: its class (when a form or data module), its owned components
  // as members, and the component itself as an object.
  void AddComponent(TfsHostObject* component);
  void AddForm(TfsHostObject* form) { AddComponent(form); }

  // --- compiling and running
  // Compile, Run, GetILCode, SetILCode and Evaluate are the build layer's entry points and are
  // defined there (build/compile.cpp); this layer only runs what was built.
  bool Compile();
  void Execute();
  bool Run();
  bool GetILCode(std::ostream& stream);
  bool SetILCode(std::istream& stream);
  void Terminate();
  // Calls the OnRunLine of this program or of its nearest parent that has one. Inline: it runs
  // before every statement.
  void RunLine(const std::string& unitName, const std::string& sourcePos) {
    for (TfsScript* p = this; p != nullptr; p = p->Parent) {
      if (p->OnRunLine) {
        p->OnRunLine(*this, unitName, sourcePos);
        return;
      }
    }
  }
  void AddCodeLine(const std::string& unitName, const std::string& sourcePos);
  bool IsExecutableLine(int line, const std::string& unitName = "") const;

  // --- the host calling into the script
  // Calls a script procedure of this program; null when Name is not one.
  void CallFunction(const std::string& name, const Variant& params, Variant& result);
  // As CallFunction, then writes every parameter's value back into params.
  void CallFunction1(const std::string& name, Variant& params, Variant& result);
  Variant Evaluate(const std::string& expression);

  // The whole source as one text, each line ended by carriage return and line feed.
  std::string LinesText() const;

 private:
  struct TItemEntry {
    TfsObject* Object;
    bool Owned;
  };
  struct TNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  // Hashing and equality of names without regard to case, consistent with TNameLess.
  struct TNameHash {
    std::size_t operator()(std::string_view name) const;
  };
  struct TNameEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  // By name, newest first among equal names. An ordered tree rather than a sorted array: a
  // program of tens of thousands of functions is built without moving the table on every one.
  // An item's destructor never changes the table that owned it.
  using TItemTable = std::multimap<std::string, TItemEntry, TNameLess>;
  TItemTable FItems;
  // The newest entry of each name, for lookups in one step however large the table; keyed by the
  // entry's own name.
  std::unordered_map<std::string_view, TItemTable::iterator, TNameHash, TNameEqual> FNewest;
  // Entries in table order for access by position, rebuilt after the table changed.
  mutable std::vector<TItemTable::const_iterator> FOrder;
  mutable bool FOrderValid = false;
  std::uint64_t FTableVersion = 0;
  std::unique_ptr<TfsStatement> FRootStatement;
  // The lines already listed in one unit's entry of ExecutableLines: a statement's line is looked
  // up here rather than searched for in the growing text.
  struct TUnitLines {
    std::size_t Entry = 0;                   // the unit's entry in ExecutableLines
    std::size_t Length = 0;                  // its length as last written here
    std::vector<bool> Numbers;               // lines written as plain decimal numbers
    std::unordered_set<std::string> Others;  // any other text (from a loaded intermediate tree)
    // Records the line; false when it was listed already.
    bool Insert(std::string_view line);
  };
  std::unordered_map<std::string, TUnitLines> FCodeLines;
  // The record of a unit, made afresh from its entry when the list was changed from outside.
  TUnitLines& UnitLines(const std::string& unitName);

  TItemTable::const_iterator Entry(int i) const;
  void InsertEntry(const std::string& name, TfsObject* item, bool owned);
  // Unlists the entry from the table and the lookup index.
  TItemTable::iterator EraseEntry(TItemTable::iterator entry);
  // Unlists the entry, then frees its object when owned; returns the entry after it.
  TItemTable::iterator FreeEntry(TItemTable::iterator entry);
  // Frees, from the last entry to the first, every item for which test holds.
  template <class TTest>
  void FreeFromLast(TTest test);
  void ResetStatements();
};

}  // namespace kelvo
