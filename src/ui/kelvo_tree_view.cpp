#include "ui/kelvo_tree_view.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "text/ansi_text.h"
#include "ui/qt_text.h"

namespace kelvo {

namespace {

// Hands the typed label to the tree's owner instead of writing it into the node: the owner decides
// whether the name is accepted and what the node shows.
class TLabelDelegate : public QStyledItemDelegate {
 public:
  explicit TLabelDelegate(TKelvoTreeView* tree) : QStyledItemDelegate(tree), FTree(tree) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    QTreeWidgetItem* item = FTree->ItemAtIndex(index);
    if (line == nullptr || item == nullptr || !FTree->OnEdited) return;
    FTree->OnEdited(item, line->text());
  }

 private:
  TKelvoTreeView* FTree;
};

}  // namespace

TKelvoTreeItem::TKelvoTreeItem(const std::string& text, TXpElement* element)
    : Element(element), FSortKey(text) {
  setFlags(flags() | Qt::ItemIsEditable);
  QTreeWidgetItem::setData(0, Qt::DisplayRole, FromAnsi(text));
}

bool TKelvoTreeItem::operator<(const QTreeWidgetItem& other) const {
  const auto* kelvoItem = dynamic_cast<const TKelvoTreeItem*>(&other);
  if (kelvoItem == nullptr) return AnsiCompareText(FSortKey, ToAnsi(other.text(0))) < 0;
  return AnsiCompareText(FSortKey, kelvoItem->FSortKey) < 0;
}

void TKelvoTreeItem::setData(int column, int role, const QVariant& value) {
  if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) FSortKey = ToAnsi(value.toString());
  QTreeWidgetItem::setData(column, role, value);
}

TKelvoTreeView::TKelvoTreeView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("TreeView");
  setHeaderHidden(true);
  setColumnCount(1);
  setIndentation(kIndent);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAllColumnsShowFocus(true);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setItemDelegate(new TLabelDelegate(this));
  setIconSize(QSize(18, 18));
}

TXpElement* TKelvoTreeView::ElementOf(QTreeWidgetItem* item) {
  auto* kelvoItem = dynamic_cast<TKelvoTreeItem*>(item);
  return kelvoItem != nullptr ? kelvoItem->Element : nullptr;
}

int TKelvoTreeView::Level(const QTreeWidgetItem* item) {
  int level = 0;
  for (const QTreeWidgetItem* p = item->parent(); p != nullptr; p = p->parent()) ++level;
  return level;
}

// The right button selects the node under it and opens the menu; a click left of the node's
// indentation (indent times level) takes no node.
void TKelvoTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QTreeWidget::mousePressEvent(event);
    return;
  }
  QPoint at = event->position().toPoint();
  QTreeWidgetItem* item = itemAt(at);
  if (item != nullptr && at.x() < kIndent * Level(item)) item = nullptr;
  if (item == nullptr) return;
  setCurrentItem(item);
  if (OnPopup) OnPopup(item, viewport()->mapToGlobal(at));
}

}  // namespace kelvo
