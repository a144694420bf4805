// The terminal in the window against the modem simulator: opened after the modem search or at a
// chosen speed, commands typed and sent, lines nobody asked for logged, the history and the
// script's commands, and the port released on close; a run and the terminal exclude each other.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <filesystem>

#include "run_fixture.h"
#include "ui/terminal_bar.h"

namespace kelvo::testing {
namespace {

class TerminalWindowTest : public RunWindowTest {
 protected:
  TTerminalBar& Bar() { return *Main().TerminalBar; }
  bool Open() { return Main().Core().TerminalOpen(); }
  bool WaitForClose() {
    return QTest::qWaitFor([this] { return !Open(); }, 5000);
  }
  void Type(const char* command) {
    Bar().Input->setText(QString::fromUtf8(command));
    QTest::keyClick(Bar().Input, Qt::Key_Return);
  }
  // The log's lines after the last one that starts with prefix.
  std::vector<std::string> LinesAfter(const std::string& prefix) {
    std::vector<std::string> after;
    for (const auto& [text, colour] : LogLines(Main().LogView)) {
      if (text.rfind(prefix, 0) == 0)
        after.clear();
      else
        after.push_back(text);
    }
    return after;
  }
  bool WaitForLineAfter(const std::string& sent, const std::string& line) {
    return QTest::qWaitFor(
        [&] {
          auto after = LinesAfter(sent);
          return std::find(after.begin(), after.end(), line) != after.end();
        },
        10000);
  }
};

TEST_F(TerminalWindowTest, CommandsTypedAreSentAndEveryLineThatArrivesIsLoggedUntilClose) {
  StartWith({{"Init", "Send(\"ATZ\"); Expect(\"OK\"); Send(\"ATI\"); Expect(\"OK\");"}},
            {"--ident", "SIM", "--chatter", "\\r\\nRING\\r\\n", "--every", "300"});
  Select("sim", "Init");
  EXPECT_TRUE(Enabled(TKelvoAction::kaTerminal));
  EXPECT_FALSE(Bar().isVisible());
  Main().Action(TKelvoAction::kaTerminal)->trigger();
  EXPECT_TRUE(Open());
  EXPECT_TRUE(Bar().isVisible());
  EXPECT_EQ(Main().BottomPane->currentWidget(), Main().LogView);
  ASSERT_TRUE(WaitForLogLine("терминал открыт, команды вводятся внизу: " + Sim->Path, 30000));
  EXPECT_TRUE(HasLogLine("модем обнаружен"));

  Type("ATI");
  ASSERT_TRUE(WaitForLineAfter("> ATI", "< SIM"));
  // The modem's RING between two commands is logged as received, nobody having asked.
  ASSERT_TRUE(WaitForLineAfter("> ATI", "< RING"));
  Type("AT");
  ASSERT_TRUE(WaitForLineAfter("> AT", "< OK"));
  Type("ATS0=2");
  ASSERT_TRUE(WaitForLineAfter("> ATS0=2", "< OK"));
  auto lines = LogLines(Main().LogView);
  auto sent = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return l.first == "> ATI"; });
  ASSERT_NE(sent, lines.end());
  EXPECT_EQ(sent->second, "#000080");
  auto ring = std::find_if(lines.begin(), lines.end(), [](const auto& l) { return l.first == "< RING"; });
  EXPECT_EQ(ring->second, "#008000");

  // Up walks back through what was sent; Down comes back to the empty line.
  QTest::keyClick(Bar().Input, Qt::Key_Up);
  EXPECT_EQ(Bar().Input->text().toStdString(), "ATS0=2");
  QTest::keyClick(Bar().Input, Qt::Key_Up);
  QTest::keyClick(Bar().Input, Qt::Key_Up);
  EXPECT_EQ(Bar().Input->text().toStdString(), "ATI");
  QTest::keyClick(Bar().Input, Qt::Key_Down);
  QTest::keyClick(Bar().Input, Qt::Key_Down);
  QTest::keyClick(Bar().Input, Qt::Key_Down);
  EXPECT_EQ(Bar().Input->text().toStdString(), "");

