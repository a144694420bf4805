// The Print procedure that script tests give their programs, and the fixture of the tests that
// run JScript with it: the program sees the system library, and every value it prints is kept as
// one line of text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "script/lib/modules.h"
#include "script/program/script.h"

namespace kelvo::testing {

// Registers "procedure Print(Value: Variant)" in prog; each call appends the value's text to
// printed, which must outlive the program's runs.
inline void AddPrint(TfsScript& prog, std::vector<std::string>& printed) {
  prog.AddMethod("procedure Print(Value: Variant)",
                 [&printed](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   std::int64_t first = 0;
                   printed.push_back(params.GetElement(std::span(&first, 1)).AsString());
                   return Variant();
                 });
}

// A JScript program under the global program, with Print. SetUp may be called again after
// prog.Clear() to register Print anew.
class PrintingScript : public ::testing::Test {
 protected:
  void SetUp() override {
    prog.Parent = fsGlobalUnit();
    prog.SyntaxType = "JScript";
    AddPrint(prog, printed);
  }

  TfsScript prog;
  std::vector<std::string> printed;
};

}  // namespace kelvo::testing
