// The port's event thread: how it hands device events over (through the main-thread queue and
// blocking, as posted messages, or on its own thread), how it ends, and Close while it runs.
// Waits here are for events (a hand-over queued or run, a handler called, bytes arriving), not for
// a time: each has a bound only so that a lost event fails the test instead of hanging it, and the
// bound is far beyond what a loaded machine under a sanitizer needs.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "pty_pair.h"
#include "serial/com_port.h"
#include "serial/main_thread_queue.h"

using namespace kelvo;
using kelvo::testing::TPtyPair;
using namespace std::chrono;

namespace {

constexpr milliseconds kHangGuard = seconds(30);

// Runs the main-thread queue until pred holds: it sleeps until a hand-over is queued, runs it and
// looks again. A watchdog wakes it after kHangGuard, and then it gives up.
template <typename P>
bool PumpUntil(P pred) {
  auto& queue = TMainThreadQueue::Instance();
  std::atomic<bool> gaveUp{false};
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock held(lock);
    if (finished.wait_for(held, kHangGuard, [&] { return done; })) return;
    gaveUp = true;
    queue.Notify();
  });
  queue.WaitUntil([&] { return pred() || gaveUp.load(); });
  {
    std::lock_guard held(lock);
    done = true;
  }
  finished.notify_all();
  watchdog.join();
  return pred();
}

// Looks at a state that changes without any signal (the device's queue) every millisecond until
// pred holds; false after kHangGuard.
template <typename P>
bool LookUntil(P pred) {
  auto end = steady_clock::now() + kHangGuard;
  while (!pred()) {
    if (steady_clock::now() > end) return false;
    std::this_thread::sleep_for(milliseconds(1));
  }
  return true;
}

// Counts happenings on any thread and lets the test wait for a number of them. Shared, so that a
// thread still holding it after a failed test cannot outlive it.
class TCount {
 public:
  void Add() {
    {
      std::lock_guard held(FLock);
      ++FCount;
    }
    FChanged.notify_all();
  }
  bool WaitFor(int n) {
    std::unique_lock held(FLock);
    return FChanged.wait_for(held, kHangGuard, [&] { return FCount >= n; });
  }
  int Now() {
    std::lock_guard held(FLock);
    return FCount;
  }

 private:
  std::mutex FLock;
  std::condition_variable FChanged;
  int FCount = 0;
};

class EventThread : public ::testing::Test {
 protected:
  void SetUp() override {
    TMainThreadQueue::Instance().ProcessPending();  // nothing left over from another test
    port.SetPortName(pty.SlavePath());
  }
  void TearDown() override {
    port.Close();
    TMainThreadQueue::Instance().SetWakeUp(nullptr);
  }
  // Counts the requests queued for the main thread: the queue's wake-up runs on the thread that
  // queued one, so the test learns of a hand-over without running it.
  std::shared_ptr<TCount> CountPosts() {
    auto posts = std::make_shared<TCount>();
    TMainThreadQueue::Instance().SetWakeUp([posts] { posts->Add(); });
    return posts;
  }
  // Waits until the receive queue, read empty before, holds a byte again.
  bool InputArrives() {
    pollfd p{pty.Slave(), POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(kHangGuard.count())) == 1;
  }
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

TEST_F(EventThread, BytesThatComeAfterAReadAreReportedAlsoWhenAsManyAsBeforeAreQueued) {
  // The handler reads the queue empty and a byte arrives before the thread looks again: the queue
  // holds one byte, as when the first was reported, yet it is a new one.
  std::atomic<int> calls{0};
  std::string got;
  port.OnRxChar = [&](TCustomComPort& p, int n) {
    std::string s;
    p.ReadStr(s, n);
    got += s;
    if (++calls == 1) {
      pty.Send("b");
      ASSERT_TRUE(InputArrives());
    }
  };
  port.Open();
  pty.Send("a");
  ASSERT_TRUE(PumpUntil([&] { return calls == 2; }));
  EXPECT_EQ(got, "ab");
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
  auto posts = CountPosts();
  port.Open();
  pty.Send("x");
  // The thread has queued its request and blocks on it; nobody runs the queue meanwhile.
  ASSERT_TRUE(posts->WaitFor(1));
  EXPECT_EQ(calls, 0);
  auto start = steady_clock::now();
  port.Close();
  // Close runs the hand-over it waits on and ends at once; a close that hung would never get
  // here. The bound catches a close that waits out some time-out instead, and is wide so that a
  // loaded machine never fails it.
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 10000);
  EXPECT_EQ(calls, 1);  // the hand-over ran, then the thread ended
  EXPECT_FALSE(port.Connected());
}

