// libFuzzer target: arbitrary bytes as a library file. Whatever loads must save, and what was saved
// must load again and save to the same bytes, so the writer never produces a file the reader refuses.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "xml/xp_obj_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kelvo::TXpObjModel model;
  model.Document().WriteNonAsciiRaw = (size % 2) == 0;
  if (!model.LoadMemory(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  std::string saved = model.SaveToString();
  kelvo::TXpObjModel again;
  again.Document().WriteNonAsciiRaw = model.Document().WriteNonAsciiRaw;
  if (!again.LoadMemory(saved)) std::abort();
  again.OutCharSet = model.OutCharSet;
  if (again.SaveToString() != saved) std::abort();
  return 0;
}
