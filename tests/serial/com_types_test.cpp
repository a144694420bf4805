#include <gtest/gtest.h>

#include <cerrno>

#include "serial/com_error.h"
#include "serial/com_types.h"
#include "text/cp1251.h"

using namespace kelvo;

TEST(BaudRate, TextsFollowTheSpeedTable) {
  EXPECT_EQ(BaudRateToStr(brCustom), "Custom");
  EXPECT_EQ(BaudRateToStr(br110), "110");
  EXPECT_EQ(BaudRateToStr(br14400), "14400");
  EXPECT_EQ(BaudRateToStr(br56000), "56000");
  EXPECT_EQ(BaudRateToStr(br256000), "256000");
  EXPECT_EQ(BaudRateSpeed(br115200), 115200u);
  EXPECT_EQ(BaudRateSpeed(brCustom), 0u);
}

TEST(ComSets, EventsRoundTripThroughTheDeviceMask) {
  EXPECT_EQ(EventsToDeviceMask(AllComEvents()), 0x05FFu);
  EXPECT_EQ(DeviceMaskToEvents(0x05FF), AllComEvents());
  EXPECT_EQ(EventsToDeviceMask({evRing, evRxFlag}), 0x0102u);
  // Bits outside the table (0x0200, 0x0800) are dropped.
  EXPECT_EQ(DeviceMaskToEvents(0x0A01), TComEvents({evRxChar}));
  EXPECT_EQ(EventToWindowCode(evRxChar), 1u);
  EXPECT_EQ(EventToWindowCode(evRing), 256u);
  EXPECT_EQ(EventToWindowCode(evRx80Full), 1024u);
}

TEST(ComSets, ParityErrorsCountOnlyWhenChecked) {
  const uint32_t flags = device::CE_RXPARITY | device::CE_FRAME;
  EXPECT_EQ(DeviceErrorsToComErrors(flags, false), TComErrors({ceFrame}));
  EXPECT_EQ(DeviceErrorsToComErrors(flags, true), TComErrors({ceFrame, ceRxParity}));
  EXPECT_EQ(DeviceErrorsToComErrors(0x8511, false), TComErrors({ceMode, ceIO, ceTxFull, ceBreak, ceRxOver}));
  EXPECT_EQ(ModemStatusToSignals(0xF0), TComSignals({csCTS, csDSR, csRing, csRLSD}));
  EXPECT_EQ(ModemStatusToSignals(0x20), TComSignals({csDSR}));
}

TEST(EComPort, CodeAloneGivesItsTextAndNoSystemError) {
  EComPort e(CError_InvalidAsync);
  EXPECT_EQ(e.Message(), Utf8ToAnsi("Неверный параметр Async"));
  EXPECT_EQ(e.PortErrorCode(), 4);
  EXPECT_EQ(e.SystemErrorCode(), -1);
  EXPECT_STREQ(e.ClassName(), "EComPort");
  EXPECT_EQ(EComPort(14).Message(), "Cannot set property while connected");
  EXPECT_EQ(EComPort(23).Message(), Utf8ToAnsi("Ошибка реестра"));
}

TEST(EComPort, SystemErrorFollowsInParentheses) {
  EComPort e(CError_OpenFailed, ENOENT);
  EXPECT_EQ(e.Message(), Utf8ToAnsi("Невозможно открыть COM порт (No such file or directory)"));
  EXPECT_EQ(e.SystemErrorCode(), ENOENT);
  EXPECT_EQ(EComPort(7, ENOTSUP).Message(), "SetCommState function failed (Operation not supported)");
}
