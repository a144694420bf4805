#include "app/error_display.h"

#include "text/cp1251.h"
#include "text/exception.h"

namespace kelvo {

std::string ErrorDisplayText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

std::string ExceptionMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return Utf8ToAnsi(e.what());
  } catch (...) {
    return {};
  }
}

void ShowException(TKelvoScreen& screen, const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    return;
  } catch (...) {
  }
  screen.MessageBox(ErrorDisplayText(ExceptionMessage(error)), TMsgIcon::miError, TMsgButtons::mbOk);
}

}  // namespace kelvo
