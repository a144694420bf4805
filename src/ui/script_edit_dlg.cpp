#include "ui/script_edit_dlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "app/error_place.h"
#include "app/kelvo_core.h"
#include "ui/cpp_highlighter.h"
#include "ui/kelvo_settings.h"
#include "ui/log_view.h"
#include "ui/qt_text.h"
#include "ui/script_assist.h"
#include "ui/script_memo.h"

namespace kelvo {

namespace {

QFont EditorFont() {
  QFont font(QStringLiteral("Courier New"), 10);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  return font;
}

QFont PaneFont() {
  QFont font(QStringLiteral("Arial"), 9);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace

TScriptEditDlg::TScriptEditDlg(QWidget* owner, TKelvoCore& core, TKelvoScreen& screen, QAction* saveAction,
                               QAction* runAction, QAction* stopAction)
    : QDialog(owner), FCore(core), FScreen(screen), FStopAction(stopAction) {
  setObjectName("ScriptEditDlg");
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  resize(619, 470);
  BuildToolbar(saveAction, runAction, stopAction);
  PlusMemo = new TScriptMemo(this);
  PlusMemo->setObjectName("PlusMemo");
  PlusMemo->setFont(EditorFont());
  PlusMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  PlusMemo->setTabStopDistance(4 * QFontMetricsF(PlusMemo->font()).horizontalAdvance(' '));
  CPPHighlighter = new TCppHighlighter(PlusMemo->document());
  Assist = new TScriptAssist(PlusMemo, [this](const QString& topic) {
    if (OnHelpTopic) OnHelpTopic(topic);
  });
  BuildPages();
  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(7);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(PlusMemo);
  Splitter1->addWidget(PageControl);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setSizes({300, 131});
  StatusLine = new QStatusBar(this);
  StatusLine->setObjectName("StatusLine");
  StatusLine->setSizeGripEnabled(false);
  CaretPlace = new QLabel(this);
  StatusLine->addPermanentWidget(CaretPlace);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(TBToolbar1);
  layout->addWidget(Splitter1, 1);
  layout->addWidget(StatusLine);
  connect(PlusMemo, &QPlainTextEdit::textChanged, this, &TScriptEditDlg::MemoChange);
  connect(PlusMemo, &QPlainTextEdit::textChanged, StatusLine, &QStatusBar::clearMessage);
  connect(PlusMemo, &QPlainTextEdit::cursorPositionChanged, this, &TScriptEditDlg::ShowCaretPlace);
  ShowCaretPlace();
  connect(DescriptionMemo, &QPlainTextEdit::textChanged, this, &TScriptEditDlg::MemoChange);
}

// The editors are destroyed after this class's part: their last signals must not reach the logic.
TScriptEditDlg::~TScriptEditDlg() {
  PlusMemo->blockSignals(true);
  DescriptionMemo->blockSignals(true);
}

void TScriptEditDlg::BuildToolbar(QAction* saveAction, QAction* runAction, QAction* stopAction) {
  TBToolbar1 = new QToolBar(this);
  TBToolbar1->setObjectName("TBToolbar1");
  TBToolbar1->setIconSize(QSize(20, 20));
  TBToolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  TBToolbar1->addAction(saveAction);
  auto* insertMenu = new QMenu(FromAnsi(Ansi("Вставить функцию")), this);
  InsertFunctionItem = TBToolbar1->addAction(insertMenu->title());
  InsertFunctionItem->setMenu(insertMenu);
  InsertFunctionItem->setVisible(false);
  TBToolbar1->addSeparator();
  TBToolbar1->addAction(runAction);
  TBToolbar1->addAction(stopAction);
  TBToolbar1->addSeparator();
}

void TScriptEditDlg::BuildPages() {
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  PageControl->setTabPosition(QTabWidget::South);
  PageControl->setMinimumHeight(80);
  DescriptionMemo = new QPlainTextEdit;
  DescriptionMemo->setObjectName("DescriptionMemo");
  DescriptionMemo->setFont(PaneFont());
  DescriptionMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  LogMemo = new TLogView;
  LogMemo->setObjectName("LogMemo");
  LogMemo->setFont(PaneFont());
  DescriptionSheet = DescriptionMemo;
  ProtocolSheet = LogMemo;
  PageControl->addTab(DescriptionSheet, FromAnsi(Ansi("Описание сценария")));
  PageControl->addTab(ProtocolSheet, FromAnsi(Ansi("Протокол выполнения")));
}

void TScriptEditDlg::MemoChange() {
  if (!FLoading) FCore.EditorTextChanged();
}

void TScriptEditDlg::SetScriptText(const std::string& text) {
  FLoading = true;
  PlusMemo->setPlainText(EditorTextFromAnsi(text));
  FLoading = false;
}

void TScriptEditDlg::SetDescriptionText(const std::string& text) {
  FLoading = true;
  DescriptionMemo->setPlainText(EditorTextFromAnsi(text));
  FLoading = false;
}

std::string TScriptEditDlg::ScriptText() const {
  return AnsiFromEditorText(PlusMemo->toPlainText());
}

std::string TScriptEditDlg::DescriptionText() const {
  return AnsiFromEditorText(DescriptionMemo->toPlainText());
}

void TScriptEditDlg::SetPage(TEditorPage page) {
  PageControl->setCurrentWidget(page == TEditorPage::epProtocol ? ProtocolSheet : DescriptionSheet);
}

void TScriptEditDlg::Execute(TEditorPage page) {
  SetPage(page);
  if (!FPlaced && parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  FPlaced = true;
  exec();
}

void TScriptEditDlg::SaveState(QSettings& settings) const {
  if (FPlaced) settings.setValue(settings::kEditorGeometry, saveGeometry());
  settings.setValue(settings::kEditorSplitter, Splitter1->saveState());
}

void TScriptEditDlg::RestoreState(QSettings& settings) {
  if (settings.contains(settings::kEditorGeometry))
    FPlaced = restoreGeometry(settings.value(settings::kEditorGeometry).toByteArray());
  if (settings.contains(settings::kEditorSplitter))
    Splitter1->restoreState(settings.value(settings::kEditorSplitter).toByteArray());
}

void TScriptEditDlg::ShowCaretPlace() {
  QTextCursor cursor = PlusMemo->textCursor();
  CaretPlace->setText(FromAnsi(Ansi("строка ")) + QString::number(cursor.blockNumber() + 1) +
                      FromAnsi(Ansi(", столбец ")) + QString::number(cursor.positionInBlock() + 1));
}

void TScriptEditDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FCore.EditorShown();
  // The error is reported once the window stands on the screen, so the box appears over it.
  if (!CompileErrorPos.empty()) {
    QTimer::singleShot(0, this, [this] { FCore.Guarded([this] { ShowCompileError(); }); });
  }
}

void TScriptEditDlg::ShowCompileError() {
  if (CompileErrorPos.empty()) return;
  TErrorPlace place = ParseErrorPlace(CompileErrorPos);
  QTextBlock block = PlusMemo->document()->findBlockByNumber(std::max(place.Line - 1, 0));
  if (!block.isValid()) block = PlusMemo->document()->lastBlock();
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                      std::clamp(place.Column, 0, std::max(block.length() - 1, 0)));
  PlusMemo->setTextCursor(cursor);
  PlusMemo->setFocus();
  std::string message = Ansi(texts::kCompileError) + "\r" + CompileErrorMsg;
  StatusLine->showMessage(FromAnsi(Ansi(texts::kCompileError) + Ansi(": строка ") +
                                   std::to_string(place.Line) + Ansi(", столбец ") +
                                   std::to_string(place.Column) + " - " + CompileErrorMsg));
  CompileErrorPos.clear();
  CompileErrorMsg.clear();
  FScreen.MessageBox(message, TMsgIcon::miExclamation, TMsgButtons::mbOk);
}

void TScriptEditDlg::reject() {
  if (FCore.Running() && !FClosing) {
    FStopAction->trigger();
    return;
  }
  if (FCore.EditorCloseQuery()) QDialog::reject();
}

void TScriptEditDlg::closeEvent(QCloseEvent* event) {
  event->ignore();
  FClosing = true;
  reject();
  FClosing = false;
}

}  // namespace kelvo
