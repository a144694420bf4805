#include "serial/com_settings.h"

#include "serial/com_port.h"

namespace kelvo {

namespace {

// Stores a changed field; returns false when the value is the stored one, so nothing happens.
template <typename T>
bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

// --- TComParity ------------------------------------------------------------------------------

void TComParity::AssignTo(TComParity& dest) const {
  dest.FBits = FBits;
  dest.FCheck = FCheck;
  dest.FReplace = FReplace;
  dest.FReplaceChar = FReplaceChar;
}

void TComParity::Changed() {
  if (FComPort) FComPort->ApplyDCB();
}

void TComParity::SetBits(TParityBits value) {
  if (Store(FBits, value)) Changed();
}
void TComParity::SetCheck(bool value) {
  if (Store(FCheck, value)) Changed();
}
void TComParity::SetReplace(bool value) {
  if (Store(FReplace, value)) Changed();
}
void TComParity::SetReplaceChar(char value) {
  if (Store(FReplaceChar, value)) Changed();
}

// --- TComFlowControl -------------------------------------------------------------------------

void TComFlowControl::AssignTo(TComFlowControl& dest) const {
  dest.FOutCTSFlow = FOutCTSFlow;
  dest.FOutDSRFlow = FOutDSRFlow;
  dest.FControlDTR = FControlDTR;
  dest.FControlRTS = FControlRTS;
  dest.FXonXoffOut = FXonXoffOut;
  dest.FXonXoffIn = FXonXoffIn;
  dest.FDSRSensitivity = FDSRSensitivity;
  dest.FTxContinueOnXoff = FTxContinueOnXoff;
  dest.FXonChar = FXonChar;
  dest.FXoffChar = FXoffChar;
}

void TComFlowControl::Changed() {
  if (FComPort) FComPort->ApplyDCB();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
  if (Store(FOutCTSFlow, value)) Changed();
}
void TComFlowControl::SetOutDSRFlow(bool value) {
  if (Store(FOutDSRFlow, value)) Changed();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
  if (Store(FControlDTR, value)) Changed();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
  if (Store(FControlRTS, value)) Changed();
}
void TComFlowControl::SetXonXoffOut(bool value) {
  if (Store(FXonXoffOut, value)) Changed();
}
void TComFlowControl::SetXonXoffIn(bool value) {
  if (Store(FXonXoffIn, value)) Changed();
}
void TComFlowControl::SetDSRSensitivity(bool value) {
  if (Store(FDSRSensitivity, value)) Changed();
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
  if (Store(FTxContinueOnXoff, value)) Changed();
}
void TComFlowControl::SetXonChar(char value) {
  if (Store(FXonChar, value)) Changed();
}
void TComFlowControl::SetXoffChar(char value) {
  if (Store(FXoffChar, value)) Changed();
}

TFlowControl TComFlowControl::GetFlowControl() const {
  const bool xonXoff = FXonXoffIn || FXonXoffOut;
  if (FControlRTS == rtsHandshake && FOutCTSFlow && !xonXoff) return fcHardware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && FXonXoffIn && FXonXoffOut) return fcSoftware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && !xonXoff) return fcNone;
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
  if (value != fcCustom) {
    FControlRTS = rtsDisable;
    FOutCTSFlow = false;
    FXonXoffIn = false;
    FXonXoffOut = false;
  }
  if (value == fcHardware) {
    FControlRTS = rtsHandshake;
    FOutCTSFlow = true;
  } else if (value == fcSoftware) {
    FXonXoffIn = true;
    FXonXoffOut = true;
  }
  Changed();
}

// --- TComTimeouts ----------------------------------------------------------------------------

void TComTimeouts::AssignTo(TComTimeouts& dest) const {
  dest.FReadInterval = FReadInterval;
  dest.FReadTotalM = FReadTotalM;
  dest.FReadTotalC = FReadTotalC;
  dest.FWriteTotalM = FWriteTotalM;
  dest.FWriteTotalC = FWriteTotalC;
}

void TComTimeouts::Set(int32_t& field, int32_t value) {
  if (Store(field, value) && FComPort) FComPort->ApplyTimeouts();
}

void TComTimeouts::SetReadInterval(int32_t value) {
  Set(FReadInterval, value);
}
void TComTimeouts::SetReadTotalM(int32_t value) {
  Set(FReadTotalM, value);
}
void TComTimeouts::SetReadTotalC(int32_t value) {
  Set(FReadTotalC, value);
}
void TComTimeouts::SetWriteTotalM(int32_t value) {
  Set(FWriteTotalM, value);
}
void TComTimeouts::SetWriteTotalC(int32_t value) {
  Set(FWriteTotalC, value);
}

// --- TComBuffer ------------------------------------------------------------------------------

void TComBuffer::AssignTo(TComBuffer& dest) const {
  dest.FInputSize = FInputSize;
  dest.FOutputSize = FOutputSize;
}

void TComBuffer::Set(int& field, int value) {
  if (field == value) return;
  field = (value > 0 && value % 2 == 1) ? value - 1 : value;
  if (FComPort) FComPort->ApplyBuffer();
}

void TComBuffer::SetInputSize(int value) {
  Set(FInputSize, value);
}
void TComBuffer::SetOutputSize(int value) {
  Set(FOutputSize, value);
}

}  // namespace kelvo
