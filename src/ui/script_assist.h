// TScriptAssist: help while typing in the script editor. Ctrl+Space offers the names that complete
// the word at the caret in a list under it; typing "(" after a known function shows its declaration
// in a tooltip; F1 opens the help entry of the word at the caret. It watches the editor from outside
// (an event filter), so the editor itself stays a plain text view. What it offers comes from the
// application's rules (app/script_completion.h).
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QListWidget;
class QPlainTextEdit;

namespace kelvo {

class TScriptAssist : public QObject {
 public:
  // openHelp receives a help topic such as "kelvo-functions.html#fn-copy".
  TScriptAssist(QPlainTextEdit* editor, std::function<void(const QString& topic)> openHelp);

  // As Ctrl+Space: one name that completes the word is inserted at once; several are listed.
  void Complete();
  // As "(" just typed: the tooltip with the declaration, when the name before the bracket is known.
  void ShowSignature();
  // As F1.
  void OpenHelp();

  QListWidget* CompletionList;  // a pop-up under the caret while it offers names
  QString LastSignature;        // the declaration the signature tooltip showed last (empty: none)
  QString LastTip;              // the whole text of that tooltip

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool EditorKey(QEvent* event);
  bool ListKey(QEvent* event);
  void Offer();
  void Insert(const QString& name);
  std::string EditorText() const;
  size_t Caret() const;

  QPlainTextEdit* FEditor;
  std::function<void(const QString&)> FOpenHelp;
};

}  // namespace kelvo
