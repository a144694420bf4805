// Help for script authors in the windows: completion, the signature tooltip and F1 in the script
// editor, and the help window's pages and search. The help pages lie beside the library, as they
// lie beside the program. With KELVO_SCREENSHOTS set to a folder, the tests also save pictures of
// the windows there.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBrowser>
#include <QToolTip>
#include <fstream>

#include "app/function_reference.h"
#include "ui/help_window.h"
#include "ui/script_assist.h"
#include "ui_fixture.h"

using namespace kelvo;
using namespace kelvo::testing;
using A = TKelvoAction;

namespace {

std::string DataFile(const std::string& name) {
  std::ifstream in(std::string(KELVO_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class HelpTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    for (const char* page : {"kelvo.html", "kelvo-jscript.html", "kelvo-cppscript.html"})
      WriteBytes(Dir.File(page), DataFile(page));
    WriteBytes(Dir.File(kFunctionsPage), FunctionsPageHtml());
  }

  // Puts text into the script editor with the caret at its end.
  void Type(const QString& text) {
    Editor().PlusMemo->setPlainText(text);
    Editor().PlusMemo->moveCursor(QTextCursor::End);
  }
  QStringList Offered() {
    QStringList names;
    for (int i = 0; i < Editor().Assist->CompletionList->count(); ++i)
      names << Editor().Assist->CompletionList->item(i)->text();
    return names;
  }
  // The screen around the widget's window, with an open pop-up list and a tooltip above it.
  static void Shot(QWidget* widget, const char* name) {
    QByteArray folder = qgetenv("KELVO_SCREENSHOTS");
    if (folder.isEmpty()) return;
    QTest::qWait(300);  // the window manager places the windows
    QRect area = widget->window()->frameGeometry();
    if (QWidget* popup = QApplication::activePopupWidget()) area = area.united(popup->frameGeometry());
    area.adjust(0, -60, 0, 0);
    QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    shot.save(QDir(QString::fromLocal8Bit(folder)).filePath(name));
  }
};

}  // namespace

TEST_F(HelpTest, CtrlSpaceOffersFormatAfterForAndTheScriptsOwnFunctions) {
  Start();
  Select("zyxel", "Init");
  WhenModal([&] {
    Type("function CheckLine(n) { return n > 0; }\nvar s = For");
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Space, Qt::ControlModifier);
    QListWidget* list = Editor().Assist->CompletionList;
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(Offered(), (QStringList{"Format", "FormatDateTime", "FormatFloat", "FormatMaskText"}));
    Shot(Editor().PlusMemo, "completion.png");
    // Typing goes on into the editor and the list follows the word.
    QTest::keyClicks(list, "matD");
    EXPECT_TRUE(Editor().PlusMemo->toPlainText().endsWith("var s = FormatD"));
    EXPECT_EQ(Offered(), QStringList{"FormatDateTime"});
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(Editor().PlusMemo->toPlainText().endsWith("var s = FormatDateTime"));
    // One name that fits is inserted at once: here the script's own function.
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Return);
    QTest::keyClicks(Editor().PlusMemo, "CheckL");
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(Editor().PlusMemo->toPlainText().endsWith("\nCheckLine"));
    // Escape closes the list and leaves the window open.
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Return);
    QTest::keyClicks(Editor().PlusMemo, "Se");
    QTest::keyClick(Editor().PlusMemo, Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(Offered().first(), "Send");
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(Editor().isVisible());
  });
  Main().Action(A::kaEditScript)->trigger();
}

TEST_F(HelpTest, AnOpeningBracketAfterAKnownFunctionShowsItsDeclaration) {
  Start();
  Select("zyxel", "Init");
  WhenModal([&] {
    Type("Send(\"ATZ\");\nvar part = Copy");
    QTest::keyClicks(Editor().PlusMemo, "(");
    QTest::qWait(20);
    EXPECT_EQ(Editor().Assist->LastSignature, "function Copy(s: String; from, count: Integer): String");
    EXPECT_TRUE(
        Editor().Assist->LastTip.startsWith("function Copy(s: String; from, count: Integer): String\n"));
    EXPECT_TRUE(Editor().Assist->LastTip.contains(QString::fromUtf8("Не больше count символов")));
    Shot(Editor().PlusMemo, "signature.png");
    QTest::keyClicks(Editor().PlusMemo, "s, 1, 2)");
    // A function of the script itself shows its header; an unknown name shows nothing.
    Type("function Check(level, &ok) { ok = level > 3; }\nCheck");
    QTest::keyClicks(Editor().PlusMemo, "(");
    QTest::qWait(20);
    EXPECT_EQ(Editor().Assist->LastSignature, "function Check(level, &ok)");
    EXPECT_EQ(Editor().Assist->LastTip, "function Check(level, &ok)");
    Type("Nothing");
    QTest::keyClicks(Editor().PlusMemo, "(");
    QTest::qWait(20);
    EXPECT_EQ(Editor().Assist->LastSignature, "");
  });
  Main().Action(A::kaEditScript)->trigger();
}

