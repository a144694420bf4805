// The reference of the script functions and the language pages: every function the engine and the
// host register is described, the page lists them with their declarations, and every example in
// the reference runs through the engine and prints what the reference says it prints.
#include "app/function_reference.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/recording_screen.h"
#include "app/script_host.h"
#include "script/format/format_settings.h"
#include "script/lib/modules.h"
#include "script/lib/system_library.h"
#include "serial/com_port.h"
#include "text/cp1251.h"

namespace kelvo {
namespace {

// --- running an example as a script author would, with kelvo-script's Print

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What the example prints (UTF-8), one line per Print or ShowMessage; a compile error as
// "LINE:COLUMN: error: MESSAGE", an error that ends the run as "runtime error: MESSAGE".
std::string RunExample(const std::string& example) {
  SetDefaultFormatSettings(RussianFormatSettings());  // the reference shows Russian conventions
  std::string printed;
  bool first = true;
  auto print = [&printed, &first](const std::string& ansi) {
    printed += (first ? "" : "\n") + AnsiToUtf8(ansi);
    first = false;
  };
  SetShowMessageHook(print);
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.SyntaxType = "JScript";
  prog.Lines = SplitLines(Utf8ToAnsi(example));
  prog.AddMethod("procedure Print(Value: Variant)",
                 [&print](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                   std::int64_t i = 0;
                   print(params.GetElement(std::span(&i, 1)).AsString());
                   return Variant();
                 });
  try {
    if (!prog.Compile()) return prog.ErrorPlace + ": error: " + AnsiToUtf8(prog.ErrorText);
    prog.Execute();
  } catch (const Exception& e) {
    print("runtime error: " + e.Message());
  }
  SetShowMessageHook(nullptr);
  return printed;
}

// --- every registered function is described

bool Described(const TfsFunctionDoc& doc) {
  return *doc.Text != '\0' && *doc.Example != '\0' && *doc.Output != '\0';
}

// Every method item of a program must have a reference entry with the same declaration.
void ExpectEveryMethodDescribed(const TfsScript& prog, bool host, size_t expected) {
  std::set<std::string> seen;
  for (int i = 0; i < prog.Count(); ++i) {
    auto* method = dynamic_cast<TfsMethodHelper*>(prog.GetItem(i));
    if (method == nullptr) continue;
    const TFunctionReference* entry = FindFunctionReference(method->Name);
    ASSERT_NE(entry, nullptr) << method->Name << " is registered but has no reference entry";
    EXPECT_EQ(entry->Syntax, method->Syntax);
    EXPECT_EQ(entry->Category, method->Category) << method->Name;
    EXPECT_EQ(entry->Host, host) << method->Name;
    EXPECT_TRUE(Described(*entry->Doc)) << method->Name << " has no description, example or output";
    seen.insert(method->Name);
  }
  EXPECT_EQ(seen.size(), expected);
}

TEST(FunctionReference, DescribesEverySystemFunctionTheEngineRegisters) {
  ExpectEveryMethodDescribed(*fsGlobalUnit(), false, 65);
}

TEST(FunctionReference, DescribesEveryHostFunctionARunRegisters) {
  testing::TRecordingScreen screen;
  TComPort port;
  TModemLine line(screen, port);
  TfsScript script;
  TScriptHost host(screen, line, script);
  host.Register();
  ExpectEveryMethodDescribed(script, true, 13);
}

TEST(FunctionReference, FindsNamesRegardlessOfCaseAndNothingElse) {
  ASSERT_NE(FindFunctionReference("formatdatetime"), nullptr);
  EXPECT_EQ(FindFunctionReference("formatdatetime")->Name, "FormatDateTime");
  EXPECT_EQ(FindFunctionReference("SENDBREAK")->Name, "SendBreak");
  EXPECT_EQ(FindFunctionReference("Format")->Name, "Format");  // not a longer name that starts so
  EXPECT_EQ(FindFunctionReference("Forma"), nullptr);
  EXPECT_EQ(FindFunctionReference(""), nullptr);
}

TEST(FunctionReference, NamesComeFromTheDeclarations) {
  EXPECT_EQ(DeclaredName("function Pi: Extended"), "Pi");
  EXPECT_EQ(DeclaredName("procedure Randomize"), "Randomize");
  EXPECT_EQ(DeclaredName("function RecvLn():String"), "RecvLn");
  EXPECT_EQ(FirstSentence("Дробная часть: `X` минус его целая часть. Ещё."),
            "Дробная часть: X минус его целая часть.");
  EXPECT_EQ(FirstSentence("Число 1.5 и т.д"), "Число 1.5 и т.д");
}

// The page lists every function under its category, with its declaration escaped for HTML and an
// anchor that F1 in the editor opens; the contents link to each entry.
TEST(FunctionReference, ThePageListsEveryFunctionWithItsDeclarationAndAnchor) {
  std::string page = FunctionsPageHtml();
  EXPECT_EQ(FunctionReferences().size(), 65u + 13u);
  for (const TFunctionReference& f : FunctionReferences()) {
    std::string anchor = FunctionAnchor(f.Name);
    EXPECT_NE(page.find("<h3 id=\"" + anchor + "\"><a name=\"" + anchor + "\"></a>" + f.Name + "</h3>"),
              std::string::npos)
        << f.Name;
    EXPECT_NE(page.find("<a href=\"#" + anchor + "\">" + f.Name + "</a>"), std::string::npos) << f.Name;
  }
  EXPECT_NE(page.find("<pre class=\"syntax\">procedure Expect(s:String, errmsg:String='')</pre>"),
            std::string::npos);
  EXPECT_NE(page.find("<pre class=\"syntax\">function Format(Fmt: String; Args: array): String</pre>"),
            std::string::npos);
  // Kelvo's own functions come first, then the library by category.
  EXPECT_LT(page.find("fn-hangup"), page.find("fn-inttostr"));
  EXPECT_LT(page.find("id=\"fn-inttostr\""), page.find("id=\"fn-format\""));
  EXPECT_LT(page.find("id=\"fn-format\""), page.find("id=\"fn-vartype\""));
}

// --- every example of the system library prints what its entry says

class SystemExample : public ::testing::TestWithParam<std::string> {};

TEST_P(SystemExample, PrintsWhatTheReferenceShows) {
  const TFunctionReference* f = FindFunctionReference(GetParam());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(RunExample(f->Doc->Example), f->Doc->Output) << f->Doc->Example;
}

std::vector<std::string> SystemFunctionNames() {
  std::vector<std::string> names;
  for (const TFunctionReference& f : FunctionReferences())
    if (!f.Host) names.push_back(f.Name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(FunctionReference, SystemExample, ::testing::ValuesIn(SystemFunctionNames()),
                         [](const auto& info) { return info.param; });

// --- the hand-written language pages: every example runs and shows what follows it

std::string ReadPage(const std::string& name) {
  std::ifstream in(std::string(KELVO_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string DecodeHtml(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, ch] : entities)
    for (size_t p = 0; (p = text.find(entity, p)) != std::string::npos; p += 1)
      text.replace(p, strlen(entity), ch);
  return text;
}

struct TPageExample {
  std::string Code, Shows;
  size_t Offset;
};

// Each <pre class="example"> is followed by a <pre class="output"> with what it prints, or by a
// <pre class="error"> with the error it stops at.
std::vector<TPageExample> PageExamples(const std::string& page) {
  std::vector<TPageExample> examples;
  const std::string open = "<pre class=\"example\">";
  for (size_t p = page.find(open); p != std::string::npos; p = page.find(open, p + 1)) {
    size_t start = p + open.size();
    size_t end = page.find("</pre>", start);
    size_t next = page.find("<pre class=\"", end);
    size_t shows = page.find('>', next) + 1;
    examples.push_back({DecodeHtml(page.substr(start, end - start)),
                        DecodeHtml(page.substr(shows, page.find("</pre>", shows) - shows)), p});
  }
  return examples;
}

class PageExamplesRun : public ::testing::TestWithParam<std::string> {};

TEST_P(PageExamplesRun, EveryExampleShowsWhatFollowsIt) {
  std::string page = ReadPage(GetParam());
  ASSERT_FALSE(page.empty()) << GetParam();
  std::vector<TPageExample> examples = PageExamples(page);
  EXPECT_GE(examples.size(), 5u);
  for (const TPageExample& e : examples)
    EXPECT_EQ(RunExample(e.Code), e.Shows) << "at byte " << e.Offset << ":\n" << e.Code;
}

INSTANTIATE_TEST_SUITE_P(LanguagePages, PageExamplesRun,
                         ::testing::Values("kelvo-jscript.html", "kelvo-cppscript.html"),
                         [](const auto& info) { return info.param.substr(6, info.param.size() - 11); });

}  // namespace
}  // namespace kelvo
