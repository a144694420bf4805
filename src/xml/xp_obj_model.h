// The model object that owns one library document with its reading and writing settings: load a
// file into the tree, query and edit it through the nodes, and save it back as a whole file.
#pragma once

#include <string>
#include <vector>

#include "xml/xp_node.h"

namespace kelvo {

// Character encodings of a loaded file and of the output.
enum class TXpCharEncoding { ceUTF8, ceUTF16LE, ceUTF16BE, ceISO88591 };

// How line breaks inside text are written.
enum class TXpLineBreakMode { lbmDefault, lbmCR, lbmCRLF, lbmLF };

class TXpObjModel {
 public:
  TXpObjModel() = default;

  // Clears the document and parses the file into it. False on any failure (missing file, read
  // error, malformed or hostile content, version other than "1.0"), with the reasons in Errors();
  // raises instead when RaiseErrors is set. A leading "FILE://" (any case) is removed from path.
  bool LoadDataSource(const std::string& path);
  // Parses text already in memory (the bytes of a file) the same way.
  bool LoadMemory(std::string_view bytes);

  // The document element, or nullptr.
  TXpElement* omGetDocumentElement() const { return FDocument.DocumentElement(); }
  TXpDocument& Document() { return FDocument; }
  const TXpDocument& Document() const { return FDocument; }

  // Serialises the document in the output encoding and replaces the file with it. The new content is
  // written to a temporary file beside the target and renamed over it, so the old file is never left
  // half-written; any failure raises Exception and leaves the old file as it was.
  bool SaveToFile(const std::string& path);
  // The bytes SaveToFile would write.
  std::string SaveToString() const;

  // Error texts of the last load.
  const std::vector<std::string>& Errors() const { return FErrors; }

  bool FormattedOutput = true;
  TXpCharEncoding OutCharSet = TXpCharEncoding::ceUTF8;
  bool WriteUTF8Signature = true;
  TXpLineBreakMode LineBreakMode = TXpLineBreakMode::lbmDefault;
  bool LineBreakCharReplace = false;
  bool NormalizeData = true;
  bool RaiseErrors = false;
  bool IgnoreCase = false;
  std::u16string IdAttribute = u"id";
  int BufferSize = 8192;

 private:
  bool Fail(const std::string& message);

  TXpDocument FDocument;
  std::vector<std::string> FErrors;
};

}  // namespace kelvo
