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
    std::string cmd = std::string(program ? program : "kelvo-script") + " " + args + " >" +
                      (dir / "out").string() + " 2>" + (dir / "err").string();
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(dir / "out"), ReadAll(dir / "err")};
  }

  fs::path dir;
};

TEST_F(KelvoScript, PrintsAsUtf8AndSucceeds) {
  // "Привет" in Windows-1251.
  std::string file =
      Write("hello.js", "var s = \"\xcf\xf0\xe8\xe2\xe5\xf2\";\r\nPrint(s);\r\nPrint(1 + 2);\r\n");
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

TEST_F(KelvoScript, ImportsAreReadBesideTheScript) {
  Write("lib.js", "function twice(x) { return x * 2; }\nvar libvar = 5;\n");
  std::string file = Write("main.js", "import \"lib.js\";\nPrint(twice(libvar));\n");
  TResult r = Run(file);
  EXPECT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(r.Out, "10\n");
  std::string broken = Write("broken.js", "var ok = 1;\nvar = ;\n");
  std::string user = Write("user.js", "import \"broken.js\";\n");
  TResult b = Run(user);
  EXPECT_EQ(b.Code, 2);
  EXPECT_EQ(b.Err.rfind(broken + ":2:", 0), 0u) << b.Err;
  std::string failing = Write("failing.js", "function boom() {\n  return 1 div 0;\n}\n");
  TResult f = Run(Write("caller.js", "import \"failing.js\";\nboom();\n"));
  EXPECT_EQ(f.Code, 1);
  EXPECT_EQ(f.Err, failing + ":2:3: runtime error: Division by zero\n");
  std::string missing = Write("missing.js", "import \"nothere.js\";\n");
  TResult m = Run(missing);
  EXPECT_EQ(m.Code, 2);
  EXPECT_NE(m.Err.find("nothere.js"), std::string::npos) << m.Err;
}

TEST_F(KelvoScript, UsageAndMissingFiles) {
  EXPECT_EQ(Run("").Code, 3);
  EXPECT_EQ(Run((dir / "none.js").string()).Code, 3);
}

}  // namespace

// The reference of the functions: one line each (declaration and first sentence), by category;
// a name gives that entry whole, found regardless of case; an unknown name is a usage error.
TEST_F(KelvoScript, FunctionsListsEveryFunctionAndNamesOneWhole) {
  TResult all = Run("--functions");
  EXPECT_EQ(all.Code, 0) << all.Err;
  for (const char* line :
       {"  function Format(Fmt: String; Args: array): String\n", "  procedure Send(s:String)\n",
        "  procedure HangUp()\n", "  function Pi: Extended\n"})
    EXPECT_NE(all.Out.find(line), std::string::npos) << line;
  EXPECT_NE(all.Out.find("\xd0\xa1\xd1\x82\xd1\x80\xd0\xbe\xd0\xba\xd0\xb8\n"),
            std::string::npos);  // "Строки"
  size_t declarations = 0;
  for (size_t p = 0; (p = all.Out.find("\n  f", p)) != std::string::npos; ++p) ++declarations;
  for (size_t p = 0; (p = all.Out.find("\n  p", p)) != std::string::npos; ++p) ++declarations;
  EXPECT_EQ(declarations, 65u + 13u);

  TResult one = Run("--functions copy");
  EXPECT_EQ(one.Code, 0) << one.Err;
  EXPECT_EQ(one.Out.rfind("function Copy(s: String; from, count: Integer): String\n", 0), 0u) << one.Out;
  EXPECT_NE(one.Out.find("    Print(Copy(\"Hello\", 2, 3));\n"), std::string::npos) << one.Out;
  EXPECT_NE(one.Out.find("    ell\n"), std::string::npos) << one.Out;

  TResult unknown = Run("--functions NoSuchThing");
  EXPECT_EQ(unknown.Code, 3);
  EXPECT_EQ(unknown.Err, "NoSuchThing: no such function (kelvo-script --functions lists them all)\n");
  EXPECT_EQ(unknown.Out, "");
}
