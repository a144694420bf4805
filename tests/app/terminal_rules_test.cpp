// The terminal's rules that need no port: the history of sent commands, walked with Up and Down,
// and the commands a script sends, offered to be sent again.
#include <gtest/gtest.h>

#include "app/command_history.h"
#include "app/script_commands.h"

using namespace kelvo;

TEST(CommandHistory, UpAndDownWalkTheCommandsAndGiveBackTheLineBeingTyped) {
  TCommandHistory h;
  EXPECT_EQ(h.Older("ATZ"), "ATZ");  // nothing sent yet: the line stays
  h.Add("ATZ");
  h.Add("ATI");
  h.Add("ATI");  // a repeat at once is kept once
  h.Add("");     // nor is an empty line
  h.Add("AT&V");
  EXPECT_EQ(h.Commands(), (std::vector<std::string>{"ATZ", "ATI", "AT&V"}));
  EXPECT_EQ(h.Older("ATS0"), "AT&V");
  EXPECT_EQ(h.Older("AT&V"), "ATI");
  EXPECT_EQ(h.Older("ATI"), "ATZ");
  EXPECT_EQ(h.Older("ATZ"), "ATZ");  // the oldest stays
  EXPECT_EQ(h.Newer("ATZ"), "ATI");
  EXPECT_EQ(h.Newer("ATI"), "AT&V");
  EXPECT_EQ(h.Newer("AT&V"), "ATS0");  // past the newest: the half-typed line comes back
  EXPECT_EQ(h.Newer("ATS0"), "ATS0");
  // Sending starts the walk again from the newest.
  h.Older("x");
  h.Older("x");
  h.Add("ATI");
  EXPECT_EQ(h.Older(""), "ATI");
}

TEST(CommandHistory, OnlyTheNewestTwoHundredAreKept) {
  TCommandHistory h;
  std::vector<std::string> remembered;
  for (int i = 0; i < 250; ++i) remembered.push_back("AT" + std::to_string(i));
  h.SetCommands(remembered);
  ASSERT_EQ(h.Commands().size(), 200u);
  EXPECT_EQ(h.Commands().front(), "AT50");
  EXPECT_EQ(h.Older(""), "AT249");
  h.Add("ATX");
  ASSERT_EQ(h.Commands().size(), 200u);
  EXPECT_EQ(h.Commands().front(), "AT51");
  EXPECT_EQ(h.Commands().back(), "ATX");
}

TEST(ScriptCommands, EverySendOfALiteralOnceInOrder) {
  const std::string script =
      "// Send(\"ATCOMMENT\") is a comment\r\n"
      "Send(\"ATZ\"); Expect(\"OK\");\r\n"
      "send ( 'AT&F' );\r\n"
      "/* Send(\"ATBLOCK\"); */\r\n"
      "var s = \"Send(\\\"ATINSTRING\\\")\";\r\n"
      "Send(\"ATS0=\" + n);          // not a literal alone\r\n"
      "Send(s);\r\n"
      "Send(\"AT\\\"Q\\\"\");\r\n"
      "Send(\"ATZ\");                // once\r\n"
      "MySend(\"ATNOT\"); Resend(\"ATNOT\");\r\n"
      "Send(\"ATH\\r\\n\");\r\n"
      "Send(\"\");\r\n"
      "Send(\"AT unterminated);\r\n";
  EXPECT_EQ(ScriptSendCommands(script), (std::vector<std::string>{"ATZ", "AT&F", "AT\"Q\"", "ATH"}));
  EXPECT_TRUE(ScriptSendCommands("").empty());
  EXPECT_TRUE(ScriptSendCommands("Send").empty());
  EXPECT_TRUE(ScriptSendCommands("Send(\"ATZ\"").empty());
}
