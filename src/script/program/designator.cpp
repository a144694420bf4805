#include "script/program/designator.h"

#include <new>

#include "script/front/xml_tree.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "script/value/stack_guard.h"

namespace kelvo {

namespace {

// Arguments are evaluated into this buffer before any parameter is stored, so an argument that
// reads the callee's own parameter (a recursive call) sees the caller's value. Only the slots in
// use are constructed.
class TArgBuffer {
 public:
  explicit TArgBuffer(int n) : FCount(n) {
    if (n > kInline) FHeap.resize(static_cast<std::size_t>(n));
  }
  TArgBuffer(const TArgBuffer&) = delete;
  TArgBuffer& operator=(const TArgBuffer&) = delete;
  ~TArgBuffer() {
    for (int i = 0; i < FBuilt; ++i) Inline(i).~Variant();
  }
  // Stores the next value; values are set in order 0, 1, ...
  void Set(int i, Variant&& value) {
    if (FCount > kInline) {
      FHeap[static_cast<std::size_t>(i)] = std::move(value);
      return;
    }
    new (&FStorage[i * sizeof(Variant)]) Variant(std::move(value));
    FBuilt = i + 1;
  }
  Variant& operator[](int i) { return FCount > kInline ? FHeap[static_cast<std::size_t>(i)] : Inline(i); }

