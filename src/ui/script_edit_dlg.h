// The script editor window: the script text with C-family highlighting, the description page and the
// execution log page. It owns no library data: the main window loads its texts and reads them back.
// Its save and run buttons are the main window's actions, so their state is shared.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/kelvo_screen.h"
#include "ui/script_memo.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QSettings;
class QStatusBar;
class QSplitter;
class QTabWidget;
class QToolBar;

namespace kelvo {

class TKelvoCore;
class TCppHighlighter;
class TLogView;
class TScriptAssist;

class TScriptEditDlg : public QDialog {
 public:
  TScriptEditDlg(QWidget* owner, TKelvoCore& core, TKelvoScreen& screen, QAction* saveAction,
                 QAction* runAction, QAction* stopAction);
  ~TScriptEditDlg() override;

  // The texts as the program holds them (8-bit, CR LF). Setting a text is not an edit: it does not
  // enable saving.
  void SetScriptText(const std::string& text);
  void SetDescriptionText(const std::string& text);
  std::string ScriptText() const;
  std::string DescriptionText() const;

  // Moves the caret to CompileErrorPos and reports CompileErrorMsg, also in the status line (with
  // the line and column, until the script is edited), then empties both.
  void ShowCompileError();
  void SetPage(TEditorPage page);
  // Shows the window modally on page and returns when it is closed. The first time, without a
  // remembered place, it is centred on the main window; later it opens where it was.
  void Execute(TEditorPage page);
  // The window's place and size and the splitter, in the user's settings.
  void SaveState(QSettings& settings) const;
  void RestoreState(QSettings& settings);

  // The last compilation error, "line:column" and the engine's message; empty when none is pending.
  std::string CompileErrorPos;
  std::string CompileErrorMsg;

  QToolBar* TBToolbar1;
  QAction* InsertFunctionItem;  // the "Вставить функцию" submenu, never visible
  TScriptMemo* PlusMemo;        // the script, with line numbers
  QSplitter* Splitter1;
  QTabWidget* PageControl;
  QWidget* DescriptionSheet;
  QWidget* ProtocolSheet;
  QPlainTextEdit* DescriptionMemo;
  TLogView* LogMemo;  // a view of the main window's log
  TCppHighlighter* CPPHighlighter;
  TScriptAssist* Assist;  // completion, signature tooltips and F1 in PlusMemo
  // Opens a help topic ("kelvo-functions.html#fn-copy"); the main window sets it.
  std::function<void(const QString& topic)> OnHelpTopic;
  QStatusBar* StatusLine;  // the last compile error with its line and column
  QLabel* CaretPlace;      // "строка 3, столбец 7" of the caret

 public:
  // Escape and the close box both come here: the window hides only when the close question allows.
  // While a run executes, Escape stops it instead.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolbar(QAction* saveAction, QAction* runAction, QAction* stopAction);
  void BuildPages();
  void MemoChange();
  void ShowCaretPlace();

  TKelvoCore& FCore;
  TKelvoScreen& FScreen;
  QAction* FStopAction;
  bool FLoading = false;  // texts are being set by the program, not typed
  bool FClosing = false;  // the close box was pressed: it closes also during a run
  bool FPlaced = false;   // the window has a place: remembered, or shown before
};

}  // namespace kelvo
