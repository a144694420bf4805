// The script editor window: the script text with C-family highlighting, the description page and the
// execution log page. It owns no library data: the main window loads its texts and reads them back.
// Its save and run buttons are the main window's actions, so their state is shared.
#pragma once

#include <QDialog>
#include <string>

#include "app/kelvo_screen.h"

class QAction;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QToolBar;

namespace kelvo {

class TKelvoCore;
class TCppHighlighter;

class TScriptEditDlg : public QDialog {
 public:
  TScriptEditDlg(QWidget* owner, TKelvoCore& core, TKelvoScreen& screen, QAction* saveAction,
                 QAction* runAction);
  ~TScriptEditDlg() override;

  // The texts as the program holds them (8-bit, CR LF). Setting a text is not an edit: it does not
  // enable saving.
  void SetScriptText(const std::string& text);
  void SetDescriptionText(const std::string& text);
  std::string ScriptText() const;
  std::string DescriptionText() const;

  void ClearLog();
  void AppendLogLine(TLogKind kind, const std::string& line);

  // Moves the caret to CompileErrorPos and reports CompileErrorMsg, then empties both.
  void ShowCompileError();
  void SetPage(TEditorPage page);
  // Shows the window modally on page and returns when it is closed.
  void Execute(TEditorPage page);

  // The last compilation error, "line:column" and the engine's message; empty when none is pending.
  std::string CompileErrorPos;
  std::string CompileErrorMsg;

  QToolBar* TBToolbar1;
  QAction* InsertFunctionItem;  // the "Вставить функцию" submenu, never visible
  QPlainTextEdit* PlusMemo;
  QSplitter* Splitter1;
  QTabWidget* PageControl;
  QWidget* DescriptionSheet;
  QWidget* ProtocolSheet;
  QPlainTextEdit* DescriptionMemo;
  QTextEdit* LogMemo;
  TCppHighlighter* CPPHighlighter;

 public:
  // Escape and the close box both come here: the window hides only when the close question allows.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildToolbar(QAction* saveAction, QAction* runAction);
  void BuildPages();
  void MemoChange();

  TKelvoCore& FCore;
  TKelvoScreen& FScreen;
  bool FLoading = false;  // texts are being set by the program, not typed
};

}  // namespace kelvo