 private:
  static constexpr int kInline = 6;
  Variant& Inline(int i) { return *std::launder(reinterpret_cast<Variant*>(&FStorage[i * sizeof(Variant)])); }
  int FCount;
  int FBuilt = 0;
  alignas(Variant) unsigned char FStorage[kInline * sizeof(Variant)];
  std::vector<Variant> FHeap;
};

// Drops the values a recursive call saved when an exception passes (they are not restored).
struct TSavedLocalsGuard {
  TfsProcVariable* Proc;
  std::size_t Mark;
  ~TSavedLocalsGuard() {
    if (Proc != nullptr) Proc->PopLocals(Mark, false);
  }
};

// The value of an argument: read where it is stored for a constant or a plain variable.
Variant ArgumentValue(TfsExpression& arg) {
  if (const Variant* stored = arg.Root->Direct) return *stored;
  return arg.GetValue();
}

// Whether the arguments after the first may be stored one by one as they are evaluated: none of
// them runs script code, and the callee is not running, so no argument reads a parameter that an
// earlier argument has already replaced.
bool StoresInPlace(TfsDesignatorItem& step, TfsCustomVariable& ref, TfsProcVariable* proc) {
  int argc = step.Count();
  if (ref.MacroArgs || argc > ref.ParamCount() || (proc != nullptr && proc->Executing)) return false;
  for (int j = 1; j < argc; ++j)
    if (!step.Arg(j)->ReadsOnly) return false;
  return true;
}

// Stores a step's arguments into the parameters of the item it calls; for a macro the source text
// of each argument instead of its value. Arguments are evaluated left to right, every one before
// any parameter is stored unless storing them in turn cannot be told apart from that.
void StoreArguments(TfsDesignatorItem& step, TfsCustomVariable& ref) {
  int argc = step.Count();
  if (argc == 0) return;
  if (argc == 1 && ref.ParamCount() >= 1) {
    TfsExpression* arg = step.Arg(0);
    Variant v = ref.MacroArgs ? Variant(arg->SourceText) : ArgumentValue(*arg);
    ref.GetParam(0)->Value = std::move(v);
    return;
  }
  if (StoresInPlace(step, ref, step.Proc)) {
    for (int j = 0; j < argc; ++j) ref.GetParam(j)->Value = ArgumentValue(*step.Arg(j));
    return;
  }
  TArgBuffer args(argc);
  for (int j = 0; j < argc; ++j) {
    TfsExpression* arg = step.Arg(j);
    args.Set(j, ref.MacroArgs ? Variant(arg->SourceText) : ArgumentValue(*arg));
  }
  for (int j = 0; j < argc && j < ref.ParamCount(); ++j) ref.GetParam(j)->Value = std::move(args[j]);
}

}  // namespace

// --- TfsDesignatorItem

void TfsDesignatorItem::Bind(TfsCustomVariable* ref) {
  Ref = ref;
  IsDesignatorRef = dynamic_cast<TfsDesignator*>(ref) != nullptr;
  Proc = dynamic_cast<TfsProcVariable*>(ref);
  Helper = dynamic_cast<TfsCustomHelper*>(ref);
  AnyByRef = false;
  if (ref != nullptr)
    for (int i = 0; i < ref->ParamCount(); ++i)
      if (ref->GetParam(i)->ByRef) AnyByRef = true;
}

// --- TfsDesignator

TfsDesignator::TfsDesignator(TfsScript* prog) : TfsCustomVariable("", fvtVariant, ""), Prog(prog) {}

TfsDesignator::~TfsDesignator() = default;

TfsDesignatorItem* TfsDesignator::AddStep(TfsCustomVariable* ref, const std::string& sourcePos) {
  auto step = std::make_unique<TfsDesignatorItem>();
  step->Bind(ref);
  step->SourcePos = sourcePos;
  return Add(std::move(step));
}

void TfsDesignator::Finalize() {
  int n = Count();
  if (n == 0) return;
  TfsDesignatorItem* last = Step(n - 1);
  for (int i = 0; i < n; ++i) Step(i)->Bind(Step(i)->Ref);
  if (last->Ref == nullptr) return;
  VarType = last->Ref->VarType;
  TypeName = last->Ref->TypeName;
  if (VarType == fvtConstructor) {
    VarType = fvtClass;
    TypeName = n > 1 && Step(n - 2)->Ref != nullptr ? Step(n - 2)->Ref->TypeName : std::string();
  }
  ReadOnly = last->Ref->ReadOnly;
  TfsCustomVariable* first = Step(0)->Ref;
  bool firstIsVariable =
      dynamic_cast<TfsVariable*>(first) != nullptr || dynamic_cast<TfsParamItem*>(first) != nullptr;
  Kind = dkOther;
  if (n == 1 && firstIsVariable) {
    Kind = dkVariable;
    Target = first;
  } else if (n == 1 && Step(0)->Proc != nullptr && !Step(0)->AnyByRef && !first->MacroArgs) {
    Kind = dkCall;
  } else if (n == 2 && dynamic_cast<TfsStringVariable*>(first) != nullptr && Step(1)->Count() > 0) {
    Kind = dkStringArray;
    Target = first;
    IndexSource = Step(1)->Arg(0);
  } else if (n == 2 && dynamic_cast<TfsVariable*>(first) != nullptr && first->VarType == fvtArray &&
             first->Target != nullptr && Step(1)->Ref == first->Target) {
    Kind = dkArray;
    Target = first;
    IndexSourceItem = first->Target;
    IndexItem = Step(1);
  }
}

void TfsDesignator::Borrow(TfsDesignator& other) {
  SwapList(other);
  Kind = other.Kind;
  IndexSource = other.IndexSource;
  IndexSourceItem = other.IndexSourceItem;
  IndexItem = other.IndexItem;
  VarType = other.VarType;
  TypeName = other.TypeName;
  ReadOnly = other.ReadOnly;
  Target = other.Target;
}

void TfsDesignator::CheckLateBinding() {
  if (!PendingSource) return;
  std::unique_ptr<TfsXMLItem> source = std::move(PendingSource);
  std::unique_ptr<TfsDesignator> bound = LateBinder(*source, *Prog);
  Borrow(*bound);
}

Variant TfsDesignator::GetValue() {
  return Walk(false, Variant());
}

void TfsDesignator::SetValue(const Variant& value) {
  Walk(true, value);
}

Variant TfsDesignator::Walk(bool setting, const Variant& value) {
  // Arguments nest calls inside calls (of host functions too, which have no guard of their own).
  CheckStackSpace();
  if (PendingSource) CheckLateBinding();
  Variant cur = Variant::Null();
  TfsCustomVariable* prev = nullptr;
  int n = Count();
  for (int i = 0; i < n; ++i) {
    TfsDesignatorItem* step = Step(i);
    TfsCustomVariable* ref = step->Ref;
    if (ref == nullptr) return Variant::Null();
    if (step->IsDesignatorRef) {
      prev = ref;
      cur = ref->GetValue();
      continue;
    }
    TfsProcVariable* recursive = step->Proc != nullptr && step->Proc->Executing ? step->Proc : nullptr;
    TSavedLocalsGuard saved{recursive, recursive != nullptr ? recursive->PushLocals() : 0};
    StoreArguments(*step, *ref);
    if (step->Helper != nullptr) {
      step->Helper->OwnerItem = prev;
      step->Helper->OwnerValue = cur;
      step->Helper->HostProg = Prog;
    }
    prev = ref;
    if (setting && i == n - 1) {
      ref->SetValue(value);
    } else {
      cur = ref->GetValue();
    }
    if (step->AnyByRef) {
      for (int j = 0, argc = step->Count(); j < argc && j < ref->ParamCount(); ++j)
        if (ref->GetParam(j)->ByRef) step->Arg(j)->SetValue(ref->GetParam(j)->Value);
    }
    if (recursive != nullptr) {
      saved.Proc = nullptr;
      recursive->PopLocals(saved.Mark, true);
    }
  }
  return cur;
}

// --- fast designators

Variant TfsCallDesignator::GetValue() {
  TfsDesignatorItem& step = *Step(0);
  TfsProcVariable& proc = *step.Proc;
  // The callee's own stack-space check covers the nesting: arguments are evaluated first, and
  // every call they make goes through its own check.
  TfsProcVariable* recursive = proc.Executing ? &proc : nullptr;
  TSavedLocalsGuard saved{recursive, recursive != nullptr ? proc.PushLocals() : 0};
  StoreArguments(step, proc);
  Variant result = proc.GetValue();
  if (recursive != nullptr) {
    saved.Proc = nullptr;
    proc.PopLocals(saved.Mark, true);
  }
  return result;
}

Variant TfsStringDesignator::GetValue() {
  std::int64_t i = IndexSource->GetValue().AsInt64();
  const Variant& text = Target->Value;
  if (text.IsString()) return Variant(std::string(1, text.GetChar(i)));
  return Variant(std::string(1, Variant(text.AsString()).GetChar(i)));
}

void TfsStringDesignator::SetValue(const Variant& value) {
  if (Target->ReadOnly) return;
  std::int64_t i = IndexSource->GetValue().AsInt64();
  std::string text = value.AsString();
  if (text.empty()) return;
  Target->Value.SetChar(i, text[0]);
}

void TfsArrayDesignator::PrepareHelper() {
  auto* helper = static_cast<TfsCustomHelper*>(IndexSourceItem);
  int argc = IndexItem->Count();
  TArgBuffer args(argc);
  for (int j = 0; j < argc; ++j) args.Set(j, IndexItem->Arg(j)->GetValue());
  for (int j = 0; j < argc && j < helper->ParamCount(); ++j) helper->GetParam(j)->Value = std::move(args[j]);
  helper->OwnerItem = Target;
  helper->OwnerValue = Variant::Null();
  helper->HostProg = Prog;
}

Variant TfsArrayDesignator::GetValue() {
  PrepareHelper();
  return IndexSourceItem->GetValue();
}

void TfsArrayDesignator::SetValue(const Variant& value) {
  PrepareHelper();
  IndexSourceItem->SetValue(value);
}

}  // namespace kelvo
