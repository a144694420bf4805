// What a run of a script shows and asks: the part of the screen seam that the run uses. The window
// implements it on its own thread; a run on a thread of its own reaches it through the hand-over
// (app/screen_hand_over.h); the command-line runner implements it on the terminal. All texts are
// 8-bit Windows-1251; line breaks are CR LF.
#pragma once

#include <string>

#include "app/run_log.h"

namespace kelvo {

enum class TMsgIcon { miError, miInformation, miExclamation, miQuestion };
enum class TMsgButtons { mbOk, mbOkCancel, mbYesNoCancel, mbYesNo };
enum class TModalResult { mrNone, mrOk, mrCancel, mrYes, mrNo };

class TRunScreen {
 public:
  virtual ~TRunScreen() = default;

  // A message box titled with the application title; returns the button pressed (closing the box
  // counts as Cancel, or OK for a box with only OK, or No for Yes/No).
  virtual TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) = 0;
  // The status bar's text: the last log line.
  virtual void SetStatusText(const std::string& text) = 0;
  // Appends a line to the execution log.
  virtual void AppendLogLine(const TLogEntry& entry) = 0;
  // False when the user cancels; answer holds the text on true.
  virtual bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) = 0;
  // Shows the wait box with the text, or hides it when the text is empty.
  virtual void ShowWaitBox(const std::string& text) = 0;
  // The progress of the modem search: step of count ("поиск модема: 3 из 10, 19200 bps" in text);
  // a count of 0 hides it.
  virtual void ShowSearchProgress(int step, int count, const std::string& text) = 0;
};

}  // namespace kelvo
