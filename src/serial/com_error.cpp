#include "serial/com_error.h"

#include <locale.h>

#include <cerrno>
#include <cstring>

#include "text/ansi_text.h"
#include "text/cp1251.h"
#include "text/text_translator.h"

namespace kelvo {

namespace {

// Indexed by code - 1; the Russian texts are translated and converted to Windows-1251 on use.
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
  return Ansi(kTexts[code - 1]);
}

namespace {

// The user's locale from the environment, made once; a command-line tool need not have called
// setlocale for its messages to be in the user's language.
locale_t UserLocale() {
  static const locale_t locale = [] {
    locale_t made = ::newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    return made != static_cast<locale_t>(0) ? made : ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

std::string Explained(int code, int errorNumber) {
  std::string text = ComErrorText(code) + " (" + SystemErrorText(errorNumber) + ")";
  if (code != CError_OpenFailed && DeviceGoneError(errorNumber))
    text += Ansi(": связь с модемом потеряна (устройство отключено или линия разорвана)");
  return text;
}

}  // namespace

std::string SystemErrorText(int errorNumber) {
  const char* text = ::strerror_l(errorNumber, UserLocale());
  // A locale whose text is not UTF-8 still yields its ASCII part; anything else becomes '?'.
  return Trim(Utf8ToAnsi(text ? text : ""));
}

bool DeviceGoneError(int errorNumber) {
  return errorNumber == EIO || errorNumber == ENXIO || errorNumber == ENODEV;
}

EComPort::EComPort(int code) : Exception(ComErrorText(code)), FPortErrorCode(code), FSystemErrorCode(-1) {}

EComPort::EComPort(int code, int errorNumber)
    : Exception(Explained(code, errorNumber)), FPortErrorCode(code), FSystemErrorCode(errorNumber) {}

EComPort::EComPort(int code, int errorNumber, std::string message)
    : Exception(std::move(message)), FPortErrorCode(code), FSystemErrorCode(errorNumber) {}

}  // namespace kelvo
