#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "pty_pair.h"
#include "serial/com_port.h"
#include "serial/main_thread_queue.h"

using namespace kelvo;
using kelvo::testing::TPtyPair;
using namespace std::chrono;

namespace {

// Runs the main-thread queue until pred holds or five seconds pass.
template <typename P>
bool PumpUntil(P pred) {
  auto end = steady_clock::now() + seconds(5);
  while (!pred()) {
    if (steady_clock::now() > end) return false;
    TMainThreadQueue::Instance().ProcessPending();
    std::this_thread::sleep_for(milliseconds(2));
  }
  return true;
}

class EventThread : public ::testing::Test {
 protected:
  void SetUp() override {
    TMainThreadQueue::Instance().ProcessPending();  // nothing left over from another test
    port.SetPortName(pty.SlavePath());
  }
  void TearDown() override { port.Close(); }
  TPtyPair pty;
  TComPort port;
};

}  // namespace

TEST_F(EventThread, ReceivedByteIsHandedToTheMainThread) {
  std::atomic<int> count{0};
  std::thread::id where;
  port.OnRxChar = [&](TCustomComPort&, int n) {
    where = std::this_thread::get_id();
    count = n;
  };
  port.Open();
  pty.Send("R");
  ASSERT_TRUE(PumpUntil([&] { return count > 0; }));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(where, std::this_thread::get_id());
  char c;
  EXPECT_EQ(port.Read(&c, 1), 1);
  count = 0;
  pty.Send("ST");  // the thread watches again once the queue was read empty
  ASSERT_TRUE(PumpUntil([&] { return count > 0; }));
}

TEST_F(EventThread, WithoutRxCharTriggerTheBytesAreReadIntoOnRxBuf) {
  std::string got;
  port.SetTriggersOnRxChar(false);
  port.OnRxBuf = [&](TCustomComPort&, const char* b, int n) { got.append(b, static_cast<size_t>(n)); };
  port.OnRxChar = [&](TCustomComPort&, int) { ADD_FAILURE() << "OnRxChar"; };
  port.Open();
  pty.Send("OK\r");
  ASSERT_TRUE(PumpUntil([&] { return got.size() >= 3; }));
  EXPECT_EQ(got, "OK\r");
  EXPECT_EQ(port.InputCount(), 0);
}

TEST_F(EventThread, EmptyTransmitQueueIsReported) {
  std::atomic<int> empties{0};
  port.OnTxEmpty = [&](TCustomComPort&) { ++empties; };
  port.Open();
  port.WriteStr("AT\r");
  ASSERT_TRUE(PumpUntil([&] { return empties > 0; }));
}

TEST_F(EventThread, CloseCompletesWhileTheThreadWaitsInAHandOver) {
  std::atomic<int> calls{0};
  port.OnRxChar = [&](TCustomComPort&, int) { ++calls; };
  port.Open();
  pty.Send("x");
  // Give the thread time to post its request and block; nobody runs the queue meanwhile.
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_EQ(calls, 0);
  auto start = steady_clock::now();
  port.Close();
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 1000);
  EXPECT_EQ(calls, 1);  // the hand-over ran, then the thread ended
  EXPECT_FALSE(port.Connected());
}

TEST_F(EventThread, SmNoneRunsTheStepsOnTheEventThread) {
  std::atomic<bool> onOtherThread{false};
  std::atomic<int> calls{0};
  const auto mainId = std::this_thread::get_id();
  port.SetSyncMethod(smNone);
  port.OnRxChar = [&](TCustomComPort&, int) {
    onOtherThread = std::this_thread::get_id() != mainId;
    ++calls;
  };
  port.Open();
  pty.Send("y");
  auto end = steady_clock::now() + seconds(2);
  while (calls == 0 && steady_clock::now() < end) std::this_thread::sleep_for(milliseconds(5));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(onOtherThread);
}

TEST_F(EventThread, SmWindowSyncPostsAndDropsMessagesAfterClose) {
  std::atomic<int> calls{0};
  port.SetSyncMethod(smWindowSync);
  port.OnRxChar = [&](TCustomComPort&, int) { ++calls; };
  port.Open();
  pty.Send("z");
  ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));
  char c;
  port.Read(&c, 1);
  pty.Send("w");
  std::this_thread::sleep_for(milliseconds(200));  // the thread posts without waiting
  port.Close();
  TMainThreadQueue::Instance().ProcessPending();
  EXPECT_EQ(calls, 1);  // the message posted for the closed port was dropped
}

