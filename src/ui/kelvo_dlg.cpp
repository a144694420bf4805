#include "ui/kelvo_dlg.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

#include "app/app_texts.h"
#include "app/library_location.h"
#include "app/port_list.h"
#include "serial/main_thread_queue.h"
#include "serial/port_watcher.h"
#include "text/cp1251.h"
#include "text/exception.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/input_dialog.h"
#include "ui/kelvo_icons.h"
#include "ui/kelvo_settings.h"
#include "ui/kelvo_tree_view.h"
#include "ui/log_view.h"
#include "ui/qt_text.h"
#include "ui/script_edit_dlg.h"
#include "ui/translation.h"
#include "ui/wait_box_form.h"

namespace kelvo {

namespace {

// The window's own texts, in the interface's language.
QString Ru(std::string_view utf8) {
  return Tr(utf8);
}

QMessageBox::Icon BoxIcon(TMsgIcon icon) {
  switch (icon) {
    case TMsgIcon::miError:
      return QMessageBox::Critical;
    case TMsgIcon::miInformation:
      return QMessageBox::Information;
    case TMsgIcon::miExclamation:
      return QMessageBox::Warning;
    default:
      return QMessageBox::Question;
  }
}

}  // namespace

TKelvoDlg::TKelvoDlg(const std::string& dir, const std::vector<std::string>& args)
    : QMainWindow(nullptr), FCore(*this) {
  setObjectName("KelvoDlg");
  resize(630, 466);
  CreateActions();
  CreateMenus();
  CreateToolbarAndPanes();
  CreateTerminal();
  FillPortList({});
  TLibraryPlaces places = LibraryPlacesFor(dir);
  FLibraryPath = LocateLibrary(places).Path;
  FCore.LoadLibrary(FLibraryPath, args);
  TreeView->setSortingEnabled(false);
  TreeView->setUpdatesEnabled(false);
  FFillingTree = true;
  FCore.BuildTree();
  FFillingTree = false;
  TreeView->addTopLevelItems(FNewModems);
  FNewModems.clear();
  TreeView->setSortingEnabled(true);
  TreeView->sortByColumn(0, Qt::AscendingOrder);
  TreeView->setUpdatesEnabled(true);
  SetStatusText({});
  setWindowTitle(FromAnsi(TKelvoCore::MainCaption()));
  FHelpFile = QString::fromStdString(LocateHelpFile(places, TranslationInstalled()));
  HelpWindow = new THelpWindow(this, FHelpFile);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  RestoreSettings(*OpenUserSettings());
  PortComboBox->setFocus();
  // A hand-over from the serial port's event thread wakes an idle event loop.
  TMainThreadQueue::Instance().SetWakeUp([this] {
    QMetaObject::invokeMethod(
        this, [] { TMainThreadQueue::Instance().ProcessPending(); }, Qt::QueuedConnection);
  });
  WatchPorts();
}

// The children (the tree, the dialogs) outlive this class's members; they must not reach the logic
// while they are torn down.
TKelvoDlg::~TKelvoDlg() {
  FCore.ShutDown();
  TMainThreadQueue::Instance().SetWakeUp({});
  TreeView->blockSignals(true);
  // A label editor still open commits its text while the widgets go.
  TreeView->OnEdited = nullptr;
  TreeView->OnPopup = nullptr;
  FInput = nullptr;
  FEditor = nullptr;
  FAbout = nullptr;
  FWaitBox = nullptr;
}

void TKelvoDlg::AttachWindows(TInputDialog* input, TScriptEditDlg* editor, TAboutBox* about,
                              TWaitBoxForm* wait) {
  FInput = input;
  FEditor = editor;
  FAbout = about;
  FWaitBox = wait;
  FEditor->OnHelpTopic = [this](const QString& topic) { HelpWindow->ShowTopic(topic); };
  FInput->OnStop = [this] { StopScript(); };
  FWaitBox->OnStop = [this] { StopScript(); };
  ConnectLogView(FEditor->LogMemo);
  FEditor->LogMemo->SetShowTime(FShowLogTime);
  FEditor->LogMemo->setMaximumBlockCount(FLogLimit);
  FEditor->RestoreState(*OpenUserSettings());
  // The selection restored from the settings was made before there was an editor to take its
  // script: without this a run of it would compile an empty text and report success.
  if (QTreeWidgetItem* node = TreeView->currentItem()) TreeViewChange(node);
}

void TKelvoDlg::ConnectLogView(TLogView* view) {
  view->OnSave = [this] { SaveLogActionExecute(); };
  view->OnClear = [this] { ClearLogActionExecute(); };
  view->OnShowTime = [this](bool on) { SetShowLogTime(on); };
}

QAction* TKelvoDlg::NewAction(TKelvoAction id, const char* caption, int image,
                              void (TKelvoCore::*handler)()) {
  auto* action = new QAction(KelvoIcon(image), Ru(caption), this);
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, handler] { FCore.Guarded([&] { (FCore.*handler)(); }); });
  FActions[id] = action;
  return action;
}

