// The general error type that every subsystem raises, and the silent abort.
// A message is 8-bit Windows-1251 text; ClassName() is what script try/except reports as the
// error's class name, so each derived error names itself.
#pragma once

#include <exception>
#include <string>

namespace kelvo {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}

  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  std::string FMessage;
};

// Ends an action without any message: the application's error display ignores it.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  const char* ClassName() const noexcept override { return "EAbort"; }
};

// Replaces each "%s" (and "%d") of pattern, in turn, by the next argument; "%%" is a percent sign.
// The message texts of the system are written with these placeholders.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace kelvo