TEST_F(EventThread, ErrorInAHandOverEndsTheThreadButNotThePort) {
  std::atomic<bool> failed{false};
  port.OnRxChar = [&](TCustomComPort&, int) {
    failed = true;
    throw EComPort(CError_ClearComFailed, EIO);
  };
  std::atomic<int> later{0};
  port.Open();
  pty.Send("a");
  ASSERT_TRUE(PumpUntil([&] { return failed.load(); }));
  std::this_thread::sleep_for(milliseconds(100));  // the thread ends, purging both queues
  port.OnRxChar = [&](TCustomComPort&, int) { ++later; };
  pty.Send("bc");
  std::this_thread::sleep_for(milliseconds(100));
  TMainThreadQueue::Instance().ProcessPending();
  EXPECT_EQ(later, 0);  // no more events
  std::string s;
  EXPECT_EQ(port.ReadStr(s, 3), 2);  // reads go on
  EXPECT_EQ(s, "bc");
}

TEST_F(EventThread, OtherSideGoingAwayEndsTheWatchAndThePortStillCloses) {
  port.Open();
  pty.CloseSlave();
  pty.CloseMaster();
  std::this_thread::sleep_for(milliseconds(100));
  TMainThreadQueue::Instance().ProcessPending();
  char c;
  EXPECT_THROW(port.Read(&c, 1), EComPort);
  auto start = steady_clock::now();
  port.Close();
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 500);
  EXPECT_FALSE(port.Connected());
}

TEST_F(EventThread, WaitForEventIsRefusedWhileTheThreadRuns) {
  port.Open();
  TComEvents events{evRxChar};
  try {
    port.WaitForEvent(events, nullptr, 10);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.PortErrorCode(), 20);
    EXPECT_EQ(e.Message(), "Cannot wait for event if event thread is created");
  }
}

TEST_F(EventThread, WaitForEventWithoutTheThread) {
  port.SetEvents({});
  port.Open();
  TComEvents events{evRxChar};
  auto start = steady_clock::now();
  port.WaitForEvent(events, nullptr, 200);
  EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - start).count(), 190);
  EXPECT_TRUE(events.Empty());

  events = {evRxChar};
  std::thread peer([&] {
    std::this_thread::sleep_for(milliseconds(50));
    pty.Send("!");
  });
  port.WaitForEvent(events, nullptr, 5000);
  peer.join();
  EXPECT_EQ(events, TComEvents({evRxChar}));

  TEventSignal stop;
  stop.Set();
  events = {evCTS};
  port.WaitForEvent(events, &stop, 5000);
  EXPECT_TRUE(events.Empty());
}

TEST(MainThreadQueue, SendBlocksUntilTheMainThreadRanTheRequestAndPassesErrorsBack) {
  auto& queue = TMainThreadQueue::Instance();
  queue.ProcessPending();
  std::atomic<bool> done{false};
  std::atomic<bool> failed{false};
  std::thread other([&] {
    queue.Send([&] { done = true; });
    try {
      queue.Send([] { throw std::runtime_error("step failed"); });
    } catch (const std::runtime_error&) {
      failed = true;
    }
    queue.Notify();
  });
  queue.WaitUntil([&] { return failed.load(); });
  other.join();
  EXPECT_TRUE(done);
  queue.Send([&] { done = false; });  // on the main thread: at once
  EXPECT_FALSE(done);
}

TEST(MainThreadQueue, PostedErrorsGoToTheErrorHandler) {
  auto& queue = TMainThreadQueue::Instance();
  std::string seen;
  queue.SetErrorHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      seen = x.what();
    }
  });
  int wakeUps = 0;
  queue.SetWakeUp([&] { ++wakeUps; });
  queue.Post([] { throw std::runtime_error("posted"); });
  EXPECT_EQ(queue.ProcessPending(), 1);
  EXPECT_EQ(seen, "posted");
  EXPECT_EQ(wakeUps, 1);
  queue.SetWakeUp(nullptr);
  queue.SetErrorHandler(nullptr);
}
