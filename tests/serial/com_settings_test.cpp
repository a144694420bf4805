#include <gtest/gtest.h>

#include "counting_port.h"
#include "pty_pair.h"
#include "serial/com_port.h"

using namespace kelvo;
using kelvo::testing::TCountingPort;
using kelvo::testing::TPtyPair;

TEST(ComSettings, NewPortHasTheDefaults) {
  TComPort port;
  EXPECT_EQ(port.Port(), "COM1");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.StopBits(), sbOneStopBit);
  EXPECT_EQ(port.Parity().Bits(), prNone);
  EXPECT_EQ(port.FlowControl().GetFlowControl(), fcNone);
  EXPECT_EQ(port.Timeouts().ReadInterval(), -1);
  EXPECT_EQ(port.Timeouts().ReadTotalMultiplier(), 0);
  EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 0);
  EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
  EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 1000);
  EXPECT_EQ(port.Buffer().InputSize(), 1024);
  EXPECT_EQ(port.Buffer().OutputSize(), 1024);
  EXPECT_EQ(port.Events(), AllComEvents());
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_EQ(port.CustomBaudRate(), 9600);
  EXPECT_TRUE(port.GetTriggersOnRxChar());
  EXPECT_EQ(port.FlowControl().XonChar(), 17);
  EXPECT_EQ(port.FlowControl().XoffChar(), 19);
  EXPECT_FALSE(port.Connected());
}

TEST(ComSettings, DerivedFlowControlFollowsTheFields) {
  TComFlowControl fc;
  fc.SetFlowControl(fcHardware);
  EXPECT_EQ(fc.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(fc.OutCTSFlow());
  EXPECT_EQ(fc.GetFlowControl(), fcHardware);
  fc.SetFlowControl(fcSoftware);
  EXPECT_EQ(fc.ControlRTS(), rtsDisable);
  EXPECT_FALSE(fc.OutCTSFlow());
  EXPECT_TRUE(fc.XonXoffIn() && fc.XonXoffOut());
  EXPECT_EQ(fc.GetFlowControl(), fcSoftware);
  fc.SetXonXoffIn(false);
  EXPECT_EQ(fc.GetFlowControl(), fcCustom);
  fc.SetFlowControl(fcCustom);  // changes nothing
  EXPECT_TRUE(fc.XonXoffOut());
  fc.SetFlowControl(fcNone);
  EXPECT_EQ(fc.GetFlowControl(), fcNone);
  // DTR, DSR flow, DSR sensitivity and TxContinueOnXoff take no part.
  fc.SetControlDTR(dtrHandshake);
  fc.SetOutDSRFlow(true);
  EXPECT_EQ(fc.GetFlowControl(), fcNone);
}

TEST(ComSettings, DetectionConfigurationGivesDtrAndRtsOnWithoutHandshake) {
  TComPort port;
  port.FlowControl().SetFlowControl(fcHardware);
  port.FlowControl().SetOutCTSFlow(false);
  port.FlowControl().SetOutDSRFlow(false);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.FlowControl().SetControlRTS(rtsEnable);
  EXPECT_EQ(port.FlowControl().GetFlowControl(), fcCustom);
  TDeviceControlBlock b = port.BuildDCB();
  EXPECT_EQ(b.Flags, dcb::fBinary | 0x0010u | 0x1000u);
  EXPECT_EQ(b.DCBlength, 28u);
  EXPECT_EQ(b.BaudRate, 9600u);
  EXPECT_EQ(b.ByteSize, 8);
  EXPECT_EQ(b.XonLim, 256);
  EXPECT_EQ(b.XoffLim, 256);
  EXPECT_EQ(b.XonChar, 17);
  EXPECT_EQ(b.XoffChar, 19);
}

TEST(ComSettings, ControlBlockCarriesEveryField) {
  TComPort port;
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(31250);
  port.SetDataBits(dbSeven);
  port.SetStopBits(sbTwoStopBits);
  port.Parity().SetBits(prSpace);
  port.Parity().SetReplace(true);
  port.Parity().SetReplaceChar('?');
  port.SetEventChar('\n');
  port.SetDiscardNull(true);
  TDeviceControlBlock b = port.BuildDCB();
  EXPECT_EQ(b.BaudRate, 31250u);
  EXPECT_EQ(b.ByteSize, 7);
  EXPECT_EQ(b.StopBits, 2);
  EXPECT_EQ(b.Parity, 4);
  EXPECT_EQ(b.EvtChar, '\n');
  // Replacement without checking sets neither fParity nor fErrorChar.
  EXPECT_EQ(b.Flags & (dcb::fParity | dcb::fErrorChar), 0u);
  EXPECT_EQ(b.ErrorChar, 0);
  EXPECT_TRUE(b.Flags & dcb::fNull);
  port.Parity().SetCheck(true);
  b = port.BuildDCB();
  EXPECT_EQ(b.Flags & (dcb::fParity | dcb::fErrorChar), dcb::fParity | dcb::fErrorChar);
  EXPECT_EQ(b.ErrorChar, '?');
  port.FlowControl().SetControlRTS(rtsToggle);
  port.FlowControl().SetTxContinueOnXoff(true);
  EXPECT_EQ(port.BuildDCB().Flags & 0x3080u, 0x3080u);
}

TEST(ComSettings, OddQueueSizesAreRoundedDown) {
  TComBuffer buffer;
  buffer.SetInputSize(1025);
  EXPECT_EQ(buffer.InputSize(), 1024);
  buffer.SetOutputSize(-3);
  EXPECT_EQ(buffer.OutputSize(), -3);
  TComPort port;
  port.Buffer().SetInputSize(2001);
  EXPECT_EQ(port.BuildDCB().XonLim, 500);
}

TEST(ComSettings, WholeHoldersAreCopied) {
  TComPort port;
  TComTimeouts t;
  t.SetReadInterval(100);
  t.SetReadTotalC(1500);
  port.SetTimeouts(t);
  EXPECT_EQ(port.Timeouts().ReadInterval(), 100);
  EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 1500);
  TComParity p;
  p.SetBits(prOdd);
  port.SetParity(p);
  EXPECT_EQ(port.Parity().Bits(), prOdd);
}

