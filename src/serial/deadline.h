// The time-out arithmetic of reads and writes, kept apart from the device so that it can be tested
// with any clock: a deadline answers "how long may the wait go on" and "has it ended".
// Time-outs are the port's five signed integers read as unsigned 32-bit milliseconds.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace kelvo {

using TClock = std::chrono::steady_clock;
using TTimePoint = TClock::time_point;
using TMilliseconds = std::chrono::milliseconds;
// The clock that the port's waits read; tests may replace it.
using TClockFunction = std::function<TTimePoint()>;

inline constexpr uint32_t kMaxDword = 0xFFFFFFFFu;

// A read of n bytes: ends when n bytes have arrived, when multiplier * n + constant ms have passed
// since the start (no total limit when both are 0), or when more than `interval` ms pass after a
// byte without the next one (no interval limit when it is 0). -1/0/0 means "return at once".
class TReadDeadline {
 public:
  TReadDeadline(uint32_t interval, uint32_t multiplier, uint32_t constant, uint32_t count, TTimePoint start);

  // True for the -1/0/0 case: take what has arrived and do not wait.
  bool Immediate() const { return FImmediate; }
  // Called with the time at which one or more bytes arrived.
  void BytesArrived(TTimePoint now);
  bool Expired(TTimePoint now) const;
  // Time the wait may go on; nullopt for no limit at all. Zero once expired.
  std::optional<TMilliseconds> TimeLeft(TTimePoint now) const;

 private:
  std::optional<TTimePoint> IntervalEnd() const;

  bool FImmediate;
  uint32_t FInterval;
  std::optional<TTimePoint> FTotalEnd;
  std::optional<TTimePoint> FLastByte;
};

// A write of n bytes: ends when multiplier * n + constant ms have passed (no limit when both are 0).
class TWriteDeadline {
 public:
  TWriteDeadline(uint32_t multiplier, uint32_t constant, uint32_t count, TTimePoint start);
  bool Expired(TTimePoint now) const;
  std::optional<TMilliseconds> TimeLeft(TTimePoint now) const;

 private:
  std::optional<TTimePoint> FEnd;
};

// Milliseconds for poll(): -1 for no limit, the time left rounded up otherwise, capped so that
// it fits an int.
int PollTimeout(std::optional<TMilliseconds> left);

}  // namespace kelvo
