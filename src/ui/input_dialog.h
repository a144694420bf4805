// The input dialog behind the script function AskUserString: a question, an answer field, OK and
// Cancel, and Stop for the run that asks.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo {

class TInputDialog : public QDialog {
 public:
  explicit TInputDialog(QWidget* owner);

  // Shows the dialog modally with caption and message; true and the answer on OK, false on any
  // other end (Cancel, Escape, the title-bar close button).
  bool Execute(const std::string& caption, const std::string& message, std::string& answer);

  QLabel* StaticText1;
  QLineEdit* Edit1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* StopButton;
  // The Stop button: the run is asked to stop, and the run's end closes the dialog.
  std::function<void()> OnStop;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kelvo
