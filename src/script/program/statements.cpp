#include "script/program/statements.h"

#include <new>

#include "script/program/script.h"
#include "script/value/stack_guard.h"

namespace kelvo {

// --- the statement list

void TfsStatement::Execute() {
  TfsScript& prog = *Prog;
  for (const auto& child : FList) {
    if (prog.StopRequested) return;
    try {
      static_cast<TfsStatement*>(child.get())->Execute();
    } catch (const std::bad_alloc&) {
      // Memory ran out inside the statement (whatever was being built is gone again): an error
      // of the script like any other, which its try/except can catch.
      throw EOutOfMemory();
    }
    if (prog.BreakFlag || prog.ContinueFlag || prog.ExitFlag) return;
  }
}

void TfsStatement::RunChildren() {
  if (FList.size() == 1) {
    if (!Prog->StopRequested) Child(0)->Execute();
    return;
  }
  TfsStatement::Execute();
}

void TfsStatement::RunLine() {
  Prog->RunLine(UnitName, SourcePos);
}

namespace {

bool IsTrue(TfsExpression& e) {
  return e.GetBool();
}

// The loop variable's stored value, written directly: no read-only or type checks, no side
// effects of special items.
void StoreLoopValue(TfsCustomVariable* variable, const Variant& value) {
  if (variable->Store() == TfsCustomVariable::stText) {
    variable->Value = Variant(value.AsString());
  } else {
    variable->Value = value;
  }
}

// After the body of a loop: true when the loop must end (break or exit); a continue is consumed.
bool LoopEnds(TfsScript& prog) {
  if (prog.BreakFlag || prog.ExitFlag) return true;
  prog.ContinueFlag = false;
  return false;
}

}  // namespace

// --- assignments

void TfsAssignmentStmt::Optimize() {
  Target = dynamic_cast<TfsVariableDesignator*>(Designator.get()) != nullptr ? Designator->Target
                                                                             : Designator.get();
  TfsCustomVariable* single = Expression->SingleItem();
  // An expression's value is its root's: reading the root saves one call per run.
  Source = single != nullptr ? single : Expression->Root.get();
  StoredTarget =
      !Target->ReadOnly && Target->Store() == TfsCustomVariable::stPlain ? &Target->Value : nullptr;
  if (Source == Expression->Root.get()) {
    StoredSource = Expression->Root->Direct;
  } else {
    StoredSource = Source->Store() != TfsCustomVariable::stComputed ? &Source->Value : nullptr;
  }
}

bool TfsAssignmentStmt::Prepare() {
  RunLine();
  return !Prog->StopRequested;
}

void TfsAssignmentStmt::Execute() {
  if (!Prepare()) return;
  if (StoredTarget != nullptr) {
    *StoredTarget = StoredSource != nullptr ? *StoredSource : Source->GetValue();
  } else {
    Target->SetValue(Source->GetValue());
  }
  if (ExitAfter) Prog->ExitFlag = true;
}

namespace {

// a := a op b on the target. For a variable, its own reference to the value is dropped while
// the operation runs, so a string held only by the variable grows in place instead of being
// copied on every append.
template <class TOp>
void CompoundAssign(TfsCustomVariable* target, TfsCustomVariable* source, TOp op) {
  Variant a = target->GetValue();
  Variant b = source->GetValue();
  TfsCustomVariable::TfsStore store = target->ReadOnly ? TfsCustomVariable::stComputed : target->Store();
  if (store != TfsCustomVariable::stComputed) {
    Variant kept = std::move(target->Value);
    kept = Variant();
    try {
      op(a, b);
    } catch (...) {
      target->Value = a;
      throw;
    }
    // A plain variable stores any value as it is; a string variable converts it to text.
    if (store == TfsCustomVariable::stPlain) {
      target->Value = std::move(a);
    } else {
      target->SetValue(a);
    }
    return;
  }
  op(a, b);
  target->SetValue(a);
}

}  // namespace

// x += e and x -= e on a plain variable holding a 32-bit integer: the sum is made from the value
// the variable held before e was evaluated, as the general path does, and stored where the
// variable keeps it. False, with nothing evaluated, when the variable holds anything else.
bool AddToInteger(TfsCustomVariable* target, TfsCustomVariable* source, int sign) {
  if (target->ReadOnly || target->Store() != TfsCustomVariable::stPlain ||
      target->Value.VarType() != varInteger)
    return false;
  std::int64_t a = target->Value.RawInt();
  Variant b = source->GetValue();
  if (b.VarType() == varInteger) {
    target->Value = VarIntegerResult(a + sign * b.RawInt());
  } else {
    Variant before(static_cast<int>(a));
    target->Value = sign > 0 ? VarAdd(before, b) : VarSub(before, b);
  }
  return true;
}

void TfsAssignPlusStmt::Execute() {
  if (!Prepare()) return;
  if (!IntOnly && AddToInteger(Target, Source, 1)) return;
  if (IntOnly)
    return CompoundAssign(Target, Source, [](Variant& a, const Variant& b) { a = VarAdd32(a, b); });
  CompoundAssign(Target, Source, [](Variant& a, const Variant& b) { VarAddInPlace(a, b); });
}

void TfsAssignMinusStmt::Execute() {
  if (!Prepare()) return;
  if (!IntOnly && AddToInteger(Target, Source, -1)) return;
  CompoundAssign(Target, Source,
                 [this](Variant& a, const Variant& b) { a = IntOnly ? VarSub32(a, b) : VarSub(a, b); });
}

void TfsAssignMulStmt::Execute() {
  if (!Prepare()) return;
  CompoundAssign(Target, Source,
                 [this](Variant& a, const Variant& b) { a = IntOnly ? VarMul32(a, b) : VarMul(a, b); });
}

void TfsAssignDivStmt::Execute() {
  if (!Prepare()) return;
  CompoundAssign(Target, Source, [](Variant& a, const Variant& b) { a = VarDiv(a, b); });
}

// --- calls and branches

void TfsCallStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  if (Modifier.empty()) {
    Designator->GetValue();
    return;
  }
  // x++ and x-- on a plain variable change its stored value where it is.
  TfsCustomVariable* target = Designator->Target;
  Variant* stored = Designator->Kind == dkVariable && target != nullptr && !target->ReadOnly &&
                            target->Store() == TfsCustomVariable::stPlain
                        ? &target->Value
                        : nullptr;
  // A 32-bit integer that stays one: typed or not, the result is the plain sum.
  if (stored != nullptr && stored->TryAddInteger(Modifier[0] == '+' ? 1 : -1)) return;
  Variant v = stored != nullptr ? *stored : Designator->GetValue();
  if (Modifier[0] == '+') {
    v = IntOnly ? VarAdd32(v, Variant(1)) : VarAdd(v, Variant(1));
  } else {
    v = IntOnly ? VarSub32(v, Variant(1)) : VarSub(v, Variant(1));
  }
  if (stored != nullptr) {
    *stored = std::move(v);
  } else {
    Designator->SetValue(v);
  }
}

