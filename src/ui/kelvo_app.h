// The program entry's work: the application object's settings, the five windows created once in
// their order, and the standard error display for a start-up that fails before any window exists.
#pragma once

#include <QApplication>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ui/about_box.h"
#include "ui/input_dialog.h"
#include "ui/kelvo_dlg.h"
#include "ui/script_edit_dlg.h"
#include "ui/wait_box_form.h"

namespace kelvo {

// The windows of one run of the program, in the order of their creation. The main window owns the
// others (they are its Qt children), so they go when it goes.
struct TKelvoWindows {
  std::unique_ptr<TKelvoDlg> KelvoDlg;
  TInputDialog* InputDialog = nullptr;
  TScriptEditDlg* ScriptEditDlg = nullptr;
  TAboutBox* AboutBox = nullptr;
  TWaitBoxForm* WaitBoxForm = nullptr;
};

// Creates the main window with dir and args, then the input dialog, the script editor, the about box
// and the wait box, and links them to the main window. Raises what the main window raises. Tests give
// a main window class of their own as TMain.
template <class TMain = TKelvoDlg>
TKelvoWindows CreateWindows(const std::string& dir, const std::vector<std::string>& args) {
  TKelvoWindows w;
  auto main = std::make_unique<TMain>(dir, args);
  TKelvoDlg& dlg = *main;
  w.KelvoDlg = std::move(main);
  w.InputDialog = new TInputDialog(&dlg);
  w.ScriptEditDlg =
      new TScriptEditDlg(&dlg, dlg.Core(), dlg, dlg.Action(TKelvoAction::kaSaveScript),
                         dlg.Action(TKelvoAction::kaRunScript), dlg.Action(TKelvoAction::kaStopScript));
  w.AboutBox = new TAboutBox(
      &dlg, [&dlg] { return dlg.Core().Library().LibraryVersion(); },
      [&dlg] { return dlg.Core().Library().Path(); });
  w.WaitBoxForm = new TWaitBoxForm(&dlg);
  dlg.AttachWindows(w.InputDialog, w.ScriptEditDlg, w.AboutBox, w.WaitBoxForm);
  return w;
}

// The standard error display without a main window: an error box titled "Kelvo".
void ShowStartupError(const std::exception_ptr& error);

// Qt's own texts (the editors' context menus, the standard dialogs' buttons) in the interface's
// language, so that a window never mixes two: Debian's Russian Qt translation for the Russian
// interface, Qt's own English for the English one. Returns the translation's file, or an empty text
// when none was loaded (the English interface, or Qt's translations not installed).
QString LoadQtTranslations(bool englishInterface);

// The command-line arguments after the program's name, as 8-bit text.
std::vector<std::string> AnsiArguments(const QStringList& arguments);

}  // namespace kelvo
