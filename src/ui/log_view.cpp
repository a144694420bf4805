#include "ui/log_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include "app/modem_line.h"
#include "ui/qt_text.h"
#include "ui/translation.h"

namespace kelvo {

namespace {

// The pop-up menu's texts, in the interface's language.
QString Ru(const char* utf8) {
  return Tr(utf8);
}

}  // namespace

QString TimeOfDayText(int ms) {
  return QStringLiteral("%1:%2:%3.%4")
      .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
      .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
      .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
      .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

TLogView::TLogView(QWidget* parent) : TMarginEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setUndoRedoEnabled(false);
  MarginBackground = palette().color(QPalette::Base);
  BuildMenu();
  UpdateMarginWidth();
}

void TLogView::BuildMenu() {
  PopupMenu = new QMenu(this);
  CopyItem = PopupMenu->addAction(Ru("Копировать"), QKeySequence::Copy, this, &QPlainTextEdit::copy);
  CopyItem->setEnabled(false);
  connect(this, &QPlainTextEdit::copyAvailable, CopyItem, &QAction::setEnabled);
  SelectAllItem =
      PopupMenu->addAction(Ru("Выделить всё"), QKeySequence::SelectAll, this, &QPlainTextEdit::selectAll);
  PopupMenu->addSeparator();
  SaveItem = PopupMenu->addAction(Ru("Сохранить протокол…"), this, [this] {
    if (OnSave) OnSave();
  });
  ClearItem = PopupMenu->addAction(Ru("Очистить"), this, [this] {
    if (OnClear) OnClear();
  });
  PopupMenu->addSeparator();
  ShowTimeItem = PopupMenu->addAction(Ru("Показывать время"));
  ShowTimeItem->setCheckable(true);
  ShowTimeItem->setChecked(true);
  connect(ShowTimeItem, &QAction::toggled, this, [this](bool on) {
    if (OnShowTime) OnShowTime(on);
  });
}

void TLogView::contextMenuEvent(QContextMenuEvent* event) {
  bool empty = document()->isEmpty();
  SelectAllItem->setEnabled(!empty);
  SaveItem->setEnabled(!empty);
  ClearItem->setEnabled(!empty);
  PopupMenu->popup(event->globalPos());
}

// The view follows the newest line unless the user has scrolled back to read an older one.
void TLogView::Append(const TLogEntry& entry) {
  QScrollBar* bar = verticalScrollBar();
  bool atEnd = bar->value() >= bar->maximum();
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (!document()->isEmpty()) cursor.insertBlock();
  QTextCharFormat format;
  TLogColor colour = LogColor(entry.Kind);
  format.setForeground(QColor(colour.Red, colour.Green, colour.Blue));
  cursor.insertText(FromAnsi(entry.Text), format);
  cursor.block().setUserState(LogTimeOfDay(entry.Time));
  if (atEnd) bar->setValue(bar->maximum());
}

void TLogView::Clear() {
  clear();
}

void TLogView::SetShowTime(bool on) {
  SetMarginVisible(on);
  ShowTimeItem->blockSignals(true);
  ShowTimeItem->setChecked(on);
  ShowTimeItem->blockSignals(false);
}

QString TLogView::MarginText(const QTextBlock& block) const {
  return block.userState() >= 0 ? TimeOfDayText(block.userState()) : QString();
}

QString TLogView::WidestMarginText() const {
  return QStringLiteral("00:00:00.000");
}

QMimeData* TLogView::createMimeDataFromSelection() const {
  QTextCursor selection = textCursor();
  if (!ShowTime() || !selection.hasSelection()) return QPlainTextEdit::createMimeDataFromSelection();
  QTextBlock first = document()->findBlock(selection.selectionStart());
  QTextBlock last = document()->findBlock(selection.selectionEnd());
  QStringList lines;
  for (QTextBlock b = first; b.isValid(); b = b.next()) {
    int from = b == first ? selection.selectionStart() - b.position() : 0;
    int to = b == last ? selection.selectionEnd() - b.position() : b.length() - 1;
    lines << MarginText(b) + QLatin1Char(' ') + b.text().mid(from, to - from);
    if (b == last) break;
  }
  auto* data = new QMimeData;
  data->setText(lines.join(QLatin1Char('\n')));
  return data;
}

}  // namespace kelvo
