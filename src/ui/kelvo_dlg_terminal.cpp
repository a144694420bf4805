// The main window's terminal: the "Терминал" action (with its list of speeds that skip the modem
// search), "Закрыть терминал", the terminal's bar under the log, and the tips that say why a run or
// the terminal cannot start.
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/script_commands.h"
#include "ui/kelvo_dlg.h"
#include "ui/kelvo_icons.h"
#include "ui/kelvo_settings.h"
#include "ui/log_view.h"
#include "ui/qt_text.h"
#include "ui/terminal_bar.h"
#include "ui/translation.h"

namespace kelvo {

namespace {

QString Ru(const char* utf8) {
  return Tr(utf8);
}

// The speeds a terminal may open at, as the modem search tries them first.
constexpr int kTerminalSpeeds[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

void TKelvoDlg::CreateTerminal() {
  auto* open = new QAction(KelvoIcon(kiModem), Ru("Терминал"), this);
  open->setObjectName("TerminalAction");
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  open->setStatusTip(Ru("открыть порт, найти модем и посылать ему команды вручную"));
  connect(open, &QAction::triggered, this, [this] { OpenTerminal(std::nullopt); });
  auto* close = new QAction(KelvoIcon(kiStop), Ru("Закрыть терминал"), this);
  close->setObjectName("CloseTerminalAction");
  close->setEnabled(false);
  close->setToolTip(Ru("закрыть терминал и освободить порт (Esc)"));
  connect(close, &QAction::triggered, this, [this] { FCore.CloseTerminalActionExecute(); });
  FActions[TKelvoAction::kaTerminal] = open;
  FActions[TKelvoAction::kaCloseTerminal] = close;

  TerminalSpeedMenu = new QMenu(Ru("Терминал на скорости"), this);
  TerminalSpeedMenu->setObjectName("TerminalSpeedMenu");
  for (int bps : kTerminalSpeeds) {
    QAction* speed = TerminalSpeedMenu->addAction(QStringLiteral("%1 bps").arg(bps));
    connect(speed, &QAction::triggered, this, [this, bps] { OpenTerminal(bps); });
  }
  connect(open, &QAction::enabledChanged, TerminalSpeedMenu, &QMenu::setEnabled);
  ScriptMenu->insertAction(SaveAllRunsAction, open);
  ScriptMenu->insertMenu(SaveAllRunsAction, TerminalSpeedMenu);
  ScriptMenu->insertAction(SaveAllRunsAction, close);
  ScriptMenu->insertSeparator(SaveAllRunsAction);
  // The toolbar's button opens after the search; its arrow offers the speeds.
  TBToolbar1->addAction(open);
  if (auto* button = qobject_cast<QToolButton*>(TBToolbar1->widgetForAction(open))) {
    button->setMenu(TerminalSpeedMenu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }

  TerminalBar = new TTerminalBar(this);
  TerminalBar->hide();
  TerminalBar->OnSend = [this](const std::string& line) { FCore.Terminal().Send(line); };
  TerminalBar->OnClose = [this] { FCore.CloseTerminalActionExecute(); };
  TerminalBar->OnDTR = [this](bool on) { FCore.Terminal().SetDTR(on); };
  TerminalBar->OnRTS = [this](bool on) { FCore.Terminal().SetRTS(on); };
  TerminalBar->OnBreak = [this] { FCore.Terminal().SendBreak(); };
  TerminalBar->OnHangUp = [this] { FCore.Terminal().HangUp(); };
  // The bar goes under the tree and the log, where the log ends.
  QWidget* central = takeCentralWidget();
  auto* area = new QWidget(this);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(central, 1);
  layout->addWidget(TerminalBar);
  setCentralWidget(area);
  UpdateActionTips();
}

void TKelvoDlg::OpenTerminal(std::optional<int> speed) {
  FCore.Guarded([&] { FCore.TerminalActionExecute(speed); });
}

void TKelvoDlg::TerminalStateChanged(bool open) {
  UpdateActionTips();
  if (!open) {
    CloseRunLogFile();
    // The focus leaves the hidden bar for the log, not for the tree: a tree without a current item
    // would take its first one on focus, and the description would cover the terminal's log.
    if (TerminalBar->isAncestorOf(focusWidget())) LogView->setFocus();
    TerminalBar->hide();
    return;
  }
  // A session by hand is saved as a run is, named by its port (the line "терминал открыт" and the
  // search come after this); a device path gives its last part, "ttyUSB0".
  const std::string port = PortName();
  OpenRunLogFile(port.substr(port.rfind('/') + 1), ToAnsi(Ru("терминал")));
  TerminalBar->Reset();
  ShowScriptCommands();
  BottomPane->setCurrentWidget(LogView);
  GiveTheLogRoom();
  TerminalBar->show();
  TerminalBar->Input->setFocus();
}

// The terminal is read in the log: a log pane smaller than a third of the window's height grows to
// half of it. A pane the user made larger stays as it is.
void TKelvoDlg::GiveTheLogRoom() {
  QList<int> sizes = Splitter1->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  if (sizes.size() != 2 || total <= 0 || sizes[1] * 3 >= total) return;
  Splitter1->setSizes({total - total / 2, total / 2});
}

void TKelvoDlg::ShowScriptCommands() {
  TerminalBar->SetScriptCommands(FCore.CurrentScript() != nullptr ? ScriptSendCommands(EditorScript())
                                                                  : std::vector<std::string>());
}

// A disabled command says why in its tip.
void TKelvoDlg::UpdateActionTips() {
  QAction* run = Action(TKelvoAction::kaRunScript);
  QAction* terminal = Action(TKelvoAction::kaTerminal);
  Action(TKelvoAction::kaStopScript)
      ->setToolTip(FCore.TerminalOpen() ? Ru("закрыть терминал и освободить порт (Esc)")
                                        : Ru("остановить выполнение сценария (Esc)"));
  run->setToolTip(FCore.TerminalOpen() ? Ru("порт занят терминалом: сначала закройте терминал (Esc)")
                                       : Ru("выполнить сценарий"));
  terminal->setToolTip(FCore.Running() ? Ru("идёт выполнение сценария: терминал откроется после него")
                                       : Ru("терминал: команды модему вручную (Ctrl+T); стрелка — "
                                            "открыть на скорости без поиска модема"));
}

}  // namespace kelvo
