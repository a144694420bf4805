#include "app/script_run.h"

#include <cstdio>
#include <mutex>

#include "app/app_texts.h"
#include "app/error_display.h"
#include "script/lib/system_library.h"
#include "text/cp1251.h"
#include "text/exception.h"

namespace kelvo {

namespace {

// The screen of the run executing on this thread, for the system library's ShowMessage.
thread_local TRunScreen* tRunScreen = nullptr;

// ShowMessage is one hook for the whole process; it reaches the screen of the run whose script
// calls it, so that runs on several threads each show their own messages.
void InstallShowMessageHook() {
  static std::once_flag once;
  std::call_once(once, [] {
    SetShowMessageHook([](const std::string& text) {
      if (tRunScreen != nullptr) {
        tRunScreen->MessageBox(text, TMsgIcon::miInformation, TMsgButtons::mbOk);
        return;
      }
      std::string utf8 = AnsiToUtf8(text) + "\n";
      std::fwrite(utf8.data(), 1, utf8.size(), stdout);
      std::fflush(stdout);
    });
  });
}

struct TThreadScreen {
  explicit TThreadScreen(TRunScreen& screen) : Saved(tRunScreen) { tRunScreen = &screen; }
  ~TThreadScreen() { tRunScreen = Saved; }
  TRunScreen* Saved;
};

}  // namespace

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

std::string FormatRunSeconds(std::chrono::milliseconds duration) {
  long long tenths = (duration.count() + 50) / 100;
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

TScriptRunner::TScriptRunner(TRunScreen& screen, TCustomComPort& port, TfsScript& script, TRunStop& stop)
    : FScreen(screen),
      FPort(port),
      FScript(script),
      FStop(stop),
      FLine(screen, port, &FStop),
      FHost(screen, FLine, script, &FStop) {
  InstallShowMessageHook();
  FSystemLibrary.AddRTTI();
}

bool TScriptRunner::Compile(const std::string& text) {
  FStop.Reset();
  PrepareEngine();
  FScript.Lines = SplitLines(text);
  FScript.SyntaxType = "JScript";
  return FScript.Compile();
}

// The engine asks before each statement whether to go on: a stop requested from another thread
// ends the script there, also inside a loop that calls no host function.
void TScriptRunner::PrepareEngine() {
  FScript.Clear();
  FScript.Parent = &FSystemLibrary;
  FHost.Register();
  FScript.OnRunLine = [this](TfsScript&, const std::string&, const std::string&) {
    if (FStop.Requested()) FScript.Terminate();
  };
}

TRunResult TScriptRunner::Execute(const std::string& portName) {
  TThreadScreen threadScreen(FScreen);
  FDetectedSpeed = 0;
  const auto start = std::chrono::steady_clock::now();
  TRunResult result;
  try {
    // The run reads and writes itself; device events would only cost a thread and hand-overs.
    FPort.SetEvents({});
    FPort.SetInterruptSignal(&FStop.Signal());
    FPort.SetPortName(portName);
    FPort.Open();
    result = DetectAndExecute();
  } catch (const ERunStopped&) {
    result = Ended(TRunEnd::reStopped, StoppedText());
  } catch (...) {
    result = Ended(TRunEnd::reError, ExceptionMessage(std::current_exception()), std::current_exception());
  }
  Restore();
  result.Duration =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  result.DetectedSpeed = FDetectedSpeed;
  if (result.End == TRunEnd::reCompleted)
    result.Message = FormatMessage(Ansi(texts::kRunCompleted), {FormatRunSeconds(result.Duration)});
  LogResult(result);
  return result;
}

TRunResult TScriptRunner::DetectAndExecute() {
  FDetectedSpeed = 0;
  if (FFixedSpeed)
    FLine.UseSpeed(*FFixedSpeed);
  else if (!FLine.DetectModem())
    throw Exception(Ansi(texts::kModemNotFound));
  FDetectedSpeed = FPort.BaudRate() == brCustom ? FPort.CustomBaudRate()
                                                : static_cast<int>(BaudRateSpeed(FPort.BaudRate()));
  FHost.ClearRunFailed();
  FScript.Execute();
  if (FStop.Requested()) return Ended(TRunEnd::reStopped, StoppedText());
  if (FHost.RunFailed()) return Ended(TRunEnd::reFailed, FHost.LastFailure());
  return Ended(TRunEnd::reCompleted, {});
}

// A run the user stopped, or one whose time ran out.
std::string TScriptRunner::StoppedText() const {
  return Ansi(FStop.TimedOut() ? texts::kRunTimedOut : texts::kRunStopped);
}

TRunResult TScriptRunner::Ended(TRunEnd end, std::string message, std::exception_ptr error) {
  TRunResult result;
  result.End = end;
  result.Message = std::move(message);
  result.Error = std::move(error);
  return result;
}

// Whatever happened: the port closed (what was still to be sent is dropped when the run was
// stopped), the wait box and the search progress hidden.
void TScriptRunner::Restore() {
  try {
    if (FStop.Requested() && FPort.Connected()) FPort.ClearBuffer(false, true);
  } catch (...) {
  }
  try {
    FPort.Close();
  } catch (...) {
  }
  FPort.SetInterruptSignal(nullptr);
  FHost.DoWaitBox({});
  FScreen.ShowSearchProgress(0, 0, {});
}

// A failure that FailScript logged stays the last line, unless lines came after it.
void TScriptRunner::LogResult(const TRunResult& result) {
  if (result.End == TRunEnd::reFailed && FLine.LastLogged() == result.Message) return;
  FLine.LogLine(result.End == TRunEnd::reCompleted ? lkInfo : lkError, result.Message);
}

}  // namespace kelvo