void TKelvoDlg::CreateActions() {
  QAction* run =
      NewAction(TKelvoAction::kaRunScript, "Выполнить сценарий", kiRun, &TKelvoCore::RunScriptActionExecute);
  run->setObjectName("RunScriptAction");
  run->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  run->setToolTip(Ru("выполнить сценарий"));
  run->setStatusTip(Ru("выполнить сценарий"));
  QAction* edit = NewAction(TKelvoAction::kaEditScript, "Редактировать сценарий", kiEdit,
                            &TKelvoCore::EditScriptActionExecute);
  edit->setObjectName("EditScriptAction");
  edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  edit->setToolTip(Ru("редактировать сценарий"));
  edit->setStatusTip(Ru("редактировать сценарий"));
  NewAction(TKelvoAction::kaAddModem, "Добавить модем", kiAddModem, &TKelvoCore::AddModemActionExecute)
      ->setObjectName("AddModemAction");
  NewAction(TKelvoAction::kaRemoveModem, "Удалить модем", kiRemoveModem,
            &TKelvoCore::RemoveModemActionExecute)
      ->setObjectName("RemoveModemAction");
  NewAction(TKelvoAction::kaAddScript, "Добавить сценарий", kiAddScript, &TKelvoCore::AddScriptActionExecute)
      ->setObjectName("AddScriptAction");
  NewAction(TKelvoAction::kaRemoveScript, "Удалить сценарий", kiRemoveScript,
            &TKelvoCore::RemoveScriptActionExecute)
      ->setObjectName("RemoveScriptAction");
  QAction* save =
      NewAction(TKelvoAction::kaSaveScript, "Сохранить", kiSave, &TKelvoCore::SaveScriptActionExecute);
  save->setObjectName("SaveScriptAction");
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));  // in the editor, whose toolbar holds it
  auto* stop = new QAction(KelvoIcon(kiStop), Ru("Остановить"), this);
  stop->setObjectName("StopScriptAction");
  stop->setEnabled(false);
  stop->setToolTip(Ru("остановить выполнение сценария (Esc)"));
  stop->setStatusTip(stop->toolTip());
  connect(stop, &QAction::triggered, this, &TKelvoDlg::StopScript);
  FActions[TKelvoAction::kaStopScript] = stop;
}

void TKelvoDlg::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("TBToolbar2");
  FileMenu = bar->addMenu(Ru("Файл"));
  FileMenu->addAction(Action(TKelvoAction::kaAddModem));
  FileMenu->addAction(Action(TKelvoAction::kaRemoveModem));
  FileMenu->addSeparator();
  FileMenu->addAction(Action(TKelvoAction::kaAddScript));
  FileMenu->addAction(Action(TKelvoAction::kaRemoveScript));
  FileMenu->addSeparator();
  FileMenu->addAction(Ru("Выход"), this, &TKelvoDlg::TBItem7Click);
  ScriptMenu = bar->addMenu(Ru("Сценарий"));
  ScriptMenu->addAction(Action(TKelvoAction::kaRunScript));
  ScriptMenu->addAction(Action(TKelvoAction::kaStopScript));
  ScriptMenu->addAction(Action(TKelvoAction::kaEditScript));
  ScriptMenu->addSeparator();
  SaveAllRunsAction = ScriptMenu->addAction(Ru("Сохранять протоколы всех запусков"));
  SaveAllRunsAction->setObjectName("SaveAllRunsAction");
  SaveAllRunsAction->setCheckable(true);
  SaveAllRunsAction->setStatusTip(
      Ru("записывать протокол каждого запуска в файл (папка ~/.local/state/kelvo/logs)"));
  connect(SaveAllRunsAction, &QAction::toggled, this, &TKelvoDlg::SetSaveAllRuns);
  HelpMenu = bar->addMenu(Ru("Справка"));
  QAction* help = HelpMenu->addAction(Ru("Справка программы Kelvo"), this, &TKelvoDlg::FormHelp);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  HelpMenu->addSeparator();
  HelpMenu->addAction(Ru("О программе..."), this, &TKelvoDlg::TBItem9Click);

  TBPopupMenu = new QMenu(this);
  TBPopupMenu->setObjectName("TBPopupMenu");
  TBPopupMenu->addAction(Action(TKelvoAction::kaRunScript));
  TBPopupMenu->addSeparator();
  TBPopupMenu->addAction(Action(TKelvoAction::kaEditScript));
  TBPopupMenu->addSeparator();
  TBPopupMenu->addAction(Action(TKelvoAction::kaAddModem));
  TBPopupMenu->addAction(Action(TKelvoAction::kaRemoveModem));
  TBPopupMenu->addSeparator();
  TBPopupMenu->addAction(Action(TKelvoAction::kaAddScript));
  TBPopupMenu->addAction(Action(TKelvoAction::kaRemoveScript));
  TBPopupMenu->addSeparator();

  // Escape anywhere in the window stops a run, or else ends the program; a label being edited takes
  // its own Escape.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    if (FCore.Running() || FCore.TerminalOpen())
      StopScript();
    else
      close();
  });
}

