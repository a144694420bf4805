#include <stdlib.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/port_list.h"
#include "text/cp1251.h"
#include "text/exception.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using namespace kelvo::testing;
namespace fs = std::filesystem;

namespace {

// A fake /sys/class/tty: each port a folder, with a "device" entry when hardware stands behind it
// and, for 8250 ports, the UART type.
class PortListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KELVO_SYSFS_TTY", Sys.Path().c_str(), 1);
    unsetenv("KELVO_PORTS");
  }
  void TearDown() override {
    unsetenv("KELVO_SYSFS_TTY");
    unsetenv("KELVO_PORTS");
  }
  void Port(const std::string& name, bool device, const char* uartType = nullptr) {
    fs::create_directories(Sys.Path() / name);
    if (device) fs::create_directories(Sys.Path() / name / "device");
    if (uartType != nullptr) WriteBytes(Sys.File(name + "/type"), uartType);
  }
  TempDir Sys;
};

}  // namespace

TEST_F(PortListTest, SelectorOffersPortsWithHardwareAndEnvironmentPortsInTextOrder) {
  Port("tty0", false);
  Port("ttyS0", true, "4\n");
  Port("ttyS1", true, "0\n");
  Port("ttyUSB0", true);
  TempDir virtualPorts;
  for (const char* name : {"COM2", "COM10", "com1"}) WriteBytes(virtualPorts.File(name), "");
  const std::string at = virtualPorts.Path().string() + "/";
  setenv("KELVO_PORTS", (at + "COM2::" + at + "COM10:" + at + "com1:/dev/kelvo-gone").c_str(), 1);
  std::vector<TPortItem> items = PortSelectorItems();
  items.erase(items.begin());
  std::vector<std::string> ports;
  for (const TPortItem& item : items) ports.push_back(item.Port);
  EXPECT_EQ(ports, (std::vector<std::string>{at + "com1", at + "COM10", at + "COM2", "ttyS0", "ttyUSB0"}));
}

TEST_F(PortListTest, AnItemShowsThePortAndWhatItIsAndStandsForThePortAlone) {
  const std::string text = PortItemText({"ttyUSB0", "Prolific PL2303 (1-1.2)"});
  EXPECT_EQ(AnsiToUtf8(text), "ttyUSB0 — Prolific PL2303 (1-1.2)");
  EXPECT_EQ(PortItemText({"ttyS0", ""}), "ttyS0");
  // A device's own texts are shown as modem text is.
  EXPECT_EQ(AnsiToUtf8(PortItemText({"ttyACM0", "Evil\x1B[2J"})), "ttyACM0 — Evil<ESC>[2J");
  std::vector<TPortItem> items = PortSelectorItems({{"ttyUSB0", "Prolific PL2303 (1-1.2)"}});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Port, "");
  EXPECT_EQ(items[1].Port, "ttyUSB0");
  EXPECT_EQ(items[1].Text, text);
}

TEST_F(PortListTest, SelectorStartsWithTheChoosePortItem) {
  std::vector<std::string> items = PortComboItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(AnsiToUtf8(items[0]), "(выберите порт)");
  Port("ttyUSB1", true);
  EXPECT_EQ(PortComboItems().size(), 2u);
}

TEST_F(PortListTest, UnreadableListRaisesThePortListError) {
  setenv("KELVO_SYSFS_TTY", Sys.File("absent").c_str(), 1);
  try {
    PortComboItems();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "registry error while enumerationg ports");
  }
}
