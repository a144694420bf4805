// Kelvo's windows on a library in a temporary folder, with message boxes answered by the test: the
// main window records every box and takes its answer from a queue instead of showing it.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "app/modem_library.h"
#include "text/cp1251.h"
#include "ui/kelvo_app.h"
#include "ui/kelvo_tree_view.h"
#include "ui/qt_text.h"
#include "xml/temp_dir.h"

namespace kelvo::testing {

struct TBoxShown {
  std::string Text;  // UTF-8
  TMsgIcon Icon;
  TMsgButtons Buttons;
};

class TTestKelvoDlg : public TKelvoDlg {
 public:
  using TKelvoDlg::TKelvoDlg;

  std::vector<TBoxShown> Boxes;
  std::deque<TModalResult> Answers;

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override {
    Boxes.push_back({AnsiToUtf8(text), icon, buttons});
    if (Answers.empty()) return TModalResult::mrOk;
    TModalResult answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  std::string LastBox() const { return Boxes.empty() ? "" : Boxes.back().Text; }
};

inline const std::string kUiLibrary =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<Modems Version=\"4.2\">\r\n"
    "  <Modem Name=\"zyxel\">\r\n"
    "    <Script Name=\"Reset\" Body=\"41545A\"/>\r\n"
    "    <Script Name=\"Init\" Body=\"41540D0A61203D20313B\" Description=\"E8EDE8F6E8E0EBE8E7E0F6E8FF\"/>\r\n"
    "  </Modem>\r\n"
    "  <Modem Name=\"Acorp\" Protected=\"yes\">\r\n"
    "    <Script Name=\"Dial\" Protected=\"yes\"/>\r\n"
    "  </Modem>\r\n"
    "  <Modem Name=\"Motorola\"/>\r\n"
    "</Modems>";

// A library of one modem named "Modem" holding the given script lines.
inline std::string LibraryWith(const std::string& scripts) {
  return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem "
         "Name=\"Modem\">\r\n" +
         scripts + "  </Modem>\r\n</Modems>";
}

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("KELVO_SYSFS_TTY", QByteArray::fromStdString(Sys.Path().string()));
    qputenv("KELVO_DEV_DIR", QByteArray::fromStdString(Dev.Path().string()));
    qunsetenv("KELVO_PORTS");
    // The user's settings and saved logs stay in the test's folders.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Home.File("config")));
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(Home.File("state")));
    WriteBytes(Dir.File("kelvo.xml"), kUiLibrary);
  }
  void TearDown() override {
    W = {};
    qunsetenv("KELVO_SYSFS_TTY");
    qunsetenv("KELVO_DEV_DIR");
    qunsetenv("KELVO_PORTS");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_STATE_HOME");
  }
  void Start(const std::vector<std::string>& args = {}) {
    W = CreateWindows<TTestKelvoDlg>(Dir.Path().string(), args);
    Main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
  }
  TTestKelvoDlg& Main() { return static_cast<TTestKelvoDlg&>(*W.KelvoDlg); }
  TScriptEditDlg& Editor() { return *W.ScriptEditDlg; }
  QTreeWidgetItem* Node(const char* modem, const char* script = nullptr) {
    auto items = Main().TreeView->findItems(QString::fromUtf8(modem), Qt::MatchExactly);
    if (items.empty()) return nullptr;
    if (script == nullptr) return items[0];
    for (int i = 0; i < items[0]->childCount(); ++i) {
      if (items[0]->child(i)->text(0) == QString::fromUtf8(script)) return items[0]->child(i);
    }
    return nullptr;
  }
  void Select(const char* modem, const char* script = nullptr) {
    QTreeWidgetItem* node = Node(modem, script);
    ASSERT_NE(node, nullptr);
    Main().TreeView->setCurrentItem(node);
  }
  bool Enabled(TKelvoAction a) { return Main().Action(a)->isEnabled(); }
  std::string File() { return ReadBytes(Dir.File("kelvo.xml")); }
  // Runs inside the next modal loop, then makes sure the modal window ends.
  static void WhenModal(std::function<void()> step) {
    QTimer::singleShot(0, [step] {
      step();
      if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Rejected);
      }
    });
  }

  TempDir Dir;
  TempDir Sys;   // the tty class the port list reads
  TempDir Dev;   // the device folder whose changes the port list follows
  TempDir Home;  // the user's settings (config/) and state (state/)
  TKelvoWindows W;
};

}  // namespace kelvo::testing
