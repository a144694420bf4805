// The help window: the HTML help page that lies beside the executable, shown in a browser pane.
#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

namespace kelvo {

class THelpWindow : public QWidget {
 public:
  THelpWindow(QWidget* owner, const QString& pagePath);

  // Opens the page at its top; a missing page leaves the window empty.
  void ShowTopic();

  QTextBrowser* Browser;

 private:
  QString FPagePath;
};

}  // namespace kelvo
