#include "serial/port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "serial/port_facts.h"
#include "serial/port_sources.h"
#include "serial/port_watcher.h"
#include "text/exception.h"

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

// A stand-in for sysfs and /dev in a temporary folder: sys/class/tty with its entries, the devices
// they lead to (a USB adapter's descriptors, a driver link), and dev/serial/by-id.
class PortList : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("kelvo-tty-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "class");
    fs::create_directories(root / "devices");
    fs::create_directories(root / "dev");
    sources.TtyClassDir = (root / "class").string();
    sources.DevDir = (root / "dev").string();
  }
  void TearDown() override { fs::remove_all(root); }
  // A tty entry; with a device folder (relative to devices/) its "device" link leads there.
  void AddTty(const std::string& name, const std::string& device = "", const char* uartType = nullptr) {
    fs::create_directories(root / "class" / name);
    if (!device.empty()) {
      fs::create_directories(root / "devices" / device);
      fs::create_directory_symlink(root / "devices" / device, root / "class" / name / "device");
    }
    if (uartType) std::ofstream(root / "class" / name / "type") << uartType << "\n";
  }
  void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }
  void Driver(const std::string& device, const std::string& driver) {
    fs::create_directories(root / "drivers" / driver);
    fs::create_directory_symlink(root / "drivers" / driver, root / "devices" / device / "driver");
  }
  // A USB-to-serial adapter on the bus at usbPath: the USB device's descriptors, its interface and
  // the port device that the tty hangs under.
  void AddUsbAdapter(const std::string& tty, const std::string& usbPath, const char* vendor,
                     const char* product) {
    const std::string usb = "usb1/" + usbPath;
    const std::string port = usb + "/" + usbPath + ":1.0/" + tty;
    AddTty(tty, port);
    Write(root / "devices" / usb / "idVendor", "067b");
    Write(root / "devices" / usb / "idProduct", "2303");
    if (vendor) Write(root / "devices" / usb / "manufacturer", vendor);
    if (product) Write(root / "devices" / usb / "product", product);
    Driver(port, "pl2303");
  }
  void AddStableName(const std::string& link, const std::string& tty) {
    fs::create_directories(root / "dev" / "serial" / "by-id");
    fs::create_symlink("../../" + tty, root / "dev" / "serial" / "by-id" / link);
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const TPortInfo& port : ListSerialPorts(sources))
      texts.push_back(port.Description.empty() ? port.Name : port.Name + " | " + port.Description);
    return texts;
  }
  fs::path root;
  TPortSources sources;
};

}  // namespace

TEST_F(PortList, DevicesBehindTtysAreListedSortedIgnoringCase) {
  AddTty("ttyUSB0", "u0");
  AddTty("ttyACM1", "a1");
  AddTty("tty1");  // a virtual console: no device behind it
  AddTty("ttyS0", "s0", "4");
  AddTty("ttyS1", "s1", "0");  // legacy port without a UART
  EXPECT_EQ(EnumerateSerialPorts(sources.TtyClassDir, nullptr),
            (std::vector<std::string>{"ttyACM1", "ttyS0", "ttyUSB0"}));
}

TEST_F(PortList, EnvironmentPortsThatExistAreAddedAndSortedCharacterByCharacter) {
  AddTty("COM2", "c2");
  AddTty("com10", "c10");
  Write(root / "modem", "");
  const std::string modem = (root / "modem").string();
  sources.KelvoPorts = modem + "::" + (root / "gone").string() + ":ttyKelvoAbsent:" + modem;
  EXPECT_EQ(Texts(), (std::vector<std::string>{modem, "com10", "COM2"}));
}

TEST_F(PortList, AUsbAdapterShowsVendorModelAndItsPlaceOnTheBus) {
  AddUsbAdapter("ttyUSB0", "1-1.2", "Prolific Technology Inc.", "USB-Serial Controller");
  AddUsbAdapter("ttyUSB1", "1-1.3", nullptr, nullptr);  // an adapter that names itself nowhere
  AddTty("ttyS0", "platform/serial8250", "4");
  Driver("platform/serial8250", "serial8250");
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"ttyS0 | serial8250",
                                      "ttyUSB0 | Prolific Technology Inc. USB-Serial Controller (1-1.2)",
                                      "ttyUSB1 | USB 067b:2303 (1-1.3)"}));
}

