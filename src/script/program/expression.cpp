#include "script/program/expression.h"

#include <new>
#include <utility>
#include <vector>

#include "script/program/declarations.h"
#include "script/program/designator.h"
#include "script/program/host.h"
#include "script/program/script.h"
#include "text/ansi_text.h"

namespace kelvo {

// --- nodes

bool TfsOperatorNode::HasOperands() const {
  switch (Op) {
    case opNone:
    case opLeftBracket:
    case opRightBracket:
      return true;  // brackets and the root may enclose nothing
    case opNot:
    case opUnMinus:
      return Left != nullptr;
    default:
      return Left != nullptr && Right != nullptr;
  }
}

void TfsExpressionNode::AddNode(std::unique_ptr<TfsExpressionNode> node) {
  if (!node) return;
  node->ParentNode = this;
  if (!Left) {
    Left = std::move(node);
  } else if (!Right) {
    Right = std::move(node);
  }
}

TfsExpressionNode::~TfsExpressionNode() {
  // Operands are unlinked onto a list and freed one at a time: a chain of thousands of operators
  // is as deep as it is long, and must not be torn down by one nested call per level.
  std::vector<std::unique_ptr<TfsExpressionNode>> doomed;
  auto take = [&doomed](std::unique_ptr<TfsExpressionNode>& child) {
    if (child) doomed.push_back(std::move(child));
  };
  take(Left);
  take(Right);
  while (!doomed.empty()) {
    std::unique_ptr<TfsExpressionNode> node = std::move(doomed.back());
    doomed.pop_back();
    take(node->Left);
    take(node->Right);
  }
}

const TfsExpressionNode* TfsExpressionNode::NodeDeeperThan(int depth) const {
  std::vector<std::pair<const TfsExpressionNode*, int>> pending{{this, 1}};
  while (!pending.empty()) {
    auto [node, level] = pending.back();
    pending.pop_back();
    if (level > depth) return node;
    if (node->Right) pending.emplace_back(node->Right.get(), level + 1);
    if (node->Left) pending.emplace_back(node->Left.get(), level + 1);
  }
  return nullptr;
}

std::unique_ptr<TfsExpressionNode> TfsExpressionNode::RemoveNode(TfsExpressionNode* node) {
  std::unique_ptr<TfsExpressionNode> removed;
  if (node == nullptr) return removed;
  if (Left.get() == node) {
    removed = std::move(Left);
  } else if (Right.get() == node) {
    removed = std::move(Right);
  }
  if (removed) removed->ParentNode = nullptr;
  return removed;
}

namespace {

TfsVarType KindOfConstant(const Variant& v) {
  switch (v.VarType()) {
    case varBoolean:
      return fvtBool;
    case varSingle:
    case varDouble:
    case varCurrency:
      return fvtFloat;
    case varString:
    case varOleStr:
      return fvtString;
    default:
      return fvtInt;
  }
}

}  // namespace

TfsOperandNode::TfsOperandNode(const Variant& value) {
  Value = value;
  VarType = KindOfConstant(value);
  Direct = &Value;
  Constant = true;
}

TfsDesignatorNode::TfsDesignatorNode(std::unique_ptr<TfsDesignator> designator)
    : TfsOperandNode(Variant::Null()), Designator(std::move(designator)) {
  VarType = Designator->VarType;
  TypeName = Designator->TypeName;
  Reader = dynamic_cast<TfsVariableDesignator*>(Designator.get()) != nullptr ? Designator->Target
                                                                             : Designator.get();
  // A plain variable or parameter returns its stored value from GetValue: read it in place.
  Direct = Reader->Store() != TfsCustomVariable::stComputed ? &Reader->Value : nullptr;
  Constant = false;
}

TfsDesignatorNode::~TfsDesignatorNode() = default;

Variant TfsDesignatorNode::GetValue() {
  return Reader->GetValue();
}

TfsSetNode::TfsSetNode(std::unique_ptr<TfsSetExpression> set)
    : TfsOperandNode(Variant::Null()), SetExpression(std::move(set)) {
  VarType = fvtVariant;
  Direct = nullptr;
  Constant = false;
}

TfsSetNode::~TfsSetNode() = default;

Variant TfsSetNode::GetValue() {
  return SetExpression->GetValue();
}

TfsOperatorNode::TfsOperatorNode(TfsOperatorType op) : Op(op) {}

int TfsOperatorNode::Priority() const {
  switch (Op) {
    case opNone:
      return 7;
    case opLeftBracket:
      return 6;
    case opRightBracket:
      return 5;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs:
      return 4;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor:
      return 3;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr:
      return 2;
    case opNot:
    case opUnMinus:
      return 1;
  }
  return 7;
}

// --- operator classes

namespace {

// Both operands of a binary node, left evaluated before right. Stored values are read in place;
// the left one only when nothing can change it before the operator runs (it is a constant, or the
// right operand runs no code either).
// Computed values are built in place only when needed.
class TOperands {
 public:
  TOperands(TfsExpressionNode& left, TfsExpressionNode& right) {
    if (left.Direct != nullptr && (left.Constant || right.Direct != nullptr)) {
      L = left.Direct;
    } else {
      L = new (FLeft) Variant(left.GetValue());
      FBuilt |= 1;
    }
    if (right.Direct != nullptr) {
      R = right.Direct;
    } else {
      R = new (FRight) Variant(right.GetValue());
      FBuilt |= 2;
    }
  }
  TOperands(const TOperands&) = delete;
  TOperands& operator=(const TOperands&) = delete;
  ~TOperands() {
    if (FBuilt & 1) const_cast<Variant*>(L)->~Variant();
    if (FBuilt & 2) const_cast<Variant*>(R)->~Variant();
  }

