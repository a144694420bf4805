#include "ui/script_assist.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolTip>

#include "app/function_reference.h"
#include "app/script_completion.h"
#include "ui/qt_text.h"

namespace kelvo {

TScriptAssist::TScriptAssist(QPlainTextEdit* editor, std::function<void(const QString& topic)> openHelp)
    : QObject(editor), FEditor(editor), FOpenHelp(std::move(openHelp)) {
  CompletionList = new QListWidget(editor);
  CompletionList->setObjectName("CompletionList");
  CompletionList->setWindowFlags(Qt::Popup);
  CompletionList->setFont(editor->font());
  CompletionList->installEventFilter(this);
  connect(CompletionList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { Insert(item->text()); });
  editor->installEventFilter(this);
}

std::string TScriptAssist::EditorText() const {
  return ToAnsi(FEditor->toPlainText());
}

size_t TScriptAssist::Caret() const {
  return static_cast<size_t>(FEditor->textCursor().position());
}

bool TScriptAssist::eventFilter(QObject* watched, QEvent* event) {
  // A tooltip hides at every key event, so the declaration shows when the bracket's key is released.
  if (event->type() == QEvent::KeyRelease && watched == FEditor) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->text() == "(" && !key->isAutoRepeat()) ShowSignature();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  if (watched == CompletionList) return ListKey(event);
  if (watched == FEditor) return EditorKey(event);
  return false;
}

bool TScriptAssist::EditorKey(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Space && (key->modifiers() & Qt::ControlModifier)) {
    Complete();
    return true;
  }
  if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
    OpenHelp();
    return true;
  }
  return false;
}

// Keys typed while the list is open: it takes the choice, the rest goes on to the editor and the
// list follows the word as it grows or shrinks.
bool TScriptAssist::ListKey(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
      if (QListWidgetItem* item = CompletionList->currentItem()) Insert(item->text());
      CompletionList->hide();
      return true;
    case Qt::Key_Escape:
      CompletionList->hide();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      return false;
    default:
      QApplication::sendEvent(FEditor, event);
      if (key->text().isEmpty() && key->key() != Qt::Key_Backspace) {
        CompletionList->hide();
      } else {
        Offer();
      }
      return true;
  }
}

void TScriptAssist::Complete() {
  TCompletion c = CompleteAt(EditorText(), Caret());
  if (c.Names.size() == 1) {
    Insert(FromAnsi(c.Names.front()));
    return;
  }
  Offer();
}

void TScriptAssist::Offer() {
  TCompletion c = CompleteAt(EditorText(), Caret());
  if (c.Names.empty()) {
    CompletionList->hide();
    return;
  }
  CompletionList->clear();
  for (const std::string& name : c.Names) CompletionList->addItem(FromAnsi(name));
  CompletionList->setCurrentRow(0);
  int rows = std::min(static_cast<int>(c.Names.size()), 10);
  int width =
      CompletionList->sizeHintForColumn(0) + CompletionList->verticalScrollBar()->sizeHint().width() + 8;
  int height = CompletionList->sizeHintForRow(0) * rows + 2 * CompletionList->frameWidth();
  QPoint at = FEditor->viewport()->mapToGlobal(FEditor->cursorRect().bottomLeft());
  CompletionList->setGeometry(at.x(), at.y(), std::max(width, 160), height);
  if (!CompletionList->isVisible()) CompletionList->show();
}

void TScriptAssist::Insert(const QString& name) {
  TCompletion c = CompleteAt(EditorText(), Caret());
  QTextCursor cursor = FEditor->textCursor();
  cursor.setPosition(static_cast<int>(c.Start), QTextCursor::KeepAnchor);
  cursor.insertText(name);
  FEditor->setTextCursor(cursor);
  CompletionList->hide();
  FEditor->setFocus();
}

void TScriptAssist::ShowSignature() {
  std::string text = EditorText();
  size_t caret = Caret();
  std::string signature = SignatureBefore(text, caret);
  if (signature.empty()) {
    LastSignature.clear();
    LastTip.clear();
    return;
  }
  LastSignature = FromAnsi(signature);
  QString tip = LastSignature;
  if (const TFunctionReference* f = FindFunctionReference(WordAt(text, caret - 1)))
    tip = QString::fromStdString(f->Syntax) + "\n" + QString::fromStdString(FirstSentence(f->Doc->Text));
  LastTip = tip;
  QPoint at = FEditor->viewport()->mapToGlobal(FEditor->cursorRect().topLeft());
  QToolTip::showText(at - QPoint(0, FEditor->fontMetrics().height() * 2 + 8), tip, FEditor);
}

void TScriptAssist::OpenHelp() {
  if (!FOpenHelp) return;
  FOpenHelp(QString::fromStdString(HelpTopicFor(WordAt(EditorText(), Caret()))));
}

}  // namespace kelvo
