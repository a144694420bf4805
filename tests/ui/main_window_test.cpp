#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <filesystem>

#include "ui/help_window.h"

#include "ui_fixture.h"

using namespace kelvo;
using namespace kelvo::testing;
using A = TKelvoAction;

namespace {

std::vector<std::string> Texts(QTreeWidgetItem* parent, QTreeWidget* tree) {
  std::vector<std::string> texts;
  int n = parent != nullptr ? parent->childCount() : tree->topLevelItemCount();
  for (int i = 0; i < n; ++i) {
    texts.push_back((parent != nullptr ? parent->child(i) : tree->topLevelItem(i))->text(0).toStdString());
  }
  return texts;
}

}  // namespace

TEST_F(UiTest, StartUpShowsTheSortedTreeCaptionAndNothingEnabled) {
  Start();
  EXPECT_EQ(Main().windowTitle().toStdString(), "Kelvo - программа инициализации модемов");
  EXPECT_EQ(Texts(nullptr, Main().TreeView), (std::vector<std::string>{"Acorp", "Motorola", "zyxel"}));
  EXPECT_EQ(Texts(Node("zyxel"), Main().TreeView), (std::vector<std::string>{"Init", "Reset"}));
  for (A a : {A::kaRunScript, A::kaEditScript, A::kaAddModem, A::kaRemoveModem, A::kaAddScript,
              A::kaRemoveScript, A::kaSaveScript}) {
    EXPECT_FALSE(Enabled(a));
  }
  EXPECT_EQ(Main().StatusPanel->text(), "");
  EXPECT_EQ(Main().Action(A::kaRunScript)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_EQ(Main().Action(A::kaEditScript)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
  EXPECT_EQ(Main().Action(A::kaRunScript)->toolTip().toStdString(), "выполнить сценарий");
  EXPECT_EQ(Main().Action(A::kaRunScript)->text().toStdString(), "Выполнить сценарий");
}

TEST_F(UiTest, PortSelectorListsTheChoiceItemThenPortsInTextOrderThenRescan) {
  std::filesystem::create_directories(Sys.Path() / "ttyUSB0" / "device");
  TempDir virtualPorts;
  for (const char* name : {"COM2", "COM10", "COM1"}) WriteBytes(virtualPorts.File(name), "");
  const std::string at = virtualPorts.Path().string() + "/";
  qputenv("KELVO_PORTS",
          QByteArray::fromStdString(at + "COM2:" + at + "COM10:" + at + "COM1:/dev/kelvo-gone"));
  Start();
  QStringList items;
  for (int i = 0; i < Main().PortComboBox->count(); ++i) items << Main().PortComboBox->itemText(i);
  EXPECT_EQ(items.join('|').toStdString(), "(выберите порт)|" + at + "COM1|" + at + "COM10|" + at +
                                               "COM2|ttyUSB0|(обновить список портов — F5)");
  EXPECT_EQ(Main().PortComboBox->currentIndex(), 0);
  EXPECT_EQ(Main().PortIndex(), 0);
  EXPECT_EQ(Main().PortName(), "");
}

TEST_F(UiTest, EachKindOfSelectionEnablesItsCommands) {
  Start();
  Select("zyxel");
  EXPECT_TRUE(Enabled(A::kaAddModem) && Enabled(A::kaAddScript) && Enabled(A::kaRemoveModem));
  EXPECT_FALSE(Enabled(A::kaRunScript) || Enabled(A::kaEditScript) || Enabled(A::kaRemoveScript));
  Select("zyxel", "Init");
  EXPECT_TRUE(Enabled(A::kaAddModem) && Enabled(A::kaAddScript) && Enabled(A::kaRemoveScript) &&
              Enabled(A::kaRunScript) && Enabled(A::kaEditScript));
  EXPECT_FALSE(Enabled(A::kaRemoveModem));
}

TEST_F(UiTest, SelectingAScriptFillsTheEditorPanesAndCaption) {
  Start();
  Select("zyxel", "Init");
  EXPECT_EQ(Editor().PlusMemo->toPlainText().toStdString(), "AT\na = 1;");
  EXPECT_EQ(Editor().DescriptionMemo->toPlainText().toStdString(), "инициализация");
  EXPECT_EQ(Main().DescriptionMemo->toPlainText().toStdString(), "инициализация");
  EXPECT_EQ(Editor().windowTitle().toStdString(), "Kelvo - редактор сценариев: zyxel - \"Init\"");
  EXPECT_FALSE(Enabled(A::kaSaveScript));  // loading a text is not an edit
  Select("Motorola");
  EXPECT_EQ(Main().DescriptionMemo->toPlainText().toStdString(), "");
  EXPECT_EQ(Editor().PlusMemo->toPlainText().toStdString(), "");
}

TEST_F(UiTest, AddingAModemStartsTheLabelEditAndTheTypedNameIsSaved) {
  Start();
  Main().Action(A::kaAddModem)->setEnabled(true);
  Main().Action(A::kaAddModem)->trigger();
  QTreeWidgetItem* added = Main().TreeView->currentItem();
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->text(0).toStdString(), "Новый модем");
  EXPECT_TRUE(Main().TreeView->Editing());
  EXPECT_NE(File().find("<Modem Name=\"Новый модем\"/>"), std::string::npos);

  auto* editor = Main().TreeView->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("  Hayes  ");
  QTest::keyClick(editor, Qt::Key_Return);
  // The name is judged once the editor has closed, a few event-loop turns later.
  QTRY_COMPARE_WITH_TIMEOUT(added->text(0).toStdString(), std::string("Hayes"), 5000);
  EXPECT_NE(File().find("<Modem Name=\"Hayes\"/>"), std::string::npos);
  EXPECT_TRUE(Main().Boxes.empty());
}

TEST_F(UiTest, RenamingToAnotherModemsNameIsRefusedAndTheNodeKeepsItsText) {
  Start();
  std::string before = File();
  QTreeWidgetItem* node = Node("Motorola");
  Main().TreeView->editItem(node);
  auto* editor = Main().TreeView->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("zyxel");
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_COMPARE_WITH_TIMEOUT(Main().LastBox(),
                            std::string("Модем с названием \"zyxel\" уже есть в библиотеке."), 5000);
  EXPECT_EQ(node->text(0).toStdString(), "Motorola");
  EXPECT_EQ(File(), before);
}

TEST_F(UiTest, RightClickLeftOfAScriptsIndentationSelectsNothing) {
  Start();
  Main().TreeView->expandAll();
  Main().TreeView->doItemsLayout();
  Select("Motorola");
  QTreeWidgetItem* script = Node("zyxel", "Init");
  QRect rect = Main().TreeView->visualItemRect(script);
  ASSERT_TRUE(rect.isValid());
  QWidget* viewport = Main().TreeView->viewport();
  QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(TKelvoTreeView::kIndent - 3, rect.center().y()));
  EXPECT_EQ(Main().TreeView->currentItem(), Node("Motorola"));
  EXPECT_FALSE(Main().TBPopupMenu->isVisible());

  QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(rect.left() + 30, rect.center().y()));
  EXPECT_EQ(Main().TreeView->currentItem(), script);
  EXPECT_TRUE(Enabled(A::kaRunScript));
  EXPECT_TRUE(Main().TBPopupMenu->isVisible());
  Main().TBPopupMenu->close();
}

