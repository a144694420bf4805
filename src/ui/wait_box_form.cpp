#include "ui/wait_box_form.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/app_texts.h"
#include "ui/kelvo_icons.h"
#include "ui/qt_text.h"

namespace kelvo {

TWaitBoxForm::TWaitBoxForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("WaitBoxForm");
  setWindowTitle(QString::fromLatin1(texts::kAppTitle.data(), texts::kAppTitle.size()));
  setModal(false);
  resize(371, 104);
  Label = new QLabel(this);
  Label->setObjectName("Label");
  Label->setGeometry(8, 10, 346, 34);
  Label->setAlignment(Qt::AlignCenter);
  Label->setWordWrap(true);
  // A range of 0..0 makes the bar a moving busy indicator: the wait has no known length.
  BusyIndicator = new QProgressBar(this);
  BusyIndicator->setObjectName("BusyIndicator");
  BusyIndicator->setGeometry(8, 52, 240, 18);
  BusyIndicator->setRange(0, 0);
  BusyIndicator->setTextVisible(false);
  StopButton = new QPushButton(KelvoIcon(kiStop), FromAnsi(Ansi("Остановить")), this);
  StopButton->setObjectName("StopButton");
  StopButton->setGeometry(256, 48, 98, 26);
  connect(StopButton, &QPushButton::clicked, this, [this] {
    if (OnStop) OnStop();
  });
}

// The box is as wide as the label reaches, plus a margin.
void TWaitBoxForm::showEvent(QShowEvent* event) {
  resize(Label->x() + Label->width() + 17, height());
  QDialog::showEvent(event);
}

// Escape in the box stops the run instead of hiding the box behind the script's back.
void TWaitBoxForm::reject() {
  if (OnStop) OnStop();
}

void TWaitBoxForm::ShowText(const std::string& text) {
  if (text.empty()) {
    hide();
    return;
  }
  Label->setText(FromAnsi(text));
  if (!isVisible() && parentWidget() != nullptr) {
    move(parentWidget()->geometry().center() - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
}

}  // namespace kelvo
