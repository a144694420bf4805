// Statements of a compiled script. A TfsStatement is at the same time a statement and the list of
// its child statements, executed in order; the program body, blocks and branches are plain ones.
// The statement kinds follow, each with its exact order of work: assignments, calls, branches,
// loops, try blocks, break/continue/exit and with. Run flags live in Prog.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "script/program/designator.h"
#include "script/program/expression.h"
#include "script/program/items.h"

namespace kelvo {

class TfsScript;

class TfsStatement : public TfsItemList {
 public:
  TfsStatement(TfsScript* prog, std::string sourcePos, std::string unitName)
      : Prog(prog), SourcePos(std::move(sourcePos)), UnitName(std::move(unitName)) {}

  // Runs the children in order, stopping on a stop request and after break, continue or exit.
  virtual void Execute();
  // Runs the children as the list does, a single one directly (the usual `if (c) x;` and loop
  // bodies of one statement). A bad_alloc it raises becomes EOutOfMemory in the list around
  // this statement, as every statement is in one.
  void RunChildren();
  void RunLine();
  TfsStatement* Child(int i) const { return static_cast<TfsStatement*>(Get(i)); }

  TfsScript* Prog;  // the program whose run flags this statement reads and writes
  std::string SourcePos;
  std::string UnitName;
};

class TfsAssignmentStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;
  // Target := the variable itself for a single-variable designator; Source := the lone item
  // of the expression, else the expression.
  void Optimize();

  std::unique_ptr<TfsDesignator> Designator;
  std::unique_ptr<TfsExpression> Expression;
  TfsCustomVariable* Target = nullptr;
  TfsCustomVariable* Source = nullptr;
  // Where a writable plain variable keeps its value, written in place; none for other targets.
  Variant* StoredTarget = nullptr;
  // Where a plain variable or a constant source keeps its value; none when it is computed.
  const Variant* StoredSource = nullptr;
  // Target and value typed integer: +=, -= and *= wrap at 32 bits as the typed operators do.
  bool IntOnly = false;
  // `return value`: the function's Result is assigned and the function left, as one statement.
  bool ExitAfter = false;

 protected:
  bool Prepare();  // RunLine and the stop check
};

class TfsAssignPlusStmt : public TfsAssignmentStmt {
 public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Execute() override;
};
class TfsAssignMinusStmt : public TfsAssignmentStmt {
 public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Execute() override;
};
class TfsAssignMulStmt : public TfsAssignmentStmt {
 public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Execute() override;
};
class TfsAssignDivStmt : public TfsAssignmentStmt {
 public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Execute() override;
};

class TfsCallStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  std::unique_ptr<TfsDesignator> Designator;
  std::string Modifier;  // "", "+" (x++) or "-" (x--)
  bool IntOnly = false;  // typed integer: ++ and -- wrap at 32 bits
};

class TfsIfStmt : public TfsStatement {
 public:
  TfsIfStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName);
  void Execute() override;

  std::unique_ptr<TfsExpression> Condition;
  std::unique_ptr<TfsStatement> ElseStmt;
};

class TfsCaseSelector : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  bool Check(const Variant& value) { return SetExpression->Check(value); }

  std::unique_ptr<TfsSetExpression> SetExpression;
};

class TfsCaseStmt : public TfsStatement {
 public:
  TfsCaseStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName);
  void Execute() override;

  std::unique_ptr<TfsExpression> Condition;
  std::unique_ptr<TfsStatement> ElseStmt;
};

class TfsRepeatStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  std::unique_ptr<TfsExpression> Condition;
  bool InverseCondition = false;  // do-while: loop while the condition holds
};

class TfsWhileStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  std::unique_ptr<TfsExpression> Condition;
};

class TfsForStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  TfsCustomVariable* Variable = nullptr;
  std::unique_ptr<TfsExpression> BeginValue, EndValue;
  bool Down = false;
};

class TfsVbForStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  TfsCustomVariable* Variable = nullptr;
  std::unique_ptr<TfsExpression> BeginValue, EndValue, Step;
};

class TfsCppForStmt : public TfsStatement {
 public:
  TfsCppForStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName);
  void Execute() override;

  std::unique_ptr<TfsStatement> FirstStmt, SecondStmt;
  std::unique_ptr<TfsExpression> Condition;
};

class TfsTryStmt : public TfsStatement {
 public:
  TfsTryStmt(TfsScript* prog, const std::string& sourcePos, const std::string& unitName);
  void Execute() override;

  bool IsExcept = false;
  std::unique_ptr<TfsStatement> ExceptStmt;
};

class TfsBreakStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;
};
class TfsContinueStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;
};
class TfsExitStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;
};

class TfsWithStmt : public TfsStatement {
 public:
  using TfsStatement::TfsStatement;
  void Execute() override;

  std::unique_ptr<TfsDesignator> Designator;
  TfsCustomVariable* Variable = nullptr;  // the hidden local variable
};

}  // namespace kelvo
