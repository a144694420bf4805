#include "app/script_run.h"

#include "app/app_texts.h"
#include "script/fs_modules.h"
#include "text/exception.h"

namespace kelvo {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

TScriptRunner::TScriptRunner(TKelvoScreen& screen, TCustomComPort& port, TfsScript& script)
    : FScreen(screen), FPort(port), FScript(script), FLine(screen, port), FHost(screen, FLine, script) {}

void TScriptRunner::Run(const std::string& portName) {
  if (FRunning) return;
  FPort.SetPortName(portName);
  PrepareEngine();
  FScript.Lines = SplitLines(FScreen.EditorScript());
  FScript.SyntaxType = "JScript";
  Compile();

  FRunning = true;
  FScreen.SetActionEnabled(TKelvoAction::kaRunScript, false);
  FScreen.SetActionEnabled(TKelvoAction::kaEditScript, false);
  OpenPort();
  FScreen.SetEditorPage(TEditorPage::epProtocol);
  FScreen.ClearLog();
  FScreen.SetBusyCursor(true);
  FScreen.ProcessMessages();
  try {
    DetectAndExecute();
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
  if (FHost.RunFailed() && !FScreen.EditorVisible()) FScreen.ShowEditor(TEditorPage::epProtocol);
}

void TScriptRunner::PrepareEngine() {
  FScript.Clear();
  FScript.Parent = fsGlobalUnit();
  FHost.Register();
}

void TScriptRunner::Compile() {
  if (FScript.Compile()) return;
  FScreen.ReportCompileError(FScript.ErrorPlace, FScript.ErrorText);
  throw EAbort();
}

// A port that cannot be opened ends the run with its error; the actions are enabled again so that
// the user can pick another port and retry at once.
void TScriptRunner::OpenPort() {
  try {
    FPort.Open();
  } catch (...) {
    FRunning = false;
    FScreen.SetActionEnabled(TKelvoAction::kaRunScript, true);
    FScreen.SetActionEnabled(TKelvoAction::kaEditScript, true);
    throw;
  }
}

void TScriptRunner::DetectAndExecute() {
  if (FFixedSpeed)
    FLine.UseSpeed(*FFixedSpeed);
  else if (!FLine.DetectModem())
    throw Exception(Ansi(texts::kModemNotFound));
  FHost.ClearRunFailed();
  FScript.Execute();
}

void TScriptRunner::Restore() {
  FPort.Close();
  FScreen.SetBusyCursor(false);
  FScreen.SetStatusText({});
  FHost.DoWaitBox({});
  FScreen.SetActionEnabled(TKelvoAction::kaRunScript, true);
  FScreen.SetActionEnabled(TKelvoAction::kaEditScript, true);
  FRunning = false;
}

}  // namespace kelvo
