#include "script/fs_statement.h"

#include <new>

#include "script/fs_script.h"
#include "script/fs_stack_guard.h"

namespace kelvo {

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

void TfsStatement::RunLine() {
  Prog->RunLine(UnitName, SourcePos);
}

}  // namespace kelvo