TEST_F(PortList, StableNamesFollowWithTheirDeviceAndOnlyForListedPorts) {
  AddUsbAdapter("ttyUSB0", "1-1.2", "Prolific", "PL2303");
  AddStableName("usb-Prolific_PL2303-if00-port0", "ttyUSB0");
  AddStableName("usb-Gone_Adapter-if00-port0", "ttyUSB9");  // a link whose device is not there
  const std::string byId = (root / "dev" / "serial" / "by-id" / "usb-Prolific_PL2303-if00-port0").string();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ttyUSB0 | Prolific PL2303 (1-1.2)",
                                               byId + " | Prolific PL2303 (1-1.2), ttyUSB0"}));
}

TEST_F(PortList, EmptyClassGivesAnEmptyList) {
  EXPECT_TRUE(ListSerialPorts(sources).empty());
}

TEST(PortListErrors, UnreadableClassRaisesTheListError) {
  try {
    EnumerateSerialPorts("/nonexistent/kelvo/tty", nullptr);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "registry error while enumerationg ports");
  }
}

// What udev keeps about a port, as its database gives it: the names from the hardware database
// win over the device's own encoded texts.
TEST(PortFacts, UdevPropertiesGiveTheSameDescriptionAsSysfs) {
  TPortFacts facts = FactsFromUdevProperties({{"ID_VENDOR_ENC", "Prolific\\x20Technology\\x20Inc.\\x20"},
                                              {"ID_VENDOR_FROM_DATABASE", "Prolific Technology, Inc."},
                                              {"ID_MODEL_ENC", "USB-Serial\\x20Controller"},
                                              {"ID_MODEL_FROM_DATABASE", "PL2303 Serial Port"},
                                              {"ID_VENDOR_ID", "067b"},
                                              {"ID_MODEL_ID", "2303"},
                                              {"ID_USB_DRIVER", "pl2303"}});
  facts.UsbPath = "1-1.2";
  EXPECT_EQ(DescribePort(facts), "Prolific Technology, Inc. PL2303 Serial Port (1-1.2)");
  TPortFacts own =
      FactsFromUdevProperties({{"ID_VENDOR_ENC", "FTDI"}, {"ID_MODEL_ENC", "USB\\x20\\x2d\\x20Serial"}});
  own.UsbPath = "3-2";
  EXPECT_EQ(DescribePort(own), "FTDI USB - Serial (3-2)");
  EXPECT_EQ(DecodeUdevText("a\\x2fb\\xZZ"), "a/b\\xZZ");
  TPortFacts builtIn;
  builtIn.Driver = "serial8250";
  EXPECT_EQ(DescribePort(builtIn), "serial8250");
  EXPECT_EQ(DescribePort({}), "");
}

// libudev reads the same tty class as sysfs: on this machine both find the same ports, whether or
// not udev runs (without it, libudev enumerates sysfs and has no database to add).
TEST(PortSources, UdevAndSysfsFindTheSamePorts) {
  std::vector<TFoundPort> udev;
  ASSERT_TRUE(UdevPorts(udev));
  std::vector<std::string> fromUdev, fromSysfs;
  for (const TFoundPort& p : udev) fromUdev.push_back(p.Name);
  for (const TFoundPort& p : SysfsPorts("/sys/class/tty")) fromSysfs.push_back(p.Name);
  std::sort(fromUdev.begin(), fromUdev.end());
  std::sort(fromSysfs.begin(), fromSysfs.end());
  EXPECT_EQ(fromUdev, fromSysfs);
}

TEST_F(PortList, TheWatcherTellsWhenAPortNodeOrAStableNameComesOrGoes) {
  fs::create_directories(root / "dev" / "serial" / "by-id");
  TPortWatcher watcher(sources);
  ASSERT_GE(watcher.Fd(), 0);
  EXPECT_FALSE(watcher.TakeChanges());
  Write(root / "dev" / "null", "");  // not a port
  EXPECT_FALSE(watcher.TakeChanges());
  Write(root / "dev" / "ttyUSB3", "");
  EXPECT_TRUE(watcher.TakeChanges());
  EXPECT_FALSE(watcher.TakeChanges());  // every notice was taken
  fs::create_symlink("../../ttyUSB3", root / "dev" / "serial" / "by-id" / "usb-X-if00");
  EXPECT_TRUE(watcher.TakeChanges());
  fs::remove(root / "dev" / "ttyUSB3");
  EXPECT_TRUE(watcher.TakeChanges());
}
