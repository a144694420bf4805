// The named items a compiled script is made of. Every named thing inside a program is a
// TfsCustomVariable that is read with GetValue and, unless read-only, written with SetValue;
// calling a function is reading its value after its parameters were set.
//
// Layout: TfsObject is the root of everything a program or list owns. TfsItemList owns a list of
// objects (an item's parameters, a statement's children, a designator step's arguments).
// Statements, expressions and designators plug in as further subclasses of these two.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/value/types.h"
#include "script/value/variant.h"

namespace kelvo {

class TfsScript;
class TfsParamItem;

// Root of every object that a program table or an item list owns.
class TfsObject {
 public:
  virtual ~TfsObject() = default;
};

// An owned list of objects; entries may be empty (a set expression marks ranges that way).
class TfsItemList : public TfsObject {
 public:
  TfsItemList() = default;
  TfsItemList(const TfsItemList&) = delete;
  TfsItemList& operator=(const TfsItemList&) = delete;
  ~TfsItemList() override { ClearList(); }

  // Frees every element, first to last, and empties the list.
  virtual void Clear() { ClearList(); }
  int Count() const { return static_cast<int>(FList.size()); }
  TfsObject* Get(int i) const { return FList[i].get(); }
  template <class T>
  T* Add(std::unique_ptr<T> item) {
    T* raw = item.get();
    FList.emplace_back(std::move(item));
    return raw;
  }
  void AddEmpty() { FList.emplace_back(); }
  // Unlists without freeing; the caller takes over the object.
  std::unique_ptr<TfsObject> Remove(TfsObject* item);
  // Exchanges the contents of two lists.
  void SwapList(TfsItemList& other) { FList.swap(other.FList); }

 protected:
  std::vector<std::unique_ptr<TfsObject>> FList;

 private:
  void ClearList();
};

// Base of every named item; its list holds its parameters in declaration order.
class TfsCustomVariable : public TfsItemList {
 public:
  TfsCustomVariable(const std::string& name, TfsVarType varType, std::string typeName);

  virtual void SetValue(const Variant& value);
  virtual Variant GetValue();

  TfsParamItem* GetParam(int i) const;
  int ParamCount() const { return Count(); }
  TfsParamItem* AddParam(std::unique_ptr<TfsParamItem> param);
  int GetNumberOfRequiredParams() const;
  TfsTypeRec TypeRec() const { return TfsTypeRec(VarType, TypeName); }

  // Where the item's value lives, fixed by its class at construction so that the run-time paths
  // tell plain storage from computed values without a type test: stPlain items (variables and
  // parameters) read and write Value as it is, stText items (string variables) keep text in Value,
  // stComputed items compute their value in GetValue and SetValue.
  enum TfsStore : std::uint8_t { stComputed, stPlain, stText };
  TfsStore Store() const { return FStore; }
  std::string GetFullTypeName() const { return kelvo::GetFullTypeName(VarType, TypeName); }

  std::string Name;
  std::string UpperName;  // upper-cased once, at construction
  TfsVarType VarType;
  std::string TypeName;
  Variant Value = Variant::Null();
  bool ReadOnly = false;
  bool MacroArgs = false;  // a call passes the source text of each argument
  // For a function its "Result" variable; for an array variable its TfsArrayHelper; for a
  // single-variable designator that variable. Not owned.
  TfsCustomVariable* Target = nullptr;
  std::string SourcePos;
  std::intptr_t OwnerTag = 0;  // fsLibraryOwnerTag marks library items

 protected:
  TfsStore FStore = stComputed;
};

// A plain variable or constant.
class TfsVariable : public TfsCustomVariable {
 public:
  TfsVariable(const std::string& name, TfsVarType varType, const std::string& typeName)
      : TfsCustomVariable(name, varType, typeName) {
    FStore = stPlain;
  }
};

// A named type (AddType).
class TfsTypeVariable : public TfsCustomVariable {
 public:
  using TfsCustomVariable::TfsCustomVariable;
};

// A variable that always holds text: whatever is stored is converted to a string first.
class TfsStringVariable : public TfsVariable {
 public:
  TfsStringVariable(const std::string& name, TfsVarType varType, const std::string& typeName);
  void SetValue(const Variant& value) override;
  Variant GetValue() override { return Value; }
};

// A parameter of a procedure, function or host method.
class TfsParamItem : public TfsCustomVariable {
 public:
  TfsParamItem(const std::string& name, TfsVarType varType, const std::string& typeName, bool optional,
               bool byRef);

