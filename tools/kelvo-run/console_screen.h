// The run of a script on a terminal: log lines on standard output (coloured when it is a terminal),
// questions asked and answered on the terminal, wait-box texts and messages printed. Texts arrive
// as Windows-1251 and are written as UTF-8.
#pragma once

#include <cstdio>
#include <string>

#include "app/kelvo_screen.h"

namespace kelvo {

class TConsoleScreen : public TKelvoScreen {
 public:
  TConsoleScreen(std::string script, std::string port, std::FILE* out, std::FILE* err, std::FILE* in);

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override;
  void SetActionEnabled(TKelvoAction, bool) override {}
  bool ActionEnabled(TKelvoAction) const override { return true; }
  void SetDescriptionPane(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  int PortIndex() const override { return 1; }
  std::string PortName() const override { return FPort; }
  void FocusPortList() override {}
  TTreeNode AddTreeNode(TTreeNode, const std::string&, int, TXpElement*) override { return nullptr; }
  void DeleteTreeNode(TTreeNode) override {}
  void SelectAndEditTreeNode(TTreeNode) override {}
  void SetEditorScript(const std::string& text) override { FScript = text; }
  void SetEditorDescription(const std::string&) override {}
  std::string EditorScript() const override { return FScript; }
  std::string EditorDescription() const override { return {}; }
  void SetEditorCaption(const std::string&) override {}
  void ShowEditor(TEditorPage) override {}
  bool EditorVisible() const override { return true; }  // the log is already in view
  void SetEditorPage(TEditorPage) override {}
  void ReportCompileError(const std::string& pos, const std::string& message) override;
  void ClearLog() override {}
  void AppendLogLine(TLogKind kind, const std::string& line) override;
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override;
  void ShowWaitBox(const std::string& text) override;
  void ProcessMessages() override;
  void SetBusyCursor(bool) override {}

  // "LINE:COLUMN: MESSAGE" of the last compilation error, or empty.
  const std::string& CompileError() const { return FCompileError; }

 private:
  void Print(std::FILE* stream, const std::string& ansiText, const char* colour);

  std::string FScript, FPort, FCompileError;
  std::FILE* FOut;
  std::FILE* FErr;
  std::FILE* FIn;
  bool FColour;
};

}  // namespace kelvo
