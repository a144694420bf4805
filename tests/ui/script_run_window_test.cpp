// A script run started from the window against the modem simulator: the log page's lines and their
// colours, the failed run that opens the editor on the log, and the compile error that opens it at
// the error.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>

#include "app/hex_text.h"
#include "serial/simulator_process.h"
#include "ui/ui_fixture.h"

namespace kelvo::testing {
namespace {

class ScriptRunWindowTest : public UiTest {
 protected:
  void StartOnSimulator() { StartOn(Sim); }
  void StartOn(const TSimulator& sim) {
    std::string scripts;
    const std::pair<const char*, const char*> kScripts[] = {
        {"Ident", "Send(\"ATI\"); Expect(\"OK\");"},
        {"Fails", "Send(\"ATX9Y\"); Expect(\"OK\");"},
        {"Broken", "Send(\"AT\");\n  x = ;"},
    };
    for (const auto& [name, body] : kScripts)
      scripts +=
          std::string("    <Script Name=\"") + name + "\" Body=\"" + TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n";
    WriteBytes(Dir.File("kelvo.xml"),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"sim\">\r\n" +
                   scripts + "  </Modem>\r\n</Modems>");
    qputenv("KELVO_PORTS", QByteArray::fromStdString(sim.Path));
    Start();
    ASSERT_EQ(Main().PortComboBox->count(), 3);  // the choice item, the simulator, Rescan
    Main().PortComboBox->setCurrentIndex(1);
    ASSERT_EQ(Main().PortName(), sim.Path);
  }

  // The log page's lines with the colour of each as "#rrggbb".
  std::vector<std::pair<std::string, std::string>> LogLines() {
    std::vector<std::pair<std::string, std::string>> lines;
    QTextDocument* doc = Editor().LogMemo->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      QColor colour = b.begin().fragment().charFormat().foreground().color();
      lines.push_back({b.text().toStdString(), colour.name().toStdString()});
    }
    return lines;
  }

  // With KELVO_SCREENSHOTS naming a folder, a picture of the widget is saved there, to look at.
  static void Picture(QWidget& widget, const char* name) {
    QByteArray dir = qgetenv("KELVO_SCREENSHOTS");
    if (!dir.isEmpty()) widget.grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }

  // Runs step once the editor stands as a modal window, then closes it. A run processes window
  // messages while it goes on, so a plain zero timer would fire before the editor is shown.
  void WhenEditorModal(std::function<void()> step) {
    auto* poll = new QTimer(&Main());
    QObject::connect(poll, &QTimer::timeout, [this, poll, step] {
      if (QApplication::activeModalWidget() != &Editor()) return;
      poll->stop();
      poll->deleteLater();
      step();
      Editor().done(QDialog::Rejected);
    });
    poll->start(20);
  }

  TSimulator Sim{{"--ident", "SIM"}};
};

TEST_F(ScriptRunWindowTest, ARunFromTheTreeFillsTheLogInTheColoursOfItsKinds) {
  StartOnSimulator();
  Select("sim", "Ident");
  Main().Action(TKelvoAction::kaRunScript)->trigger();
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0],
            (std::pair<std::string, std::string>{"поиск модема: " + Sim.Path + ", 2400 bps", "#000000"}));
  EXPECT_EQ(lines[1].first, "модем обнаружен");
  EXPECT_EQ(lines[2], (std::pair<std::string, std::string>{"> ATI", "#000080"}));
  EXPECT_EQ(lines[3], (std::pair<std::string, std::string>{"< ATI", "#008000"}));
  EXPECT_EQ(lines[4].first, "< SIM");
  EXPECT_EQ(lines[5].first, "< OK");
  EXPECT_TRUE(Main().Boxes.empty());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_TRUE(Enabled(TKelvoAction::kaEditScript));
  EXPECT_EQ(Main().StatusPanel->text(), "");
  EXPECT_FALSE(Main().Core().Running());
  WhenEditorModal([&] {
    Editor().SetPage(TEditorPage::epProtocol);
    Picture(Editor(), "run-succeeded");
  });
  Main().Action(TKelvoAction::kaEditScript)->trigger();
  Picture(Main(), "main-after-run");
}

TEST_F(ScriptRunWindowTest, ControlCharactersFromTheModemAreShownByNameInTheLog) {
  TSimulator hostile{{"--ident", "\\e]0;owned\\a\\e[31mRED\\0tail"}};
  StartOn(hostile);
  Select("sim", "Ident");
  Main().Action(TKelvoAction::kaRunScript)->trigger();
  auto lines = LogLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4].first, "< ]0;owned<BEL><ESC>[31mRED<NUL>tail");
  EXPECT_EQ(lines[4].second, "#008000");
}

TEST_F(ScriptRunWindowTest, AFailedRunWarnsAndOpensTheEditorOnTheLog) {
  StartOnSimulator();
  Select("sim", "Fails");
  bool shownOnLog = false;
  std::string lastLine, lastColour;
  WhenEditorModal([&] {
    shownOnLog = Editor().isVisible() && Editor().PageControl->currentWidget() == Editor().ProtocolSheet;
    Picture(Editor(), "run-failed");
    auto lines = LogLines();
    if (!lines.empty()) std::tie(lastLine, lastColour) = lines.back();
  });
  Main().Action(TKelvoAction::kaRunScript)->trigger();
  EXPECT_TRUE(shownOnLog);
  EXPECT_EQ(lastLine, "ошибка выполнения сценария: нет ожидаемого ответа модема 'OK'");
  EXPECT_EQ(lastColour, "#ff0000");
  ASSERT_EQ(Main().Boxes.size(), 1u);
  EXPECT_EQ(Main().Boxes[0].Icon, TMsgIcon::miExclamation);
}

TEST_F(ScriptRunWindowTest, ACompileErrorOpensTheEditorAtTheErrorAndNeverTheLog) {
  StartOnSimulator();
  Select("sim", "Broken");
  int line = -1, column = -1;
  bool onDescription = false;
  WhenEditorModal([&] {
    QApplication::processEvents();  // the editor reports the error once it stands on the screen
    QTextCursor caret = Editor().PlusMemo->textCursor();
    line = caret.blockNumber() + 1;
    column = caret.positionInBlock();  // the editor's 0-based column: the reported column
    onDescription = Editor().PageControl->currentWidget() == Editor().DescriptionSheet;
  });
  Main().Action(TKelvoAction::kaRunScript)->trigger();
  EXPECT_TRUE(onDescription);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 7);
  EXPECT_TRUE(LogLines().size() <= 1u && (LogLines().empty() || LogLines()[0].first.empty()));
  ASSERT_FALSE(Main().Boxes.empty());
  EXPECT_EQ(Main().Boxes.back().Text.rfind("Ошибка компиляции скрипта", 0), 0u);
}

}  // namespace
}  // namespace kelvo::testing
