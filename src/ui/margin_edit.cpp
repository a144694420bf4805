#include "ui/margin_edit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

namespace kelvo {

class TMarginEdit::TMarginArea : public QWidget {
 public:
  explicit TMarginArea(TMarginEdit* edit) : QWidget(edit), FEdit(edit) {}
  QSize sizeHint() const override { return QSize(FEdit->MarginWidth(), 0); }

 protected:
  void paintEvent(QPaintEvent* event) override { FEdit->PaintMargin(event); }

 private:
  TMarginEdit* FEdit;
};

TMarginEdit::TMarginEdit(QWidget* parent) : QPlainTextEdit(parent), FArea(new TMarginArea(this)) {
  MarginBackground = palette().color(QPalette::Window);
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { UpdateMarginWidth(); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0)
      FArea->scroll(0, dy);
    else
      FArea->update(0, rect.y(), FArea->width(), rect.height());
  });
}

int TMarginEdit::MarginWidth() const {
  if (!FMarginVisible) return 0;
  return fontMetrics().horizontalAdvance(WidestMarginText()) + 10;
}

void TMarginEdit::SetMarginVisible(bool visible) {
  FMarginVisible = visible;
  FArea->setVisible(visible);
  UpdateMarginWidth();
}

void TMarginEdit::UpdateMarginWidth() {
  setViewportMargins(MarginWidth(), 0, 0, 0);
  QRect r = contentsRect();
  FArea->setGeometry(QRect(r.left(), r.top(), MarginWidth(), r.height()));
  FArea->update();
}

void TMarginEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  QRect r = contentsRect();
  FArea->setGeometry(QRect(r.left(), r.top(), MarginWidth(), r.height()));
}

void TMarginEdit::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMarginWidth();
}

// Only the blocks in view are painted: a log of a hundred thousand lines costs what a screenful does.
void TMarginEdit::PaintMargin(QPaintEvent* event) {
  QPainter painter(FArea);
  painter.fillRect(event->rect(), MarginBackground);
  painter.setPen(MarginTextColour);
  painter.setFont(font());
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  int bottom = top + qRound(blockBoundingRect(block).height());
  const int lineHeight = fontMetrics().height();
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible() && bottom >= event->rect().top()) {
      painter.drawText(0, top, FArea->width() - 5, lineHeight, Qt::AlignRight, MarginText(block));
    }
    block = block.next();
    top = bottom;
    bottom = top + qRound(blockBoundingRect(block).height());
  }
}

}  // namespace kelvo
