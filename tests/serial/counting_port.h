// A port that records each transfer to the device (through the device-call seam of the apply
// steps) before passing it on to the real device.
#pragma once

#include <string>
#include <vector>

#include "serial/com_port.h"

namespace kelvo::testing {

class TCountingPort : public TComPort {
 public:
  std::vector<std::string> Transfers;
  TDeviceControlBlock LastBlock;

  int Count(const std::string& kind) const {
    int n = 0;
    for (const auto& t : Transfers) n += t == kind;
    return n;
  }

 protected:
  int DeviceSetCommState(const TDeviceControlBlock& block) override {
    Transfers.push_back("state");
    LastBlock = block;
    return TComPort::DeviceSetCommState(block);
  }
  int DeviceSetCommTimeouts(const TComTimeouts& timeouts) override {
    Transfers.push_back("timeouts");
    return TComPort::DeviceSetCommTimeouts(timeouts);
  }
  int DeviceSetupComm(int inputSize, int outputSize) override {
    Transfers.push_back("buffer");
    return TComPort::DeviceSetupComm(inputSize, outputSize);
  }
};

}  // namespace kelvo::testing
