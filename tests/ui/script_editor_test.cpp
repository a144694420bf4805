#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>

#include "ui/cpp_highlighter.h"
#include "ui/log_view.h"
#include "ui_fixture.h"

using namespace kelvo;
using namespace kelvo::testing;
using A = TKelvoAction;

namespace {

// The format the highlighter gave the character at column of line (0-based).
QTextCharFormat FormatAt(QPlainTextEdit* memo, int line, int column) {
  QTextBlock block = memo->document()->findBlockByNumber(line);
  for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
    if (column >= range.start && column < range.start + range.length) return range.format;
  }
  return {};
}

}  // namespace

TEST_F(UiTest, EditorOpensOnTheDescriptionPageAndClosesWithoutAQuestionWhenUntouched) {
  Start();
  Select("zyxel", "Init");
  bool shown = false;
  WhenModal([&] {
    shown = Editor().isVisible();
    EXPECT_EQ(Editor().PageControl->currentWidget(), Editor().DescriptionSheet);
    EXPECT_FALSE(Enabled(A::kaSaveScript));
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Escape);
    EXPECT_FALSE(Editor().isVisible());
  });
  Main().Action(A::kaEditScript)->trigger();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Main().Boxes.empty());
}

TEST_F(UiTest, TypingThenEscapeAsksAndCancelKeepsTheWindowAndText) {
  Start();
  Select("zyxel", "Init");
  WhenModal([&] {
    QTest::keyClick(Editor().PlusMemo, Qt::Key_X);
    EXPECT_TRUE(Enabled(A::kaSaveScript));
    Main().Answers = {TModalResult::mrCancel};
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Escape);
    EXPECT_EQ(Main().LastBox(), "Сохранить изменения?");
    EXPECT_EQ(Main().Boxes.back().Buttons, TMsgButtons::mbYesNoCancel);
    EXPECT_TRUE(Editor().isVisible());
    EXPECT_NE(Editor().PlusMemo->toPlainText().indexOf('x'), -1);
    Main().Answers = {TModalResult::mrNo};
    Editor().close();
    EXPECT_FALSE(Editor().isVisible());
  });
  std::string before = File();
  Main().Action(A::kaEditScript)->trigger();
  EXPECT_EQ(File(), before);
}

TEST_F(UiTest, YesSavesTheEditedScriptAndTheDescription) {
  Start();
  Select("Motorola");
  Main().Action(A::kaAddScript)->trigger();
  QTest::qWait(10);
  WhenModal([&] {
    Editor().PlusMemo->setPlainText("ATM0\nATS0=1");
    Editor().DescriptionMemo->setPlainText(QString::fromUtf8("Тихо"));
    Main().Answers = {TModalResult::mrYes};
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Escape);
    EXPECT_FALSE(Editor().isVisible());
  });
  Main().Action(A::kaEditScript)->trigger();
  EXPECT_NE(File().find("Body=\"41544D300D0A415453303D31\" Description=\"D2E8F5EE\""), std::string::npos);
  EXPECT_EQ(Main().DescriptionMemo->toPlainText().toStdString(), "Тихо");
  EXPECT_FALSE(Enabled(A::kaSaveScript));
}

TEST_F(UiTest, YesOnAProtectedScriptKeepsTheEditorOpen) {
  Start();
  Select("Acorp", "Dial");
  WhenModal([&] {
    QTest::keyClick(Editor().PlusMemo, Qt::Key_A);
    Main().Answers = {TModalResult::mrYes};
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Escape);
    EXPECT_EQ(Main().LastBox(), "Данный сценарий защищен от записи");
    EXPECT_TRUE(Editor().isVisible());
    EXPECT_EQ(Editor().PlusMemo->toPlainText().toStdString(), "a");
  });
  Main().Action(A::kaEditScript)->trigger();
}

