// TMarginEdit: a plain-text view with a column at its left that shows a short text for every line
// (the line numbers of the script editor, the times of the log), painted beside the lines rather
// than written into them, so that the document holds only the lines themselves.
#pragma once

#include <QPlainTextEdit>

namespace kelvo {

class TMarginEdit : public QPlainTextEdit {
 public:
  // A derived class calls UpdateMarginWidth at the end of its constructor, once its texts are known.
  explicit TMarginEdit(QWidget* parent);

  // Shows or hides the column.
  void SetMarginVisible(bool visible);
  bool MarginVisible() const { return FMarginVisible; }
  // The column's width in pixels (0 when hidden).
  int MarginWidth() const;

 protected:
  // The text of the column beside block, and the widest text it can hold (for the column's width).
  virtual QString MarginText(const QTextBlock& block) const = 0;
  virtual QString WidestMarginText() const = 0;
  // The column's text colour and background.
  QColor MarginTextColour = QColor(128, 128, 128);
  QColor MarginBackground;
  // Call when the widest text may have changed.
  void UpdateMarginWidth();

  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  class TMarginArea;
  friend class TMarginArea;
  void PaintMargin(QPaintEvent* event);

  QWidget* FArea;
  bool FMarginVisible = true;
};

}  // namespace kelvo
