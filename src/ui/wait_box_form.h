// The wait box behind the script function WaitBox: a small always-on-top window without title-bar
// buttons that shows a waiting text, a busy indicator and a Stop button while a script goes on.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvo {

class TWaitBoxForm : public QDialog {
 public:
  explicit TWaitBoxForm(QWidget* owner);

  // A non-empty text is shown in the box; the empty text hides the box (and changes nothing when it
  // is hidden already).
  void ShowText(const std::string& text);

  // The Stop button and Escape: the run is asked to stop (the box itself stays until the run ends).
  std::function<void()> OnStop;

  QLabel* Label;
  QProgressBar* BusyIndicator;
  QPushButton* StopButton;

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kelvo
