// What a serial port is, as udev or sysfs tell it, and the short description made from it for the
// port selector. Kept apart from both sources so that either can be tested from the facts alone.
#pragma once

#include <map>
#include <string>

namespace kelvo {

struct TPortFacts {
  std::string Vendor;     // "Prolific Technology, Inc."
  std::string Model;      // "PL2303 Serial Port"
  std::string VendorId;   // "067b"
  std::string ProductId;  // "2303"
  std::string UsbPath;    // the USB device's place on the bus: "1-1.2"; empty for other ports
  std::string Driver;     // "pl2303", "serial8250"
};

// "Prolific Technology, Inc. PL2303 Serial Port (1-1.2)" for a USB port ("USB 067b:2303 (1-1.2)"
// when it names itself nowhere), the driver for another one, or the empty text.
std::string DescribePort(const TPortFacts& facts);

// The facts in a udev device's properties (ID_VENDOR_FROM_DATABASE or ID_VENDOR_ENC, ID_MODEL...,
// ID_VENDOR_ID, ID_MODEL_ID, ID_USB_DRIVER); the USB path and driver, which udev keeps on parent
// devices, are added by the caller.
TPortFacts FactsFromUdevProperties(const std::map<std::string, std::string>& properties);
// udev's encoded property text ("USB\x20Serial") decoded.
std::string DecodeUdevText(const std::string& encoded);

}  // namespace kelvo