  // The script's commands, to send again.
  ASSERT_EQ(Bar().ScriptCommands->count(), 3);
  EXPECT_EQ(Bar().ScriptCommands->itemText(1).toStdString(), "ATZ");
  EXPECT_EQ(Bar().ScriptCommands->itemText(2).toStdString(), "ATI");
  Bar().ScriptCommands->activated(1);
  ASSERT_TRUE(WaitForLineAfter("> ATZ", "< OK"));

  // Escape in the line closes the terminal and frees the port; the history stays for next time.
  QTest::keyClick(Bar().Input, Qt::Key_Escape);
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(LastLogLine(), (std::pair<std::string, std::string>{"терминал закрыт", "#000000"}));
  EXPECT_FALSE(Bar().isVisible());
  EXPECT_FALSE(Main().Core().ComPort().Connected());
  EXPECT_TRUE(PortIsFree());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_TRUE(Main().Boxes.empty()) << Main().LastBox();
  Main().close();
  W = {};
  Start();
  EXPECT_EQ(Main().TerminalBar->History().Commands(),
            (std::vector<std::string>{"ATI", "AT", "ATS0=2", "ATZ"}));
}

TEST_F(TerminalWindowTest, ARunAndTheTerminalExcludeEachOtherAndTheActionsSayWhy) {
  StartWith({{"Long", "Send(\"AT\"); Sleep(60000);"}});
  Select("sim", "Long");
  // At a chosen speed the terminal opens without the search.
  QList<QAction*> speeds = Main().TerminalSpeedMenu->actions();
  auto at9600 =
      std::find_if(speeds.begin(), speeds.end(), [](QAction* a) { return a->text() == "9600 bps"; });
  ASSERT_NE(at9600, speeds.end());
  (*at9600)->trigger();
  ASSERT_TRUE(WaitForLogLine("терминал открыт"));
  EXPECT_TRUE(HasLogLine("скорость задана, модем не ищется: " + Sim->Path + ", 9600 bps"));
  EXPECT_FALSE(HasLogLine("поиск модема"));
  EXPECT_FALSE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_NE(Main().Action(TKelvoAction::kaRunScript)->toolTip().toStdString().find("терминал"),
            std::string::npos);
  EXPECT_FALSE(Enabled(TKelvoAction::kaTerminal));
  EXPECT_TRUE(Enabled(TKelvoAction::kaCloseTerminal));
  EXPECT_EQ(Main().Action(TKelvoAction::kaStopScript)->toolTip().toStdString(),
            "закрыть терминал и освободить порт (Esc)");
  Main().Core().RunScriptActionExecute();  // refused: the port is the terminal's
  EXPECT_EQ(Main().StatusPanel->text().toStdString(),
            "порт занят терминалом: сначала закройте терминал (Esc)");
  EXPECT_FALSE(Main().Core().Running());
  // A pseudo-terminal has no DTR: the terminal says so and stays open.
  Bar().DTRButton->click();
  ASSERT_TRUE(WaitForLogLine("SetDTR: у порта"));
  EXPECT_TRUE(Open());
  Main().Action(TKelvoAction::kaStopScript)->trigger();  // Stop closes the terminal too
  ASSERT_TRUE(WaitForClose());

  RunScript("Long");
  ASSERT_TRUE(WaitForLogLine("> AT"));
  EXPECT_FALSE(Enabled(TKelvoAction::kaTerminal));
  EXPECT_FALSE(Main().TerminalSpeedMenu->isEnabled());
  EXPECT_NE(Main().Action(TKelvoAction::kaTerminal)->toolTip().toStdString().find("выполнение сценария"),
            std::string::npos);
  Main().Core().TerminalActionExecute();  // refused during the run
  EXPECT_FALSE(Open());
  Main().Action(TKelvoAction::kaStopScript)->trigger();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_TRUE(Enabled(TKelvoAction::kaTerminal));
  EXPECT_EQ(Main().Action(TKelvoAction::kaRunScript)->toolTip().toStdString(), "выполнить сценарий");
}

