// kelvo-script as a script author uses it: real files, the real program, its output, error lines
// and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct TResult {
  int Code;
  std::string Out, Err;
};

class KelvoScript : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kelvo_script_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
  static std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  TResult Run(const std::string& args) {
    const char* program = std::getenv("KELVO_SCRIPT");
    std::string cmd = std::string(program ? program : "kelvo-script") + " " + args + " >" + (dir / "out").string() +
                      " 2>" + (dir / "err").string();
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir / "out"), ReadAll(dir / "err")};
  }

  fs::path dir;
};

TEST_F(KelvoScript, PrintsAsUtf8AndSucceeds) {
  // "Привет" in Windows-1251.
  std::string file = Write("hello.js", "var s = \"\xcf\xf0\xe8\xe2\xe5\xf2\";\r\nPrint(s);\r\nPrint(1 + 2);\r\n");
  TResult r = Run(file);
  EXPECT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(r.Out, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\n3\n");
}

TEST_F(KelvoScript, CompileErrorsGiveTheirPlaceAndExitTwo) {
  std::string file = Write("bad.js", "var x;\nvar x;\n");
  TResult r = Run(file);
  EXPECT_EQ(r.Code, 2);
  EXPECT_EQ(r.Err, file + ":2:6: error: Identifier redeclared: 'x'\n");
  EXPECT_EQ(r.Out, "");
}

TEST_F(KelvoScript, RuntimeErrorsGiveTheLastStatementAndExitOne) {
  std::string file = Write("run.js", "Print(\"a\");\nvar z = 1 div 0;\nPrint(\"b\");\n");
  TResult r = Run(file);
  EXPECT_EQ(r.Code, 1);
  EXPECT_EQ(r.Out, "a\n");
  // The statement of `var z = ...` is placed at its name.
  EXPECT_EQ(r.Err, file + ":2:5: runtime error: Division by zero\n");
}

TEST_F(KelvoScript, CheckOnlyCompilesAndIlPrintsTheTree) {
  std::string file = Write("ok.js", "Print(5);\n");
  TResult check = Run("--check " + file);
  EXPECT_EQ(check.Code, 0);
  EXPECT_EQ(check.Out, "");
  TResult il = Run("--il " + file);
  EXPECT_EQ(il.Code, 0);
  EXPECT_NE(il.Out.find("<callstmt"), std::string::npos) << il.Out;
}

TEST_F(KelvoScript, LanguageDirectiveAndUnknownLanguage) {
  std::string file = Write("lang.js", "Print(5);\n");
  TResult r = Run("--language NoSuch " + file);
  EXPECT_EQ(r.Code, 2);
  EXPECT_NE(r.Err.find("Language 'NoSuch' not found"), std::string::npos);
  // JScript's `div` and `!=` are no C++Script, so only the directive makes this compile.
  std::string directed = Write("directed.js", "#language JScript\r\nif (7 div 1 != 0) Print(7);\r\n");
  TResult d = Run("--language C++Script " + directed);
  EXPECT_EQ(d.Code, 0) << d.Err;
  EXPECT_EQ(d.Out, "7\n");
}

TEST_F(KelvoScript, UsageAndMissingFiles) {
  EXPECT_EQ(Run("").Code, 3);
  EXPECT_EQ(Run((dir / "none.js").string()).Code, 3);
}

}  // namespace
