#include "ui/wait_box_form.h"

#include <QCoreApplication>
#include <QLabel>

#include "app/app_texts.h"
#include "ui/qt_text.h"

namespace kelvo {

TWaitBoxForm::TWaitBoxForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("WaitBoxForm");
  setWindowTitle(QString::fromLatin1(texts::kAppTitle.data(), texts::kAppTitle.size()));
  setModal(false);
  resize(371, 67);
  Label = new QLabel(this);
  Label->setObjectName("Label");
  Label->setGeometry(8, 24, 346, 30);
  Label->setAlignment(Qt::AlignCenter);
  Label->setWordWrap(true);
}

// The box is as wide as the label reaches, plus a margin.
void TWaitBoxForm::showEvent(QShowEvent* event) {
  resize(Label->x() + Label->width() + 17, height());
  QDialog::showEvent(event);
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
  QCoreApplication::processEvents();
}

}  // namespace kelvo
