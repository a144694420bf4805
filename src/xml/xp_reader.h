// Parses the bytes of an XML file into a document: encoding detection from the byte-order mark,
// the declaration's version and ISO-8859-1 switch, entities and character references, and the
// normalisation of character data. Hostile input fails with a message; nothing here recurses.
#pragma once

#include <string>
#include <string_view>

#include "xml/xp_obj_model.h"

namespace kelvo {

struct TXpReadOptions {
  bool NormalizeData = true;
  // Deeper nesting than this fails the load: library files are three levels deep, and a limit keeps
  // every later walk of the tree cheap.
  size_t MaxDepth = 4096;
  // Longest name, attribute value or text accepted, in bytes of the file.
  size_t MaxTokenBytes = 16u << 20;
};

struct TXpReadResult {
  bool Ok = false;
  std::string Error;  // with the line number where it was found
  TXpCharEncoding Encoding = TXpCharEncoding::ceUTF8;
};

// Fills doc (which must be empty) from bytes.
TXpReadResult XpReadDocument(std::string_view bytes, TXpDocument& doc, const TXpReadOptions& options);

}  // namespace kelvo
