// The main window: menus, the toolbar with the port selector, the modem/script tree, the description
// pane and the status bar. It owns the application's logic (TKelvoCore), forwards its events there,
// and implements the screen interface with its widgets and the small dialogs.
// Threads: the window and everything it owns belong to the window's thread; a run's thread and the
// terminal's reach it only through RunOnScreenThread, which posts to the window's event loop.
#pragma once

#include <QMainWindow>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/kelvo_core.h"
#include "app/kelvo_screen.h"
#include "app/run_log_files.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMessageBox;
class QPlainTextEdit;
class QProgressBar;
class QSettings;
class QSocketNotifier;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeWidgetItem;

namespace kelvo {

class TPortWatcher;
class TAboutBox;
class THelpWindow;
class TInputDialog;
class TKelvoTreeView;
class TLogView;
class TScriptEditDlg;
class TTerminalBar;
class TWaitBoxForm;

class TKelvoDlg : public QMainWindow, public TKelvoScreen {
 public:
  // Builds the window, lists the serial ports, loads and validates the library of a program in dir
  // (dir/kelvo.xml, else the user's own, see LocateLibrary) with the command-line arguments (8-bit
  // text) and fills the tree. Raises when any of it fails; no window is left then.
  TKelvoDlg(const std::string& dir, const std::vector<std::string>& args);
  ~TKelvoDlg() override;

  // The windows created after this one, in the start-up order.
  void AttachWindows(TInputDialog* input, TScriptEditDlg* editor, TAboutBox* about, TWaitBoxForm* wait);

  TKelvoCore& Core() { return FCore; }
  QAction* Action(TKelvoAction action) const { return FActions.at(action); }
  TScriptEditDlg* Editor() const { return FEditor; }
  QTreeWidgetItem* NodeOf(const TXpElement* element) const;

