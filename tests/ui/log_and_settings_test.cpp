// What the window remembers between starts (a fresh window on the same settings file), the log's
// pop-up menu, times, saved and per-run log files and its bound, the editor's line numbers, Ctrl+S
// and error place, and Qt's own texts in Russian.
#include <QApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <filesystem>

#include "app/run_log_files.h"
#include "run_fixture.h"
#include "ui/kelvo_settings.h"
#include "ui/script_memo.h"

namespace kelvo::testing {
namespace {

using RememberedTest = RunWindowTest;

TEST_F(RememberedTest, AFreshWindowOnTheSameSettingsComesBackAsItWasLeft) {
  StartWith({{"Reset", "Send(\"ATZ\");"}, {"Init", "Send(\"AT\");"}});
  Select("sim", "Init");
  Main().resize(720, 530);
  Main().Splitter1->setSizes({120, 300});
  QList<int> splitter = Main().Splitter1->sizes();
  Main().SetShowLogTime(false);
  Main().SaveAllRunsAction->trigger();
  WhenModal([this] { Editor().resize(555, 444); });
  Main().Action(TKelvoAction::kaEditScript)->trigger();
  Main().close();
  EXPECT_TRUE(std::filesystem::exists(Home.File("config/kelvo/kelvo.conf")));

  W = {};
  Start();
  EXPECT_EQ(Main().PortName(), Sim->Path);
  ASSERT_NE(Main().TreeView->currentItem(), nullptr);
  EXPECT_EQ(Main().TreeView->currentItem()->text(0).toStdString(), "Init");
  EXPECT_TRUE(Node("sim")->isExpanded());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));    // the selection took effect
  EXPECT_EQ(Main().EditorScript(), "Send(\"AT\");");  // and its script is the one a run executes
  EXPECT_EQ(Main().size(), QSize(720, 530));
  EXPECT_EQ(Main().Splitter1->sizes(), splitter);
  EXPECT_FALSE(Main().LogView->ShowTime());
  EXPECT_FALSE(Editor().LogMemo->ShowTime());
  EXPECT_FALSE(Main().LogView->ShowTimeItem->isChecked());
  EXPECT_TRUE(Main().SaveAllRunsAction->isChecked());
  EXPECT_EQ(Editor().size(), QSize(555, 444));

  // A port that is not in the list is not forced on the selector; a modem that is gone is skipped.
  Main().close();
  W = {};
  {
    QSettings settings(UserSettingsPath(), QSettings::IniFormat);
    settings.setValue(settings::kPort, "/dev/ttyGONE");
    settings.setValue(settings::kSelected, QStringList{"gone", "Init"});
  }
  Start();
  EXPECT_EQ(Main().PortIndex(), 0);
  EXPECT_EQ(Main().TreeView->currentItem(), nullptr);
}

TEST_F(RememberedTest, TheLogsMenuIsRussianAndItsTimeColumnSwitchesInBothViews) {
  StartWith({{"Ident", "Send(\"ATI\"); Expect(\"OK\");"}});
  QStringList texts;
  for (QAction* action : Main().LogView->PopupMenu->actions())
    if (!action->isSeparator()) texts << action->text();
  EXPECT_EQ(texts.join('|').toStdString(),
            "Копировать|Выделить всё|Сохранить протокол…|Очистить|Показывать время");
  EXPECT_TRUE(Main().LogView->ShowTime());
  EXPECT_GT(Main().LogView->MarginWidth(), 0);
  Editor().LogMemo->ShowTimeItem->trigger();  // the editor's menu switches both views
  EXPECT_FALSE(Main().LogView->ShowTime());
  EXPECT_EQ(Main().LogView->MarginWidth(), 0);
  EXPECT_FALSE(Editor().LogMemo->ShowTime());
  Main().LogView->ShowTimeItem->trigger();
  EXPECT_TRUE(Editor().LogMemo->ShowTime());

  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  // "Очистить" empties the log and both views.
  Main().LogView->ClearItem->trigger();
  EXPECT_TRUE(Main().Log().empty());
  EXPECT_TRUE(LogLines(Main().LogView).empty());
  EXPECT_TRUE(LogLines(Editor().LogMemo).empty());
}

