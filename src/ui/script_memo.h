// TScriptMemo: the script editor's text, with the number of every line in a column at its left, so
// that a compile error's "line:column" can be found at a glance.
#pragma once

#include "ui/margin_edit.h"

namespace kelvo {

class TScriptMemo : public TMarginEdit {
 public:
  explicit TScriptMemo(QWidget* parent = nullptr);

 protected:
  QString MarginText(const QTextBlock& block) const override;
  // As wide as the number of the last line, and never narrower than three digits.
  QString WidestMarginText() const override;
};

}  // namespace kelvo
