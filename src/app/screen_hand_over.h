// TScreenHandOver: the run screen that a run on its own thread talks to. It hands every call over to
// the thread that owns the real screen, in the order the calls were made: what only shows something
// (log lines, the status text, the wait box, the search progress) is queued and the run goes on at
// once; a message box or a question blocks the run's thread until the screen's thread has the
// answer, or until the run is stopped (the stopped run then takes Cancel, and the screen's thread
// closes the dialog itself).
//
// Threads: the TRunScreen calls and Post are made on the run's thread; the queued tasks, and with
// them every call of the target screen, run on the screen's thread; Detach is the owner's, on the
// screen's thread. Everything the two threads share sits behind one mutex in a state that the queued
// drains keep alive, so a drain that runs after the hand-over has gone finds it detached.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "app/run_screen.h"
#include "app/run_stop.h"

namespace kelvo {

class TScreenHandOver : public TRunScreen {
 public:
  using TTask = std::function<void(TRunScreen& target)>;
  // Runs a function on the screen's thread, later; called on the run's thread.
  using TPoster = std::function<void(std::function<void()>)>;

  TScreenHandOver(TRunScreen& target, TPoster post, const TRunStop& stop);
  ~TScreenHandOver() override;
  TScreenHandOver(const TScreenHandOver&) = delete;
  TScreenHandOver& operator=(const TScreenHandOver&) = delete;

  // Queues task to run with the target on the screen's thread, after every call made before it.
  void Post(TTask task);
  // The owner, before the target goes: nothing more reaches it, and tasks still queued are dropped.
  void Detach();

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override;
  void SetStatusText(const std::string& text) override;
  void AppendLogLine(const TLogEntry& entry) override;
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override;
  void ShowWaitBox(const std::string& text) override;
  void ShowSearchProgress(int step, int count, const std::string& text) override;

 private:
  struct TShared;
  // Runs ask on the screen's thread and waits for its result; whenStopped when the run is stopped
  // (or the hand-over detached) before the answer comes.
  template <class R>
  R Ask(std::function<R(TRunScreen&)> ask, R whenStopped);
  static void Drain(const std::shared_ptr<TShared>& shared);

  std::shared_ptr<TShared> FShared;
  TPoster FPost;
  const TRunStop& FStop;
};

}  // namespace kelvo
