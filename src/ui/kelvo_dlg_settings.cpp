// The main window's settings: what it remembers between starts, read when it is built and written
// when it closes (the keys are in ui/kelvo_settings.h).
#include <QComboBox>
#include <QSplitter>
#include <QTreeWidgetItem>

#include "ui/kelvo_dlg.h"
#include "ui/kelvo_settings.h"
#include "ui/kelvo_tree_view.h"
#include "ui/qt_text.h"
#include "ui/script_edit_dlg.h"
#include "ui/terminal_bar.h"

namespace kelvo {

void TKelvoDlg::SaveSettings() {
  std::unique_ptr<QSettings> settings = OpenUserSettings();
  settings->setValue(settings::kPort, FromAnsi(PortName()));
  settings->setValue(settings::kShowLogTime, FShowLogTime);
  settings->setValue(settings::kSaveAllRuns, FSaveAllRuns);
  settings->setValue(settings::kMainGeometry, saveGeometry());
  settings->setValue(settings::kMainSplitter, Splitter1->saveState());
  QStringList expanded;
  for (int i = 0; i < TreeView->topLevelItemCount(); ++i)
    if (TreeView->topLevelItem(i)->isExpanded()) expanded << TreeView->topLevelItem(i)->text(0);
  settings->setValue(settings::kExpandedModems, expanded);
  QStringList selected;
  if (QTreeWidgetItem* node = TreeView->currentItem()) {
    if (node->parent() != nullptr) selected << node->parent()->text(0);
    selected << node->text(0);
  }
  settings->setValue(settings::kSelected, selected);
  if (FEditor != nullptr) FEditor->SaveState(*settings);
  QStringList history;
  for (const std::string& command : TerminalBar->History().Commands()) history << FromAnsi(command);
  settings->setValue(settings::kTerminalHistory, history);
  settings->sync();
}

// A port is chosen again only when the list holds it: a path typed once is not forced on the next
// start, when the device may be gone.
void TKelvoDlg::RestoreSettings(QSettings& settings) {
  if (settings.contains(settings::kMainGeometry))
    restoreGeometry(settings.value(settings::kMainGeometry).toByteArray());
  if (settings.contains(settings::kMainSplitter))
    Splitter1->restoreState(settings.value(settings::kMainSplitter).toByteArray());
  const QString port = settings.value(settings::kPort).toString();
  if (!port.isEmpty() && PortComboBox->findData(port) >= 0) {
    SelectPort(ToAnsi(port));
    FChosenPort = PortName();
  }
  SetShowLogTime(settings.value(settings::kShowLogTime, true).toBool());
  SetSaveAllRuns(settings.value(settings::kSaveAllRuns, false).toBool());
  RestoreTree(settings);
  std::vector<std::string> history;
  for (const QString& command : settings.value(settings::kTerminalHistory).toStringList())
    history.push_back(ToAnsi(command));
  TerminalBar->History().SetCommands(std::move(history));
}

void TKelvoDlg::RestoreTree(QSettings& settings) {
  const QStringList expanded = settings.value(settings::kExpandedModems).toStringList();
  for (const QString& name : expanded)
    for (QTreeWidgetItem* node : TreeView->findItems(name, Qt::MatchExactly)) node->setExpanded(true);
  const QStringList selected = settings.value(settings::kSelected).toStringList();
  if (selected.isEmpty()) return;
  const QList<QTreeWidgetItem*> modems = TreeView->findItems(selected[0], Qt::MatchExactly);
  if (modems.isEmpty()) return;
  QTreeWidgetItem* node = modems[0];
  if (selected.size() > 1) {
    node = nullptr;
    for (int i = 0; i < modems[0]->childCount() && node == nullptr; ++i)
      if (modems[0]->child(i)->text(0) == selected[1]) node = modems[0]->child(i);
    if (node == nullptr) return;
  }
  TreeView->setCurrentItem(node);
  TreeView->scrollToItem(node);
}

}  // namespace kelvo
