// Stop, from every place a run can wait: the silent modem search, Expect on a silent line with a 60 s
// read time-out, Sleep(60000), an endless loop and an open question. Each ends within 200 ms with
// the stop line in the log, no error dialog, and the port free for another program. The window
// answers while a run waits, refuses a second run, and asks before closing during a run.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "run_fixture.h"
#include "ui/input_dialog.h"
#include "ui/wait_box_form.h"

namespace kelvo::testing {
namespace {

enum class TStopBy { byAction, byEscape, byWaitBox, byQuestion };

struct TStopCase {
  const char* Name;
  const char* Body;  // UTF-8
  bool SilentModem;
  const char* ReadyLine;  // the stop comes once the log holds a line starting with this
  TStopBy By;
};

void PrintTo(const TStopCase& c, std::ostream* os) {
  *os << c.Name;
}

const TStopCase kStopCases[] = {
    {"SilentSearch", "Send(\"ATZ\");", true, "поиск модема: ", TStopBy::byEscape},
    {"ExpectWithALongTimeout", "SetReadTimeout(60000); Send(\"AT\"); Expect(\"CONNECT\");", false, "< OK",
     TStopBy::byAction},
    {"LongSleep", "WaitBox(\"Ждём\"); Send(\"AT\"); Sleep(60000);", false, "> AT", TStopBy::byWaitBox},
    {"EndlessLoop", "Send(\"AT\"); var i = 0; while (true) { i = i + 1; }", false, "> AT", TStopBy::byAction},
    {"OpenQuestion", "Send(\"AT\"); var n = AskUserString(\"Номер\", \"Введите номер\"); Send(\"ATDT\" + n);",
     false, "", TStopBy::byQuestion},
};

class RunStopWindowTest : public RunWindowTest, public ::testing::WithParamInterface<TStopCase> {
 protected:
  bool Ready(const TStopCase& c) {
    if (c.By == TStopBy::byQuestion) return W.InputDialog->isVisible();
    return HasLogLine(c.ReadyLine);
  }
  void Stop(TStopBy by) {
    switch (by) {
      case TStopBy::byAction:
        Main().Action(TKelvoAction::kaStopScript)->trigger();
        break;
      case TStopBy::byEscape:
        QTest::keyClick(Main().TreeView, Qt::Key_Escape);
        break;
      case TStopBy::byWaitBox:
        W.WaitBoxForm->StopButton->click();
        break;
      case TStopBy::byQuestion:
        W.InputDialog->StopButton->click();
        break;
    }
  }
};

TEST_P(RunStopWindowTest, StopEndsTheRunWithin200Ms) {
  const TStopCase& c = GetParam();
  StartWith({{"S", c.Body}},
            c.SilentModem ? std::vector<std::string>{"--silent"} : std::vector<std::string>{});
  QElapsedTimer sinceStop;
  bool stopped = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (stopped || !Ready(c)) return;
    stopped = true;
    sinceStop.start();
    Stop(c.By);
  });
  poll.start(5);
  RunScript("S");
  ASSERT_TRUE(QTest::qWaitFor([&] { return stopped && !Main().Core().Running(); }, 30000));
  qint64 ms = sinceStop.elapsed();
  EXPECT_LT(ms, 200) << c.Name;
  EXPECT_EQ(LastLogLine(),
            (std::pair<std::string, std::string>{"выполнение сценария прервано пользователем", "#ff0000"}));
  EXPECT_TRUE(Main().Boxes.empty()) << Main().LastBox();
  EXPECT_FALSE(Main().Core().ComPort().Connected());
  EXPECT_TRUE(PortIsFree());
  EXPECT_FALSE(W.InputDialog->isVisible());
  EXPECT_FALSE(W.WaitBoxForm->isVisible());
  EXPECT_FALSE(HasLogLine("> ATDT"));
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_FALSE(Enabled(TKelvoAction::kaStopScript));
}

INSTANTIATE_TEST_SUITE_P(EveryWait, RunStopWindowTest, ::testing::ValuesIn(kStopCases),
                         [](const auto& info) { return std::string(info.param.Name); });

using RunWhileWaitingTest = RunWindowTest;