// Answers without CR (a prompt such as AT+CMGS's "> " has none) are shown once the modem is quiet;
// the log of the run before stays above the terminal's lines.
TEST_F(TerminalWindowTest, ALineWithoutItsCRIsShownWhenTheModemFallsQuiet) {
  StartWith({{"S", "Send(\"AT\");"}}, {"--ident", "SIM", "--no-cr"});
  Main().AppendLogLine({{}, lkError, Utf8ToAnsi("строка прошлого запуска")});
  Main().TerminalSpeedMenu->actions().at(5)->trigger();  // 9600 bps
  ASSERT_TRUE(WaitForLogLine("терминал открыт"));
  EXPECT_TRUE(HasLogLine("строка прошлого запуска"));
  Type("ATI");
  ASSERT_TRUE(WaitForLineAfter("> ATI", "< OK"));  // the simulator's OK comes without CR here
  Main().Action(TKelvoAction::kaCloseTerminal)->trigger();
  ASSERT_TRUE(WaitForClose());
}

// The device goes away under an open terminal: it ends by itself with the port's reason in red, the
// port closed, and the commands enabled again; nothing waits for a device that is gone.
TEST_F(TerminalWindowTest, ADeviceThatVanishesEndsTheTerminalWithTheReason) {
  StartWith({{"S", "Send(\"AT\");"}});
  Main().TerminalSpeedMenu->actions().at(5)->trigger();
  ASSERT_TRUE(WaitForLogLine("терминал открыт"));
  Sim->Stop();
  ASSERT_TRUE(WaitForClose());
  auto last = LastLogLine();
  EXPECT_NE(last.first.find("связь с модемом потеряна"), std::string::npos) << last.first;
  EXPECT_EQ(last.second, "#ff0000");
  EXPECT_FALSE(Main().Core().ComPort().Connected());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript) || Main().Core().CurrentScript() == nullptr);
  EXPECT_TRUE(Enabled(TKelvoAction::kaTerminal));
  EXPECT_FALSE(Bar().isVisible());
}

// With "Сохранять протоколы всех запусков" on, a session by hand is kept as a run is, named by its
// port.
TEST_F(TerminalWindowTest, WithSaveAllRunsTheSessionIsSavedUnderItsPortsName) {
  StartWith({{"S", "Send(\"AT\");"}});
  Main().SaveAllRunsAction->trigger();
  Main().TerminalSpeedMenu->actions().at(5)->trigger();
  ASSERT_TRUE(WaitForLogLine("терминал открыт"));
  Type("ATI");
  ASSERT_TRUE(WaitForLineAfter("> ATI", "< OK"));
  Main().Action(TKelvoAction::kaCloseTerminal)->trigger();
  ASSERT_TRUE(WaitForClose());
  EXPECT_FALSE(Main().RunLogFile().IsOpen());
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(Home.File("state/kelvo/logs")))
    files.push_back(entry.path().filename().string());
  ASSERT_EQ(files.size(), 1u);
  const std::string port = Sim->Path.substr(Sim->Path.rfind('/') + 1);
  EXPECT_NE(files[0].find(" " + port + " - терминал.log"), std::string::npos) << files[0];
  const std::string saved = ReadBytes(Home.File("state/kelvo/logs/" + files[0]));
  EXPECT_NE(saved.find("> ATI\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("терминал закрыт\n"), std::string::npos) << saved;
}

TEST_F(TerminalWindowTest, ClosingTheWindowWithTheTerminalOpenReleasesThePort) {
  StartWith({{"S", "Send(\"AT\");"}});
  Main().Action(TKelvoAction::kaTerminal)->trigger();
  ASSERT_TRUE(WaitForLogLine("терминал открыт"));
  Main().close();
  W = {};
  EXPECT_TRUE(PortIsFree());
}

}  // namespace
}  // namespace kelvo::testing
