// Runs every script of data/js and data/syslib with the engine and compares what it prints with
// the "// expect: TEXT" lines written in the script, in order; a "// error: LINE:COLUMN: MESSAGE"
// line expects that compile error, a "// runtime error: MESSAGE" line the error that ends the run.
// The expectations are written for the Russian conventions, whatever the machine's locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "script/format/format_settings.h"
#include "script/printing_script.h"
#include "script/script_data_files.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

using testing::kScriptFolders;
using testing::ListScriptFiles;

fs::path DataDir() {
  return testing::ScriptDataDir();
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

struct TExpectations {
  std::vector<std::string> Output;
  std::string CompileError, RuntimeError;  // empty: none expected
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

class ScriptFiles : public testing::PrintingScript, public ::testing::WithParamInterface<std::string> {
 protected:
  static void SetUpTestSuite() { SetDefaultFormatSettings(RussianFormatSettings()); }
};

// A moved data folder would otherwise leave the parameterised test with no cases, silently.
TEST(ScriptFilesFolder, EveryFolderHoldsScripts) {
  std::vector<std::string> files = ListScriptFiles();
  for (const char* folder : kScriptFolders)
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const std::string& f) {
      return f.rfind(folder, 0) == 0;
    })) << DataDir() / folder;
}

TEST_P(ScriptFiles, PrintsWhatItsCommentsExpect) {
  prog.Lines = ReadLines(DataDir() / GetParam());
  ASSERT_FALSE(prog.Lines.empty()) << GetParam();
  TExpectations expected = ReadExpectations(prog.Lines);
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

INSTANTIATE_TEST_SUITE_P(Data, ScriptFiles, ::testing::ValuesIn(ListScriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.rfind('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace kelvo
