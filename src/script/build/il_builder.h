// The program builder: walks the intermediate tree that the grammar-driven parser wrote and
// creates the items, expressions and statements of a program. It knows the IL vocabulary
// (assignstmt, dsgn, expr, op, ...) and nothing of any concrete language syntax; what it needs of
// the language and the source it reads through TfsParseInfo.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "script/front/parse_info.h"
#include "script/front/xml_tree.h"
#include "script/program/designator.h"
#include "script/program/expression.h"
#include "script/program/host.h"
#include "script/program/statements.h"

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
  TfsILBuilder(TfsScript& program, const TfsParseInfo& parse) : FProgram(program), FParse(parse) {}

  // Builds the whole tree into the program; errors go to the program's error fields.
  void Build(TfsXMLItem& root);

  void DoProgram(TfsXMLItem& element, TfsScript& prog);
  void DoStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  void DoCompoundStmt(TfsXMLItem& element, TfsScript& prog, TfsStatement& stmt);
  std::unique_ptr<TfsExpression> DoExpression(TfsXMLItem& element, TfsScript& prog);
  std::unique_ptr<TfsSetExpression> DoSet(TfsXMLItem& element, TfsScript& prog);
  std::unique_ptr<TfsDesignator> DoDesignator(TfsXMLItem& element, TfsScript& prog, TfsEmitOp emitOp);

 private:
  TfsScript& FProgram;
  const TfsParseInfo& FParse;
  std::string FErrorPos;  // "line:column" of the IL node being built when a build error is raised
  std::string FUnitName;  // the imported unit being built; empty for the main script
  // Names of the hidden variables of `with` statements, each with its statement.
  std::vector<std::pair<std::string, TfsWithStmt*>> FWithList;
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

// Builds the designator of an intermediate-tree `dsgn` element for a program, with no language:
// the late binding of a designator whose first value was not known when it was built.
std::unique_ptr<TfsDesignator> fsBuildDesignator(TfsXMLItem& element, TfsScript& prog);

}  // namespace kelvo
