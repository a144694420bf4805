#include "serial/deadline.h"

#include <gtest/gtest.h>

using namespace kelvo;
using std::chrono::milliseconds;

namespace {
const TTimePoint t0{};
TTimePoint At(int ms) {
  return t0 + milliseconds(ms);
}
}  // namespace

TEST(ReadDeadline, DefaultTimeoutsReturnAtOnce) {
  TReadDeadline d(kMaxDword, 0, 0, 10, t0);
  EXPECT_TRUE(d.Immediate());
  EXPECT_TRUE(d.Expired(t0));
}

TEST(ReadDeadline, DetectionTimeoutsWait1505MsForOneByte) {
  TReadDeadline d(100, 5, 1500, 1, t0);
  EXPECT_FALSE(d.Immediate());
  EXPECT_EQ(d.TimeLeft(t0), milliseconds(1505));
  EXPECT_FALSE(d.Expired(At(1504)));
  EXPECT_TRUE(d.Expired(At(1505)));
  EXPECT_EQ(d.TimeLeft(At(1600)), milliseconds(0));
}

TEST(ReadDeadline, IntervalCountsOnlyAfterAByteAndAllowsTheIntervalItself) {
  TReadDeadline d(100, 0, 0, 10, t0);
  EXPECT_EQ(d.TimeLeft(At(5000)), std::nullopt);  // no byte yet, no total limit
  d.BytesArrived(At(5000));
  EXPECT_FALSE(d.Expired(At(5100)));
  EXPECT_TRUE(d.Expired(At(5101)));
  EXPECT_EQ(d.TimeLeft(At(5050)), milliseconds(51));
}

TEST(ReadDeadline, TheEarlierOfTotalAndIntervalLimits) {
  TReadDeadline d(200, 0, 1000, 4, t0);
  d.BytesArrived(At(900));
  EXPECT_EQ(d.TimeLeft(At(900)), milliseconds(100));
  EXPECT_TRUE(d.Expired(At(1000)));
}

TEST(ReadDeadline, LargeMultipliersDoNotWrap) {
  TReadDeadline d(0, kMaxDword, kMaxDword, 1000, t0);
  EXPECT_FALSE(d.Expired(At(1000000000)));
}

TEST(WriteDeadline, DefaultsGive100MsPerByteAndASecond) {
  TWriteDeadline d(100, 1000, 5, t0);
  EXPECT_EQ(d.TimeLeft(t0), milliseconds(1500));
  EXPECT_TRUE(d.Expired(At(1500)));
  TWriteDeadline none(0, 0, 5, t0);
  EXPECT_EQ(none.TimeLeft(At(99999)), std::nullopt);
  EXPECT_FALSE(none.Expired(At(99999)));
}

TEST(PollTimeout, RoundsAndCaps) {
  EXPECT_EQ(PollTimeout(std::nullopt), -1);
  EXPECT_EQ(PollTimeout(milliseconds(7)), 7);
  EXPECT_EQ(PollTimeout(milliseconds(int64_t{1} << 40)), INT32_MAX);
}
