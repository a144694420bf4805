#include "serial/port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "text/exception.h"

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

// A stand-in for /sys/class/tty in a temporary folder.
class PortList : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("kelvo-tty-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "devices");
  }
  void TearDown() override { fs::remove_all(root); }
  void AddTty(const std::string& name, bool withDevice, const char* uartType = nullptr) {
    fs::create_directories(root / name);
    if (withDevice) fs::create_directory_symlink(root / "devices", root / name / "device");
    if (uartType) std::ofstream(root / name / "type") << uartType << "\n";
  }
  fs::path root;
};

}  // namespace

TEST_F(PortList, DevicesBehindTtysAreListedSortedIgnoringCase) {
  AddTty("ttyUSB0", true);
  AddTty("ttyACM1", true);
  AddTty("tty1", false);  // a virtual console: no device behind it
  AddTty("ttyS0", true, "4");
  AddTty("ttyS1", true, "0");  // legacy port without a UART
  EXPECT_EQ(EnumerateSerialPorts(root.string(), nullptr),
            (std::vector<std::string>{"ttyACM1", "ttyS0", "ttyUSB0"}));
}

TEST_F(PortList, EnvironmentPortsAreAddedAndSortedCharacterByCharacter) {
  AddTty("COM2", true);
  AddTty("com10", true);
  EXPECT_EQ(EnumerateSerialPorts(root.string(), "/tmp/modem::COM1"),
            (std::vector<std::string>{"/tmp/modem", "COM1", "com10", "COM2"}));
}

TEST_F(PortList, EmptyClassGivesAnEmptyList) {
  EXPECT_TRUE(EnumerateSerialPorts(root.string(), "").empty());
}

TEST(PortListErrors, UnreadableClassRaisesTheListError) {
  try {
    EnumerateSerialPorts("/nonexistent/kelvo/tty", nullptr);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "registry error while enumerationg ports");
  }
}
