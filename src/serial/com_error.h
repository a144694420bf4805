// EComPort, the one error type of the serial port component: a fixed message per port error code,
// optionally followed by the system's own text for the error number in parentheses.
#pragma once

#include <string>

#include "text/exception.h"

namespace kelvo {

// Port error codes; each names the operation family that raises it.
enum TComPortErrorCode {
  CError_OpenFailed = 1,
  CError_WriteFailed = 2,
  CError_ReadFailed = 3,
  CError_InvalidAsync = 4,
  CError_PurgeFailed = 5,
  CError_AsyncCheck = 6,
  CError_SetStateFailed = 7,
  CError_TimeoutsFailed = 8,
  CError_SetupComFailed = 9,
  CError_ClearComFailed = 10,
  CError_ModemStatFailed = 11,
  CError_EscapeComFailed = 12,
  CError_TransmitFailed = 13,
  CError_ConnChangeProp = 14,
  CError_EnumPortsFailed = 15,
  CError_StoreFailed = 16,
  CError_LoadFailed = 17,
  CError_RegFailed = 18,
  CError_LedStateFailed = 19,
  CError_ThreadCreated = 20,
  CError_WaitFailed = 21,
  CError_HasLink = 22,
  CError_RegError = 23
};

// The message of a code (Windows-1251), or an empty text for a code outside 1..23.
std::string ComErrorText(int code);
// The system's text for an error number in the user's language (the locale of the environment,
// whatever the program's own locale is), trimmed, as Windows-1251.
std::string SystemErrorText(int errorNumber);
// True for the error numbers with which a device that has gone away (unplugged, or the line hung
// up) answers: EIO, ENXIO, ENODEV.
bool DeviceGoneError(int errorNumber);

class EComPort : public Exception {
 public:
  // The code's text alone; SystemErrorCode is -1.
  explicit EComPort(int code);
  // The code's text, a blank and the system's text for errorNumber in parentheses; when the error
  // says that the device has gone, followed by that explanation in Russian.
  EComPort(int code, int errorNumber);
  // A message of its own, for reasons that the code's text and the system's cannot tell.
  EComPort(int code, int errorNumber, std::string message);

  int PortErrorCode() const noexcept { return FPortErrorCode; }
  int SystemErrorCode() const noexcept { return FSystemErrorCode; }
  const char* ClassName() const noexcept override { return "EComPort"; }

 private:
  int FPortErrorCode;
  int FSystemErrorCode;
};

}  // namespace kelvo
