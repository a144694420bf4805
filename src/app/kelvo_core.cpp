#include "app/kelvo_core.h"

#include <algorithm>

#include "app/app_texts.h"
#include "app/error_display.h"
#include "app/hex_text.h"
#include "text/ansi_text.h"
#include "text/exception.h"

namespace kelvo {

namespace {

TXpElement* ParentElement(const TXpElement& element) {
  TXpNode* parent = element.ParentNode();
  if (parent == nullptr || parent->NodeType() != TXpNodeType::ntElement) return nullptr;
  return static_cast<TXpElement*>(parent);
}

bool HasControlCharacter(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
}

}  // namespace

TKelvoCore::TKelvoCore(TKelvoScreen& screen)
    : FScreen(screen),
      FRunScreen(
          screen, [&screen](std::function<void()> task) { screen.RunOnScreenThread(std::move(task)); },
          FRunStop),
      FRunner(FRunScreen, FComPort, fsScript, FRunStop),
      FTermScreen(
          screen, [&screen](std::function<void()> task) { screen.RunOnScreenThread(std::move(task)); },
          FTermStop),
      FTerminal(FTermScreen, FComPort, FTermStop) {}

TKelvoCore::~TKelvoCore() {
  ShutDown();
}

void TKelvoCore::LoadLibrary(const std::string& path, const std::vector<std::string>& args) {
  FLibrary.Load(path, args);
}

void TKelvoCore::BuildTree() {
  TXpNodeList modems = FLibrary.Modems();
  for (int i = 0; i < modems.nlGetLength(); ++i) {
    TXpElement* modem = modems.ElementItem(i);
    modem->UserSlot = FScreen.AddTreeNode(nullptr, ElementName(*modem), kModemImage, modem);
    TXpNodeList scripts = TModemLibrary::Scripts(*modem);
    for (int j = 0; j < scripts.nlGetLength(); ++j) {
      TXpElement* script = scripts.ElementItem(j);
      script->UserSlot = FScreen.AddTreeNode(modem->UserSlot, ElementName(*script), kScriptImage, script);
    }
  }
}

bool TKelvoCore::TouchesRun(const TXpElement* element) const {
  return FRunning && element != nullptr && (element == FRunModem || element == FRunScript);
}

bool TKelvoCore::MayRename(const TXpElement* element) const {
  return !TouchesRun(element);
}

// The commands follow the selection, and a run: while one executes no other starts, and what it
// runs can be neither edited nor deleted.
void TKelvoCore::SetSelectionActions() {
  bool script = FCurrentScript != nullptr;
  bool modem = !script && FCurrentModem != nullptr;
  FScreen.SetActionEnabled(TKelvoAction::kaRunScript, script && !FRunning && !FTerminalOpen);
  FScreen.SetActionEnabled(TKelvoAction::kaEditScript, script && !FRunning);
  FScreen.SetActionEnabled(TKelvoAction::kaAddScript, modem || script);
  FScreen.SetActionEnabled(TKelvoAction::kaRemoveScript, script && !TouchesRun(FCurrentScript));
  FScreen.SetActionEnabled(TKelvoAction::kaRemoveModem, modem && !TouchesRun(FCurrentModem));
  FScreen.SetActionEnabled(TKelvoAction::kaAddModem, true);
  FScreen.SetActionEnabled(TKelvoAction::kaStopScript, FRunning || FTerminalOpen);
  FScreen.SetActionEnabled(TKelvoAction::kaTerminal, !FRunning && !FTerminalOpen);
  FScreen.SetActionEnabled(TKelvoAction::kaCloseTerminal, FTerminalOpen);
}

void TKelvoCore::TreeViewChange(TXpElement* element) {
  FCurrentModem = nullptr;
  FCurrentScript = nullptr;
  SetSelectionActions();
  // A running script keeps its text; otherwise the engine forgets the previous selection's script.
  if (!FRunning) fsScript.Lines.clear();
  FScreen.SetEditorScript({});
  FScreen.SetEditorDescription({});
  FScreen.SetDescriptionPane({});
  if (element == nullptr) return;
  if (IsModem(*element)) {
    FCurrentModem = element;
    SetSelectionActions();
    return;
  }
  if (!IsScript(*element)) return;
  FCurrentScript = element;
  FCurrentModem = ParentElement(*element);
  SetSelectionActions();
  FScreen.SetEditorScript(HexToText(GetAnsiAttribute(*element, u"Body")));
  std::string description = HexToText(GetAnsiAttribute(*element, u"Description"));
  FScreen.SetEditorDescription(description);
  FScreen.SetDescriptionPane(description);
  std::string modemName = FCurrentModem != nullptr ? ElementName(*FCurrentModem) : std::string();
  FScreen.SetEditorCaption(EditorCaption(modemName, ElementName(*element)));
}

void TKelvoCore::TreeViewEdited(TXpElement* element, std::string& s) {
  s = Trim(s);
  if (element == nullptr || !MayRename(element)) return;
  if (s.empty() || HasControlCharacter(s)) throw Exception(Ansi(texts::kInvalidName));
  // Two modems of one name would make the next start refuse the whole library.
  if (IsModem(*element) && FLibrary.ModemNameTaken(s, element)) {
    throw Exception(FormatMessage(Ansi(texts::kDuplicateModemName), {s}));
  }
  SetAnsiAttribute(*element, u"Name", s);
  FLibrary.Save();
  // The editor's caption names the selected script and its modem.
  if (FCurrentScript != nullptr && (element == FCurrentScript || element == FCurrentModem)) {
    std::string modemName = FCurrentModem != nullptr ? ElementName(*FCurrentModem) : std::string();
    FScreen.SetEditorCaption(EditorCaption(modemName, ElementName(*FCurrentScript)));
  }
}

void TKelvoCore::TreeViewDblClick() {
  if (FCurrentScript != nullptr) RunScriptActionExecute();
}

void TKelvoCore::AddModemActionExecute() {
  TXpElement* modem = FLibrary.Root()->CreateChildElement(u"Modem");
  std::string name = FLibrary.FreeNewModemName();
  SetAnsiAttribute(*modem, u"Name", name);
  modem->UserSlot = FScreen.AddTreeNode(nullptr, name, kModemImage, modem);
  FLibrary.Save();
  FScreen.SelectAndEditTreeNode(modem->UserSlot);
}

void TKelvoCore::AddScriptActionExecute() {
  if (FCurrentModem == nullptr) return;
  TXpElement* modem = FCurrentModem;
  TXpElement* script = modem->CreateChildElement(u"Script");
  std::string name = Ansi(texts::kNewScriptName);
  SetAnsiAttribute(*script, u"Name", name);
  script->UserSlot = FScreen.AddTreeNode(modem->UserSlot, name, kScriptImage, script);
  FLibrary.Save();
  FScreen.SelectAndEditTreeNode(script->UserSlot);
}

// Detaches element from the document and deletes its node; the selection handler runs while the
// detached element is still alive, and the selection never keeps pointing at it.
void TKelvoCore::DeleteElement(TXpElement* element) {
  std::unique_ptr<TXpNode> detached = element->ParentNode()->RemoveChild(element);
  FScreen.DeleteTreeNode(element->UserSlot);
  if (FCurrentModem == element || FCurrentScript == element) TreeViewChange(nullptr);
}

void TKelvoCore::RemoveModemActionExecute() {
  if (FCurrentModem == nullptr) return;
  if (FLibrary.ProtectedForUser(*FCurrentModem)) {
    FScreen.MessageBox(Ansi(texts::kModemProtected), TMsgIcon::miError, TMsgButtons::mbOk);
    return;
  }
  if (FScreen.MessageBox(Ansi(texts::kConfirmRemoveModem), TMsgIcon::miExclamation,
                         TMsgButtons::mbOkCancel) != TModalResult::mrOk) {
    return;
  }
  DeleteElement(FCurrentModem);
  FLibrary.Save();
}

void TKelvoCore::RemoveScriptActionExecute() {
  if (FCurrentScript == nullptr) return;
  if (FLibrary.ProtectedForUser(*FCurrentScript)) {
    FScreen.MessageBox(Ansi(texts::kScriptProtected), TMsgIcon::miError, TMsgButtons::mbOk);
    return;
  }
  if (FScreen.MessageBox(Ansi(texts::kConfirmRemoveScript), TMsgIcon::miExclamation,
                         TMsgButtons::mbOkCancel) != TModalResult::mrOk) {
    return;
  }
  DeleteElement(FCurrentScript);
  FLibrary.Save();
}

void TKelvoCore::LoadEditorTexts(const TXpElement& script) {
  FScreen.SetEditorScript(HexToText(GetAnsiAttribute(script, u"Body")));
  FScreen.SetEditorDescription(HexToText(GetAnsiAttribute(script, u"Description")));
}

void TKelvoCore::EditScriptActionExecute() {
  if (FCurrentScript == nullptr) return;
  // Reloading discards whatever unsaved text the editor still holds.
  LoadEditorTexts(*FCurrentScript);
  FScreen.ShowEditor(TEditorPage::epDescription);
}

void TKelvoCore::SaveScriptActionExecute() {
  if (FCurrentScript == nullptr) return;
  TXpElement& script = *FCurrentScript;
  if (FLibrary.ProtectedForUser(script)) {
    FScreen.MessageBox(Ansi(texts::kScriptWriteProtected), TMsgIcon::miError, TMsgButtons::mbOk);
    return;
  }
  // Each set moves the attribute to the end of the list; Body goes first so that the file reads
  // Name, Body, Description whatever the order was before.
  script.SetAttribute(u"Body", u"");
  SetAnsiAttribute(script, u"Body", TextToHex(FScreen.EditorScript()));
  SetAnsiAttribute(script, u"Description", TextToHex(FScreen.EditorDescription()));
  if (FLibrary.VersionStamping()) script.SetAttribute(u"Protected", u"yes");
  FLibrary.Save();
  FScreen.SetActionEnabled(TKelvoAction::kaSaveScript, false);
  FScreen.SetDescriptionPane(HexToText(GetAnsiAttribute(script, u"Description")));
}

void TKelvoCore::RunScriptActionExecute() {
  if (FRunning) return;
  if (FTerminalOpen) {  // a double click on a script: the disabled action's tip is not in view
    FScreen.SetStatusText(Ansi(texts::kPortHeldByTerminal));
    return;
  }
  if (FScreen.PortIndex() == 0) {
    FScreen.MessageBox(Ansi(texts::kChoosePort), TMsgIcon::miInformation, TMsgButtons::mbOk);
    FScreen.FocusPortList();
    return;
  }
  std::string port = FScreen.PortName();
  if (!FRunner.Compile(FScreen.EditorScript())) {
    FScreen.ReportCompileError(fsScript.ErrorPlace, fsScript.ErrorText);
    throw EAbort();
  }
  BeginRun();
  FRunThread.Start([this, port] {
    TRunResult result = FRunner.Execute(port);
    FRunScreen.Post([this, result](TRunScreen&) { RunFinished(result); });
  });
}

void TKelvoCore::BeginRun() {
  FRunning = true;
  FRunModem = FCurrentModem;
  FRunScript = FCurrentScript;
  SetSelectionActions();
  FScreen.SetEditorPage(TEditorPage::epProtocol);
  FScreen.ClearLog();
  FScreen.SetBusyCursor(true);
  FScreen.RunStateChanged(true);
}

// The screen's thread, after every line the run logged: the commands come back, and an error that
// ended the run is also shown in the standard error display. A run that FailScript ended has
// shown its warning already, and a stop the user asked for needs no dialog.
void TKelvoCore::RunFinished(const TRunResult& result) {
  FRunThread.Join();
  FRunning = false;
  FRunModem = FRunScript = nullptr;
  FScreen.SetBusyCursor(false);
  SetSelectionActions();
  FScreen.RunStateChanged(false);
  if (result.End == TRunEnd::reError) ShowException(result.Error);
}

void TKelvoCore::StopScriptActionExecute() {
  if (FRunning) FRunner.Stop();
  CloseTerminalActionExecute();
}

void TKelvoCore::ShutDown() {
  if (FTerminalOpen) {
    FTerminal.Close();
    FTermScreen.Detach();
    FTermThread.Join();
    FTerminalOpen = false;
  }
  if (!FRunning) return;
  FRunner.Stop();
  FRunScreen.Detach();
  FRunThread.Join();
  FRunning = false;
  FRunModem = FRunScript = nullptr;
}

void TKelvoCore::TerminalActionExecute(std::optional<int> speed) {
  if (FRunning || FTerminalOpen) return;
  if (FScreen.PortIndex() == 0) {
    FScreen.MessageBox(Ansi(texts::kChoosePort), TMsgIcon::miInformation, TMsgButtons::mbOk);
    FScreen.FocusPortList();
    return;
  }
  std::string port = FScreen.PortName();
  FTermStop.Reset();
  FTerminalOpen = true;
  SetSelectionActions();
  // The log is kept: the lines of a run that failed stay in view above the commands tried by hand.
  FScreen.TerminalStateChanged(true);
  FTermThread.Start([this, port, speed] {
    FTerminal.Run(port, speed);
    FTermScreen.Post([this](TRunScreen&) { TerminalFinished(); });
  });
}

void TKelvoCore::CloseTerminalActionExecute() {
  if (FTerminalOpen) FTerminal.Close();
}

// The screen's thread, after every line the terminal logged.
void TKelvoCore::TerminalFinished() {
  FTermThread.Join();
  FTerminalOpen = false;
  SetSelectionActions();
  FScreen.TerminalStateChanged(false);
}

void TKelvoCore::EditorTextChanged() {
  FScreen.SetActionEnabled(TKelvoAction::kaSaveScript, true);
}

void TKelvoCore::EditorShown() {
  FScreen.SetActionEnabled(TKelvoAction::kaSaveScript, false);
}

bool TKelvoCore::EditorCloseQuery() {
  if (!FScreen.ActionEnabled(TKelvoAction::kaSaveScript)) return true;
  switch (FScreen.MessageBox(Ansi(texts::kSaveChanges), TMsgIcon::miQuestion, TMsgButtons::mbYesNoCancel)) {
    case TModalResult::mrYes:
      Guarded([this] { SaveScriptActionExecute(); });
      return !FScreen.ActionEnabled(TKelvoAction::kaSaveScript);
    case TModalResult::mrNo:
      return true;
    default:
      return false;
  }
}

std::string TKelvoCore::EditorCaption(const std::string& modem, const std::string& script) {
  return Ansi(texts::kEditorCaptionPrefix) + modem + " - \"" + script + "\"";
}

std::string TKelvoCore::MainCaption() {
  return std::string(texts::kAppTitle) + Ansi(texts::kMainCaptionSuffix);
}

void TKelvoCore::ShowException(const std::exception_ptr& error) {
  kelvo::ShowException(FScreen, error);
}

}  // namespace kelvo
