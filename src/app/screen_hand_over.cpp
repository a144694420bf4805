#include "app/screen_hand_over.h"

namespace kelvo {

struct TScreenHandOver::TShared {
  std::mutex Lock;
  TRunScreen* Target;  // null once detached
  std::deque<TTask> Queue;
  bool DrainQueued = false;  // a drain is on its way to the screen's thread
};

TScreenHandOver::TScreenHandOver(TRunScreen& target, TPoster post, const TRunStop& stop)
    : FShared(std::make_shared<TShared>()), FPost(std::move(post)), FStop(stop) {
  FShared->Target = &target;
}

TScreenHandOver::~TScreenHandOver() {
  Detach();
}

void TScreenHandOver::Detach() {
  std::lock_guard lock(FShared->Lock);
  FShared->Target = nullptr;
  FShared->Queue.clear();
}

void TScreenHandOver::Post(TTask task) {
  {
    std::lock_guard lock(FShared->Lock);
    if (FShared->Target == nullptr) return;
    FShared->Queue.push_back(std::move(task));
    if (FShared->DrainQueued) return;
    FShared->DrainQueued = true;
  }
  FPost([shared = FShared] { Drain(shared); });
}

// Screen's thread: the tasks one by one, each taken under the lock and run outside it, so that a
// task that opens a dialog (and with it a nested event loop) holds nothing the run's thread needs.
void TScreenHandOver::Drain(const std::shared_ptr<TShared>& shared) {
  for (;;) {
    TTask task;
    TRunScreen* target;
    {
      std::lock_guard lock(shared->Lock);
      if (shared->Target == nullptr || shared->Queue.empty()) {
        shared->DrainQueued = false;
        return;
      }
      task = std::move(shared->Queue.front());
      shared->Queue.pop_front();
      target = shared->Target;
    }
    task(*target);
  }
}

template <class R>
R TScreenHandOver::Ask(std::function<R(TRunScreen&)> ask, R whenStopped) {
  struct TAnswer {
    std::mutex Lock;
    bool Given = false;
    R Value{};
    TEventSignal Done;
  };
  auto answer = std::make_shared<TAnswer>();
  Post([answer, ask = std::move(ask)](TRunScreen& target) {
    R value = ask(target);
    {
      std::lock_guard lock(answer->Lock);
      answer->Value = std::move(value);
      answer->Given = true;
    }
    answer->Done.Set();
  });
  for (;;) {
    {
      std::lock_guard lock(answer->Lock);
      if (answer->Given) return answer->Value;
    }
    {
      std::lock_guard lock(FShared->Lock);
      if (FShared->Target == nullptr) return whenStopped;
    }
    if (FStop.WaitFor(answer->Done)) return whenStopped;
  }
}

TModalResult TScreenHandOver::MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) {
  TModalResult cancel = buttons == TMsgButtons::mbOk ? TModalResult::mrOk : TModalResult::mrCancel;
  return Ask<TModalResult>(
      [text, icon, buttons](TRunScreen& target) { return target.MessageBox(text, icon, buttons); }, cancel);
}

bool TScreenHandOver::AskUserString(const std::string& caption, const std::string& message,
                                    std::string& answer) {
  using TReply = std::pair<bool, std::string>;
  auto reply = Ask<TReply>(
      [caption, message](TRunScreen& target) {
        TReply r;
        r.first = target.AskUserString(caption, message, r.second);
        return r;
      },
      TReply{false, {}});
  if (reply.first) answer = reply.second;
  return reply.first;
}

void TScreenHandOver::SetStatusText(const std::string& text) {
  Post([text](TRunScreen& target) { target.SetStatusText(text); });
}

void TScreenHandOver::AppendLogLine(const TLogEntry& entry) {
  Post([entry](TRunScreen& target) { target.AppendLogLine(entry); });
}

void TScreenHandOver::ShowWaitBox(const std::string& text) {
  Post([text](TRunScreen& target) { target.ShowWaitBox(text); });
}

void TScreenHandOver::ShowSearchProgress(int step, int count, const std::string& text) {
  Post([step, count, text](TRunScreen& target) { target.ShowSearchProgress(step, count, text); });
}

}  // namespace kelvo