void TKelvoDlg::CreateToolbarAndPanes() {
  TBToolbar1 = addToolBar(QStringLiteral("TBToolbar1"));
  TBToolbar1->setObjectName("TBToolbar1");
  TBToolbar1->setMovable(false);
  TBToolbar1->setIconSize(QSize(20, 20));
  TBToolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  PortComboBox = new QComboBox(TBToolbar1);
  PortComboBox->setObjectName("PortComboBox");
  // Editable: any device path can be typed; Enter keeps it as typed instead of adding an item.
  PortComboBox->setEditable(true);
  PortComboBox->setInsertPolicy(QComboBox::NoInsert);
  PortComboBox->setMinimumWidth(137);
  TBToolbar1->addWidget(PortComboBox);
  connect(PortComboBox, &QComboBox::activated, this, &TKelvoDlg::PortActivated);
  connect(PortComboBox, &QComboBox::currentIndexChanged, this, [this] {
    PortComboBox->lineEdit()->setCursorPosition(0);
    PortComboBox->setToolTip(PortComboBox->currentText());
  });
  connect(PortComboBox, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (text != FromAnsi(Ansi(texts::kRescanPortsItem))) FChosenPort = PortName();
  });
  connect(PortComboBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    int index = PortComboBox->findText(PortComboBox->currentText(), Qt::MatchExactly);
    if (index >= 0) PortComboBox->setCurrentIndex(index);
  });
  auto* rescan = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(rescan, &QShortcut::activated, this, &TKelvoDlg::RescanPorts);
  TBToolbar1->addSeparator();
  TBToolbar1->addAction(Action(TKelvoAction::kaEditScript));
  TBToolbar1->addAction(Action(TKelvoAction::kaRunScript));
  TBToolbar1->addAction(Action(TKelvoAction::kaStopScript));

  TreeView = new TKelvoTreeView(this);
  DescriptionMemo = new QPlainTextEdit(this);
  DescriptionMemo->setObjectName("DescriptionMemo");
  DescriptionMemo->setReadOnly(true);
  DescriptionMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette face = DescriptionMemo->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  DescriptionMemo->setPalette(face);
  LogView = new TLogView(this);
  LogView->setObjectName("LogView");
  LogView->setMaximumBlockCount(FLogLimit);
  ConnectLogView(LogView);
  BottomPane = new QTabWidget(this);
  BottomPane->setObjectName("BottomPane");
  BottomPane->setDocumentMode(true);
  BottomPane->addTab(DescriptionMemo, Ru("Описание"));
  BottomPane->addTab(LogView, Ru("Протокол"));
  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(TreeView);
  Splitter1->addWidget(BottomPane);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setSizes({230, 150});
  setCentralWidget(Splitter1);

  StatusPanel = new QLabel(this);
  StatusPanel->setObjectName("StatusPanel");
  StatusPanel->setMinimumWidth(200);
  statusBar()->addWidget(StatusPanel, 1);
  SearchProgress = new QProgressBar(this);
  SearchProgress->setObjectName("SearchProgress");
  SearchProgress->setMinimumWidth(260);
  SearchProgress->setMaximumHeight(18);
  SearchProgress->hide();
  statusBar()->addPermanentWidget(SearchProgress);

  connect(TreeView, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TreeViewChange(current); });
  connect(TreeView, &QTreeWidget::itemDoubleClicked, this,
          [this] { FCore.Guarded([this] { FCore.TreeViewDblClick(); }); });
  TreeView->OnEdited = [this](QTreeWidgetItem* node, const QString& text) { TreeViewEdited(node, text); };
  TreeView->OnPopup = [this](QTreeWidgetItem*, const QPoint& at) { TBPopupMenu->popup(at); };
}

