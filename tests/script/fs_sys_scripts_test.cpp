// The system library through scripts: each JScript file in data/syslib is compiled and run with
// a Print procedure; its "// expect: TEXT" comments list the printed lines in order, and an
// "// expect runtime error: MESSAGE" comment the error that ends the run.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "script/format/format_settings.h"
#include "script/lib/modules.h"
#include "script/lib/system_library.h"
#include "script/program/script.h"

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

fs::path DataFolder() {
  return fs::path(KELVO_TEST_DATA) / "syslib";
}

std::vector<std::string> ScriptFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(DataFolder(), ec))
    if (entry.path().extension() == ".js") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ReadLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// What the comments of a script expect.
struct TExpectations {
  std::vector<std::string> Output;
  std::string RuntimeError;  // empty: the run must succeed
};

TExpectations ReadExpectations(const std::vector<std::string>& lines) {
  static const std::string kOutput = "// expect: ", kError = "// expect runtime error: ";
  TExpectations e;
  for (const std::string& line : lines) {
    if (size_t at = line.find(kOutput); at != std::string::npos)
      e.Output.push_back(line.substr(at + kOutput.size()));
    if (size_t at = line.find(kError); at != std::string::npos)
      e.RuntimeError = line.substr(at + kError.size());
  }
  return e;
}

class SysLibraryScript : public ::testing::TestWithParam<std::string> {
 protected:
  // The expectations are written for the Russian conventions, whatever the machine's locale.
  static void SetUpTestSuite() { SetDefaultFormatSettings(RussianFormatSettings()); }
};

}  // namespace

TEST_P(SysLibraryScript, PrintsWhatItsCommentsExpect) {
  std::vector<std::string> lines = ReadLines(DataFolder() / GetParam());
  TExpectations expected = ReadExpectations(lines);
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = "JScript";
  prog.Lines = lines;
  std::vector<std::string> printed;
  prog.AddMethod("procedure Print(Value: Variant)",
                 [&printed](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   std::int64_t i = 0;
                   printed.push_back(params.GetElement(std::span(&i, 1)).AsString());
                   return Variant();
                 });
  ASSERT_TRUE(prog.Compile()) << prog.ErrorPlace << ": " << prog.ErrorText;
  std::string error;
  try {
    prog.Execute();
  } catch (const Exception& e) {
    error = e.Message();
  }
  EXPECT_EQ(error, expected.RuntimeError);
  ASSERT_EQ(printed.size(), expected.Output.size());
  for (size_t i = 0; i < printed.size(); ++i)
    EXPECT_EQ(printed[i], expected.Output[i]) << "printed line " << i + 1;
}

// A moved data folder would otherwise leave the parameterised test with no cases, silently.
TEST(SysLibraryScriptFolder, HoldsScripts) {
  EXPECT_FALSE(ScriptFiles().empty()) << DataFolder();
}

INSTANTIATE_TEST_SUITE_P(Scripts, SysLibraryScript, ::testing::ValuesIn(ScriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return fs::path(info.param).stem().string();
                         });