TEST_F(UiTest, CompileErrorPutsTheCaretAtLineAndColumnAndIsReportedOnce) {
  Start();
  Select("zyxel", "Init");
  Editor().CompileErrorPos = "2:3";
  Editor().CompileErrorMsg = "Expected ';'";
  WhenModal([&] {
    QTest::qWait(20);  // the report follows the show
    QTextCursor caret = Editor().PlusMemo->textCursor();
    EXPECT_EQ(caret.blockNumber(), 1);
    EXPECT_EQ(caret.positionInBlock(), 3);
    EXPECT_EQ(Main().LastBox(), "Ошибка компиляции скрипта\rExpected ';'");
    EXPECT_EQ(Main().Boxes.back().Icon, TMsgIcon::miExclamation);
    EXPECT_TRUE(Editor().CompileErrorPos.empty());
  });
  Main().Action(A::kaEditScript)->trigger();
  size_t boxes = Main().Boxes.size();
  WhenModal([&] { QTest::qWait(20); });
  Main().Action(A::kaEditScript)->trigger();
  EXPECT_EQ(Main().Boxes.size(), boxes);
}

TEST_F(UiTest, EditorToolbarHasSaveAndRunAndAHiddenInsertMenu) {
  Start();
  QList<QAction*> actions = Editor().TBToolbar1->actions();
  EXPECT_TRUE(actions.contains(Main().Action(A::kaSaveScript)));
  EXPECT_TRUE(actions.contains(Main().Action(A::kaRunScript)));
  EXPECT_FALSE(Editor().InsertFunctionItem->isVisible());
  EXPECT_EQ(Editor().PageControl->tabPosition(), QTabWidget::South);
  EXPECT_TRUE(Editor().PlusMemo->font().fixedPitch());
}

TEST_F(UiTest, LogLinesTakeTheirKindsColourInBothViewsOfTheLog) {
  Start();
  auto now = std::chrono::system_clock::now();
  Main().AppendLogLine({now, lkSent, "> AT"});
  Main().AppendLogLine({now, lkReceived, "< OK"});
  Main().AppendLogLine({now, lkError, "bad"});
  for (QPlainTextEdit* view :
       {static_cast<QPlainTextEdit*>(Editor().LogMemo), static_cast<QPlainTextEdit*>(Main().LogView)}) {
    QTextDocument* log = view->document();
    ASSERT_EQ(log->blockCount(), 3);
    auto colour = [&](int line) {
      return log->findBlockByNumber(line).begin().fragment().charFormat().foreground().color();
    };
    EXPECT_EQ(log->findBlockByNumber(1).text().toStdString(), "< OK");
    EXPECT_EQ(colour(0), QColor(0, 0, 128));
    EXPECT_EQ(colour(1), QColor(0, 128, 0));
    EXPECT_EQ(colour(2), QColor(255, 0, 0));
  }
  Main().ClearLog();
  EXPECT_TRUE(Editor().LogMemo->document()->isEmpty());
  EXPECT_TRUE(Main().LogView->document()->isEmpty());
  EXPECT_TRUE(Main().Log().empty());
}

TEST(CppHighlighter, StylesKeywordsStringsCommentsDirectivesAndNumbers) {
  QPlainTextEdit memo;
  TCppHighlighter highlighter(memo.document());
  memo.setPlainText(
      "#include \"lib\"\n"
      "var s = \"ATZ\"; // reset\n"
      "x = 42; /* one\n"
      "two */ if (y) {}\n");
  EXPECT_EQ(FormatAt(&memo, 0, 3).background().color(), QColor(0, 128, 128));
  EXPECT_TRUE(FormatAt(&memo, 0, 3).fontItalic());
  EXPECT_EQ(FormatAt(&memo, 1, 1).fontWeight(), QFont::Bold);                // var
  EXPECT_EQ(FormatAt(&memo, 1, 9).foreground().color(), QColor(0, 128, 0));  // "ATZ"
  EXPECT_TRUE(FormatAt(&memo, 1, 18).fontItalic());                          // // reset
  EXPECT_NE(FormatAt(&memo, 1, 4).fontWeight(), QFont::Bold);                // s
  EXPECT_EQ(FormatAt(&memo, 2, 4).foreground().color(), QColor(255, 0, 0));  // 42
  EXPECT_TRUE(FormatAt(&memo, 2, 10).fontItalic());                          // /* one
  EXPECT_TRUE(FormatAt(&memo, 3, 1).fontItalic());                           // two */
  EXPECT_EQ(FormatAt(&memo, 3, 7).fontWeight(), QFont::Bold);                // if
  EXPECT_FALSE(FormatAt(&memo, 3, 7).fontItalic());
}