TEST_F(UiTest, RemovingAProtectedModemShowsTheErrorAndKeepsIt) {
  Start();
  Select("Acorp");
  Main().Action(A::kaRemoveModem)->trigger();
  EXPECT_EQ(Main().LastBox(), "Данный модем защищен от удаления");
  EXPECT_NE(Node("Acorp"), nullptr);
}

TEST_F(UiTest, ConfirmedRemovalTakesTheNodeAndMovesTheSelection) {
  Start();
  Select("zyxel", "Reset");
  Main().Answers = {TModalResult::mrOk};
  Main().Action(A::kaRemoveScript)->trigger();
  EXPECT_EQ(Main().LastBox(), "Удалить сценарий настройки ?");
  EXPECT_EQ(Node("zyxel", "Reset"), nullptr);
  EXPECT_EQ(File().find("Reset"), std::string::npos);
  EXPECT_NE(Main().Core().CurrentModem(), nullptr);
}

TEST_F(UiTest, RunWithoutAPortAsksForOneAndFocusesTheSelector) {
  Start();
  Select("zyxel", "Init");
  QTest::keyClick(Main().TreeView, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(Main().LastBox(), "Выберите последовательный порт, к которому подключен настраиваемый модем");
  EXPECT_EQ(Main().Boxes.back().Icon, TMsgIcon::miInformation);
  EXPECT_TRUE(Main().PortComboBox->hasFocus());
}

TEST_F(UiTest, EscapeClosesTheMainWindow) {
  Start();
  Main().TreeView->setFocus();
  QTest::keyClick(Main().TreeView, Qt::Key_Escape);
  EXPECT_FALSE(Main().isVisible());
}

TEST_F(UiTest, EscapeWhileEditingALabelOnlyCancelsTheEdit) {
  Start();
  Main().TreeView->editItem(Node("Motorola"));
  auto* editor = Main().TreeView->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("Other");
  QTest::keyClick(editor, Qt::Key_Escape);
  QTest::qWait(20);
  EXPECT_TRUE(Main().isVisible());
  EXPECT_NE(Node("Motorola"), nullptr);
}

TEST_F(UiTest, DamagedLibraryFailsTheStartUpWithItsMessage) {
  WriteBytes(Dir.File("kelvo.xml"), "<Modems><Modem Name='a'><Modem Name='a'/></Modem></Modems>");
  try {
    CreateWindows<TTestKelvoDlg>(Dir.Path().string(), {});
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Modem name is non-unique or absent\r\n" + Dir.File("kelvo.xml") + ": Name=\"a\"");
  }
  std::filesystem::remove(Dir.File("kelvo.xml"));
  EXPECT_THROW(CreateWindows<TTestKelvoDlg>(Dir.Path().string(), {}), Exception);
}

