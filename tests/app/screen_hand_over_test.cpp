// The hand-over between a run's thread and the screen's thread, and the run's stop request: what a
// run shows arrives on the screen's thread in order without holding the run up; a question holds the
// run until it is answered or the run is stopped; a stop wakes every wait at once, also from a signal
// handler.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "app/screen_hand_over.h"
#include "recording_screen.h"

using namespace kelvo;
using namespace kelvo::testing;
using namespace std::chrono;

namespace {

class ScreenHandOverTest : public ::testing::Test {
 protected:
  TRecordingScreen Screen;
  TRunStop Stop;
  TScreenHandOver HandOver{
      Screen, [this](std::function<void()> task) { Screen.RunOnScreenThread(std::move(task)); }, Stop};
};

TLogEntry Entry(TLogKind kind, const std::string& text) {
  return {system_clock::now(), kind, text};
}

}  // namespace

TEST_F(ScreenHandOverTest, ShowingCallsReachTheScreenOnItsThreadInTheirOrder) {
  std::thread run([this] {
    HandOver.AppendLogLine(Entry(lkSent, "> ATZ"));
    HandOver.SetStatusText("> ATZ");
    HandOver.ShowSearchProgress(2, 10, "two");
    HandOver.ShowWaitBox("wait");
    HandOver.AppendLogLine(Entry(lkReceived, "< OK"));
  });
  run.join();  // nothing of it waited for the screen
  EXPECT_TRUE(Screen.Log.empty());
  Screen.RunPending();
  EXPECT_EQ(Screen.LogTexts(), (std::vector<std::string>{"> ATZ", "< OK"}));
  EXPECT_EQ(Screen.Status, "> ATZ");
  EXPECT_EQ(Screen.SearchSteps, (std::vector<std::pair<int, std::string>>{{2, "two"}}));
  EXPECT_EQ(Screen.WaitBoxTexts, std::vector<std::string>{"wait"});
}

TEST_F(ScreenHandOverTest, AQuestionHoldsTheRunUntilTheScreensThreadAnswersIt) {
  Screen.UserAnswers.push_back("5551234");
  Screen.Answers.push_back(TModalResult::mrYes);
  auto asked = std::async(std::launch::async, [this] {
    std::string answer;
    bool ok = HandOver.AskUserString("Номер", "Введите", answer);
    TModalResult box = HandOver.MessageBox("?", TMsgIcon::miQuestion, TMsgButtons::mbYesNo);
    return std::make_tuple(ok, answer, box);
  });
  EXPECT_EQ(asked.wait_for(milliseconds(100)), std::future_status::timeout);
  ASSERT_TRUE(Screen.PumpUntil([&] { return asked.wait_for(0s) == std::future_status::ready; }));
  auto [ok, answer, box] = asked.get();
  EXPECT_TRUE(ok);
  EXPECT_EQ(answer, "5551234");
  EXPECT_EQ(box, TModalResult::mrYes);
  EXPECT_EQ(Screen.Questions, std::vector<std::string>{"Номер|Введите"});
}

TEST_F(ScreenHandOverTest, AStopReleasesAnOpenQuestionAtOnceAsCancelled) {
  auto asked = std::async(std::launch::async, [this] {
    std::string answer;
    bool ok = HandOver.AskUserString("a", "b", answer);
    TModalResult box = HandOver.MessageBox("x", TMsgIcon::miExclamation, TMsgButtons::mbOkCancel);
    return std::make_pair(ok, box);
  });
  // The screen's thread never answers: it is busy elsewhere while the user presses Stop.
  EXPECT_EQ(asked.wait_for(milliseconds(100)), std::future_status::timeout);
  auto stopped = steady_clock::now();
  Stop.Request();
  ASSERT_EQ(asked.wait_for(seconds(5)), std::future_status::ready);
  EXPECT_LT(steady_clock::now() - stopped, milliseconds(200));
  EXPECT_EQ(asked.get(), std::make_pair(false, TModalResult::mrCancel));
  // The question still reaches the screen later, where its answer is dropped.
  Screen.RunPending();
  EXPECT_EQ(Screen.Questions.size(), 1u);
}

TEST_F(ScreenHandOverTest, ADetachedHandOverDropsWhatIsQueuedAndWhatComesLater) {
  HandOver.AppendLogLine(Entry(lkInfo, "queued"));
  HandOver.Detach();
  HandOver.AppendLogLine(Entry(lkInfo, "later"));
  Screen.RunPending();
  EXPECT_TRUE(Screen.Log.empty());
  std::string answer;
  EXPECT_FALSE(HandOver.AskUserString("a", "b", answer));  // answered at once: nobody will
}

TEST(RunStop, SleepEndsEarlyWhenAnotherThreadRequestsTheStop) {
  TRunStop stop;
  EXPECT_FALSE(stop.Sleep(milliseconds(20)));
  std::thread other([&] {
    std::this_thread::sleep_for(milliseconds(50));
    stop.Request();
  });
  auto start = steady_clock::now();
  EXPECT_TRUE(stop.Sleep(milliseconds(60000)));
  other.join();
  EXPECT_LT(steady_clock::now() - start, seconds(2));
  EXPECT_THROW(stop.Check(), ERunStopped);
  EXPECT_TRUE(stop.Sleep(milliseconds(60000)));  // stays requested until reset
  stop.Reset();
  EXPECT_FALSE(stop.Requested());
  EXPECT_NO_THROW(stop.Check());
  EXPECT_FALSE(stop.Sleep(milliseconds(10)));
}

namespace {
TRunStop* gSignalledStop = nullptr;
void RequestStop(int) {
  gSignalledStop->Request();
}
}  // namespace

TEST(RunStop, ASignalHandlerCanRequestTheStop) {
  TRunStop stop;
  gSignalledStop = &stop;
  struct sigaction action {};
  struct sigaction saved {};
  action.sa_handler = &RequestStop;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &saved), 0);
  pthread_t sleeper = pthread_self();
  std::thread other([&] {
    std::this_thread::sleep_for(milliseconds(50));
    pthread_kill(sleeper, SIGUSR1);
  });
  auto start = steady_clock::now();
  EXPECT_TRUE(stop.Sleep(milliseconds(60000)));
  other.join();
  EXPECT_LT(steady_clock::now() - start, seconds(2));
  sigaction(SIGUSR1, &saved, nullptr);
}
