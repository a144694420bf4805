#include "serial/com_error.h"

#include <cstring>

#include "text/ansi_text.h"
#include "text/cp1251.h"

namespace kelvo {

namespace {

// Indexed by code - 1; the Russian texts are converted to Windows-1251 on use.
constexpr const char* kTexts[] = {"Невозможно открыть COM порт",
                                  "Ошибка записи",
                                  "Ошибка чтения",
                                  "Неверный параметр Async",
                                  "PurgeComm function failed",
                                  "Unable to get async status",
                                  "SetCommState function failed",
                                  "SetCommTimeouts failed",
                                  "SetupComm function failed",
                                  "ClearCommError function failed",
                                  "GetCommModemStatus function failed",
                                  "EscapeCommFunction function failed",
                                  "TransmitCommChar function failed",
                                  "Cannot set property while connected",
                                  "EnumPorts function failed",
                                  "Failed to store settings",
                                  "Failed to load settings",
                                  "Link (un)registration failed",
                                  "Cannot change led state if ComPort is selected",
                                  "Cannot wait for event if event thread is created",
                                  "WaitForEvent method failed",
                                  "A component is linked to OnRxBuf event",
                                  "Ошибка реестра"};

}  // namespace

std::string ComErrorText(int code) {
  if (code < 1 || code > static_cast<int>(std::size(kTexts))) return {};
  return Utf8ToAnsi(kTexts[code - 1]);
}

std::string SystemErrorText(int errorNumber) {
  char buffer[256];
  // The GNU strerror_r returns a pointer that may or may not be the buffer.
  const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
  return Trim(Utf8ToAnsi(text ? text : ""));
}

EComPort::EComPort(int code) : Exception(ComErrorText(code)), FPortErrorCode(code), FSystemErrorCode(-1) {}

EComPort::EComPort(int code, int errorNumber)
    : Exception(ComErrorText(code) + " (" + SystemErrorText(errorNumber) + ")"),
      FPortErrorCode(code),
      FSystemErrorCode(errorNumber) {}

}  // namespace kelvo