TfsIfStmt::TfsIfStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName)
    : TfsStatement(prog, sourcePos, unitName),
      ElseStmt(std::make_unique<TfsStatement>(prog, sourcePos, unitName)) {}

void TfsIfStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  if (IsTrue(*Condition)) {
    RunChildren();
  } else {
    ElseStmt->RunChildren();
  }
}

TfsCaseStmt::TfsCaseStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName)
    : TfsStatement(prog, sourcePos, unitName),
      ElseStmt(std::make_unique<TfsStatement>(prog, sourcePos, unitName)) {}

void TfsCaseStmt::Execute() {
  Variant v = Condition->GetValue();
  RunLine();
  if (Prog->StopRequested) return;
  for (int i = 0; i < Count(); ++i) {
    auto* selector = static_cast<TfsCaseSelector*>(Get(i));
    if (selector->Check(v)) {
      selector->RunChildren();
      return;
    }
  }
  ElseStmt->RunChildren();
}

// --- loops

void TfsRepeatStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  for (;;) {
    RunChildren();
    if (LoopEnds(*Prog)) break;
    bool c = IsTrue(*Condition);
    if (c == !InverseCondition) break;
  }
  Prog->BreakFlag = false;
}

void TfsWhileStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  while (IsTrue(*Condition)) {
    RunChildren();
    if (LoopEnds(*Prog)) break;
  }
  Prog->BreakFlag = false;
}