  Variant DefaultValue = Variant::Null();
  bool Optional;
  bool ByRef;  // a var parameter
};

inline TfsParamItem* TfsCustomVariable::GetParam(int i) const {
  return static_cast<TfsParamItem*>(Get(i));
}

// A script procedure or function. Parameters, locals and "Result" exist once, in LocalProg;
// a recursive call is made safe by the caller saving and restoring them (SaveLocals).
class TfsProcVariable : public TfsCustomVariable {
 public:
  TfsProcVariable(const std::string& name, TfsVarType varType, const std::string& typeName,
                  TfsScript* parentProg, bool isFunction);
  ~TfsProcVariable() override;

  // Runs the body with the parameters as they were stored; the result for a function.
  Variant GetValue() override;
  // Values of every variable and parameter of LocalProg, in item order, and their restore.
  void SaveLocals(std::vector<Variant>& saved);
  void RestoreLocals(const std::vector<Variant>& saved);
  // The same around a recursive call without allocating: PushLocals saves the values on this
  // procedure's own stack and returns the mark to give PopLocals, which restores them (or, with
  // restore false, when an exception passes, only drops them).
  // Inline: they run around every recursive call.
  std::size_t PushLocals() {
    const std::vector<TfsCustomVariable*>& locals = LocalSlots();
    TfsCustomVariable* const* slot = locals.data();
    std::size_t n = locals.size();
    std::size_t mark = FSavedTop;
    if (mark + n > FSavedStack.size()) GrowSavedStack(mark + n);
    Variant* saved = FSavedStack.data() + mark;
    for (std::size_t i = 0; i < n; ++i) saved[i] = slot[i]->Value;
    FSavedTop = mark + n;
    return mark;
  }
  void PopLocals(std::size_t mark, bool restore) {
    Variant* saved = FSavedStack.data() + mark;
    std::size_t count = FSavedTop - mark;
    std::size_t i = 0;
    if (restore) {
      const std::vector<TfsCustomVariable*>& locals = LocalSlots();
      TfsCustomVariable* const* slot = locals.data();
      for (std::size_t n = std::min(locals.size(), count); i < n; ++i) slot[i]->Value = std::move(saved[i]);
    }
    // The rest is emptied rather than erased: the entries are reused by the next call, and an
    // emptied entry keeps no text or array of a returned call alive.
    for (; i < count; ++i) saved[i] = Variant();
    FSavedTop = mark;
  }

  bool Executing = false;
  bool IsFunction;
  std::unique_ptr<TfsScript> LocalProg;

 private:
  // The variables and parameters of LocalProg in item order, remade when its table changed.
  const std::vector<TfsCustomVariable*>& LocalSlots() {
    if (FLocalSlotsVersion != *FLocalProgVersion) RemakeLocalSlots();
    return FLocalSlots;
  }
  void RemakeLocalSlots();
  void GrowSavedStack(std::size_t size);
  const std::uint64_t* FLocalProgVersion;  // LocalProg's table version
  std::vector<TfsCustomVariable*> FLocalSlots;
  std::uint64_t FLocalSlotsVersion = ~std::uint64_t{0};
  // Values saved by PushLocals, innermost call last, in FSavedStack[0, FSavedTop); the entries
  // above FSavedTop are empty and kept for the next call.
  std::vector<Variant> FSavedStack;
  std::size_t FSavedTop = 0;
};

// Base of TfsExpression.
class TfsCustomExpression : public TfsCustomVariable {
 public:
  using TfsCustomVariable::TfsCustomVariable;
};

// Member items of host classes, arrays and strings. The designator sets the three links just
// before each use: the item (and its value) whose member this is, and the program evaluating.
class TfsCustomHelper : public TfsCustomVariable {
 public:
  using TfsCustomVariable::TfsCustomVariable;

  TfsCustomVariable* OwnerItem = nullptr;
  Variant OwnerValue = Variant::Null();
  TfsScript* HostProg = nullptr;
};

// Element access on the array held by OwnerItem; one integer parameter per dimension.
class TfsArrayHelper : public TfsCustomHelper {
 public:
  // dimCount -1: unknown dimension count; three parameters, the second and third optional.
  TfsArrayHelper(const std::string& name, int dimCount, TfsVarType varType, const std::string& typeName);
  Variant GetValue() override;
  void SetValue(const Variant& value) override;

 private:
  int IndexesOf(const Variant& array, std::int64_t (&indexes)[3]) const;
};

// Character access on the string OwnerValue; the index is parameter 0, counted from 1.
class TfsStringHelper : public TfsCustomHelper {
 public:
  TfsStringHelper();
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

// An index applied at run time to the value the previous step produced, when the builder cannot
// know its kind without running something (the result of a call): a character of a text (from 1),
// an element of an array, the default property of a host object. Up to three indexes.
class TfsValueIndexHelper : public TfsCustomHelper {
 public:
  TfsValueIndexHelper();
  Variant GetValue() override;
};

}  // namespace kelvo
