// Designators: the compiled form of a name chain such as `a`, `s[i]`, `list.Items[i].Name` or
// `f(x, y)`. Each step refers to the item it reads or calls and owns its argument expressions; the
// chain is walked at run time with the value flowing from step to step. Fast subclasses serve a
// single variable, a call of a script function, a string character and an array element without
// the general walk.
#pragma once

#include <memory>
#include <string>

#include "script/program/expression.h"
#include "script/program/items.h"

namespace kelvo {

class TfsScript;
class TfsXMLItem;
class TfsProcVariable;

enum TfsDesignatorKind { dkOther, dkVariable, dkStringArray, dkArray, dkCall };

// One step of a chain; its list holds one argument expression per parameter of Ref.
class TfsDesignatorItem : public TfsItemList {
 public:
  TfsExpression* Arg(int i) const { return static_cast<TfsExpression*>(Get(i)); }
  // Classifies Ref once, so the run-time walk needs no type tests.
  void Bind(TfsCustomVariable* ref);

  TfsCustomVariable* Ref = nullptr;
  std::string SourcePos;
  bool IsDesignatorRef = false;       // Ref is itself a designator
  TfsProcVariable* Proc = nullptr;    // Ref as a script procedure
  TfsCustomHelper* Helper = nullptr;  // Ref as a member helper
  bool AnyByRef = false;
  bool IndexTaken = false;  // an index property has taken its index
};

class TfsDesignator : public TfsCustomVariable {
 public:
  explicit TfsDesignator(TfsScript* prog);
  ~TfsDesignator() override;

  TfsDesignatorItem* Step(int i) const { return static_cast<TfsDesignatorItem*>(Get(i)); }
  TfsDesignatorItem* AddStep(TfsCustomVariable* ref, const std::string& sourcePos);
  void Finalize();
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
  // Takes over other's steps and classification (late binding).
  void Borrow(TfsDesignator& other);
  // Compiles a pending intermediate-tree node on first use.
  void CheckLateBinding();

  TfsDesignatorKind Kind = dkOther;
  TfsScript* Prog;
  TfsExpression* IndexSource = nullptr;          // dkStringArray: the index expression
  TfsCustomVariable* IndexSourceItem = nullptr;  // dkArray: the array helper
  TfsDesignatorItem* IndexItem = nullptr;        // dkArray: the step holding the indexes
  // A chain whose first value was unknown when it was built: its intermediate tree, and the
  // builder's entry that compiles it on first use (the builder sets both).
  std::unique_ptr<TfsXMLItem> PendingSource;
  using TfsLateBinder = std::unique_ptr<TfsDesignator> (*)(TfsXMLItem& source, TfsScript& prog);
  TfsLateBinder LateBinder = nullptr;

 protected:
  Variant Walk(bool setting, const Variant& value);
};

class TfsVariableDesignator : public TfsDesignator {
 public:
  using TfsDesignator::TfsDesignator;
  Variant GetValue() override { return Target->GetValue(); }
  void SetValue(const Variant& value) override { Target->SetValue(value); }
};

// A call of a script procedure or function whose parameters are all passed by value: `f(x, y)`.
class TfsCallDesignator : public TfsDesignator {
 public:
  using TfsDesignator::TfsDesignator;
  Variant GetValue() override;
};

class TfsStringDesignator : public TfsDesignator {
 public:
  using TfsDesignator::TfsDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

class TfsArrayDesignator : public TfsDesignator {
 public:
  using TfsDesignator::TfsDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;

 private:
  void PrepareHelper();
};

}  // namespace kelvo