// The items carry their port in the user data; the last one is the Rescan entry.
void TKelvoDlg::FillPortList(const std::string& keep) {
  std::vector<TPortItem> items = PortSelectorItems();
  PortComboBox->blockSignals(true);
  PortComboBox->clear();
  for (const TPortItem& item : items) PortComboBox->addItem(FromAnsi(item.Text), FromAnsi(item.Port));
  PortComboBox->addItem(FromAnsi(Ansi(texts::kRescanPortsItem)), QStringLiteral("\n"));
  SelectPort(keep);
  PortComboBox->blockSignals(false);
  FChosenPort = PortName();
  FitPortSelector();
}

void TKelvoDlg::SelectPort(const std::string& port) {
  int index = port.empty() ? 0 : PortComboBox->findData(FromAnsi(port));
  PortComboBox->setCurrentIndex(std::max(index, 0));
  if (index < 0) PortComboBox->setEditText(FromAnsi(port));  // a typed path stays as typed
  PortComboBox->lineEdit()->setCursorPosition(0);            // the start of a long name shows
}

// The selector shows the start of a long path (the whole one in its tip) and takes the room that
// the toolbar's buttons leave it, never less than its classic width; its drop-down is as wide as
// its longest entry.
void TKelvoDlg::FitPortSelector() {
  const QFontMetrics metrics(PortComboBox->font());
  int longest = 0;
  for (int i = 0; i < PortComboBox->count(); ++i)
    longest = std::max(longest, metrics.horizontalAdvance(PortComboBox->itemText(i)));
  const int frame = 48;  // the arrow, the frame and the margins
  PortComboBox->view()->setMinimumWidth(longest + frame);
  int buttons = 0;
  for (QAction* action : TBToolbar1->actions()) {
    QWidget* widget = TBToolbar1->widgetForAction(action);
    if (widget != nullptr && widget != PortComboBox) buttons += widget->sizeHint().width() + 4;
  }
  const int room = TBToolbar1->width() - buttons - 32;  // the handle and the overflow button
  PortComboBox->setFixedWidth(std::clamp(longest + frame, 137, std::max(137, room)));
  PortComboBox->setToolTip(PortComboBox->currentText());
}

void TKelvoDlg::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitPortSelector();
}

void TKelvoDlg::PortActivated(int index) {
  if (index != PortComboBox->count() - 1) return;
  // The Rescan entry: the port chosen before it stays chosen.
  std::string keep = FChosenPort;
  FCore.Guarded([&] { FillPortList(keep); });
}

void TKelvoDlg::RescanPorts() {
  std::string keep = PortName();
  FCore.Guarded([&] { FillPortList(keep); });
}

void TKelvoDlg::WatchPorts() {
  FPortWatcher = std::make_unique<TPortWatcher>(CurrentPortSources());
  if (FPortWatcher->Fd() < 0) return;
  FPortRescan = new QTimer(this);
  FPortRescan->setSingleShot(true);
  FPortRescan->setInterval(300);
  connect(FPortRescan, &QTimer::timeout, this, &TKelvoDlg::RescanPorts);
  FPortNotifier = new QSocketNotifier(FPortWatcher->Fd(), QSocketNotifier::Read, this);
  connect(FPortNotifier, &QSocketNotifier::activated, this, [this] {
    if (FPortWatcher->TakeChanges()) FPortRescan->start();
  });
}

