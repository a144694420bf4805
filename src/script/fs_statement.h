// Statements of a compiled script. A TfsStatement is at the same time a statement and the list of
// its child statements, executed in order; the program body, blocks and branches are plain ones.
#pragma once

#include <string>

#include "script/fs_items.h"

namespace kelvo {

class TfsScript;

class TfsStatement : public TfsItemList {
 public:
  TfsStatement(TfsScript* prog, const std::string& sourcePos, const std::string& unitName)
      : Prog(prog), SourcePos(sourcePos), UnitName(unitName) {}

  // Runs the children in order, stopping on a stop request and after break, continue or exit.
  virtual void Execute();
  void RunLine();
  TfsStatement* Child(int i) const { return static_cast<TfsStatement*>(Get(i)); }

  TfsScript* Prog;  // the program whose run flags this statement reads and writes
  std::string SourcePos;
  std::string UnitName;
};

}  // namespace kelvo
