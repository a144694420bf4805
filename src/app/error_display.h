// The application's standard error display: every exception that reaches the application is shown in
// one error message box, except the silent abort.
#pragma once

#include <exception>
#include <string>

#include "app/kelvo_screen.h"

namespace kelvo {

// The message as shown: a full stop is appended when its last character sorts after "." in the
// 8-bit code (letters and digits get one; a message ending in "." or a space does not).
std::string ErrorDisplayText(const std::string& message);

// The message text of any exception: ours as it is, a standard one converted from UTF-8, anything
// else empty.
std::string ExceptionMessage(const std::exception_ptr& error);

// Shows error with an error icon and an OK button; EAbort shows nothing.
void ShowException(TKelvoScreen& screen, const std::exception_ptr& error);

}  // namespace kelvo
