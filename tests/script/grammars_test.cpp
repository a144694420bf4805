// The grammars, held by what they make of real scripts: every script of data/js and data/syslib
// is parsed and its intermediate tree (or its syntax error) compared, byte for byte, with the
// golden text of the same name in data/il. A grammar edit that changes how one of these scripts
// parses shows here as a difference. When the change is meant, run this test once with
// KELVO_UPDATE_GOLDEN=1: it rewrites the golden texts, and their diff is reviewed with the edit.
// (kelvo-script --il FILE shows the same tree on one line.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/front/grammars/grammars.h"
#include "script/front/languages.h"
#include "script/printing_script.h"
#include "script/script_data_files.h"
#include "text/cp1251.h"

namespace kelvo {
namespace {

namespace fs = std::filesystem;

using testing::ListScriptFiles;

fs::path DataDir() {
  return testing::ScriptDataDir();
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The intermediate tree of a script as the engine writes it, one element per line, or
// "error LINE:COLUMN: MESSAGE"; as UTF-8, the form kelvo-script --il shows.
std::string ParseResult(const std::string& scriptText) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = "JScript";
  std::vector<std::string> printed;
  testing::AddPrint(prog, printed);
  std::istringstream lines(scriptText);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    prog.Lines.push_back(line);
  }
  std::ostringstream il;
  if (!prog.GetILCode(il)) return "error " + prog.ErrorPlace + ": " + AnsiToUtf8(prog.ErrorText) + "\n";
  // Attribute values hold '<' and '>' only encoded, so every "><" is a boundary between tags.
  std::string text = AnsiToUtf8(il.str());
  for (size_t at = text.find("><"); at != std::string::npos; at = text.find("><", at + 2))
    text.insert(at + 1, "\n");
  return text + "\n";
}

class GoldenTree : public ::testing::TestWithParam<std::string> {};

TEST(GoldenTreeFolder, EveryScriptHasItsTree) {
  ASSERT_FALSE(ListScriptFiles().empty()) << DataDir();
}

TEST_P(GoldenTree, TheScriptParsesToItsGoldenTree) {
  const std::string script = ReadFile(DataDir() / GetParam());
  ASSERT_FALSE(script.empty()) << GetParam();
  const fs::path golden = (DataDir() / "il" / GetParam()).replace_extension(".xml");
  const std::string actual = ParseResult(script);
  const char* update = std::getenv("KELVO_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    fs::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, ReadFile(golden)) << "golden text: " << golden;
}

INSTANTIATE_TEST_SUITE_P(Data, GoldenTree, ::testing::ValuesIn(ListScriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.rfind('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// The grammar texts are made at build time from the readable sources in front/grammars; what
// the engine registers is that text, one line with the header and the language's root.
TEST(GrammarText, EachIsOneLineWithHeaderAndRoot) {
  EXPECT_EQ(fsGetLanguage("jscript"), fsJScriptGrammar());
  for (const char* language : {"JScript", "C++Script"}) {
    const std::string& text = fsGetLanguage(language);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << language;
    EXPECT_EQ(
        text.rfind("<?xml version=\"1.0\"?><language text=\"" + std::string(language) + "\"><parser>", 0), 0u)
        << language;
  }
}

}  // namespace
}  // namespace kelvo
