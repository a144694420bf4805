// The modem library file: loading with its validation, the stamping mode of "SetXmlVersion=", the
// write protection of items, and saving the whole document back. Element names and versions are
// read and written as 8-bit text; the document itself holds UTF-16.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "xml/xp_obj_model.h"

namespace kelvo {

class TModemLibrary {
 public:
  TModemLibrary();

  // Loads path, applies the command-line arguments (8-bit text), checks that every modem name is
  // found exactly once, and in stamping mode marks every modem and script protected and saves at
  // once. Raises the library's messages, each followed on a second line by the path and the
  // reason (the reader's, with its line and column); nothing is saved when a check fails.
  void Load(const std::string& path, const std::vector<std::string>& args);
  // The same checks on a document given as the bytes of a file; never saves. For the fuzz target.
  void LoadBytes(std::string_view bytes, const std::vector<std::string>& args);

  // Writes the whole document to the path it was loaded from. On failure raises the file error; the
  // file on disk stays as it was and the document keeps the change.
  void Save();

  TXpElement* Root() const { return FModel.omGetDocumentElement(); }
  TXpObjModel& Model() { return FModel; }
  const std::string& Path() const { return FPath; }
  bool VersionStamping() const { return FVersionStamping; }
  // The root's Version as read after start-up.
  const std::string& LibraryVersion() const { return FLibraryVersion; }

  // Protected for the user: Protected reads exactly "yes" and the program is not stamping.
  bool ProtectedForUser(const TXpElement& element) const;

  // The root's direct Modem children, and a modem's direct Script children, in document order.
  TXpNodeList Modems() const;
  static TXpNodeList Scripts(const TXpElement& modem);

  // True when a Modem element anywhere under the root other than except is named name exactly.
  bool ModemNameTaken(const std::string& name, const TXpElement* except = nullptr) const;
  // "Новый модем", or "Новый модем 2", "Новый модем 3", ... when that name is taken.
  std::string FreeNewModemName() const;

 private:
  void PrepareLoaded(const std::vector<std::string>& args);
  void ApplyArguments(const std::vector<std::string>& args);
  void ValidateModemNames() const;
  void StampProtection();
  std::string LoadFailure(const std::string& fixedText, const std::string& reason) const;
  // The reader's last reason (UTF-8), or the empty text.
  std::string ModelError() const;

  TXpObjModel FModel;
  std::string FPath;
  bool FVersionStamping = false;
  std::string FLibraryVersion;
};

bool IsModem(const TXpElement& element);
bool IsScript(const TXpElement& element);

// An attribute as 8-bit text, and setting one from 8-bit text.
std::string GetAnsiAttribute(const TXpElement& element, std::u16string_view name);
void SetAnsiAttribute(TXpElement& element, std::u16string_view name, std::string_view value);
// The Name attribute as 8-bit text (read in place: a large tree reads tens of thousands of names).
std::string ElementName(const TXpElement& element);

}  // namespace kelvo
