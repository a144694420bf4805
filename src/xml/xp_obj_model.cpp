#include "xml/xp_obj_model.h"

#include "text/ansi_text.h"
#include "xml/safe_file.h"
#include "xml/xp_reader.h"
#include "xml/xp_writer.h"

namespace kelvo {
namespace {

// Files larger than this are refused rather than read into memory.
constexpr size_t kMaxFileBytes = size_t{1} << 30;

std::string StripFileScheme(const std::string& path) {
  if (path.size() >= 7 && AnsiSameText(path.substr(0, 7), "FILE://")) return path.substr(7);
  return path;
}

}  // namespace

bool TXpObjModel::Fail(const std::string& message) {
  FErrors.push_back(message);
  if (RaiseErrors) throw Exception(message);
  return false;
}

bool TXpObjModel::LoadDataSource(const std::string& path) {
  FDocument.Clear();
  FErrors.clear();
  std::string bytes;
  try {
    bytes = ReadWholeFile(StripFileScheme(path), kMaxFileBytes);
  } catch (const Exception& e) {
    return Fail(e.Message());
  }
  return LoadMemory(bytes);
}

bool TXpObjModel::LoadMemory(std::string_view bytes) {
  FDocument.Clear();
  FErrors.clear();
  TXpReadOptions options;
  options.NormalizeData = NormalizeData;
  TXpReadResult result = XpReadDocument(bytes, FDocument, options);
  if (!result.Ok) return Fail(result.Error);
  OutCharSet = result.Encoding;
  return true;
}

std::string TXpObjModel::SaveToString() const {
  TXpWriteOptions options;
  options.FormattedOutput = FormattedOutput;
  options.WriteNonAsciiRaw = FDocument.WriteNonAsciiRaw;
  options.Encoding = OutCharSet;
  options.WriteUTF8Signature = WriteUTF8Signature;
  options.LineBreakMode = LineBreakMode;
  return XpWriteBytes(FDocument, options);
}

bool TXpObjModel::SaveToFile(const std::string& path) {
  WriteFileAtomically(StripFileScheme(path), SaveToString());
  return true;
}

}  // namespace kelvo