TEST_F(RunWhileWaitingTest, TheEventLoopKeepsTickingDuringASilentSearch) {
  StartWith({{"S", "Send(\"ATZ\");"}}, {"--silent"});
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
    ++ticks;
  });
  RunScript("S");
  clock.start();
  tick.start(10);
  // Two speeds of the search: about two read time-outs of silence.
  ASSERT_TRUE(WaitForLogLine("поиск модема: " + Sim->Path + ", 19200 bps"));
  tick.stop();
  EXPECT_TRUE(Main().Core().Running());
  EXPECT_GT(ticks, 50);
  EXPECT_LT(longest, 500);  // a whole read time-out (1.5 s) when the run held the window's thread
  EXPECT_TRUE(Main().SearchProgress->isVisible());
  EXPECT_EQ(Main().SearchProgress->value(), 3);
  EXPECT_EQ(Main().SearchProgress->format().toStdString(), "поиск модема: 3 из 10, 19200 bps");
  Picture(Main(), "run-in-progress");
  Main().Action(TKelvoAction::kaStopScript)->trigger();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_TRUE(Main().SearchProgress->isHidden());
  Picture(Main(), "run-stopped");
}

TEST_F(RunWhileWaitingTest, NoSecondRunAndTheRunningScriptCanBeNeitherRenamedNorDeleted) {
  StartWith({{"S", "Send(\"ATZ\");"}, {"Other", "Send(\"AT\");"}}, {"--silent"});
  RunScript("S");
  ASSERT_TRUE(WaitForLogLine("поиск модема: "));
  EXPECT_FALSE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_FALSE(Enabled(TKelvoAction::kaEditScript));
  EXPECT_FALSE(Enabled(TKelvoAction::kaRemoveScript));
  EXPECT_FALSE(Main().Core().MayRename(TKelvoTreeView::ElementOf(Node("sim", "S"))));
  EXPECT_FALSE(Main().Core().MayRename(TKelvoTreeView::ElementOf(Node("sim"))));
  // The tree can be browsed: another script can be deleted, but not run, also by a double click.
  Select("sim", "Other");
  EXPECT_TRUE(Enabled(TKelvoAction::kaRemoveScript));
  EXPECT_FALSE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_TRUE(Main().Core().MayRename(TKelvoTreeView::ElementOf(Node("sim", "Other"))));
  Select("sim");
  EXPECT_FALSE(Enabled(TKelvoAction::kaRemoveModem));
  size_t lines = LogLines(Main().LogView).size();
  Select("sim", "Other");
  Main().Core().TreeViewDblClick();
  Main().Core().RunScriptActionExecute();
  EXPECT_EQ(LogLines(Main().LogView).size(), lines);  // the log was not started again
  EXPECT_TRUE(Main().Core().Running());
  Main().Action(TKelvoAction::kaStopScript)->trigger();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_TRUE(Enabled(TKelvoAction::kaRunScript));
  EXPECT_TRUE(Main().Core().MayRename(TKelvoTreeView::ElementOf(Node("sim", "S"))));
}

TEST_F(RunWhileWaitingTest, ClosingDuringARunAsksAndYesStopsTheRunAndCloses) {
  StartWith({{"S", "Send(\"AT\"); Sleep(60000);"}});
  RunScript("S");
  ASSERT_TRUE(WaitForLogLine("> AT"));
  Main().Answers.push_back(TModalResult::mrNo);
  Main().close();
  EXPECT_EQ(Main().LastBox(), "Прервать выполнение сценария и выйти?");
  EXPECT_EQ(Main().Boxes.back().Buttons, TMsgButtons::mbYesNo);
  EXPECT_TRUE(Main().isVisible());
  EXPECT_TRUE(Main().Core().Running());
  Main().Answers.push_back(TModalResult::mrYes);
  QElapsedTimer clock;
  clock.start();
  Main().close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Main().isVisible(); }, 5000));
  EXPECT_LT(clock.elapsed(), 200);
  EXPECT_FALSE(Main().Core().Running());
  EXPECT_EQ(LastLogLine().first, "выполнение сценария прервано пользователем");
  EXPECT_FALSE(Main().Core().ComPort().Connected());
}

}  // namespace
}  // namespace kelvo::testing
