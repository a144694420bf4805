// A deliberate data race in our own code, run only in the ThreadSanitizer build: the check that
// tests/ui/tsan-qt.supp, which silences Qt's races in the window tests, still lets a race in our
// code fail the run. CTest passes this program only when ThreadSanitizer reports the race.
//
// The race has the shape the suppressions must not hide: one side runs in a slot called from Qt's
// event loop, so that Qt's libraries are on its stack below our frame, as they are under every
// step of a window test. A file that dropped races with Qt anywhere on the stack ("race:" instead
// of "race_top:"), or every race, would silence this report and fail the test.
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

// Written by both threads without a lock.
int gShared = 0;
// Tells the main thread that the other thread has written. Relaxed: it orders nothing, so the two
// writes stay unordered for ThreadSanitizer, and the report comes on every run.
std::atomic<bool> gWritten{false};

void WriteOnTheOtherThread() {
  gShared = 1;
  gWritten.store(true, std::memory_order_relaxed);
}

void WriteInTheEventLoop() {
  while (!gWritten.load(std::memory_order_relaxed)) std::this_thread::yield();
  gShared = 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::thread other(WriteOnTheOtherThread);
  QTimer::singleShot(0, &app, [&app] {
    WriteInTheEventLoop();
    app.quit();
  });
  app.exec();
  other.join();
  return gShared == 2 ? 0 : 1;
}
