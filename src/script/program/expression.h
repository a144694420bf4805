// Expressions of a compiled script: a tree of operator and operand nodes built from the operators
// and operands in source order by their priorities, type-checked once (Finalize), and evaluated on
// variants. A designator node reads a name chain (fs_designator.h); a set node a set constructor.
#pragma once

#include <memory>
#include <string>

#include "script/program/items.h"

namespace kelvo {

class TfsScript;
class TfsDesignator;
class TfsSetExpression;

enum TfsOperatorType {
  opNone,
  opGreat,
  opLess,
  opLessEq,
  opGreatEq,
  opNonEq,
  opEq,
  opPlus,
  opMinus,
  opOr,
  opXor,
  opMul,
  opDivFloat,
  opDivInt,
  opMod,
  opAnd,
  opShl,
  opShr,
  opLeftBracket,
  opRightBracket,
  opNot,
  opUnMinus,
  opIn,
  opIs,
};

class TfsExpressionNode : public TfsCustomVariable {
 public:
  TfsExpressionNode() : TfsCustomVariable("", fvtVariant, "") {}
  ~TfsExpressionNode() override;
  // Lower binds tighter; operands are 0.
  virtual int Priority() const = 0;
  // The first node (left before right) more than depth levels down from this one, this one
  // being level 1; none when the tree is no deeper.
  const TfsExpressionNode* NodeDeeperThan(int depth) const;
  // Fills Left if empty, else Right if empty.
  void AddNode(std::unique_ptr<TfsExpressionNode> node);
  // Unlinks whichever child is node and hands it back.
  std::unique_ptr<TfsExpressionNode> RemoveNode(TfsExpressionNode* node);

  // The value as a condition; comparisons answer without making a variant.
  virtual bool GetBool() { return GetValue().AsBoolean(); }
  // The node's value: read where it is stored when the node is a constant or a plain variable
  // (no copy, no call), else computed into scratch. The reference is good until the next
  // statement of the script runs.
  const Variant& Eval(Variant& scratch) {
    if (Direct != nullptr) return *Direct;
    scratch = GetValue();
    return scratch;
  }

  std::unique_ptr<TfsExpressionNode> Left, Right;
  TfsExpressionNode* ParentNode = nullptr;
  // Where a constant or a plain variable keeps the value this node reads; none for every node
  // that computes. Reading it runs no script code.
  const Variant* Direct = nullptr;
  bool Constant = false;  // a constant operand: its value never changes
};

// A constant.
class TfsOperandNode : public TfsExpressionNode {
 public:
  explicit TfsOperandNode(const Variant& value);
  int Priority() const override { return 0; }
};

class TfsDesignatorNode : public TfsOperandNode {
 public:
  explicit TfsDesignatorNode(std::unique_ptr<TfsDesignator> designator);
  ~TfsDesignatorNode() override;
  Variant GetValue() override;

  std::unique_ptr<TfsDesignator> Designator;
  TfsCustomVariable* Reader;  // the variable itself for a single-variable designator
};

class TfsSetNode : public TfsOperandNode {
 public:
  explicit TfsSetNode(std::unique_ptr<TfsSetExpression> set);
  ~TfsSetNode() override;
  Variant GetValue() override;

  std::unique_ptr<TfsSetExpression> SetExpression;
};

class TfsOperatorNode : public TfsExpressionNode {
 public:
  explicit TfsOperatorNode(TfsOperatorType op);
  int Priority() const override;
  // Whether the operands this operator reads are there: one for not and unary minus, two for
  // the others, none required for the brackets.
  bool HasOperands() const;

  TfsOperatorType Op;
  bool IntOnly = false;   // both operands typed integer: native 32-bit arithmetic
  bool BoolOnly = false;  // both operands typed boolean: short-circuit and/or
};

// Creates the node of an operator text (" ", ">", "+", "STRCAT", "DIV", "UNMINUS", ...,
// compared upper-cased); none for an unknown text.
std::unique_ptr<TfsOperatorNode> CreateOperatorNode(const std::string& text);

class TfsExpression final : public TfsCustomExpression {
 public:
  // Evaluation recurses once per level of the tree, without the stack guard the calls have: the
  // builder refuses deeper trees ("Nesting too deep"). No nesting the parser accepts comes near
  // it; only a chain of more than a thousand operators does.
  static constexpr int kMaxDepth = 1000;

  explicit TfsExpression(TfsScript* prog);
  ~TfsExpression() override;

  void AddConst(const Variant& value);
  void AddDesignator(std::unique_ptr<TfsDesignator> designator);
  void AddSet(std::unique_ptr<TfsSetExpression> set);
  // Operators and brackets; raises "Incompatible types" style errors of its own only for texts
  // outside the operator table and for an unbalanced ")".
  void AddOperator(const std::string& text);
  // Type-checks the tree; returns the position of the first misfit, empty when all fit.
  std::string Finalize();
  // " " or the operator of an add-assignment that replaces target := target op rest.
  std::string Optimize(TfsDesignator* target);
  // The item a lone operand reads (a variable, a designator or a constant node); none otherwise.
  TfsCustomVariable* SingleItem();

  Variant GetValue() override { return Root->GetValue(); }
  bool GetBool() { return Root->GetBool(); }
  void SetValue(const Variant& value) override;

  std::unique_ptr<TfsExpressionNode> Root;
  TfsExpressionNode* Current = nullptr;
  TfsScript* Prog;
  std::string SourceText;  // the source of the expression, passed to macro arguments
  // Set by Finalize: the value is made of constants, plain variables and operators only, so
  // evaluating it runs no script code and changes nothing.
  bool ReadsOnly = false;

 private:
  void AddOperand(std::unique_ptr<TfsExpressionNode> node);
};

// A set constructor: expressions and empty entries; an empty entry between two marks a range.
class TfsSetExpression : public TfsCustomVariable {
 public:
  TfsSetExpression() : TfsCustomVariable("", fvtVariant, "") {}
  bool Check(const Variant& value);
  Variant GetValue() override;
  TfsExpression* Entry(int i) const { return static_cast<TfsExpression*>(Get(i)); }
};

}  // namespace kelvo
