#include "ui/script_memo.h"

#include <QTextBlock>

namespace kelvo {

TScriptMemo::TScriptMemo(QWidget* parent) : TMarginEdit(parent) {
  UpdateMarginWidth();
}

QString TScriptMemo::MarginText(const QTextBlock& block) const {
  return QString::number(block.blockNumber() + 1);
}

QString TScriptMemo::WidestMarginText() const {
  return QString(std::max(3, static_cast<int>(QString::number(blockCount()).size())), QLatin1Char('9'));
}

}  // namespace kelvo