// --- Transfers to an open device ---------------------------------------------------------------

class ApplySteps : public ::testing::Test {
 protected:
  void OpenPort() {
    port.SetEvents({});
    port.SetPortName(pty.SlavePath());
    port.Open();
    port.Transfers.clear();
  }
  TPtyPair pty;
  TCountingPort port;
};

TEST_F(ApplySteps, SettingsMadeWhileClosedAreAppliedInOrderAtOpen) {
  port.SetBaudRate(br19200);
  port.Timeouts().SetReadInterval(50);
  EXPECT_TRUE(port.Transfers.empty());
  port.SetPortName(pty.SlavePath());
  port.SetEvents({});
  port.Open();
  EXPECT_EQ(port.Transfers, (std::vector<std::string>{"buffer", "state", "timeouts"}));
  EXPECT_EQ(port.LastBlock.BaudRate, 19200u);
}

TEST_F(ApplySteps, SameValueMakesNoDeviceCall) {
  OpenPort();
  port.SetBaudRate(br9600);
  port.FlowControl().SetXonChar(17);
  port.Timeouts().SetReadInterval(-1);
  port.Buffer().SetInputSize(1024);
  EXPECT_TRUE(port.Transfers.empty());
  port.Buffer().SetInputSize(1025);  // stored as 1024, but compared before rounding
  EXPECT_EQ(port.Count("buffer"), 1);
  port.Buffer().SetInputSize(1024);
  EXPECT_EQ(port.Count("buffer"), 1);
}

TEST_F(ApplySteps, EachChangeWhileOpenIsOneTransferOfItsGroup) {
  OpenPort();
  port.Timeouts().SetReadTotalC(1500);
  port.SetBaudRate(br2400);
  port.Parity().SetCheck(true);
  EXPECT_EQ(port.Transfers, (std::vector<std::string>{"timeouts", "state", "state"}));
  port.FlowControl().SetFlowControl(fcNone);  // assigned even when unchanged
  EXPECT_EQ(port.Count("state"), 3);
}

TEST_F(ApplySteps, UpdateBracketMakesOneTransferPerGroup) {
  OpenPort();
  port.BeginUpdate();
  port.SetDataBits(dbEight);
  port.SetStopBits(sbTwoStopBits);
  port.Parity().SetCheck(true);
  port.FlowControl().SetFlowControl(fcHardware);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.BeginUpdate();
  port.EndUpdate();
  EXPECT_TRUE(port.Transfers.empty());
  port.EndUpdate();
  EXPECT_EQ(port.Transfers, (std::vector<std::string>{"buffer", "state", "timeouts"}));
  port.EndUpdate();  // without a matching BeginUpdate
  EXPECT_EQ(port.Transfers.size(), 3u);
}

TEST_F(ApplySteps, SyncMethodAndPriorityCannotChangeWhileOpen) {
  OpenPort();
  try {
    port.SetSyncMethod(smNone);
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.PortErrorCode(), 14);
    EXPECT_EQ(e.SystemErrorCode(), -1);
    EXPECT_EQ(e.Message(), "Cannot set property while connected");
  }
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  EXPECT_THROW(port.SetEventThreadPriority(tpHigher), EComPort);
  port.SetSyncMethod(smThreadSync);  // unchanged: no error
  port.Close();
  port.SetSyncMethod(smNone);
  EXPECT_EQ(port.SyncMethod(), smNone);
}
