// Runs started from the window against the modem simulator: a library of the test's scripts, the
// simulator offered in the port list and chosen, and helpers that wait for what a run shows.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTextBlock>

#include "app/hex_text.h"
#include "serial/com_port.h"
#include "serial/simulator_process.h"
#include "ui/log_view.h"
#include "ui_fixture.h"

namespace kelvo::testing {

class RunWindowTest : public UiTest {
 protected:
  // A library of one modem "sim" with scripts {name, body} (UTF-8), the window started on it and the
  // simulator (started with simArgs) chosen as the port.
  void StartWith(std::vector<std::pair<std::string, std::string>> scripts,
                 std::vector<std::string> simArgs = {"--ident", "SIM"}) {
    Sim = std::make_unique<TSimulator>(std::move(simArgs));
    std::string xml;
    for (const auto& [name, body] : scripts)
      xml += "    <Script Name=\"" + name + "\" Body=\"" + TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n";
    WriteBytes(Dir.File("kelvo.xml"),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"sim\">\r\n" + xml +
                   "  </Modem>\r\n</Modems>");
    qputenv("KELVO_PORTS", QByteArray::fromStdString(Sim->Path));
    Start();
    ASSERT_EQ(Main().PortComboBox->count(), 3);  // the choice item, the simulator, Rescan
    Main().PortComboBox->setCurrentIndex(1);
    ASSERT_EQ(Main().PortName(), Sim->Path);
  }

  // Selects the script and starts its run, which goes on on its own thread.
  void RunScript(const char* name) {
    Select("sim", name);
    Main().Action(TKelvoAction::kaRunScript)->trigger();
  }
  // Processes events until the run has ended; false after timeoutMs.
  bool WaitForRunEnd(int timeoutMs = 30000) {
    return QTest::qWaitFor([this] { return !Main().Core().Running(); }, timeoutMs);
  }
  // Processes events until the log holds a line that starts with prefix (UTF-8).
  bool WaitForLogLine(const std::string& prefix, int timeoutMs = 30000) {
    return QTest::qWaitFor([&] { return HasLogLine(prefix); }, timeoutMs);
  }
  bool HasLogLine(const std::string& prefix) {
    for (const auto& [text, colour] : LogLines(Main().LogView))
      if (text.rfind(prefix, 0) == 0) return true;
    return false;
  }

  // A view's lines (UTF-8) with the colour of each as "#rrggbb".
  static std::vector<std::pair<std::string, std::string>> LogLines(QPlainTextEdit* view) {
    std::vector<std::pair<std::string, std::string>> lines;
    QTextDocument* doc = view->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      if (b.text().isEmpty() && doc->blockCount() == 1) break;
      QColor colour = b.begin().fragment().charFormat().foreground().color();
      lines.push_back({b.text().toStdString(), colour.name().toStdString()});
    }
    return lines;
  }
  std::pair<std::string, std::string> LastLogLine() {
    auto lines = LogLines(Main().LogView);
    return lines.empty() ? std::pair<std::string, std::string>{} : lines.back();
  }

  // The port is free: another program can open the simulator's line (a run or a terminal that
  // ended has let go of it).
  bool PortIsFree() {
    TComPort other;
    other.SetEvents({});
    other.SetPortName(Sim->Path);
    try {
      other.Open();
    } catch (const std::exception&) {
      return false;
    }
    other.Close();
    return true;
  }

  // With KELVO_SCREENSHOTS naming a folder, a picture of the widget is saved there, to look at.
  static void Picture(QWidget& widget, const char* name) {
    QByteArray dir = qgetenv("KELVO_SCREENSHOTS");
    if (!dir.isEmpty()) widget.grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
  }

  std::unique_ptr<TSimulator> Sim;
};

}  // namespace kelvo::testing
