#include "ui/help_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

#include "app/app_texts.h"
#include "app/function_reference.h"
#include "ui/qt_text.h"
#include "ui/translation.h"

namespace kelvo {

namespace {

// The pages the search goes through, in this order.
const char* const kPages[] = {"kelvo.html", "kelvo-jscript.html", "kelvo-cppscript.html", kFunctionsPage};

QString Ru(const char* utf8) {
  return Tr(utf8);
}

QString ReadPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

THelpWindow::THelpWindow(QWidget* owner, QString pagePath)
    : QWidget(owner, Qt::Window), FOwner(owner), FPagePath(std::move(pagePath)) {
  setObjectName("HelpWindow");
  setWindowTitle(FromAnsi(Ansi("Справка программы Kelvo")));
  SearchEdit = new QLineEdit(this);
  SearchEdit->setObjectName("SearchEdit");
  SearchEdit->setPlaceholderText(Ru("Поиск в справке: слово или имя функции, Enter — следующее"));
  SearchEdit->setClearButtonEnabled(true);
  SearchStatus = new QLabel(this);
  SearchStatus->setObjectName("SearchStatus");
  Browser = new QTextBrowser(this);
  Browser->setOpenExternalLinks(true);
  auto* searchRow = new QHBoxLayout;
  searchRow->setContentsMargins(4, 4, 4, 0);
  searchRow->addWidget(SearchEdit, 1);
  searchRow->addWidget(SearchStatus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(searchRow);
  layout->addWidget(Browser, 1);
  resize(760, 600);
  connect(SearchEdit, &QLineEdit::returnPressed, this, [this] { Find(SearchEdit->text()); });
}

void THelpWindow::ShowTopic() {
  Browser->setSource(QUrl::fromLocalFile(FPagePath));
  Present();
}

void THelpWindow::ShowTopic(const QString& topic) {
  QString page = topic.section('#', 0, 0);
  QString anchor = topic.section('#', 1);
  QUrl url = QUrl::fromLocalFile(PagePath(page));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  Browser->setSource(url);
  Present();
}

// A modal window (the script editor) blocks every window that is not its own: the help window
// becomes the modal window's while one is open, so that it can be read and searched.
void THelpWindow::Present() {
  QWidget* modal = QApplication::activeModalWidget();
  QWidget* parent = modal != nullptr && modal != this ? modal : FOwner;
  if (parentWidget() != parent) setParent(parent, Qt::Window);
  show();
  raise();
  activateWindow();
}

QString THelpWindow::PagePath(const QString& page) const {
  return QFileInfo(FPagePath).dir().filePath(page);
}

bool THelpWindow::FindInPage(const QString& page, const QString& text) {
  QString html = ReadPage(PagePath(page));
  if (html.isEmpty()) return false;
  QTextDocument probe;
  probe.setHtml(html);
  if (probe.find(text).isNull()) return false;
  Browser->setSource(QUrl::fromLocalFile(PagePath(page)));
  Browser->moveCursor(QTextCursor::Start);
  return Browser->find(text);
}

bool THelpWindow::Find(const QString& text) {
  SearchStatus->clear();
  if (text.trimmed().isEmpty()) return false;
  bool newSearch = text != FLastSearch;
  FLastSearch = text;
  if (newSearch) {
    if (const TFunctionReference* f = FindFunctionReference(text.trimmed().toStdString())) {
      ShowTopic(QString::fromUtf8(kFunctionsPage) + "#" + QString::fromStdString(FunctionAnchor(f->Name)));
      return true;
    }
  }
  if (!isVisible()) Present();
  if (Browser->find(text)) return true;
  QString current = QFileInfo(Browser->source().toLocalFile()).fileName();
  int at = 0;
  for (int i = 0; i < static_cast<int>(std::size(kPages)); ++i)
    if (current == kPages[i]) at = i;
  for (int step = 1; step <= static_cast<int>(std::size(kPages)); ++step) {
    if (FindInPage(kPages[(at + step) % std::size(kPages)], text)) return true;
  }
  SearchStatus->setText(Ru("не найдено"));
  return false;
}

}  // namespace kelvo
