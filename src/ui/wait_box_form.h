// The wait box behind the script function WaitBox: a small always-on-top window without title-bar
// buttons that shows a waiting text while a script goes on.
#pragma once

#include <QDialog>
#include <string>

class QLabel;

namespace kelvo {

class TWaitBoxForm : public QDialog {
 public:
  explicit TWaitBoxForm(QWidget* owner);

  // A non-empty text is shown in the box, which is painted before this returns; the empty text hides
  // the box (and changes nothing when it is hidden already).
  void ShowText(const std::string& text);

  QLabel* Label;

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kelvo