// Choosing another node while no run executes brings its description back into view.
void TKelvoDlg::TreeViewChange(QTreeWidgetItem* node) {
  TXpElement* element = node != nullptr ? TKelvoTreeView::ElementOf(node) : nullptr;
  if (!FCore.Running() && !FCore.TerminalOpen()) BottomPane->setCurrentWidget(DescriptionMemo);
  FCore.Guarded([&] { FCore.TreeViewChange(element); });
  if (FCore.TerminalOpen()) ShowScriptCommands();
}

// The name is judged after the label editor has closed, so that a message box cannot meet an editor
// that is still committing. The node then shows what the library holds.
void TKelvoDlg::TreeViewEdited(QTreeWidgetItem* node, const QString& text) {
  TXpElement* element = TKelvoTreeView::ElementOf(node);
  QTimer::singleShot(0, this, [this, element, text] {
    QTreeWidgetItem* current = NodeOf(element);
    if (current == nullptr) return;
    std::string name = ToAnsi(text);
    FCore.Guarded([&] { FCore.TreeViewEdited(element, name); });
    current->setText(0, FromAnsi(ElementName(*element)));
  });
}

QTreeWidgetItem* TKelvoDlg::NodeOf(const TXpElement* element) const {
  for (int i = 0; i < TreeView->topLevelItemCount(); ++i) {
    QTreeWidgetItem* modem = TreeView->topLevelItem(i);
    if (TKelvoTreeView::ElementOf(modem) == element) return modem;
    for (int j = 0; j < modem->childCount(); ++j) {
      if (TKelvoTreeView::ElementOf(modem->child(j)) == element) return modem->child(j);
    }
  }
  return nullptr;
}

TModalResult TKelvoDlg::MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) {
  QString shown = EditorTextFromAnsi(text);
  QWidget* owner = QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget() : this;
  QMessageBox box(BoxIcon(icon), QString::fromLatin1(texts::kAppTitle.data(), texts::kAppTitle.size()), shown,
                  QMessageBox::NoButton, owner);
  std::map<QAbstractButton*, TModalResult> results;
  auto add = [&](const char* caption, QMessageBox::ButtonRole role, TModalResult result) {
    results[box.addButton(Ru(caption), role)] = result;
  };
  switch (buttons) {
    case TMsgButtons::mbOk:
      add("ОК", QMessageBox::AcceptRole, TModalResult::mrOk);
      break;
    case TMsgButtons::mbOkCancel:
      add("ОК", QMessageBox::AcceptRole, TModalResult::mrOk);
      add("Отмена", QMessageBox::RejectRole, TModalResult::mrCancel);
      break;
    case TMsgButtons::mbYesNoCancel:
      add("Да", QMessageBox::YesRole, TModalResult::mrYes);
      add("Нет", QMessageBox::NoRole, TModalResult::mrNo);
      add("Отмена", QMessageBox::RejectRole, TModalResult::mrCancel);
      break;
    case TMsgButtons::mbYesNo:
      add("Да", QMessageBox::YesRole, TModalResult::mrYes);
      add("Нет", QMessageBox::NoRole, TModalResult::mrNo);
      break;
  }
  QMessageBox* outer = FOpenBox;
  FOpenBox = &box;
  box.exec();
  FOpenBox = outer;
  auto found = results.find(box.clickedButton());
  if (found != results.end()) return found->second;
  switch (buttons) {
    case TMsgButtons::mbOk:
      return TModalResult::mrOk;
    case TMsgButtons::mbYesNo:
      return TModalResult::mrNo;
    default:
      return TModalResult::mrCancel;
  }
}

void TKelvoDlg::SetActionEnabled(TKelvoAction action, bool enabled) {
  Action(action)->setEnabled(enabled);
}
bool TKelvoDlg::ActionEnabled(TKelvoAction action) const {
  return Action(action)->isEnabled();
}

void TKelvoDlg::SetDescriptionPane(const std::string& text) {
  DescriptionMemo->setPlainText(EditorTextFromAnsi(text));
}

void TKelvoDlg::SetStatusText(const std::string& text) {
  StatusPanel->setText(FromAnsi(text));
}
// 0 while no port is chosen: the choice item, the Rescan entry or an empty text.
int TKelvoDlg::PortIndex() const {
  return PortName().empty() ? 0 : std::max(PortComboBox->currentIndex(), 1);
}
// The port of the item whose text is shown, or the text as typed.
std::string TKelvoDlg::PortName() const {
  const QString text = PortComboBox->currentText();
  const int index = PortComboBox->findText(text, Qt::MatchExactly);
  if (index < 0) return ToAnsi(text.trimmed());
  const QString port = PortComboBox->itemData(index).toString();
  return port == QStringLiteral("\n") ? std::string() : ToAnsi(port);
}
void TKelvoDlg::FocusPortList() {
  PortComboBox->setFocus();
}