void TfsForStmt::Execute() {
  std::int64_t b = BeginValue->GetValue().AsInteger();
  std::int64_t e = EndValue->GetValue().AsInteger();
  RunLine();
  if (Prog->StopRequested) return;
  if (!Down) {
    for (std::int64_t i = b; i <= e; ++i) {
      StoreLoopValue(Variable, Variant(static_cast<int>(i)));
      RunChildren();
      if (LoopEnds(*Prog)) break;
    }
  } else {
    for (std::int64_t i = b; i >= e; --i) {
      StoreLoopValue(Variable, Variant(static_cast<int>(i)));
      RunChildren();
      if (LoopEnds(*Prog)) break;
    }
  }
  Prog->BreakFlag = false;
}

void TfsVbForStmt::Execute() {
  Variant b = BeginValue->GetValue();
  Variant e = EndValue->GetValue();
  Variant s = Step ? Step->GetValue() : Variant(1);
  bool down = VarCompare(s, Variant(0), TVarCompareOp::Less);
  RunLine();
  if (Prog->StopRequested) return;
  Variant i = b;
  while (down ? VarCompare(i, e, TVarCompareOp::GreatEq) : VarCompare(i, e, TVarCompareOp::LessEq)) {
    StoreLoopValue(Variable, i);
    RunChildren();
    if (LoopEnds(*Prog)) break;
    i = VarAdd(i, s);
  }
  Prog->BreakFlag = false;
}

TfsCppForStmt::TfsCppForStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName)
    : TfsStatement(prog, sourcePos, unitName),
      FirstStmt(std::make_unique<TfsStatement>(prog, sourcePos, unitName)),
      SecondStmt(std::make_unique<TfsStatement>(prog, sourcePos, unitName)) {}

void TfsCppForStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  FirstStmt->Execute();
  if (Prog->StopRequested) return;
  while (IsTrue(*Condition)) {
    RunChildren();
    if (LoopEnds(*Prog)) break;
    SecondStmt->RunChildren();
  }
  Prog->BreakFlag = false;
}

// --- try blocks

TfsTryStmt::TfsTryStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName)
    : TfsStatement(prog, sourcePos, unitName),
      ExceptStmt(std::make_unique<TfsStatement>(prog, sourcePos, unitName)) {}

void TfsTryStmt::Execute() {
  RunLine();
  if (Prog->StopRequested) return;
  if (IsExcept) {
    try {
      TfsStatement::Execute();
    } catch (const Exception& e) {
      Prog->SetVariables("ExceptionClassName", Variant(std::string(e.ClassName())));
      Prog->SetVariables("ExceptionMessage", Variant(e.Message()));
      ExceptStmt->Execute();
    }
    return;
  }
  auto runFinally = [this] {
    bool exitFlag = Prog->ExitFlag;
    Prog->ExitFlag = false;
    ExceptStmt->Execute();
    Prog->ExitFlag = exitFlag;
  };
  try {
    TfsStatement::Execute();
  } catch (...) {
    runFinally();
    throw;
  }
  runFinally();
}

// --- jumps and with

void TfsBreakStmt::Execute() {
  Prog->BreakFlag = true;
}
void TfsContinueStmt::Execute() {
  Prog->ContinueFlag = true;
}
void TfsExitStmt::Execute() {
  Prog->ExitFlag = true;
}

void TfsWithStmt::Execute() {
  TfsStatement::Execute();
  Variable->SetValue(Designator->GetValue());
}

}  // namespace kelvo
