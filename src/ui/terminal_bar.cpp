#include "ui/terminal_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>

#include "ui/qt_text.h"
#include "ui/translation.h"

namespace kelvo {

namespace {

QString Ru(const char* utf8) {
  return Tr(utf8);
}

}  // namespace

void TTerminalInput::keyPressEvent(QKeyEvent* event) {
  const std::function<void()>* handler = nullptr;
  if (event->key() == Qt::Key_Up) handler = &OnUp;
  if (event->key() == Qt::Key_Down) handler = &OnDown;
  if (event->key() == Qt::Key_Escape) handler = &OnEscape;
  if (handler == nullptr) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (*handler) (*handler)();
  event->accept();
}

TTerminalBar::TTerminalBar(QWidget* parent) : QWidget(parent) {
  setObjectName("TerminalBar");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(4);
  ScriptCommands = new QComboBox(this);
  ScriptCommands->setObjectName("ScriptCommands");
  ScriptCommands->setToolTip(Ru("послать команду сценария ещё раз"));
  ScriptCommands->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  layout->addWidget(ScriptCommands);
  Input = new TTerminalInput(this);
  Input->setObjectName("TerminalInput");
  Input->setPlaceholderText(Ru("команда модему: Enter — послать, ↑↓ — история, Esc — закрыть"));
  Input->setFont(QFont(QStringLiteral("monospace")));
  layout->addWidget(Input, 1);
  DTRButton = AddButton("DTR", "линия DTR: нажата — включена");
  RTSButton = AddButton("RTS", "линия RTS: нажата — включена");
  DTRButton->setCheckable(true);
  RTSButton->setCheckable(true);
  BreakButton = AddButton("BREAK", "послать сигнал BREAK (250 мс)");
  HangUpButton = AddButton("Положить трубку", "сбросить DTR на 500 мс: модем завершает звонок");
  CloseButton = AddButton("Закрыть терминал", "закрыть терминал и освободить порт (Esc)");

  connect(Input, &QLineEdit::returnPressed, this, &TTerminalBar::SendTyped);
  Input->OnUp = [this] { Input->setText(FromAnsi(FHistory.Older(ToAnsi(Input->text())))); };
  Input->OnDown = [this] { Input->setText(FromAnsi(FHistory.Newer(ToAnsi(Input->text())))); };
  Input->OnEscape = [this] {
    if (OnClose) OnClose();
  };
  connect(ScriptCommands, &QComboBox::activated, this, &TTerminalBar::SendChosen);
  connect(DTRButton, &QToolButton::clicked, this, [this](bool on) {
    if (OnDTR) OnDTR(on);
  });
  connect(RTSButton, &QToolButton::clicked, this, [this](bool on) {
    if (OnRTS) OnRTS(on);
  });
  connect(BreakButton, &QToolButton::clicked, this, [this] {
    if (OnBreak) OnBreak();
  });
  connect(HangUpButton, &QToolButton::clicked, this, [this] {
    if (OnHangUp) OnHangUp();
  });
  connect(CloseButton, &QToolButton::clicked, this, [this] {
    if (OnClose) OnClose();
  });
  Reset();
}

QToolButton* TTerminalBar::AddButton(const char* caption, const char* tip) {
  auto* button = new QToolButton(this);
  button->setText(Ru(caption));
  button->setToolTip(Ru(tip));
  layout()->addWidget(button);
  return button;
}

void TTerminalBar::Reset() {
  Input->clear();
  DTRButton->setChecked(true);
  RTSButton->setChecked(true);
}

void TTerminalBar::SetScriptCommands(const std::vector<std::string>& commands) {
  ScriptCommands->clear();
  ScriptCommands->addItem(Ru("команды сценария"));
  for (const std::string& command : commands) ScriptCommands->addItem(FromAnsi(command));
  ScriptCommands->setEnabled(!commands.empty());
}

void TTerminalBar::SendTyped() {
  std::string command = ToAnsi(Input->text());
  if (command.empty()) return;
  FHistory.Add(command);
  Input->clear();
  if (OnSend) OnSend(command);
}

// The first item only names the list.
void TTerminalBar::SendChosen(int index) {
  if (index <= 0) return;
  std::string command = ToAnsi(ScriptCommands->itemText(index));
  ScriptCommands->setCurrentIndex(0);
  FHistory.Add(command);
  if (OnSend) OnSend(command);
  Input->setFocus();
}

}  // namespace kelvo
