// Runs every script of data/js with the engine and compares what it prints with the
// "// expect: " lines written in the script, and its errors with "// error: " (compile error,
// "LINE:COLUMN: message") and "// runtime error: " lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/lib/modules.h"
#include "script/program/script.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

std::string DataDir() {
  return std::string(KELVO_TEST_DATA) + "/js";
}

std::vector<std::string> ListScriptFiles() {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(DataDir()))
    if (entry.path().extension() == ".js") files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

struct TExpectations {
  std::vector<std::string> Output;
  std::string CompileError, RuntimeError;
};

TExpectations ReadExpectations(const std::vector<std::string>& lines) {
  TExpectations e;
  auto after = [](const std::string& line, const std::string& marker, std::string& out) {
    auto p = line.find(marker);
    if (p == std::string::npos) return false;
    out = line.substr(p + marker.size());
    return true;
  };
  for (const std::string& line : lines) {
    std::string value;
    if (after(line, "// expect: ", value))
      e.Output.push_back(value);
    else if (after(line, "// runtime error: ", value))
      e.RuntimeError = value;
    else if (after(line, "// error: ", value))
      e.CompileError = value;
  }
  return e;
}

class ScriptFiles : public ::testing::TestWithParam<std::string> {};

// A moved data folder would otherwise leave the parameterised test with no cases, silently.
TEST(ScriptFilesFolder, HoldsScripts) {
  EXPECT_FALSE(ListScriptFiles().empty()) << DataDir();
}

TEST_P(ScriptFiles, PrintsWhatItsCommentsExpect) {
  std::ifstream in(DataDir() + "/" + GetParam(), std::ios::binary);
  ASSERT_TRUE(in.good());
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = "JScript";
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    prog.Lines.push_back(line);
  }
  TExpectations expected = ReadExpectations(prog.Lines);
  std::vector<std::string> printed;
  prog.AddMethod("procedure Print(Value: Variant)",
                 [&printed](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   std::int64_t i = 0;
                   printed.push_back(params.GetElement(std::span(&i, 1)).AsString());
                   return Variant();
                 });
  bool compiled = prog.Compile();
  if (!expected.CompileError.empty()) {
    EXPECT_FALSE(compiled);
    EXPECT_EQ(prog.ErrorPlace + ": " + prog.ErrorText, expected.CompileError);
    return;
  }
  ASSERT_TRUE(compiled) << prog.ErrorPlace << ": " << prog.ErrorText;
  std::string runtimeError;
  try {
    prog.Execute();
  } catch (const Exception& e) {
    runtimeError = e.Message();
  }
  EXPECT_EQ(runtimeError, expected.RuntimeError);
  EXPECT_EQ(printed, expected.Output);
  EXPECT_FALSE(prog.Running);
  EXPECT_FALSE(prog.ExitFlag);
}

INSTANTIATE_TEST_SUITE_P(Js, ScriptFiles, ::testing::ValuesIn(ListScriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.find('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace kelvo
