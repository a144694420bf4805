// A script run started from the window against the modem simulator: the run goes on on its own
// thread while the window answers; its lines reach the log pane under the tree and the editor's log
// page in the colours of their kinds; the last line says how the run ended; a compile error opens
// the editor at the error.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>

#include "run_fixture.h"

namespace kelvo::testing {
namespace {

const std::vector<std::pair<std::string, std::string>> kScripts = {
    {"Ident", "Send(\"ATI\"); Expect(\"OK\");"},
    {"Fails", "Send(\"ATX9Y\"); Expect(\"OK\");"},
    {"Broken", "Send(\"AT\");\n  x = ;"},
    {"Faulty", "Send(\"AT\"); var n = StrToInt(\"abc\");"},
};

using ScriptRunWindowTest = RunWindowTest;

TEST_F(ScriptRunWindowTest, ARunFromTheTreeFillsTheLogPaneInTheColoursOfItsKinds) {
  StartWith(kScripts);
  RunScript("Ident");
  // The action returns while the run goes on; the log pane comes into view.
  EXPECT_TRUE(Main().Core().Running());
  EXPECT_EQ(Main().BottomPane->currentWidget(), Main().LogView);
  EXPECT_FALSE(Main().Action(TKelvoAction::kaRunScript)->isEnabled());
  EXPECT_TRUE(Main().Action(TKelvoAction::kaStopScript)->isEnabled());
  ASSERT_TRUE(WaitForRunEnd());
  auto lines = LogLines(Main().LogView);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0],
            (std::pair<std::string, std::string>{"поиск модема: " + Sim->Path + ", 2400 bps", "#000000"}));
  EXPECT_EQ(lines[1].first, "модем обнаружен");
  EXPECT_EQ(lines[2], (std::pair<std::string, std::string>{"> ATI", "#000080"}));
  EXPECT_EQ(lines[3], (std::pair<std::string, std::string>{"< ATI", "#008000"}));
  EXPECT_EQ(lines[4].first, "< SIM");
  EXPECT_EQ(lines[5].first, "< OK");
  EXPECT_EQ(lines[6].first.rfind("сценарий выполнен за ", 0), 0u) << lines[6].first;
  EXPECT_EQ(lines[6].second, "#000000");
  // The editor's log page shows the same log; the status bar keeps the result.
  EXPECT_EQ(LogLines(Editor().LogMemo), lines);
  EXPECT_EQ(Main().StatusPanel->text().toStdString(), lines[6].first);
  EXPECT_TRUE(Main().Boxes.empty());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_TRUE(Enabled(TKelvoAction::kaEditScript));
  EXPECT_FALSE(Enabled(TKelvoAction::kaStopScript));
  EXPECT_TRUE(Main().SearchProgress->isHidden());
  EXPECT_FALSE(Main().Core().ComPort().Connected());
  Picture(Main(), "run-finished");
}

TEST_F(ScriptRunWindowTest, ControlCharactersFromTheModemAreShownByNameInTheLog) {
  StartWith(kScripts, {"--ident", "\\e]0;owned\\a\\e[31mRED\\0tail"});
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  auto lines = LogLines(Main().LogView);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[4].first, "< ]0;owned<BEL><ESC>[31mRED<NUL>tail");
  EXPECT_EQ(lines[4].second, "#008000");
}

TEST_F(ScriptRunWindowTest, AFailedRunWarnsAndEndsTheLogWithTheFailureInRed) {
  StartWith(kScripts);
  RunScript("Fails");
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(LastLogLine(), (std::pair<std::string, std::string>{
                               "ошибка выполнения сценария: нет ожидаемого ответа модема 'OK'", "#ff0000"}));
  ASSERT_EQ(Main().Boxes.size(), 1u);
  EXPECT_EQ(Main().Boxes[0].Icon, TMsgIcon::miExclamation);
  EXPECT_EQ(Main().Boxes[0].Text, LastLogLine().first);
  // The log is in view in the main window: the editor does not open on it.
  EXPECT_FALSE(Editor().isVisible());
  EXPECT_EQ(Main().BottomPane->currentWidget(), Main().LogView);
}

TEST_F(ScriptRunWindowTest, AnEngineErrorIsTheLogsLastLineAndShownInTheErrorDisplay) {
  StartWith(kScripts);
  RunScript("Faulty");
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(Main().Boxes.size(), 1u);
  EXPECT_EQ(Main().Boxes[0].Icon, TMsgIcon::miError);
  EXPECT_EQ(LastLogLine().second, "#ff0000");
  EXPECT_FALSE(LastLogLine().first.empty());
  EXPECT_EQ(Main().Boxes[0].Text.rfind(LastLogLine().first, 0), 0u);
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
}

TEST_F(ScriptRunWindowTest, ACompileErrorOpensTheEditorAtTheErrorAndNeverTheLog) {
  StartWith(kScripts);
  Select("sim", "Broken");
  int line = -1, column = -1;
  bool onDescription = false;
  WhenModal([&] {
    QApplication::processEvents();  // the editor reports the error once it stands on the screen
    QTextCursor caret = Editor().PlusMemo->textCursor();
    line = caret.blockNumber() + 1;
    column = caret.positionInBlock();  // the editor's 0-based column: the reported column
    onDescription = Editor().PageControl->currentWidget() == Editor().DescriptionSheet;
  });
  Main().Action(TKelvoAction::kaRunScript)->trigger();
  EXPECT_FALSE(Main().Core().Running());
  EXPECT_TRUE(onDescription);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 7);
  EXPECT_TRUE(LogLines(Main().LogView).empty());
  ASSERT_FALSE(Main().Boxes.empty());
  EXPECT_EQ(Main().Boxes.back().Text.rfind("Ошибка компиляции скрипта", 0), 0u);
}

TEST_F(ScriptRunWindowTest, ChoosingAnotherScriptAfterTheRunShowsItsDescriptionAgain) {
  StartWith(kScripts);
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Main().BottomPane->currentWidget(), Main().LogView);
  Select("sim", "Fails");
  EXPECT_EQ(Main().BottomPane->currentWidget(), Main().DescriptionMemo);
  EXPECT_EQ(LogLines(Main().LogView).size(), 7u);  // the last run's log stays
}

}  // namespace
}  // namespace kelvo::testing
