#include "ui/help_window.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "ui/qt_text.h"

namespace kelvo {

THelpWindow::THelpWindow(QWidget* owner, const QString& pagePath)
    : QWidget(owner, Qt::Window), FPagePath(pagePath) {
  setObjectName("HelpWindow");
  setWindowTitle(FromAnsi(Ansi("Справка программы Kelvo")));
  Browser = new QTextBrowser(this);
  Browser->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Browser);
  resize(720, 560);
}

void THelpWindow::ShowTopic() {
  Browser->setSource(QUrl::fromLocalFile(FPagePath));
  show();
  raise();
  activateWindow();
}

}  // namespace kelvo
