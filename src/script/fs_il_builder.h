// The program builder: walks the intermediate tree that the grammar-driven parser wrote and
// creates the items, expressions and statements of a program. It knows the IL vocabulary
// (assignstmt, dsgn, expr, op, ...) and nothing of any concrete language syntax.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "script/fs_designator.h"
#include "script/fs_expression.h"
#include "script/fs_host.h"
#include "script/fs_il_parser.h"
#include "script/fs_statements.h"

namespace kelvo {

enum TfsEmitOp { emNone, emCreate, emFree };

// One declaration element (`var` or a parameter group) with the place of its type, found once for
// all the names it declares.
struct TfsDeclaration {
  TfsXMLItem& Element;
  int TypeIndex;  // the `type` child; -1 when none
};

class TfsILBuilder {
 public:
  explicit TfsILBuilder(TfsILParser& parser) : P(parser) {}

  // Builds the whole IL document into the parser's program; errors go to the error fields.
  void ParseILScript();

  void DoProgram(TfsXMLItem& element, TfsScript& prog);
  void DoStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoCompoundStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  std::unique_ptr<TfsExpression> DoExpression(TfsXMLItem& element, TfsScript& prog);
  std::unique_ptr<TfsSetExpression> DoSet(TfsXMLItem& element, TfsScript& prog);
  std::unique_ptr<TfsDesignator> DoDesignator(TfsXMLItem& element, TfsScript& prog, TfsEmitOp emitOp);

 private:
  TfsILParser& P;
  TfsXMLItem* FProgTypes = nullptr;  // the `types` child of the program being built
  // Per program, where the search for the next free hidden name of a `with` starts.
  std::unordered_map<const TfsScript*, int> FNextHiddenName;

  void ErrorPos(const TfsXMLItem& element);
  void DeclarePass(TfsXMLItem& element, TfsScript& prog);
  void DoAssign(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoCall(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoIf(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoCase(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoVbFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoCppFor(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoWhile(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoRepeat(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoTry(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoJump(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt, std::unique_ptr<TfsStatement> jump);
  void DoReturn(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoWith(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoDelete(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoUses(TfsXMLItem& element, TfsScript& prog);
  void DoVar(TfsXMLItem& element, TfsScript& prog, TfsStatement* stmt);
  void DoConst(TfsXMLItem& element, TfsScript& prog);
  void DoProc1(TfsXMLItem& element, TfsScript& prog, bool isFunction);
  void DoProc2(TfsXMLItem& element, TfsScript& prog, bool isFunction);
  void DoParameters(TfsXMLItem& element, TfsProcVariable& proc);
  // The variable or parameter of the `ident` child identIndex of the declaration.
  std::unique_ptr<TfsCustomVariable> CreateVar(const TfsDeclaration& declaration, int identIndex,
                                               TfsScript& prog, TfsStatement* stmt, bool createParam,
                                               bool isVarParam);
  std::vector<TVarArrayBound> ArrayBounds(TfsXMLItem& arrayElement, TfsScript& prog);
  void AppendInitialAssignment(TfsXMLItem& element, TfsXMLItem& initElement, TfsScript& prog,
                               TfsCustomVariable& variable, TfsStatement& stmt);
  void AddExpressionChildren(TfsXMLItem& element, TfsScript& prog, TfsExpression& expr);
  // Fails "Nesting too deep" at the element when the tree is deeper than evaluation allows.
  void CheckDepth(const TfsXMLItem& element, const TfsExpression& expr);
  void CheckArguments(TfsDesignator& designator);
  bool BindWithScope(TfsXMLItem& element, TfsScript& prog, TfsDesignator& d, const std::string& text);
  TfsCustomVariable* NextStepRef(TfsXMLItem& element, TfsScript& prog, TfsDesignator& d,
                                 const std::string& text, bool& pending, bool& indexTaken);
  std::unique_ptr<TfsDesignator> Specialise(std::unique_ptr<TfsDesignator> d);
  void Append(TfsStatement& list, std::unique_ptr<TfsStatement> stmt, const std::string& pos);

  TfsCustomVariable* FindVar(TfsScript& prog, const std::string& name);
  TfsVarType FindType(std::string& typeName);
  TfsClassVariable* FindClass(const std::string& name);
  void CheckIdent(TfsScript& prog, const std::string& name);
  void CheckTypeCompatibility(const TfsCustomVariable& target, const TfsCustomVariable& source);
};

}  // namespace kelvo
