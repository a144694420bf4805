// TLogView: a view of the execution log. One line per entry, in the colour of its kind; the time of
// each line in a grey column beside it ("Показывать время"); a pop-up menu in Russian: copy, select
// all, save the log, clear it, show the times. The window keeps the one log and feeds every view of
// it; the menu's commands that concern the log itself go back to the window.
#pragma once

#include <functional>

#include "app/run_log.h"
#include "ui/margin_edit.h"

class QAction;
class QMenu;

namespace kelvo {

class TLogView : public TMarginEdit {
 public:
  explicit TLogView(QWidget* parent = nullptr);

  void Append(const TLogEntry& entry);
  void Clear();
  void SetShowTime(bool on);
  bool ShowTime() const { return MarginVisible(); }

  // "Сохранить протокол…", "Очистить" and "Показывать время" of the pop-up menu.
  std::function<void()> OnSave, OnClear;
  std::function<void(bool)> OnShowTime;

  QMenu* PopupMenu;
  QAction* CopyItem;
  QAction* SelectAllItem;
  QAction* SaveItem;
  QAction* ClearItem;
  QAction* ShowTimeItem;

 protected:
  QString MarginText(const QTextBlock& block) const override;
  QString WidestMarginText() const override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // A copy carries the times of its lines while they are shown.
  QMimeData* createMimeDataFromSelection() const override;

 private:
  void BuildMenu();
};

// "hh:mm:ss.zzz" of a time of day in milliseconds.
QString TimeOfDayText(int milliseconds);

}  // namespace kelvo
