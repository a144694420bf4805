// The port selector as a user meets it: what each port is, the stable by-id names, a typed path,
// the list following ports that come and go, Rescan and F5, and the reasons a port cannot be
// opened as the window shows them.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <filesystem>

#include "app/hex_text.h"
#include "run_fixture.h"
#include "serial/holder_process.h"
#include "serial/open_failure.h"
#include "serial/pty_pair.h"
#include "serial/simulator_process.h"

namespace kelvo::testing {
namespace {

namespace fs = std::filesystem;

class PortSelectorTest : public RunWindowTest {
 protected:
  void SetUp() override {
    RunWindowTest::SetUp();
    WriteBytes(Dir.File("kelvo.xml"), LibraryWith("    <Script Name=\"AT\" Body=\"" +
                                                  TextToHex("Send(\"AT\"); Expect(\"OK\");") + "\"/>\r\n"));
  }
  // A USB adapter on the bus at usbPath, as sysfs shows it, and its device node.
  void PlugAdapter(const std::string& tty, const std::string& usbPath, const std::string& product) {
    fs::path usb = Devices.Path() / usbPath;
    fs::path port = usb / (usbPath + ":1.0") / tty;
    fs::create_directories(port);
    WriteBytes((usb / "idVendor").string(), "067b\n");
    WriteBytes((usb / "idProduct").string(), "2303\n");
    WriteBytes((usb / "manufacturer").string(), "Prolific\n");
    WriteBytes((usb / "product").string(), product + "\n");
    fs::create_directories(Sys.Path() / tty);
    fs::create_directory_symlink(port, Sys.Path() / tty / "device");
    WriteBytes(Dev.File(tty), "");
  }
  void Unplug(const std::string& tty) {
    fs::remove_all(Sys.Path() / tty);
    fs::remove(Dev.File(tty));
  }
  void AddStableName(const std::string& link, const std::string& tty) {
    fs::create_directories(Dev.Path() / "serial" / "by-id");
    fs::create_symlink("../../" + tty, Dev.Path() / "serial" / "by-id" / link);
  }
  QStringList Items() {
    QStringList items;
    for (int i = 0; i < Main().PortComboBox->count(); ++i) items << Main().PortComboBox->itemText(i);
    return items;
  }
  void Choose(const QString& text) {
    int index = Main().PortComboBox->findText(text, Qt::MatchStartsWith);
    ASSERT_GE(index, 0) << text.toStdString();
    Main().PortComboBox->setCurrentIndex(index);
    emit Main().PortComboBox->activated(index);
  }
  void Type(const std::string& path) {
    QLineEdit* edit = Main().PortComboBox->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(path));
  }
  // The message the window shows when the script is run on the port typed in the selector.
  std::string RunMessage(const std::string& path) {
    Type(path);
    Select("Modem", "AT");
    Main().Boxes.clear();
    Main().Action(TKelvoAction::kaRunScript)->trigger();
    EXPECT_TRUE(WaitForRunEnd());
    return Main().LastBox();
  }
  // With KELVO_SCREENSHOTS naming a folder, the message is shown in a real box and pictured there.
  void PictureOfBox(const std::string& utf8, const char* name) {
    QByteArray dir = qgetenv("KELVO_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QTimer::singleShot(100, [dir, name] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        box->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
        static_cast<QDialog*>(box)->done(0);
      }
    });
    Main().TKelvoDlg::MessageBox(Utf8ToAnsi(utf8), TMsgIcon::miError, TMsgButtons::mbOk);
  }

  TempDir Devices;  // where the tty entries' device links lead
};

const std::string kFixed = "Невозможно открыть COM порт ";

}  // namespace

TEST_F(PortSelectorTest, EachPortShowsWhatItIsAndItsStableNameFollows) {
  PlugAdapter("ttyUSB0", "1-1.2", "PL2303");
  AddStableName("usb-Prolific_PL2303-if00-port0", "ttyUSB0");
  Start();
  const QString byId = QString::fromStdString(Dev.File("serial/by-id/usb-Prolific_PL2303-if00-port0"));
  EXPECT_EQ(Items(),
            (QStringList{"(выберите порт)", "ttyUSB0 — Prolific PL2303 (1-1.2)",
                         byId + " — Prolific PL2303 (1-1.2), ttyUSB0", "(обновить список портов — F5)"}));
  Choose(byId);
  EXPECT_EQ(Main().PortName(), byId.toStdString());  // the stable name is the port, not the text
  EXPECT_EQ(Main().PortIndex(), 2);
  // The drop-down is as wide as its longest entry, and the selector shows a whole path.
  const int longest = Main().PortComboBox->fontMetrics().horizontalAdvance(Items()[2]);
  EXPECT_GE(Main().PortComboBox->view()->minimumWidth(), longest);
  EXPECT_EQ(Main().PortComboBox->lineEdit()->cursorPosition(), 0);  // the start of the long name shows
  EXPECT_EQ(Main().PortComboBox->toolTip(), byId + " — Prolific PL2303 (1-1.2), ttyUSB0");
  // The selector takes only the room the toolbar's buttons leave: more in a wider window.
  const int narrow = Main().PortComboBox->width();
  EXPECT_GE(narrow, 137);
  Main().resize(1400, 466);
  QTRY_VERIFY(Main().PortComboBox->width() > narrow);
  EXPECT_TRUE(Main().TBToolbar1->widgetForAction(Main().Action(TKelvoAction::kaRunScript))->isVisible());
  QByteArray dir = qgetenv("KELVO_SCREENSHOTS");
  if (!dir.isEmpty()) {
    Main().PortComboBox->showPopup();
    QApplication::processEvents();
    Main().PortComboBox->view()->window()->grab().save(QString::fromLocal8Bit(dir) + "/port-selector.png");
    Main().PortComboBox->hidePopup();
    Main().grab().save(QString::fromLocal8Bit(dir) + "/main-with-selector.png");
  }
}

