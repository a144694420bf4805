#include "ui/input_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_texts.h"
#include "ui/kelvo_icons.h"
#include "ui/qt_text.h"

namespace kelvo {

TInputDialog::TInputDialog(QWidget* owner) : QDialog(owner, Qt::Tool) {
  setObjectName("InputDialog");
  setFixedSize(278, 122);
  StaticText1 = new QLabel(this);
  StaticText1->setObjectName("StaticText1");
  StaticText1->setGeometry(6, 6, 265, 47);
  StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticText1->setWordWrap(true);
  StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  StaticText1->setMargin(3);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(6, 60, 265, 24);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(110, 92, 78, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton(FromAnsi(Ansi("Отмена")), this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(193, 92, 78, 25);
  StopButton = new QPushButton(KelvoIcon(kiStop), FromAnsi(Ansi("Остановить")), this);
  StopButton->setObjectName("StopButton");
  StopButton->setGeometry(6, 92, 98, 25);
  StopButton->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(StopButton, &QPushButton::clicked, this, [this] {
    if (OnStop) OnStop();
  });
}

// Every question starts with an empty answer, whatever was typed the time before.
void TInputDialog::showEvent(QShowEvent* event) {
  Edit1->clear();
  Edit1->setFocus();
  QDialog::showEvent(event);
}

bool TInputDialog::Execute(const std::string& caption, const std::string& message, std::string& answer) {
  setWindowTitle(FromAnsi(caption));
  StaticText1->setText(FromAnsi(message));
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  if (exec() != QDialog::Accepted) return false;
  answer = ToAnsi(Edit1->text());
  return true;
}

}  // namespace kelvo
