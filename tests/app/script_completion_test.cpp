// Help while typing: what Ctrl+Space offers at the caret, the declaration shown after "(", and the
// help topic F1 opens.
#include "app/script_completion.h"

#include <gtest/gtest.h>

#include "text/cp1251.h"

namespace kelvo {
namespace {

std::vector<std::string> NamesAt(const std::string& text) {
  return CompleteAt(text, text.size()).Names;
}

TEST(ScriptCompletion, OffersTheLibraryFunctionsThatBeginWithTheWordRegardlessOfCase) {
  TCompletion c = CompleteAt("var s = For", 11);
  EXPECT_EQ(c.Start, 8u);
  EXPECT_EQ(c.Prefix, "For");
  EXPECT_EQ(c.Names, (std::vector<std::string>{"Format", "FormatDateTime", "FormatFloat", "FormatMaskText"}));
  EXPECT_EQ(NamesAt("x = formatd"), std::vector<std::string>{"FormatDateTime"});
  // Kelvo's own functions and the constants every script has.
  EXPECT_EQ(NamesAt("Se"), (std::vector<std::string>{"Send", "SendBreak", "SetBaudRate", "SetDTR",
                                                     "SetLength", "SetReadTimeout", "SetRTS"}));
  EXPECT_EQ(NamesAt("Default"), std::vector<std::string>{"DefaultReadTimeout"});
}

TEST(ScriptCompletion, OffersTheScriptsOwnFunctionsAndVariablesButNotKeywordsStringsOrComments) {
  std::string script =
      "function CheckSignal(level) { return level > 10; }\n"
      "var signalLevel = 5;\n"
      "// signalComment\n"
      "Print(\"signalInText\");\n"
      "if (Ch";
  EXPECT_EQ(NamesAt(script), (std::vector<std::string>{"CheckSignal", "Chr"}));
  // In the middle of a name: the part before the caret is the prefix; the name itself is offered
  // from its other uses.
  TCompletion inside = CompleteAt(script, script.find("level)") + 3);
  EXPECT_EQ(inside.Prefix, "lev");
  EXPECT_EQ(inside.Names, std::vector<std::string>{"level"});
  EXPECT_EQ(NamesAt(script + "\nsig"), std::vector<std::string>{"signalLevel"});
  EXPECT_EQ(NamesAt("wh"), std::vector<std::string>{});  // while is a keyword
}

TEST(ScriptCompletion, TheWordBeingTypedIsNotOfferedAsAName) {
  EXPECT_EQ(NamesAt("Xyzzy"), std::vector<std::string>{});
  EXPECT_EQ(NamesAt("var Xyzzy = 1; Xy"), std::vector<std::string>{"Xyzzy"});
}

TEST(ScriptCompletion, CyrillicNamesAreWords) {
  std::string script = Utf8ToAnsi("var счётчик = 1;\nсчё");
  EXPECT_EQ(NamesAt(script), std::vector<std::string>{Utf8ToAnsi("счётчик")});
}

TEST(ScriptCompletion, AnOpenedArgumentListShowsTheDeclaration) {
  EXPECT_EQ(SignatureBefore("x = Format(", 11), "function Format(Fmt: String; Args: array): String");
  EXPECT_EQ(SignatureBefore("Expect (", 8), "procedure Expect(s:String, errmsg:String='')");
  EXPECT_EQ(SignatureBefore("copy(", 5), "function Copy(s: String; from, count: Integer): String");
  std::string script = "function Check(a, &b) {\n}\nCheck(";
  EXPECT_EQ(SignatureBefore(script, script.size()), "function Check(a, &b)");
  EXPECT_EQ(SignatureBefore("Unknown(", 8), "");
  EXPECT_EQ(SignatureBefore("(", 1), "");
  EXPECT_EQ(SignatureBefore("Format(x", 8), "");  // only right after the bracket
}

TEST(ScriptCompletion, F1OpensTheEntryOfTheFunctionAtTheCaretOrTheLanguagePage) {
  std::string text = "s = FormatDateTime(\"hh\", Now);";
  EXPECT_EQ(WordAt(text, 6), "FormatDateTime");
  EXPECT_EQ(WordAt(text, 18), "FormatDateTime");  // just after the name
  EXPECT_EQ(WordAt(text, 3), "");
  EXPECT_EQ(HelpTopicFor("formatdatetime"), "kelvo-functions.html#fn-formatdatetime");
  EXPECT_EQ(HelpTopicFor("SetDTR"), "kelvo-functions.html#fn-setdtr");
  EXPECT_EQ(HelpTopicFor("while"), "kelvo-jscript.html");
  EXPECT_EQ(HelpTopicFor(""), "kelvo-jscript.html");
}

}  // namespace
}  // namespace kelvo