TTreeNode TKelvoDlg::AddTreeNode(TTreeNode parent, const std::string& text, int image, TXpElement* element) {
  auto* node = new TKelvoTreeItem(text, image, element);
  if (parent != nullptr) {
    static_cast<QTreeWidgetItem*>(parent)->addChild(node);
  } else if (FFillingTree) {
    FNewModems.append(node);
  } else {
    TreeView->addTopLevelItem(node);
  }
  return static_cast<QTreeWidgetItem*>(node);
}

void TKelvoDlg::DeleteTreeNode(TTreeNode node) {
  delete static_cast<QTreeWidgetItem*>(node);
}

void TKelvoDlg::SelectAndEditTreeNode(TTreeNode node) {
  auto* item = static_cast<QTreeWidgetItem*>(node);
  TreeView->setCurrentItem(item);
  TreeView->scrollToItem(item);
  TreeView->setFocus();
  TreeView->editItem(item);
}

void TKelvoDlg::SetEditorScript(const std::string& text) {
  if (FEditor != nullptr) FEditor->SetScriptText(text);
}
void TKelvoDlg::SetEditorDescription(const std::string& text) {
  if (FEditor != nullptr) FEditor->SetDescriptionText(text);
}
std::string TKelvoDlg::EditorScript() const {
  return FEditor != nullptr ? FEditor->ScriptText() : "";
}
std::string TKelvoDlg::EditorDescription() const {
  return FEditor != nullptr ? FEditor->DescriptionText() : "";
}
void TKelvoDlg::SetEditorCaption(const std::string& caption) {
  if (FEditor != nullptr) FEditor->setWindowTitle(FromAnsi(caption));
}
void TKelvoDlg::ShowEditor(TEditorPage page) {
  if (FEditor != nullptr) FEditor->Execute(page);
}
bool TKelvoDlg::EditorVisible() const {
  return FEditor != nullptr && FEditor->isVisible();
}
void TKelvoDlg::SetEditorPage(TEditorPage page) {
  if (FEditor != nullptr) FEditor->SetPage(page);
}
void TKelvoDlg::ReportCompileError(const std::string& pos, const std::string& message) {
  if (FEditor == nullptr) return;
  FEditor->CompileErrorPos = pos;
  FEditor->CompileErrorMsg = message;
  if (FEditor->isVisible()) {
    FEditor->ShowCompileError();
  } else {
    FEditor->Execute(TEditorPage::epDescription);  // its show handler reports the error
  }
}
void TKelvoDlg::ClearLog() {
  FLog.clear();
  LogView->Clear();
  if (FEditor != nullptr) FEditor->LogMemo->Clear();
}
void TKelvoDlg::AppendLogLine(const TLogEntry& entry) {
  FLog.push_back(entry);
  while (FLog.size() > static_cast<size_t>(FLogLimit)) FLog.pop_front();
  LogView->Append(entry);
  if (FEditor != nullptr) FEditor->LogMemo->Append(entry);
  if (FRunLog.IsOpen() && !FRunLog.Append(entry))
    SetStatusText(ToAnsi(Ru("протокол запуска не записан: ")) + Utf8ToAnsi(FRunLog.Path()));
}

void TKelvoDlg::SetLogLimit(int lines) {
  FLogLimit = std::max(lines, 1);
  while (FLog.size() > static_cast<size_t>(FLogLimit)) FLog.pop_front();
  LogView->setMaximumBlockCount(FLogLimit);
  if (FEditor != nullptr) FEditor->LogMemo->setMaximumBlockCount(FLogLimit);
}

void TKelvoDlg::SetSaveAllRuns(bool on) {
  FSaveAllRuns = on;
  SaveAllRunsAction->blockSignals(true);
  SaveAllRunsAction->setChecked(on);
  SaveAllRunsAction->blockSignals(false);
}

