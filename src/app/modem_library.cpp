#include "app/modem_library.h"

#include <unordered_map>

#include "app/app_texts.h"
#include "text/cp1251.h"
#include "text/exception.h"

namespace kelvo {

namespace {

// Every Modem element below node, at any depth, with its Name counted.
void CountModemNames(const TXpNode& node, std::unordered_map<std::u16string, int>& counts) {
  for (const auto& child : node.ChildNodes()) {
    if (child->NodeType() != TXpNodeType::ntElement) continue;
    const auto& element = static_cast<const TXpElement&>(*child);
    if (IsModem(element)) ++counts[element.GetAttribute(u"Name")];
    CountModemNames(element, counts);
  }
}

}  // namespace

bool IsModem(const TXpElement& element) {
  return element.NodeName() == u"Modem";
}
bool IsScript(const TXpElement& element) {
  return element.NodeName() == u"Script";
}

std::string GetAnsiAttribute(const TXpElement& element, std::u16string_view name) {
  return Utf16ToAnsi(element.GetAttribute(name));
}

std::string ElementName(const TXpElement& element) {
  for (const TXpAttribute& attribute : element.Attributes()) {
    if (attribute.Name == u"Name") return Utf16ToAnsi(attribute.Value);
  }
  return {};
}

void SetAnsiAttribute(TXpElement& element, std::u16string_view name, std::string_view value) {
  element.SetAttribute(name, AnsiToUtf16(value));
}

TModemLibrary::TModemLibrary() {
  FModel.FormattedOutput = true;
  FModel.Document().FormattedOutput = true;
  FModel.Document().WriteNonAsciiRaw = true;
}

// The start-up message keeps its fixed first line; the next says which file was read and why the
// reader refused it, with the line and column where it stopped.
std::string TModemLibrary::LoadFailure(const std::string& fixedText, const std::string& reason) const {
  std::string place = Utf8ToAnsi(FPath);
  std::string why = Utf8ToAnsi(reason);
  if (place.empty() || why.find(place) != std::string::npos) return fixedText + "\r\n" + why;
  return fixedText + "\r\n" + place + ": " + why;
}

void TModemLibrary::Load(const std::string& path, const std::vector<std::string>& args) {
  FPath = path;
  if (!FModel.LoadDataSource(path)) throw Exception(LoadFailure(Ansi(texts::kLibraryDamaged), ModelError()));
  PrepareLoaded(args);
  if (FVersionStamping) Save();
}

void TModemLibrary::LoadBytes(std::string_view bytes, const std::vector<std::string>& args) {
  FPath.clear();
  if (!FModel.LoadMemory(bytes)) throw Exception(LoadFailure(Ansi(texts::kLibraryDamaged), ModelError()));
  PrepareLoaded(args);
}

std::string TModemLibrary::ModelError() const {
  return FModel.Errors().empty() ? std::string() : FModel.Errors().back();
}

void TModemLibrary::PrepareLoaded(const std::vector<std::string>& args) {
  // The writing flags live on the document, which a load may have rebuilt.
  FModel.Document().FormattedOutput = true;
  FModel.Document().WriteNonAsciiRaw = true;
  if (Root() == nullptr) throw Exception(LoadFailure(Ansi(texts::kLibraryDamaged), "No document element"));
  ApplyArguments(args);
  FLibraryVersion = GetAnsiAttribute(*Root(), u"Version");
  ValidateModemNames();
  if (FVersionStamping) StampProtection();
}

// Every argument that begins with the exact prefix sets the version; the last one stays.
void TModemLibrary::ApplyArguments(const std::vector<std::string>& args) {
  FVersionStamping = false;
  for (const std::string& arg : args) {
    if (arg.compare(0, texts::kStampingPrefix.size(), texts::kStampingPrefix) != 0) continue;
    SetAnsiAttribute(*Root(), u"Version", std::string_view(arg).substr(texts::kStampingPrefix.size()));
    FVersionStamping = true;
  }
}

// Each shown modem's name, as it reads after its pass through the 8-bit code page, must be the Name
// of exactly one Modem element anywhere under the root. The names are counted in one pass so that
// a large library loads in linear time.
void TModemLibrary::ValidateModemNames() const {
  std::unordered_map<std::u16string, int> counts;
  CountModemNames(*Root(), counts);
  TXpNodeList modems = Modems();
  for (int i = 0; i < modems.nlGetLength(); ++i) {
    std::u16string shown = AnsiToUtf16(ElementName(*modems.ElementItem(i)));
    auto found = counts.find(shown);
    if (found == counts.end() || found->second != 1) {
      std::string name = ElementName(*modems.ElementItem(i));
      std::string which =
          modems.ElementItem(i)->HasAttribute(u"Name") ? "Name=\"" + name + "\"" : "<Modem> without Name";
      throw Exception(LoadFailure(Ansi(texts::kModemNameNotUnique), AnsiToUtf8(which)));
    }
  }
}

void TModemLibrary::StampProtection() {
  TXpNodeList modems = Modems();
  for (int i = 0; i < modems.nlGetLength(); ++i) {
    TXpElement* modem = modems.ElementItem(i);
    modem->SetAttribute(u"Protected", u"yes");
    TXpNodeList scripts = Scripts(*modem);
    for (int j = 0; j < scripts.nlGetLength(); ++j)
      scripts.ElementItem(j)->SetAttribute(u"Protected", u"yes");
  }
}

void TModemLibrary::Save() {
  FModel.SaveToFile(FPath);
}

bool TModemLibrary::ProtectedForUser(const TXpElement& element) const {
  return element.GetAttribute(u"Protected") == u"yes" && !FVersionStamping;
}

TXpNodeList TModemLibrary::Modems() const {
  return Root()->GetChildElementsByTagName(u"Modem");
}

TXpNodeList TModemLibrary::Scripts(const TXpElement& modem) {
  return modem.GetChildElementsByTagName(u"Script");
}

bool TModemLibrary::ModemNameTaken(const std::string& name, const TXpElement* except) const {
  TXpNodeList same = Root()->GetElementsByTagNameWithAttribute(u"Modem", u"Name", AnsiToUtf16(name));
  for (int i = 0; i < same.nlGetLength(); ++i) {
    if (same.ElementItem(i) != except) return true;
  }
  return false;
}

std::string TModemLibrary::FreeNewModemName() const {
  std::string base = Ansi(texts::kNewModemName);
  if (!ModemNameTaken(base)) return base;
  for (int n = 2;; ++n) {
    std::string name = base + " " + std::to_string(n);
    if (!ModemNameTaken(name)) return name;
  }
}

}  // namespace kelvo