TEST_F(RememberedTest, ASavedLogHoldsEveryLineWithItsTimeAndPrefixAsUtf8) {
  StartWith({{"Ident", "Send(\"ATI\"); Expect(\"OK\");"}});
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  const auto& log = Main().Log();
  ASSERT_EQ(log.size(), 7u);
  std::string path = Dir.File("протокол.txt");
  Main().SaveLogTo(path);
  const std::string texts[] = {"поиск модема: " + Sim->Path + ", 2400 bps",
                               "модем обнаружен",
                               "> ATI",
                               "< ATI",
                               "< SIM",
                               "< OK",
                               AnsiToUtf8(log.back().Text)};
  std::string expected;
  for (size_t i = 0; i < log.size(); ++i) expected += FormatLogTime(log[i].Time) + " " + texts[i] + "\n";
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(texts[6].rfind("сценарий выполнен за ", 0), 0u);
  // The time column shows the same times as the file.
  QTextBlock first = Main().LogView->document()->begin();
  EXPECT_EQ(TimeOfDayText(first.userState()).toStdString(), FormatLogTime(log[0].Time));
  // A file that cannot be written is reported, not lost silently.
  Main().SaveLogTo(Dir.File("no/such/folder/log.txt"));
  EXPECT_NE(Main().LastBox().find("no/such/folder/log.txt"), std::string::npos) << Main().LastBox();
}

TEST_F(RememberedTest, WithSaveAllRunsEveryRunLeavesItsLogInTheStateFolder) {
  StartWith({{"Ident", "Send(\"ATI\"); Expect(\"OK\");"}, {"Stops", "Send(\"AT\"); Sleep(60000);"}});
  const std::string folder = Home.File("state/kelvo/logs");
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_FALSE(std::filesystem::exists(folder));  // off by default
  Main().SaveAllRunsAction->trigger();
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  RunScript("Stops");
  ASSERT_TRUE(WaitForLogLine("> AT"));
  Main().Action(TKelvoAction::kaStopScript)->trigger();
  ASSERT_TRUE(WaitForRunEnd());
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 2u);
  EXPECT_NE(files[0].find(" sim - Ident.log"), std::string::npos) << files[0];
  EXPECT_NE(files[1].find(" sim - Stops.log"), std::string::npos) << files[1];
  // The file holds what the window's log holds, as a saved log does.
  Main().SaveLogTo(Dir.File("saved.txt"));
  EXPECT_EQ(ReadBytes(files[1]), ReadBytes(Dir.File("saved.txt")));
  EXPECT_NE(ReadBytes(files[1]).find("выполнение сценария прервано пользователем\n"), std::string::npos);
  EXPECT_FALSE(Main().RunLogFile().IsOpen());
}

TEST_F(RememberedTest, AFolderThatCannotBeMadeIsSaidInTheLogAndTheRunGoesOn) {
  StartWith({{"Ident", "Send(\"ATI\"); Expect(\"OK\");"}});
  WriteBytes(Home.File("state"), "a file where the folder should be");
  Main().SetSaveAllRuns(true);
  RunScript("Ident");
  ASSERT_TRUE(WaitForRunEnd());
  auto lines = LogLines(Main().LogView);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].first.rfind("протокол запуска не сохраняется: ", 0), 0u) << lines[0].first;
  EXPECT_EQ(lines[0].second, "#ff0000");
  EXPECT_EQ(lines.back().first.rfind("сценарий выполнен за ", 0), 0u);
}

TEST_F(RememberedTest, TheWindowKeepsOnlyTheNewestLinesOfALogWithoutEnd) {
  Start();
  Main().SetLogLimit(100);
  const TLogTime start = std::chrono::system_clock::now();
  for (int i = 0; i < 250; ++i)
    Main().AppendLogLine({start + std::chrono::milliseconds(i), lkReceived, "< line " + std::to_string(i)});
  EXPECT_EQ(Main().Log().size(), 100u);
  EXPECT_EQ(Main().Log().front().Text, "< line 150");
  for (QPlainTextEdit* view :
       {static_cast<QPlainTextEdit*>(Main().LogView), static_cast<QPlainTextEdit*>(Editor().LogMemo)}) {
    EXPECT_EQ(view->document()->blockCount(), 100);
    QTextBlock first = view->document()->begin();
    EXPECT_EQ(first.text().toStdString(), "< line 150");
    // Each line keeps its own time when older lines go.
    EXPECT_EQ(TimeOfDayText(first.userState()).toStdString(),
              FormatLogTime(start + std::chrono::milliseconds(150)));
    EXPECT_EQ(view->document()->lastBlock().text().toStdString(), "< line 249");
  }
  EXPECT_EQ(TKelvoDlg::kLogLimit, 10000);
}