  const Variant* L;
  const Variant* R;

 private:
  alignas(Variant) unsigned char FLeft[sizeof(Variant)];
  alignas(Variant) unsigned char FRight[sizeof(Variant)];
  unsigned FBuilt = 0;
};

// The root of every tree while it is built; brackets exist only until they are closed.
class TNoneNode : public TfsOperatorNode {
 public:
  TNoneNode() : TfsOperatorNode(opNone) {}
  Variant GetValue() override { return Left ? Left->GetValue() : Variant::Null(); }
};

class TLeftBracketNode : public TfsOperatorNode {
 public:
  TLeftBracketNode() : TfsOperatorNode(opLeftBracket) {}
  Variant GetValue() override { return Left ? Left->GetValue() : Variant::Null(); }
};

class TRightBracketNode : public TfsOperatorNode {
 public:
  TRightBracketNode() : TfsOperatorNode(opRightBracket) {}
};

// The six comparisons: a boolean of the variant comparison.
template <TfsOperatorType TOp, TVarCompareOp TCmp>
class TCompareNode : public TfsOperatorNode {
 public:
  TCompareNode() : TfsOperatorNode(TOp) {}
  Variant GetValue() override { return Variant(GetBool()); }
  bool GetBool() override {
    TOperands o(*Left, *Right);
    return VarCompare(*o.L, *o.R, TCmp);
  }
};
using TGreatNode = TCompareNode<opGreat, TVarCompareOp::Great>;
using TLessNode = TCompareNode<opLess, TVarCompareOp::Less>;
using TLessEqNode = TCompareNode<opLessEq, TVarCompareOp::LessEq>;
using TGreatEqNode = TCompareNode<opGreatEq, TVarCompareOp::GreatEq>;
using TNonEqNode = TCompareNode<opNonEq, TVarCompareOp::NonEq>;
using TEqNode = TCompareNode<opEq, TVarCompareOp::Eq>;

// +, - and *: typed 32-bit arithmetic that wraps when both operands are typed integer, else the
// variant operation (which widens instead).
template <TfsOperatorType TOp, Variant (*TTyped)(const Variant&, const Variant&),
          Variant (*TVariant)(const Variant&, const Variant&)>
class TArithmeticNode : public TfsOperatorNode {
 public:
  TArithmeticNode() : TfsOperatorNode(TOp) {}
  Variant GetValue() override {
    TOperands o(*Left, *Right);
    return IntOnly ? TTyped(*o.L, *o.R) : TVariant(*o.L, *o.R);
  }
};
using TPlusNode = TArithmeticNode<opPlus, VarAdd32, VarAdd>;
using TMinusNode = TArithmeticNode<opMinus, VarSub32, VarSub>;
using TMulNode = TArithmeticNode<opMul, VarMul32, VarMul>;

// div and mod: on typed integers the 32-bit values (unless one holds a 64-bit value), else the
// variants as they are.
template <TfsOperatorType TOp, Variant (*TVariant)(const Variant&, const Variant&)>
class TIntegerDivisionNode : public TfsOperatorNode {
 public:
  TIntegerDivisionNode() : TfsOperatorNode(TOp) {}
  Variant GetValue() override {
    TOperands o(*Left, *Right);
    if (IntOnly && o.L->VarType() != varInt64 && o.R->VarType() != varInt64)
      return TVariant(Variant(Int32Of(*o.L)), Variant(Int32Of(*o.R)));
    return TVariant(*o.L, *o.R);
  }
};
using TDivIntNode = TIntegerDivisionNode<opDivInt, VarIntDiv>;
using TModNode = TIntegerDivisionNode<opMod, VarMod>;

// Operators that are always variant operations on both values.
template <TfsOperatorType TOp, Variant (*TVariant)(const Variant&, const Variant&)>
class TVariantNode : public TfsOperatorNode {
 public:
  TVariantNode() : TfsOperatorNode(TOp) {}
  Variant GetValue() override {
    TOperands o(*Left, *Right);
    return TVariant(*o.L, *o.R);
  }
};
using TXorNode = TVariantNode<opXor, VarXor>;
using TDivFloatNode = TVariantNode<opDivFloat, VarDiv>;
using TShlNode = TVariantNode<opShl, VarShl>;
using TShrNode = TVariantNode<opShr, VarShr>;

// Joins texts when the left value is a string (not produced by JScript).
class TStrCatNode : public TfsOperatorNode {
 public:
  TStrCatNode() : TfsOperatorNode(opPlus) {}
  Variant GetValue() override {
    Variant l = Left->GetValue();
    Variant r = Right->GetValue();
    if (!l.IsString()) return VarAdd(l, r);
    l.AppendString(r.AsString());
    return l;
  }
};

// || and &&: on typed booleans the right side is evaluated only when the left does not decide.
class TOrNode : public TfsOperatorNode {
 public:
  TOrNode() : TfsOperatorNode(opOr) {}
  Variant GetValue() override {
    Variant l = Left->GetValue();
    if (!BoolOnly) return VarOr(l, Right->GetValue());
    return l.AsBoolean() ? l : Right->GetValue();
  }
  bool GetBool() override {
    if (!BoolOnly) return GetValue().AsBoolean();
    return Left->GetBool() || Right->GetBool();
  }
};

class TAndNode : public TfsOperatorNode {
 public:
  TAndNode() : TfsOperatorNode(opAnd) {}
  Variant GetValue() override {
    Variant l = Left->GetValue();
    if (!BoolOnly) return VarAnd(l, Right->GetValue());
    return !l.AsBoolean() ? l : Right->GetValue();
  }
  bool GetBool() override {
    if (!BoolOnly) return GetValue().AsBoolean();
    return Left->GetBool() && Right->GetBool();
  }
};

class TNotNode : public TfsOperatorNode {
 public:
  TNotNode() : TfsOperatorNode(opNot) {}
  Variant GetValue() override { return VarNot(Left->GetValue()); }
};

class TUnMinusNode : public TfsOperatorNode {
 public:
  TUnMinusNode() : TfsOperatorNode(opUnMinus) {}
  Variant GetValue() override { return VarNeg(Left->GetValue()); }
};

// value in array a, where a null element between two marks a range.
bool InArray(const Variant& value, const Variant& a) {
  if (!a.IsArray() || a.ArrayDimCount() != 1) return VarEquals(value, a);
  const auto& items = a.ArrayItems();
  std::size_t h = items.size();
  for (std::size_t i = 0; i < h; ++i) {
    bool result;
    if (i + 2 < h && items[i + 1].IsNull()) {
      result = VarCompare(value, items[i], TVarCompareOp::GreatEq) &&
               VarCompare(value, items[i + 2], TVarCompareOp::LessEq);
      i += 2;
    } else {
      result = VarEquals(value, items[i]);
    }
    if (result) return true;
  }
  return false;
}

class TInNode : public TfsOperatorNode {
 public:
  TInNode() : TfsOperatorNode(opIn) {}
  Variant GetValue() override {
    Variant l = Left->GetValue();
    if (auto* set = dynamic_cast<TfsSetNode*>(Right.get())) return Variant(set->SetExpression->Check(l));
    return Variant(InArray(l, Right->GetValue()));
  }
};

class TIsNode : public TfsOperatorNode {
 public:
  TIsNode() : TfsOperatorNode(opIs) {}
  Variant GetValue() override {
    TfsHostObject* obj = VariantToObject(Left->GetValue());
    auto* dsgn = dynamic_cast<TfsDesignatorNode*>(Right.get());
    if (obj == nullptr || dsgn == nullptr || dsgn->Designator->Count() == 0) return Variant(false);
    auto* cls = dynamic_cast<TfsClassVariable*>(dsgn->Designator->Step(0)->Ref);
    return Variant(cls != nullptr && obj->ClassType()->InheritsFrom(cls->ClassRef));
  }
};

}  // namespace

std::unique_ptr<TfsOperatorNode> CreateOperatorNode(const std::string& text) {
  std::string t = UpperCase(text);
  if (t == " ") return std::make_unique<TNoneNode>();
  if (t == ">") return std::make_unique<TGreatNode>();
  if (t == "<") return std::make_unique<TLessNode>();
  if (t == "<=") return std::make_unique<TLessEqNode>();
  if (t == ">=") return std::make_unique<TGreatEqNode>();
  if (t == "<>") return std::make_unique<TNonEqNode>();
  if (t == "=") return std::make_unique<TEqNode>();
  if (t == "+") return std::make_unique<TPlusNode>();
  if (t == "STRCAT") return std::make_unique<TStrCatNode>();
  if (t == "-") return std::make_unique<TMinusNode>();
  if (t == "OR") return std::make_unique<TOrNode>();
  if (t == "XOR") return std::make_unique<TXorNode>();
  if (t == "*") return std::make_unique<TMulNode>();
  if (t == "/") return std::make_unique<TDivFloatNode>();
  if (t == "DIV") return std::make_unique<TDivIntNode>();
  if (t == "MOD") return std::make_unique<TModNode>();
  if (t == "AND") return std::make_unique<TAndNode>();
  if (t == "SHL") return std::make_unique<TShlNode>();
  if (t == "SHR") return std::make_unique<TShrNode>();
  if (t == "(") return std::make_unique<TLeftBracketNode>();
  if (t == ")") return std::make_unique<TRightBracketNode>();
  if (t == "NOT") return std::make_unique<TNotNode>();
  if (t == "UNMINUS") return std::make_unique<TUnMinusNode>();
  if (t == "IN") return std::make_unique<TInNode>();
  if (t == "IS") return std::make_unique<TIsNode>();
  return nullptr;
}

// --- the expression

TfsExpression::TfsExpression(TfsScript* prog) : TfsCustomExpression("", fvtVariant, ""), Prog(prog) {
  Root = CreateOperatorNode(" ");
  Current = Root.get();
}

TfsExpression::~TfsExpression() = default;

void TfsExpression::AddOperand(std::unique_ptr<TfsExpressionNode> node) {
  TfsExpressionNode* raw = node.get();
  Current->AddNode(std::move(node));
  Current = raw;
}

void TfsExpression::AddConst(const Variant& value) {
  auto node = std::make_unique<TfsOperandNode>(value);
  node->SourcePos = SourcePos;
  AddOperand(std::move(node));
}

void TfsExpression::AddDesignator(std::unique_ptr<TfsDesignator> designator) {
  auto node = std::make_unique<TfsDesignatorNode>(std::move(designator));
  node->SourcePos = SourcePos;
  AddOperand(std::move(node));
}

void TfsExpression::AddSet(std::unique_ptr<TfsSetExpression> set) {
  auto node = std::make_unique<TfsSetNode>(std::move(set));
  node->SourcePos = SourcePos;
  AddOperand(std::move(node));
}

void TfsExpression::AddOperator(const std::string& text) {
  std::unique_ptr<TfsOperatorNode> node = CreateOperatorNode(text);
  if (!node) throw Exception(FormatMessage("Unknown operator '%s'", {text}));
  node->SourcePos = SourcePos;
  TfsOperatorNode* raw = node.get();
  if (text == "(" || text == "unminus" || text == "not") {
    AddOperand(std::move(node));
    return;
  }
  if (text != ")") {
    if (Current == Root.get()) {
      Root->AddNode(std::move(node));
    } else {
      TfsExpressionNode* p = Current;
      TfsExpressionNode* q = nullptr;
      if (Current->Priority() != 6) {
        p = Current->ParentNode;
        q = Current;
      }
      while (p != nullptr && raw->Priority() >= p->Priority()) {
        q = p;
        p = p->ParentNode;
      }
      if (p == nullptr) throw Exception("Incompatible types");
      std::unique_ptr<TfsExpressionNode> sub = p->RemoveNode(q);
      p->AddNode(std::move(node));
      raw->AddNode(std::move(sub));
    }
    Current = raw;
    return;
  }
  // ")": close the innermost open bracket; the bracket is replaced by what it encloses.
  TfsExpressionNode* p = Current;
  while (p != nullptr && 5 >= p->Priority()) p = p->ParentNode;
  if (p == nullptr || p->Priority() != 6 || p->ParentNode == nullptr)
    throw Exception("Unbalanced ')' in expression");
  TfsExpressionNode* parent = p->ParentNode;
  std::unique_ptr<TfsExpressionNode> bracket = parent->RemoveNode(p);
  std::unique_ptr<TfsExpressionNode> inner = std::move(bracket->Left);
  TfsExpressionNode* innerRaw = inner.get();
  parent->AddNode(std::move(inner));
  Current = innerRaw != nullptr ? innerRaw : parent;
}

namespace {

bool OperatorAllowed(TfsVarType left, TfsOperatorType op) {
  switch (left) {
    case fvtBool:
      return op == opNonEq || op == opEq || op == opOr || op == opXor || op == opAnd || op == opNot;
    case fvtChar:
    case fvtString:
      return (op >= opGreat && op <= opPlus) || op == opIn;
    case fvtClass:
    case fvtArray:
      return op == opNonEq || op == opEq;
    default:
      return true;
  }
}

TfsTypeRec TypeOf(const TfsExpressionNode* node) {
  return node != nullptr ? TfsTypeRec(node->VarType, node->TypeName) : TfsTypeRec(fvtVariant, "");
}

// The type of one operator from the types of its operands (already checked); records the
// position of the first misfit in errorPos.
void CheckOperator(TfsOperatorNode* op, const TfsScript* prog, std::string& errorPos) {
  // The parser never leaves an operator without its operands, but an imported intermediate tree
  // may: it is refused here rather than read through a null operand when the program runs.
  if (!op->HasOperands()) throw Exception("Invalid file format");
  TfsTypeRec l = TypeOf(op->Left.get());
  TfsTypeRec r = TypeOf(op->Right.get());
  op->IntOnly = l.VarType == fvtInt && r.VarType == fvtInt;
  op->BoolOnly = l.VarType == fvtBool && r.VarType == fvtBool;
  bool accepted;
  if (op->Op == opIs && l.VarType == fvtClass && r.VarType == fvtClass) {
    accepted = true;
  } else {
    accepted = TypesCompatible(l, r, prog) && OperatorAllowed(l.VarType, op->Op);
  }
  TfsTypeRec result = l;
  if (accepted) {
    if ((l.VarType == fvtInt && r.VarType == fvtFloat) || (l.VarType == fvtFloat && r.VarType == fvtInt))
      result = TfsTypeRec(fvtFloat, "");
    if (op->IntOnly && op->Op == opDivFloat) result = TfsTypeRec(fvtFloat, "");
    if ((op->Op >= opGreat && op->Op <= opEq) || op->Op == opIn || op->Op == opIs)
      result = TfsTypeRec(fvtBool, "");
  } else if (errorPos.empty()) {
    errorPos = op->SourcePos.empty() ? std::string(" ") : op->SourcePos;
  }
  op->VarType = result.VarType;
  op->TypeName = result.TypeName;
}

// Checks every operator after its operands, left before right. A chain of thousands of
// operators is as deep as it is long, so the walk keeps its own stack.
void CheckTree(TfsExpressionNode* root, const TfsScript* prog, std::string& errorPos) {
  std::vector<std::pair<TfsOperatorNode*, bool>> pending;  // (operator, operands pushed)
  auto push = [&pending](TfsExpressionNode* node) {
    if (auto* op = dynamic_cast<TfsOperatorNode*>(node)) pending.emplace_back(op, false);
  };
  push(root);
  while (!pending.empty()) {
    auto& [op, expanded] = pending.back();
    if (expanded) {
      CheckOperator(op, prog, errorPos);
      pending.pop_back();
      continue;
    }
    expanded = true;
    TfsOperatorNode* current = op;  // push may move the vector's storage
    push(current->Right.get());
    push(current->Left.get());
  }
}

}  // namespace

namespace {

// Whether a tree reads only constants and plain variables, through operators.
bool ReadsOnlyStorage(const TfsExpressionNode* node) {
  if (node == nullptr) return true;
  if (dynamic_cast<const TfsOperatorNode*>(node) != nullptr)
    return ReadsOnlyStorage(node->Left.get()) && ReadsOnlyStorage(node->Right.get());
  return node->Direct != nullptr;
}

}  // namespace

std::string TfsExpression::Finalize() {
  if (Root->Priority() == 7) {
    std::unique_ptr<TfsExpressionNode> inner = std::move(Root->Left);
    if (!inner) inner = std::make_unique<TfsOperandNode>(Variant::Null());
    inner->ParentNode = nullptr;
    Root = std::move(inner);
    Current = Root.get();
  }
  std::string errorPos;
  CheckTree(Root.get(), Prog, errorPos);
  TfsTypeRec type = TypeOf(Root.get());
  VarType = type.VarType;
  TypeName = type.TypeName.substr(0, TfsTypeRec::MaxTypeName);
  auto* dsgn = dynamic_cast<TfsDesignatorNode*>(Root.get());
  ReadOnly = dsgn == nullptr || dsgn->Designator->ReadOnly;
  ReadsOnly = ReadsOnlyStorage(Root.get());
  return errorPos;
}

void TfsExpression::SetValue(const Variant& value) {
  if (ReadOnly) return;
  if (auto* dsgn = dynamic_cast<TfsDesignatorNode*>(Root.get())) dsgn->Designator->SetValue(value);
}

TfsCustomVariable* TfsExpression::SingleItem() {
  if (auto* dsgn = dynamic_cast<TfsDesignatorNode*>(Root.get())) {
    if (dynamic_cast<TfsVariableDesignator*>(dsgn->Designator.get()) != nullptr)
      return dsgn->Designator->Target;
    return dsgn->Designator.get();
  }
  if (dynamic_cast<TfsOperatorNode*>(Root.get()) == nullptr) return Root.get();
  return nullptr;
}

namespace {

bool SameVariable(TfsExpressionNode* node, TfsDesignator* target) {
  auto* dsgn = dynamic_cast<TfsDesignatorNode*>(node);
  if (dsgn == nullptr) return false;
  auto* v = dynamic_cast<TfsVariableDesignator*>(dsgn->Designator.get());
  return v != nullptr && v->Target == target->Target;
}

}  // namespace

std::string TfsExpression::Optimize(TfsDesignator* target) {
  auto* op = dynamic_cast<TfsOperatorNode*>(Root.get());
  if (dynamic_cast<TfsVariableDesignator*>(target) == nullptr || op == nullptr) return " ";
  if (op->Op != opPlus && op->Op != opMinus && op->Op != opMul && op->Op != opDivFloat) return " ";
  // The concatenation node keeps its own rule; only the arithmetic nodes fold.
  if (dynamic_cast<TStrCatNode*>(op) != nullptr) return " ";
  static const char* kTexts[] = {"+", "-", "*", "/"};
  int index = op->Op == opPlus ? 0 : op->Op == opMinus ? 1 : op->Op == opMul ? 2 : 3;
  if (SameVariable(op->Left.get(), target)) {
    std::unique_ptr<TfsExpressionNode> rest = std::move(op->Right);
    if (!rest) return " ";
    rest->ParentNode = nullptr;
    Root = std::move(rest);
    Current = Root.get();
    return kTexts[index];
  }
  TfsVarType kind = target->Target->VarType;
  if (SameVariable(op->Right.get(), target) && (op->Op == opPlus || op->Op == opMul) && kind != fvtString &&
      kind != fvtVariant) {
    std::unique_ptr<TfsExpressionNode> rest = std::move(op->Left);
    if (!rest) return " ";
    rest->ParentNode = nullptr;
    Root = std::move(rest);
    Current = Root.get();
    return kTexts[index];
  }
  return " ";
}

// --- set expressions

bool TfsSetExpression::Check(const Variant& value) {
  int count = Count();
  // Constants (the usual case labels) are compared where they are stored, without a copy.
  Variant scratch;
  auto entry = [this, &scratch](int i) -> const Variant& { return Entry(i)->Root->Eval(scratch); };
  for (int i = 0; i < count; ++i) {
    bool result;
    if (i < count - 2 && Get(i + 1) == nullptr && Get(i) != nullptr && Get(i + 2) != nullptr) {
      result = VarCompare(value, entry(i), TVarCompareOp::GreatEq) &&
               VarCompare(value, entry(i + 2), TVarCompareOp::LessEq);
      i += 2;
    } else {
      result = Get(i) != nullptr && VarEquals(value, entry(i));
    }
    if (result) return true;
  }
  return false;
}

Variant TfsSetExpression::GetValue() {
  Variant a = Variant::CreateArray(0, Count() - 1);
  for (std::int64_t i = 0; i < Count(); ++i)
    a.PutElement(std::span<const std::int64_t>(&i, 1),
                 Get(static_cast<int>(i)) ? Entry(static_cast<int>(i))->GetValue() : Variant::Null());
  return a;
}

}  // namespace kelvo
