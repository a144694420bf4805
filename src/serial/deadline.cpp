#include "serial/deadline.h"

#include <algorithm>
#include <climits>

namespace kelvo {

namespace {

// multiplier * count + constant, in 64 bits so that large products cannot wrap.
std::optional<TTimePoint> TotalEnd(uint32_t multiplier, uint32_t constant, uint32_t count, TTimePoint start) {
  if (multiplier == 0 && constant == 0) return std::nullopt;
  uint64_t ms = static_cast<uint64_t>(multiplier) * count + constant;
  return start + TMilliseconds(static_cast<int64_t>(ms));
}

TMilliseconds Remaining(TTimePoint end, TTimePoint now) {
  if (end <= now) return TMilliseconds(0);
  // Rounded up, so that a wait of the time left never ends just short of the deadline.
  return std::chrono::ceil<TMilliseconds>(end - now);
}

}  // namespace

TReadDeadline::TReadDeadline(uint32_t interval, uint32_t multiplier, uint32_t constant, uint32_t count,
                             TTimePoint start)
    : FImmediate(interval == kMaxDword && multiplier == 0 && constant == 0),
      FInterval(interval),
      FTotalEnd(TotalEnd(multiplier, constant, count, start)) {}

void TReadDeadline::BytesArrived(TTimePoint now) {
  FLastByte = now;
}

std::optional<TTimePoint> TReadDeadline::IntervalEnd() const {
  if (FInterval == 0 || !FLastByte) return std::nullopt;
  return *FLastByte + TMilliseconds(static_cast<int64_t>(FInterval));
}

bool TReadDeadline::Expired(TTimePoint now) const {
  if (FImmediate) return true;
  if (FTotalEnd && now >= *FTotalEnd) return true;
  // "More than the interval": the interval itself is still allowed.
  auto intervalEnd = IntervalEnd();
  return intervalEnd && now > *intervalEnd;
}

std::optional<TMilliseconds> TReadDeadline::TimeLeft(TTimePoint now) const {
  if (Expired(now)) return TMilliseconds(0);
  std::optional<TMilliseconds> left;
  if (FTotalEnd) left = Remaining(*FTotalEnd, now);
  if (auto intervalEnd = IntervalEnd()) {
    // One millisecond past the interval's end, where "more than the interval" becomes true.
    auto intervalLeft = Remaining(*intervalEnd, now) + TMilliseconds(1);
    left = left ? std::min(*left, intervalLeft) : intervalLeft;
  }
  return left;
}

TWriteDeadline::TWriteDeadline(uint32_t multiplier, uint32_t constant, uint32_t count, TTimePoint start)
    : FEnd(TotalEnd(multiplier, constant, count, start)) {}

bool TWriteDeadline::Expired(TTimePoint now) const {
  return FEnd && now >= *FEnd;
}

std::optional<TMilliseconds> TWriteDeadline::TimeLeft(TTimePoint now) const {
  if (!FEnd) return std::nullopt;
  return Remaining(*FEnd, now);
}

int PollTimeout(std::optional<TMilliseconds> left) {
  if (!left) return -1;
  return static_cast<int>(std::min<int64_t>(left->count(), INT_MAX));
}

}  // namespace kelvo