TEST_F(EventThread, SmNoneRunsTheStepsOnTheEventThread) {
  std::atomic<bool> onOtherThread{false};
  auto calls = std::make_shared<TCount>();
  const auto mainId = std::this_thread::get_id();
  port.SetSyncMethod(smNone);
  port.OnRxChar = [&onOtherThread, calls, mainId](TCustomComPort&, int) {
    onOtherThread = std::this_thread::get_id() != mainId;
    calls->Add();
  };
  port.Open();
  pty.Send("y");
  ASSERT_TRUE(calls->WaitFor(1));  // nobody runs the main-thread queue
  port.Close();
  EXPECT_EQ(calls->Now(), 1);
  EXPECT_TRUE(onOtherThread);
}

TEST_F(EventThread, SmWindowSyncPostsAndDropsMessagesAfterClose) {
  // Written bytes leaving the transmit queue: unlike a step for received bytes, which does nothing
  // once the thread's end has purged the queue, this step shows every message that runs.
  std::atomic<int> calls{0};
  port.SetSyncMethod(smWindowSync);
  port.OnTxEmpty = [&](TCustomComPort&) { ++calls; };
  auto posts = CountPosts();
  port.Open();
  port.WriteStr("1");
  ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));  // a message posted while open runs
  // The thread posts again, and once more while that message still waits in the queue: it does
  // not wait for its messages to run.
  port.WriteStr("2");
  ASSERT_TRUE(posts->WaitFor(2));
  port.WriteStr("3");
  ASSERT_TRUE(posts->WaitFor(3));
  // Close waits for the thread by running the queue: the two messages run then, and do nothing.
  port.Close();
  TMainThreadQueue::Instance().ProcessPending();
  EXPECT_EQ(calls, 1);  // the messages posted for the closed port were dropped
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
  // The thread's last act is to purge both queues: once the unread byte is gone it has ended.
  ASSERT_TRUE(LookUntil([&] { return port.InputCount() == 0; }));
  port.OnRxChar = [&](TCustomComPort&, int) { ++later; };
  pty.Send("bc");
  ASSERT_TRUE(InputArrives());
  // No event comes for them. A thread still watching would hand them over within milliseconds;
  // on a loaded machine this look is only weaker, never wrong.
  std::this_thread::sleep_for(milliseconds(100));
  TMainThreadQueue::Instance().ProcessPending();
  EXPECT_EQ(later, 0);
  port.Timeouts().SetReadInterval(0);  // the read waits for both bytes, up to the total
  port.Timeouts().SetReadTotalC(static_cast<int32_t>(kHangGuard.count()));
  std::string s;
  EXPECT_EQ(port.ReadStr(s, 2), 2);  // reads go on
  EXPECT_EQ(s, "bc");
  EXPECT_EQ(port.InputCount(), 0);
}

TEST_F(EventThread, OtherSideGoingAwayEndsTheWatchAndThePortStillCloses) {
  port.Open();
  pty.CloseSlave();
  pty.CloseMaster();
  char c;
  EXPECT_THROW(port.Read(&c, 1), EComPort);
  // Usually the thread has seen the hang-up and ended by now; if not, Close stops it. Both must
  // close, so the pause only makes the first the common case.
  std::this_thread::sleep_for(milliseconds(100));
  auto start = steady_clock::now();
  port.Close();
  // Close does not wait on a line that is gone: a close that hung would never get here, and the
  // bound catches one that waits out a time-out, wide enough for a loaded machine.
  EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 10000);
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
  // The wait lasts its time-out on the wall clock: only "not before" is checked, which a loaded
  // machine cannot break.
  EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - start).count(), 190);
  EXPECT_TRUE(events.Empty());

  events = {evRxChar};
  // The byte most likely comes while the port waits; it may come first, which reports the same.
  std::thread peer([&] {
    std::this_thread::sleep_for(milliseconds(50));
    pty.Send("!");
  });
  // The wait ends with the byte; its limit only turns a lost event into a failure.
  port.WaitForEvent(events, nullptr, static_cast<int>(kHangGuard.count()));
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