  // TKelvoScreen.
  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override;
  void SetActionEnabled(TKelvoAction action, bool enabled) override;
  bool ActionEnabled(TKelvoAction action) const override;
  void SetDescriptionPane(const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void ShowSearchProgress(int step, int count, const std::string& text) override;
  int PortIndex() const override;
  std::string PortName() const override;
  void FocusPortList() override;
  TTreeNode AddTreeNode(TTreeNode parent, const std::string& text, int image, TXpElement* element) override;
  void DeleteTreeNode(TTreeNode node) override;
  void SelectAndEditTreeNode(TTreeNode node) override;
  void SetEditorScript(const std::string& text) override;
  void SetEditorDescription(const std::string& text) override;
  std::string EditorScript() const override;
  std::string EditorDescription() const override;
  void SetEditorCaption(const std::string& caption) override;
  void ShowEditor(TEditorPage page) override;
  bool EditorVisible() const override;
  void SetEditorPage(TEditorPage page) override;
  void ReportCompileError(const std::string& pos, const std::string& message) override;
  void ClearLog() override;
  void AppendLogLine(const TLogEntry& entry) override;
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override;
  void ShowWaitBox(const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void RunStateChanged(bool running) override;
  void TerminalStateChanged(bool open) override;
  void RunOnScreenThread(std::function<void()> task) override;

  // Stop: the run is asked to stop, and the dialogs it keeps open are closed; an open terminal closes.
  void StopScript();
  // "Терминал": the terminal on the chosen port, after the modem search or at speed.
  void OpenTerminal(std::optional<int> speed);
  // The log's pop-up menu: the whole log saved as UTF-8 text to a file the user picks (SaveLogTo
  // writes it to path); the log emptied; the time column of every view shown or hidden.
  void SaveLogActionExecute();
  void SaveLogTo(const std::string& path);
  void ClearLogActionExecute();
  void SetShowLogTime(bool on);
  // The log the window keeps: the newest LogLimit() lines of the current or last run (the views
  // keep as many), so that a run that logs without end costs no more memory than that. The run's
  // file ("Сохранять протоколы всех запусков") keeps every line.
  const std::deque<TLogEntry>& Log() const { return FLog; }
  static constexpr int kLogLimit = 10000;
  void SetLogLimit(int lines);
  int LogLimit() const { return FLogLimit; }
  // "Сохранять протоколы всех запусков": every run's log written to a file of its own in
  // RunLogFolder() while the run executes; the folder keeps the newest kKeptRunLogs.
  void SetSaveAllRuns(bool on);
  const TRunLogFile& RunLogFile() const { return FRunLog; }

  // The user's settings: the chosen port, the windows' places and sizes, the splitters, the tree's
  // expanded modems and selected script, the log's options. Read when the windows are built, written
  // when the main window closes.
  void SaveSettings();
  // While a script runs, closing asks whether to stop it; Yes stops the run and the window closes
  // when the run has ended (the port closed, everything restored), No keeps both.
  void closeEvent(QCloseEvent* event) override;
  // The port selector takes the toolbar's room that the buttons leave.
  void resizeEvent(QResizeEvent* event) override;

  // Reads the port list again, keeping the port in use when it is still there (a typed path stays
  // typed). The Rescan item, F5 and every hot-plug notice come here.
  void RescanPorts();
  // Chooses the port of that name (a listed one, or a path kept as typed when it is not listed).
  void SelectPort(const std::string& port);

  // Handlers of the menu items that are not actions.
  void FormHelp();
  void TBItem7Click();  // "Выход"
  void TBItem9Click();  // "О программе..."

  QToolBar* TBToolbar1;
  QComboBox* PortComboBox;
  TKelvoTreeView* TreeView;
  QSplitter* Splitter1;
  // Under the tree: the selected script's description, and the log of the current or last run.
  QTabWidget* BottomPane;
  QPlainTextEdit* DescriptionMemo;
  TLogView* LogView;
  QLabel* StatusPanel;
  QProgressBar* SearchProgress;  // the modem search: which of the ten speeds
  QAction* SaveAllRunsAction;  // "Сохранять протоколы всех запусков", checkable
  // The terminal: its controls under the log while it is open, and the speeds it may open at
  // without the modem search (the terminal button's and the menu's list).
  TTerminalBar* TerminalBar;
  QMenu* TerminalSpeedMenu;
  QMenu* TBPopupMenu;
  QMenu* FileMenu;
  QMenu* ScriptMenu;
  QMenu* HelpMenu;
  THelpWindow* HelpWindow;
  std::string FLibraryPath;
  QString FHelpFile;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolbarAndPanes();
  void FillPortList(const std::string& keep);
  void FitPortSelector();
  void PortActivated(int index);
  void WatchPorts();
  void ConnectLogView(TLogView* view);
  void RestoreSettings(QSettings& settings);
  void RestoreTree(QSettings& settings);
  void CreateTerminal();
  void ShowScriptCommands();
  void GiveTheLogRoom();
  void UpdateActionTips();
  // With "Сохранять протоколы всех запусков" on, the log from now on also goes to a new file named
  // by the time, modem and script (for the terminal: the port and "терминал").
  void OpenRunLogFile(const std::string& modem, const std::string& script);
  void CloseRunLogFile();
  void TreeViewChange(QTreeWidgetItem* node);
  void TreeViewEdited(QTreeWidgetItem* node, const QString& text);
  QAction* NewAction(TKelvoAction id, const char* caption, int image, void (TKelvoCore::*handler)());

  TKelvoCore FCore;
  std::map<TKelvoAction, QAction*> FActions;
  TInputDialog* FInput = nullptr;
  TScriptEditDlg* FEditor = nullptr;
  TAboutBox* FAbout = nullptr;
  TWaitBoxForm* FWaitBox = nullptr;
  int FBusy = 0;                    // nesting of the busy cursor
  QMessageBox* FOpenBox = nullptr;  // the message box open now, closed by Stop
  bool FCloseWhenStopped = false;   // the user chose to stop the run and quit
  std::deque<TLogEntry> FLog;       // the newest lines of the current or last run's log
  int FLogLimit = kLogLimit;
  bool FShowLogTime = true;
  bool FSaveAllRuns = false;
  TRunLogFile FRunLog;  // the run's log on disk while a run executes and FSaveAllRuns is on
  // Hot-plug: the watcher's descriptor wakes the event loop, and a short timer gathers the burst of
  // notices that one plug brings into one rescan. All on the window's thread.
  std::unique_ptr<TPortWatcher> FPortWatcher;
  QSocketNotifier* FPortNotifier = nullptr;
  QTimer* FPortRescan = nullptr;
  std::string FChosenPort;  // the port in use, kept while the Rescan entry is being chosen
  // While the tree is first filled, modems are collected here and enter the tree at once, so that
  // their scripts join a node that is not yet in the tree and cost no model updates.
  bool FFillingTree = false;
  QList<QTreeWidgetItem*> FNewModems;
};

}  // namespace kelvo
