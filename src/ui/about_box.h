// The about box: the program's picture, its version and the library file's version, and the licence
// text. A hidden picture appears on Shift+Ctrl+left click in the picture's bottom-right corner.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/program_version.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace kelvo {

class TAboutBox : public QDialog {
 public:
  // libraryVersion gives the loaded library's Version each time the box is shown.
  TAboutBox(QWidget* owner, std::function<std::string()> libraryVersion);

  TProgramVersion Version;
  QLabel* Image1;
  QLabel* HiddenPicture;
  QLabel* CopyrightLabel;
  QLabel* VersionLabel;
  QLabel* Label1;
  QLabel* XmlVersionLabel;
  QTextEdit* RichEdit1;
  QPushButton* OkButton;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<std::string()> FLibraryVersion;
};

}  // namespace kelvo