// A file that cannot be made is said in the log, and the run goes on without it.
void TKelvoDlg::OpenRunLogFile(const std::string& modem, const std::string& script) {
  if (!FSaveAllRuns) return;
  const std::string folder = RunLogFolder();
  try {
    if (folder.empty()) throw Exception(ToAnsi(Ru("не задана домашняя папка (HOME)")));
    FRunLog.Open(folder, std::chrono::system_clock::now(), modem, script);
  } catch (const std::exception& e) {
    AppendLogLine({std::chrono::system_clock::now(), lkError,
                   ToAnsi(Ru("протокол запуска не сохраняется: ")) + e.what()});
  }
}

void TKelvoDlg::CloseRunLogFile() {
  if (!FRunLog.IsOpen()) return;
  FRunLog.Close();
  PruneRunLogs(RunLogFolder(), kKeptRunLogs);
}

void TKelvoDlg::ClearLogActionExecute() {
  ClearLog();
}

void TKelvoDlg::SetShowLogTime(bool on) {
  FShowLogTime = on;
  LogView->SetShowTime(on);
  if (FEditor != nullptr) FEditor->LogMemo->SetShowTime(on);
}

void TKelvoDlg::SaveLogActionExecute() {
  QWidget* owner = QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget() : this;
  QString path = QFileDialog::getSaveFileName(owner, Ru("Сохранить протокол"), Ru("протокол.txt"),
                                              Ru("Текстовые файлы (*.txt *.log);;Все файлы (*)"));
  if (path.isEmpty()) return;
  SaveLogTo(path.toStdString());
}

void TKelvoDlg::SaveLogTo(const std::string& path) {
  FCore.Guarded([&] { SaveLogFile(path, std::vector<TLogEntry>(FLog.begin(), FLog.end())); });
}

void TKelvoDlg::ShowSearchProgress(int step, int count, const std::string& text) {
  if (count <= 0) {
    SearchProgress->hide();
    return;
  }
  SearchProgress->setRange(0, count);
  SearchProgress->setValue(step);
  SearchProgress->setFormat(FromAnsi(text));
  SearchProgress->show();
}

bool TKelvoDlg::AskUserString(const std::string& caption, const std::string& message, std::string& answer) {
  return FInput != nullptr && FInput->Execute(caption, message, answer);
}

void TKelvoDlg::ShowWaitBox(const std::string& text) {
  if (FWaitBox != nullptr) FWaitBox->ShowText(text);
}

// The arrow with an hourglass: the program works, and the window still answers.
void TKelvoDlg::SetBusyCursor(bool busy) {
  if (busy) {
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    ++FBusy;
  } else if (FBusy > 0) {
    QGuiApplication::restoreOverrideCursor();
    --FBusy;
  }
}

void TKelvoDlg::RunStateChanged(bool running) {
  UpdateActionTips();
  if (running) {
    BottomPane->setCurrentWidget(LogView);
    OpenRunLogFile(FCore.CurrentModem() != nullptr ? ElementName(*FCore.CurrentModem()) : std::string(),
                   FCore.CurrentScript() != nullptr ? ElementName(*FCore.CurrentScript()) : std::string());
  } else {
    CloseRunLogFile();
  }
  if (running || !FCloseWhenStopped) return;
  FCloseWhenStopped = false;
  QTimer::singleShot(0, this, &QWidget::close);
}

void TKelvoDlg::RunOnScreenThread(std::function<void()> task) {
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void TKelvoDlg::StopScript() {
  if (FCore.TerminalOpen()) FCore.CloseTerminalActionExecute();
  if (!FCore.Running()) return;
  FCore.StopScriptActionExecute();
  if (FInput != nullptr && FInput->isVisible()) FInput->reject();
  if (FOpenBox != nullptr) FOpenBox->done(QDialog::Rejected);
}

void TKelvoDlg::closeEvent(QCloseEvent* event) {
  if (!FCore.Running()) {
    SaveSettings();
    QMainWindow::closeEvent(event);
    return;
  }
  event->ignore();
  if (MessageBox(Ansi(texts::kStopAndQuit), TMsgIcon::miQuestion, TMsgButtons::mbYesNo) !=
      TModalResult::mrYes)
    return;
  if (!FCore.Running()) {  // the run ended while the question was open
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  FCloseWhenStopped = true;
  StopScript();
}

void TKelvoDlg::FormHelp() {
  HelpWindow->ShowTopic();
}
void TKelvoDlg::TBItem7Click() {
  close();
}
void TKelvoDlg::TBItem9Click() {
  if (FAbout != nullptr) FAbout->exec();
}

}  // namespace kelvo