TEST_F(UiTest, TheEditorNumbersItsLinesSavesOnCtrlSAndShowsTheErrorsPlace) {
  Start();
  Select("zyxel", "Init");
  auto* memo = Editor().PlusMemo;
  EXPECT_GT(memo->MarginWidth(), 0);
  EXPECT_TRUE(memo->MarginVisible());
  WhenModal([&] {
    // The offscreen platform leaves the main window active under a modal window.
    QApplication::setActiveWindow(&Editor());
    memo->setFocus();
    memo->setPlainText("Send(\"ATZ\");\nSend(\"AT&F\");");
    EXPECT_TRUE(Enabled(TKelvoAction::kaSaveScript));
    QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Enabled(TKelvoAction::kaSaveScript));
  });
  Main().Action(TKelvoAction::kaEditScript)->trigger();
  EXPECT_NE(File().find(TextToHex("Send(\"ATZ\");\r\nSend(\"AT&F\");")), std::string::npos) << File();

  // A compile error: the caret goes there and the status line says where, until the next edit.
  memo->setPlainText("Send(\"AT\");\n  x = ;");
  Editor().CompileErrorPos = "2:7";
  Editor().CompileErrorMsg = "Expression expected";
  Editor().ShowCompileError();
  EXPECT_EQ(Editor().StatusLine->currentMessage().toStdString(),
            "Ошибка компиляции скрипта: строка 2, столбец 7 - Expression expected");
  QTextCursor caret = memo->textCursor();
  EXPECT_EQ(caret.blockNumber(), 1);
  caret.setPosition(memo->document()->findBlockByNumber(1).position() + 2);
  memo->setTextCursor(caret);
  EXPECT_EQ(Editor().CaretPlace->text().toStdString(), "строка 2, столбец 3");  // before "x"
  memo->insertPlainText("1");
  EXPECT_TRUE(Editor().StatusLine->currentMessage().isEmpty());
}

TEST_F(UiTest, TheEditorsTitleFollowsARenameOfItsScriptOrModem) {
  Start();
  Select("zyxel", "Init");
  EXPECT_EQ(Editor().windowTitle().toStdString(), "Kelvo - редактор сценариев: zyxel - \"Init\"");
  std::string name = Utf8ToAnsi("Инициализация");
  Main().Core().TreeViewEdited(TKelvoTreeView::ElementOf(Node("zyxel", "Init")), name);
  EXPECT_EQ(Editor().windowTitle().toStdString(), "Kelvo - редактор сценариев: zyxel - \"Инициализация\"");
  name = "ZyXEL";
  Main().Core().TreeViewEdited(TKelvoTreeView::ElementOf(Node("zyxel")), name);
  EXPECT_EQ(Editor().windowTitle().toStdString(), "Kelvo - редактор сценариев: ZyXEL - \"Инициализация\"");
}

TEST_F(RememberedTest, ADoubleClickOnTheSelectedScriptRunsItWithoutStartingARename) {
  StartWith({{"S", "Send(\"AT\"); Sleep(60000);"}});
  Select("sim", "S");
  Main().TreeView->doItemsLayout();
  QTreeWidgetItem* script = Node("sim", "S");
  QPoint at = Main().TreeView->visualItemRect(script).center();
  QWidget* viewport = Main().TreeView->viewport();
  // What the system sends for a double click: press, release, press, double click, release.
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  EXPECT_TRUE(Main().Core().Running());
  // The first click on the selected script would start a rename once the double-click interval
  // has passed.
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  EXPECT_FALSE(Main().TreeView->Editing());
  Main().Action(TKelvoAction::kaStopScript)->trigger();
  ASSERT_TRUE(WaitForRunEnd());
  // A single click on the selected script still starts the rename.
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  EXPECT_TRUE(QTest::qWaitFor([this] { return Main().TreeView->Editing(); }, 3000));
}

TEST(QtTranslations, QtsOwnTextsFollowTheInterfacesLanguage) {
  // The English interface keeps Qt's own English.
  EXPECT_TRUE(LoadQtTranslations(true).isEmpty());
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Cancel");
  if (!std::filesystem::exists(
          (QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ru.qm").toStdString()))
    GTEST_SKIP() << "Qt's translations are not installed";
  EXPECT_TRUE(LoadQtTranslations(false).endsWith("qtbase_ru.qm"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Отмена");
  EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "Select All").toStdString(), "Выделить всё");
}

}  // namespace
}  // namespace kelvo::testing
