// The modem/script tree: nodes sorted by text without regard to letter case, each carrying its
// library element; labels edited in place; the right button selects a node and asks for the pop-up
// menu, unless the click lies left of the node's indentation.
#pragma once

#include <QTreeWidget>
#include <functional>
#include <string>

namespace kelvo {

class TXpElement;

class TKelvoTreeItem : public QTreeWidgetItem {
 public:
  // text is 8-bit text, as the library's names are.
  TKelvoTreeItem(const std::string& text, TXpElement* element);
  TXpElement* Element;
  bool operator<(const QTreeWidgetItem& other) const override;
  void setData(int column, int role, const QVariant& value) override;

 private:
  std::string FSortKey;  // the text as 8-bit text, kept so that sorting a large tree converts nothing
};

class TKelvoTreeView : public QTreeWidget {
 public:
  static constexpr int kIndent = 19;

  explicit TKelvoTreeView(QWidget* parent);

  static TXpElement* ElementOf(QTreeWidgetItem* item);
  // Depth of item: 0 for modems, 1 for scripts.
  static int Level(const QTreeWidgetItem* item);

  // A label edit finished with this text (the node's text is not changed here).
  std::function<void(QTreeWidgetItem*, const QString&)> OnEdited;
  // Right click on a node, at this point on the screen.
  std::function<void(QTreeWidgetItem*, const QPoint&)> OnPopup;

  QTreeWidgetItem* ItemAtIndex(const QModelIndex& index) const { return itemFromIndex(index); }
  // True while a label is being edited.
  bool Editing() const { return state() == EditingState; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace kelvo
