// Feeds arbitrary received bytes to the modem's command interpreter, in chunks and at two line
// speeds, with options taken from the first byte: it must neither crash nor grow without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "modem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  kelvo::TModemOptions options;
  options.NoTrailingCR = data[0] & 1;
  options.BlankLines = (data[0] >> 1) & 3;
  if (data[0] & 8) options.AnswerSpeed = 9600;
  kelvo::TModemSimulator modem(options);
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  while (!rest.empty()) {
    size_t chunk = rest.size() < 7 ? rest.size() : 7;
    auto out = modem.Receive(rest.substr(0, chunk), (rest[0] & 1) ? 9600 : 19200);
    if (out.Echo.size() > chunk || out.Answer.size() > 64 * 1024) __builtin_trap();
    rest.remove_prefix(chunk);
  }
  return 0;
}