// F1 on a function name opens its entry; the help window then belongs to the modal editor, so it
// can be read and searched while the editor is open.
TEST_F(HelpTest, F1InTheEditorOpensTheEntryOfTheFunctionAtTheCaret) {
  Start();
  Select("zyxel", "Init");
  WhenModal([&] {
    Type("var t = FormatFloat(\"0.00\", 2.5);");
    QTextCursor cursor = Editor().PlusMemo->textCursor();
    cursor.setPosition(12);  // inside FormatFloat
    Editor().PlusMemo->setTextCursor(cursor);
    QTest::keyClick(Editor().PlusMemo, Qt::Key_F1);
    THelpWindow* help = Main().HelpWindow;
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->Browser->source().fileName(), QString::fromUtf8(kFunctionsPage));
    EXPECT_EQ(help->Browser->source().fragment(), "fn-formatfloat");
    EXPECT_EQ(help->parentWidget(), &Editor());
    EXPECT_TRUE(
        help->Browser->toPlainText().contains("function FormatFloat(Fmt: String; Value: Extended): String"));
    Shot(help, "help-function-entry.png");
    help->close();
    // Anywhere else F1 opens the language page.
    cursor.setPosition(1);
    Editor().PlusMemo->setTextCursor(cursor);
    QTest::keyClick(Editor().PlusMemo, Qt::Key_F1);
    EXPECT_EQ(help->Browser->source().fileName(), "kelvo-jscript.html");
    help->close();
  });
  Main().Action(A::kaEditScript)->trigger();
  // Without a modal window the help window is the main window's again.
  Main().FormHelp();
  EXPECT_EQ(Main().HelpWindow->parentWidget(), &Main());
  EXPECT_EQ(Main().HelpWindow->Browser->source().fileName(), "kelvo.html");
}

TEST_F(HelpTest, TheMainPageLinksTheReferencePagesAndTheSearchFindsTextInEveryPage) {
  Start();
  Main().FormHelp();
  THelpWindow* help = Main().HelpWindow;
  QString main = help->Browser->toHtml();
  for (const char* page : {"kelvo-jscript.html", "kelvo-cppscript.html", "kelvo-functions.html"})
    EXPECT_TRUE(main.contains(page)) << page;
  // A text that is only on the language page: the search goes there and selects it.
  help->SearchEdit->setText("Incompatible types");
  QTest::keyClick(help->SearchEdit, Qt::Key_Return);
  EXPECT_EQ(help->Browser->source().fileName(), "kelvo-jscript.html");
  EXPECT_EQ(help->Browser->textCursor().selectedText(), "Incompatible types");
  int first = help->Browser->textCursor().position();
  QTest::keyClick(help->SearchEdit, Qt::Key_Return);
  EXPECT_GT(help->Browser->textCursor().position(), first);
  Shot(help, "help-search.png");
  // The exact name of a function opens its entry.
  help->SearchEdit->setText("setbaudrate");
  QTest::keyClick(help->SearchEdit, Qt::Key_Return);
  EXPECT_EQ(help->Browser->source().fileName(), QString::fromUtf8(kFunctionsPage));
  EXPECT_EQ(help->Browser->source().fragment(), "fn-setbaudrate");
  // Nothing anywhere: the window says so and stays where it was.
  help->SearchEdit->setText("zzqqxx");
  QTest::keyClick(help->SearchEdit, Qt::Key_Return);
  EXPECT_EQ(help->SearchStatus->text(), QString::fromUtf8("не найдено"));
  EXPECT_EQ(help->Browser->source().fragment(), "fn-setbaudrate");
  help->Browser->setSource(QUrl::fromLocalFile(QString::fromStdString(Dir.File(kFunctionsPage))));
  Shot(help, "help-functions.png");
}
