// TAsync: the record of one read or write in progress. The caller makes it (InitAsync), starts at
// most one operation on it, waits for it and releases it (DoneAsync). An operation that cannot end
// at once is pending: it moves on whenever its record is waited on or asked about, and
// AbortAllAsync ends it from any thread through the record's own wake-up signal.
#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "serial/com_types.h"
#include "serial/deadline.h"
#include "serial/unix_fd.h"

namespace kelvo {

class TCustomComPort;

class TAsync {
 public:
  TAsync() = default;
  TAsync(const TAsync&) = delete;
  TAsync& operator=(const TAsync&) = delete;
  ~TAsync();

  TOperationKind OpKind = okWrite;

 private:
  friend class TCustomComPort;
  enum class TState {
    Idle,     // nothing started: waiting returns 0 at once
    Pending,  // started, not yet ended
    Done      // ended; Error holds the system error of a failed operation
  };

  TState State = TState::Idle;
  char* ReadBuffer = nullptr;
  const char* WriteBuffer = nullptr;
  int Count = 0;
  int Transferred = 0;
  int Error = 0;
  std::optional<TReadDeadline> ReadDeadline;
  std::optional<TWriteDeadline> WriteDeadline;
  std::atomic<bool> Aborted{false};
  TEventSignal AbortSignal;
  // The port on whose pending list the record stands, while it is pending.
  TCustomComPort* Port = nullptr;
};

using PAsync = std::unique_ptr<TAsync>;

}  // namespace kelvo
