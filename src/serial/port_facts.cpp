#include "serial/port_facts.h"

#include <cstdlib>

namespace kelvo {

namespace {

std::string Property(const std::map<std::string, std::string>& properties, const std::string& key) {
  auto found = properties.find(key);
  return found != properties.end() ? found->second : std::string();
}

// The database's name when udev has one, else the device's own (encoded) text.
std::string Named(const std::map<std::string, std::string>& properties, const std::string& what) {
  std::string name = Property(properties, what + "_FROM_DATABASE");
  if (name.empty()) name = DecodeUdevText(Property(properties, what + "_ENC"));
  if (name.empty()) name = Property(properties, what);
  return name;
}

std::string Trimmed(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t_");
  if (begin == std::string::npos) return {};
  size_t end = s.find_last_not_of(" \t_");
  return s.substr(begin, end - begin + 1);
}

}  // namespace

std::string DecodeUdevText(const std::string& encoded) {
  std::string out;
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
      char hex[3] = {encoded[i + 2], encoded[i + 3], 0};
      char* end = nullptr;
      long value = std::strtol(hex, &end, 16);
      if (end == hex + 2) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += encoded[i];
  }
  return out;
}

TPortFacts FactsFromUdevProperties(const std::map<std::string, std::string>& properties) {
  TPortFacts facts;
  facts.Vendor = Named(properties, "ID_VENDOR");
  facts.Model = Named(properties, "ID_MODEL");
  facts.VendorId = Property(properties, "ID_VENDOR_ID");
  facts.ProductId = Property(properties, "ID_MODEL_ID");
  facts.Driver = Property(properties, "ID_USB_DRIVER");
  return facts;
}

std::string DescribePort(const TPortFacts& facts) {
  std::string vendor = Trimmed(facts.Vendor), model = Trimmed(facts.Model);
  if (!facts.UsbPath.empty()) {
    std::string name = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
    if (name.empty()) name = "USB " + facts.VendorId + ":" + facts.ProductId;
    return name + " (" + facts.UsbPath + ")";
  }
  if (!vendor.empty() || !model.empty()) return Trimmed(vendor + " " + model);
  return facts.Driver;
}

}  // namespace kelvo
