// Scripts whose shape drives the parser, the builder and the interpreter deep: a megabyte-long
// line of one construct either compiles or gives "Nesting too deep", and never exhausts the
// stack; nesting below the limits compiles and runs with the expected result.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>
#include <vector>

#include "script/lib/modules.h"
#include "script/program/expression.h"
#include "script/program/script.h"

namespace kelvo {
namespace {

std::string Repeat(const std::string& text, std::size_t count) {
  std::string out;
  out.reserve(text.size() * count);
  for (std::size_t i = 0; i < count; ++i) out += text;
  return out;
}

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

struct TShape {
  const char* Name;
  std::function<std::string()> Text;
};

// Each shape is one line of about a megabyte.
const TShape kShapes[] = {
    {"Sum", [] { return "var x = 0" + Repeat("+1", kMegabyte / 2) + ";"; }},
    {"Negation", [] { return "var x = " + Repeat("-(", kMegabyte / 2) + "1;"; }},
    {"Sets", [] { return "var x = " + Repeat("[", kMegabyte) + ";"; }},
    {"Calls", [] { return "function f(a) { return a; }\nvar x = " + Repeat("f(", kMegabyte / 2) + "1;"; }},
    {"Parentheses", [] { return "var x = " + Repeat("(", kMegabyte) + "1;"; }},
    {"Blocks", [] { return Repeat("{", kMegabyte / 2) + Repeat("}", kMegabyte / 2); }},
    {"Ifs", [] { return Repeat("if (1) ", kMegabyte / 7) + "x = 1;"; }},
};

class MegabyteLine : public ::testing::TestWithParam<TShape> {};

TEST_P(MegabyteLine, CompilesOrIsNestedTooDeep) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = "JScript";
  prog.Lines = {GetParam().Text()};
  if (!prog.Compile()) {
    EXPECT_EQ(prog.ErrorText, "Nesting too deep");
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, MegabyteLine, ::testing::ValuesIn(kShapes),
                         [](const ::testing::TestParamInfo<TShape>& info) { return info.param.Name; });

class LongExpression : public ::testing::Test {
 protected:
  bool Compile(const std::string& text) {
    prog.Parent = fsGlobalUnit();
    prog.SyntaxType = "JScript";
    prog.Lines = {text};
    return prog.Compile();
  }
  TfsScript prog;
};

// Operators chain one level deeper each; evaluation recurses once per level.
TEST_F(LongExpression, AChainJustBelowTheLimitCompilesAndRuns) {
  const int operators = TfsExpression::kMaxDepth - 2;  // the chain and its operand below the root
  ASSERT_TRUE(Compile("var x = 0" + Repeat("+1", operators) + ";")) << prog.ErrorText;
  prog.Execute();
  EXPECT_EQ(prog.GetVariables("x").AsInteger(), operators);
}

TEST_F(LongExpression, ALongerChainIsNestedTooDeepAtItsStart) {
  EXPECT_FALSE(Compile("var x = 0" + Repeat("+1", TfsExpression::kMaxDepth) + ";"));
  EXPECT_EQ(prog.ErrorPlace + ": " + prog.ErrorText, "1:9: Nesting too deep");
}

// The limits hold on a thread with a small stack too: the guards measure the stack that is left.
// ThreadSanitizer keeps its state of each thread in thread-local storage, which glibc places at
// the top of the thread's stack: there the same room for frames needs a larger stack.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kSmallStack = 4 * 1024 * 1024;
#else
constexpr std::size_t kSmallStack = 1024 * 1024;
#endif

TEST(SmallStack, DeepShapesEndInErrorsNotCrashes) {
  struct TRun {
    std::vector<std::string> Errors;
  } run;
  auto body = [](void* arg) -> void* {
    auto* r = static_cast<TRun*>(arg);
    const std::vector<std::string> texts = {"var x = " + Repeat("-(", 20000) + "1;",
                                            "function r(n) { return r(n + 1); }\nr(0);",
                                            "var x = 0" + Repeat("+1", TfsExpression::kMaxDepth - 2) + ";"};
    for (const std::string& text : texts) {
      TfsScript prog;
      prog.Parent = fsGlobalUnit();
      prog.SyntaxType = "JScript";
      prog.Lines = {text};
      try {
        r->Errors.push_back(prog.Compile() ? (prog.Execute(), std::string("ran")) : prog.ErrorText);
      } catch (const Exception& e) {
        r->Errors.push_back(e.Message());
      }
    }
    return nullptr;
  };
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kSmallStack);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, body, &run), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(run.Errors,
            (std::vector<std::string>{"Nesting too deep", "Stack overflow: too many nested calls", "ran"}));
}

}  // namespace
}  // namespace kelvo
