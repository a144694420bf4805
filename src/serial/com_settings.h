// The four settings holders of a port: parity, flow control, time-outs and queue sizes. Each keeps
// a link back to the port that owns it (none for a free-standing holder used to assign a whole
// group) and, when one of its fields changes, asks that port to re-apply its group.
#pragma once

#include <cstdint>

#include "serial/com_types.h"

namespace kelvo {

class TCustomComPort;

class TComParity {
 public:
  explicit TComParity(TCustomComPort* port = nullptr) : FComPort(port) {}
  TComParity(const TComParity& other) : TComParity() { other.AssignTo(*this); }
  TComParity& operator=(const TComParity& other) {
    if (this != &other) other.AssignTo(*this);
    return *this;
  }
  // Copies every field into dest without any apply step.
  void AssignTo(TComParity& dest) const;

  TParityBits Bits() const { return FBits; }
  bool Check() const { return FCheck; }      // the device checks the parity of received bytes
  bool Replace() const { return FReplace; }  // bytes with a parity error become ReplaceChar
  char ReplaceChar() const { return FReplaceChar; }
  void SetBits(TParityBits value);
  void SetCheck(bool value);
  void SetReplace(bool value);
  void SetReplaceChar(char value);

 private:
  void Changed();

  TCustomComPort* FComPort;
  TParityBits FBits = prNone;
  bool FCheck = false;
  bool FReplace = false;
  char FReplaceChar = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort* port = nullptr) : FComPort(port) {}
  TComFlowControl(const TComFlowControl& other) : TComFlowControl() { other.AssignTo(*this); }
  TComFlowControl& operator=(const TComFlowControl& other) {
    if (this != &other) other.AssignTo(*this);
    return *this;
  }
  void AssignTo(TComFlowControl& dest) const;

  bool OutCTSFlow() const { return FOutCTSFlow; }  // sending waits while CTS is low
  bool OutDSRFlow() const { return FOutDSRFlow; }  // sending waits while DSR is low
  TDTRFlowControl ControlDTR() const { return FControlDTR; }
  TRTSFlowControl ControlRTS() const { return FControlRTS; }
  bool XonXoffOut() const { return FXonXoffOut; }              // sending obeys XON/XOFF from the peer
  bool XonXoffIn() const { return FXonXoffIn; }                // the device sends XON/XOFF as its queue fills
  bool DSRSensitivity() const { return FDSRSensitivity; }      // received bytes ignored while DSR is low
  bool TxContinueOnXoff() const { return FTxContinueOnXoff; }  // sending goes on after XOFF was sent
  char XonChar() const { return FXonChar; }
  char XoffChar() const { return FXoffChar; }
  void SetOutCTSFlow(bool value);
  void SetOutDSRFlow(bool value);
  void SetControlDTR(TDTRFlowControl value);
  void SetControlRTS(TRTSFlowControl value);
  void SetXonXoffOut(bool value);
  void SetXonXoffIn(bool value);
  void SetDSRSensitivity(bool value);
  void SetTxContinueOnXoff(bool value);
  void SetXonChar(char value);
  void SetXoffChar(char value);

  // The derived setting, computed from RTS control, CTS output flow and XON/XOFF; never stored.
  TFlowControl GetFlowControl() const;
  // Writes those fields for the value (none for fcCustom) and applies the control block once,
  // even when the derived value does not change.
  void SetFlowControl(TFlowControl value);

 private:
  void Changed();

  TCustomComPort* FComPort;
  bool FOutCTSFlow = false;
  bool FOutDSRFlow = false;
  TDTRFlowControl FControlDTR = dtrDisable;
  TRTSFlowControl FControlRTS = rtsDisable;
  bool FXonXoffOut = false;
  bool FXonXoffIn = false;
  bool FDSRSensitivity = false;
  bool FTxContinueOnXoff = false;
  char FXonChar = 17;   // DC1
  char FXoffChar = 19;  // DC3
};

// Milliseconds; the device reads each as unsigned, so -1 is 4294967295.
class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort* port = nullptr) : FComPort(port) {}
  TComTimeouts(const TComTimeouts& other) : TComTimeouts() { other.AssignTo(*this); }
  TComTimeouts& operator=(const TComTimeouts& other) {
    if (this != &other) other.AssignTo(*this);
    return *this;
  }
  void AssignTo(TComTimeouts& dest) const;

  int32_t ReadInterval() const { return FReadInterval; }
  int32_t ReadTotalMultiplier() const { return FReadTotalM; }
  int32_t ReadTotalConstant() const { return FReadTotalC; }
  int32_t WriteTotalMultiplier() const { return FWriteTotalM; }
  int32_t WriteTotalConstant() const { return FWriteTotalC; }
  void SetReadInterval(int32_t value);
  void SetReadTotalM(int32_t value);
  void SetReadTotalC(int32_t value);
  void SetWriteTotalM(int32_t value);
  void SetWriteTotalC(int32_t value);

 private:
  void Set(int32_t& field, int32_t value);

  TCustomComPort* FComPort;
  int32_t FReadInterval = -1;
  int32_t FReadTotalM = 0;
  int32_t FReadTotalC = 0;
  int32_t FWriteTotalM = 100;
  int32_t FWriteTotalC = 1000;
};

// Recommended sizes in bytes of the device's receive and transmit queues.
class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort* port = nullptr) : FComPort(port) {}
  TComBuffer(const TComBuffer& other) : TComBuffer() { other.AssignTo(*this); }
  TComBuffer& operator=(const TComBuffer& other) {
    if (this != &other) other.AssignTo(*this);
    return *this;
  }
  void AssignTo(TComBuffer& dest) const;

  int InputSize() const { return FInputSize; }
  int OutputSize() const { return FOutputSize; }
  // A positive odd size is stored one less (1025 becomes 1024); the comparison with the stored
  // value is made before that.
  void SetInputSize(int value);
  void SetOutputSize(int value);

 private:
  void Set(int& field, int value);

  TCustomComPort* FComPort;
  int FInputSize = 1024;
  int FOutputSize = 1024;
};

}  // namespace kelvo
