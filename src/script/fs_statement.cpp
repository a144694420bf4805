#include "script/fs_statement.h"

#include "script/fs_script.h"

namespace kelvo {

void TfsStatement::Execute() {
  TfsScript& prog = *Prog;
  for (const auto& child : FList) {
    if (prog.StopRequested) return;
    static_cast<TfsStatement*>(child.get())->Execute();
    if (prog.BreakFlag || prog.ContinueFlag || prog.ExitFlag) return;
  }
}

void TfsStatement::RunLine() {
  Prog->RunLine(UnitName, SourcePos);
}

}  // namespace kelvo