TEST_F(UiTest, StampingStartSavesAndLetsProtectedItemsGo) {
  Start({"SetXmlVersion=5.0"});
  EXPECT_NE(File().find("<Modems Version=\"5.0\">"), std::string::npos);
  Select("Acorp");
  Main().Answers = {TModalResult::mrOk};
  Main().Action(A::kaRemoveModem)->trigger();
  EXPECT_EQ(Node("Acorp"), nullptr);
}

TEST_F(UiTest, F1ShowsTheHelpPageBesideTheProgramOrAnEmptyWindowWithoutIt) {
  WriteBytes(Dir.File("kelvo.html"), "<html><body><h1>Kelvo help</h1><p>Send(s)</p></body></html>");
  Start();
  QTest::keyClick(Main().TreeView, Qt::Key_F1);
  ASSERT_TRUE(Main().HelpWindow->isVisible());
  EXPECT_TRUE(Main().HelpWindow->Browser->toPlainText().contains("Send(s)"));
  Main().HelpWindow->close();
  std::filesystem::remove(Dir.File("kelvo.html"));
  Main().FormHelp();
  EXPECT_TRUE(Main().HelpWindow->isVisible());
}

TEST_F(UiTest, DoubleClickOnAScriptStartsTheRun) {
  Start();
  Main().TreeView->expandAll();
  Main().TreeView->doItemsLayout();
  QTreeWidgetItem* script = Node("zyxel", "Reset");
  QPoint at = Main().TreeView->visualItemRect(script).center();
  QWidget* viewport = Main().TreeView->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, at);  // a double click comes after a press
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  EXPECT_EQ(Main().LastBox(), "Выберите последовательный порт, к которому подключен настраиваемый модем");
}

TEST_F(UiTest, DamagedScriptBodyIsReportedAndTheCommandsStaySet) {
  WriteBytes(Dir.File("kelvo.xml"), LibraryWith("    <Script Name=\"Bad\" Body=\"41G0\"/>\r\n"));
  Start();
  Select("Modem", "Bad");
  EXPECT_EQ(Main().LastBox(), "invalid hex digit.");
  EXPECT_EQ(Main().Boxes.back().Icon, TMsgIcon::miError);
  EXPECT_TRUE(Enabled(A::kaRunScript) && Enabled(A::kaEditScript));
  EXPECT_EQ(Editor().PlusMemo->toPlainText().toStdString(), "");
}

TEST_F(UiTest, WindowsAreCreatedOnceInTheirOrderAndBelongToTheMainWindow) {
  Start();
  std::vector<QObject*> order;
  for (QObject* child : Main().children()) {
    if (child == W.InputDialog || child == W.ScriptEditDlg || child == W.AboutBox || child == W.WaitBoxForm) {
      order.push_back(child);
    }
  }
  EXPECT_EQ(order, (std::vector<QObject*>{W.InputDialog, W.ScriptEditDlg, W.AboutBox, W.WaitBoxForm}));
  EXPECT_EQ(W.ScriptEditDlg->parentWidget(), &Main());
}
