// Serialises a document: elements with their attributes in list order, "/>" for empty elements,
// indentation of two spaces per level and CR LF line breaks in formatted output, the escaping of
// text and attribute values, and the encoding of the result.
#pragma once

#include <string>

#include "xml/xp_obj_model.h"

namespace kelvo {

struct TXpWriteOptions {
  bool FormattedOutput = true;
  bool WriteNonAsciiRaw = false;
  TXpCharEncoding Encoding = TXpCharEncoding::ceUTF8;
  bool WriteUTF8Signature = true;
  TXpLineBreakMode LineBreakMode = TXpLineBreakMode::lbmDefault;
};

// The document as UTF-8 text, without a byte-order mark.
std::string XpWriteUtf8(const TXpDocument& doc, const TXpWriteOptions& options);
// The document as the bytes of a file in the chosen encoding, with its byte-order mark.
std::string XpWriteBytes(const TXpDocument& doc, const TXpWriteOptions& options);

}  // namespace kelvo