TEST_F(PortSelectorTest, APortChosenByNameIsRestoredListedOrTyped) {
  PlugAdapter("ttyUSB0", "1-1.2", "PL2303");
  Start();
  Main().SelectPort("ttyUSB0");
  EXPECT_EQ(Main().PortComboBox->currentIndex(), 1);
  Main().SelectPort("/dev/serial/by-id/usb-Gone-if00");  // not plugged in now: kept as typed
  EXPECT_EQ(Main().PortName(), "/dev/serial/by-id/usb-Gone-if00");
  Main().SelectPort("");
  EXPECT_EQ(Main().PortIndex(), 0);
}

TEST_F(PortSelectorTest, ATypedPathIsThePortAndEnterKeepsItWithoutAddingAnItem) {
  Start();
  const int count = Main().PortComboBox->count();
  Type("/dev/serial/by-id/usb-Some_Modem-if00");
  EXPECT_EQ(Main().PortName(), "/dev/serial/by-id/usb-Some_Modem-if00");
  EXPECT_NE(Main().PortIndex(), 0);
  QTest::keyClick(Main().PortComboBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(Main().PortComboBox->count(), count);
  EXPECT_EQ(Main().PortName(), "/dev/serial/by-id/usb-Some_Modem-if00");
  Type("  ");
  EXPECT_EQ(Main().PortIndex(), 0);  // nothing typed: no port chosen
}

TEST_F(PortSelectorTest, ARunUsesTheTypedPath) {
  TSimulator sim{{}};
  Start();
  EXPECT_EQ(RunMessage(sim.Path), "");
  EXPECT_TRUE(Main().Boxes.empty());
  auto lines = LogLines(Main().LogView);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].first, "поиск модема: " + sim.Path + ", 2400 bps");
}

TEST_F(PortSelectorTest, ThePortListFollowsPortsThatComeAndGoAndKeepsTheChoice) {
  PlugAdapter("ttyUSB0", "1-1.2", "PL2303");
  Start();
  Choose("ttyUSB0");
  PlugAdapter("ttyUSB1", "1-1.3", "PL2303");
  QTRY_COMPARE_WITH_TIMEOUT(Main().PortComboBox->count(), 4, 5000);
  EXPECT_EQ(Items()[2].toStdString(), "ttyUSB1 — Prolific PL2303 (1-1.3)");
  EXPECT_EQ(Main().PortName(), "ttyUSB0");
  Choose("ttyUSB1");
  Unplug("ttyUSB0");
  QTRY_COMPARE_WITH_TIMEOUT(Main().PortComboBox->count(), 3, 5000);
  EXPECT_EQ(Main().PortName(), "ttyUSB1");
}

TEST_F(PortSelectorTest, RescanAndF5ReadTheListAgainKeepingTheChoice) {
  PlugAdapter("ttyUSB0", "1-1.2", "PL2303");
  Start();
  Choose("ttyUSB0");
  // A port that appears without a notice (no device node) is found by a rescan.
  fs::create_directories(Sys.Path() / "ttyACM0" / "device");
  Choose("(обновить список портов");
  EXPECT_EQ(Items().size(), 4);
  EXPECT_EQ(Main().PortName(), "ttyUSB0");
  fs::create_directories(Sys.Path() / "ttyACM1" / "device");
  QTest::keyClick(&Main(), Qt::Key_F5);
  EXPECT_EQ(Items().size(), 5);
  EXPECT_EQ(Main().PortName(), "ttyUSB0");
}

TEST_F(PortSelectorTest, EachReasonAPortCannotBeOpenedIsShownInTheWindow) {
  Start();
  EXPECT_EQ(RunMessage("/dev/ttyKelvoNone"),
            kFixed +
                "/dev/ttyKelvoNone: порт не найден. Возможно, модем отключён: проверьте кабель и питание "
                "модема, затем выберите порт в списке заново (F5 обновляет список).");
  PictureOfBox(Main().LastBox(), "reason-not-found");
  WriteBytes(Dir.File("notes.txt"), "");
  EXPECT_EQ(RunMessage(Dir.File("notes.txt")).find(kFixed + Dir.File("notes.txt") + ": это обычный файл"),
            0u);
  PictureOfBox(Main().LastBox(), "reason-plain-file");

  TPtyPair pty;
  {
    THolderProcess holder(pty.SlavePath(), THolderProcess::THold::Flock);
    EXPECT_EQ(RunMessage(pty.SlavePath()), kFixed + pty.SlavePath() + ": порт занят программой sleep (pid " +
                                               std::to_string(holder.Pid()) +
                                               "). Закройте эту программу и повторите попытку.");
    PictureOfBox(Main().LastBox(), "reason-busy");
  }
  TempDir bin;
  fs::copy_file("/bin/sleep", bin.File("ModemManager"));
  fs::permissions(bin.File("ModemManager"), fs::perms::owner_all);
  {
    THolderProcess holder(pty.SlavePath(), THolderProcess::THold::Exclusive, bin.File("ModemManager"));
    EXPECT_NE(RunMessage(pty.SlavePath()).find("ID_MM_DEVICE_IGNORE"), std::string::npos);
    PictureOfBox(Main().LastBox(), "reason-modemmanager");
  }
  // Permission denied needs a user without rights; the window here may run as root, so the text
  // the port gives for it is pictured.
  PictureOfBox(AnsiToUtf8(OpenFailureText("/dev/ttyUSB0", EACCES, -1)), "reason-permission");
}

}  // namespace kelvo::testing
