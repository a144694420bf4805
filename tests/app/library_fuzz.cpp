// Drives the library loader and its validation with arbitrary bytes: every input either loads or
// raises one of the library's messages; nothing crashes, hangs or reads out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/modem_library.h"
#include "text/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kelvo::TModemLibrary library;
  try {
    library.LoadBytes(bytes, {"SetXmlVersion=fuzz"});
    kelvo::TXpNodeList modems = library.Modems();
    for (int i = 0; i < modems.nlGetLength(); ++i) {
      (void)library.ProtectedForUser(*modems.ElementItem(i));
      (void)kelvo::TModemLibrary::Scripts(*modems.ElementItem(i)).nlGetLength();
    }
    (void)library.Model().SaveToString();
  } catch (const kelvo::Exception&) {
  }
  return 0;
}
