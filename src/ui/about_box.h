// The about box: the program's picture, its version, the library file's version and path, and the
// licence text. A hidden picture appears on Shift+Ctrl+left click in the picture's bottom-right corner.
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
  // libraryVersion gives the loaded library's Version (8-bit text) and libraryPath its file's path
  // (UTF-8) each time the box is shown.
  TAboutBox(QWidget* owner, std::function<std::string()> libraryVersion,
            std::function<std::string()> libraryPath = {});

  TProgramVersion Version;
  QLabel* Image1;
  QLabel* HiddenPicture;
  QLabel* CopyrightLabel;
  QLabel* VersionLabel;
  QLabel* Label1;
  QLabel* XmlVersionLabel;
  QLabel* LibraryPathLabel;  // where the library in use lives: beside the program or the user's own
  QTextEdit* RichEdit1;
  QPushButton* OkButton;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<std::string()> FLibraryVersion;
  std::function<std::string()> FLibraryPath;
};

}  // namespace kelvo
