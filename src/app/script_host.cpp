#include "app/script_host.h"

#include <cstdint>

#include "app/app_texts.h"
#include "app/visible_text.h"
#include "text/exception.h"

namespace kelvo {
namespace {

// The declarations as scripts see them, in registration order.
constexpr const char* kDeclarations[] = {
    "function AskUserString(Caption:String, Message:String):String",
    "procedure WaitBox(s:String)",
    "procedure Send(s:String)",
    "procedure Expect(s:String, errmsg:String='')",
    "procedure SetBaudRate(b:Integer)",
    "procedure SetReadTimeout(to:Integer)",
    "procedure Sleep(interval:Integer)",
    "function RecvLn():String",
    "procedure Stop(Reason:String)",
    // The modem's control lines, after the nine.
    "procedure SetDTR(On:Boolean)",
    "procedure SetRTS(On:Boolean)",
    "procedure SendBreak(Milliseconds:Integer)",
    "procedure HangUp()",
};

// Argument i of a call; an omitted optional argument reads as empty.
Variant Arg(const Variant& params, size_t i) {
  if (!params.IsArray()) return {};
  const auto& items = params.ArrayItems();
  return i < items.size() ? items[i] : Variant();
}

std::string Text(const Variant& params, size_t i) {
  return Arg(params, i).AsString();
}
std::int32_t Int(const Variant& params, size_t i) {
  return Arg(params, i).AsInteger();
}

}  // namespace

void TScriptHost::Register() {
  for (const char* declaration : kDeclarations)
    FScript.AddMethod(declaration, [this](TfsHostObject*, TfsClassRef, const std::string& name,
                                          Variant& params) { return ScriptFunction(name, params); });
  FScript.AddConst("DefaultReadTimeout", "Integer", Variant(kDefaultReadTimeout));
}

Variant TScriptHost::ScriptFunction(const std::string& methodName, Variant& params) {
  try {
    return Dispatch(methodName, params);
  } catch (const ERunStopped&) {
    FScript.Terminate();  // the statement that called the function is the last one
  } catch (const std::exception& e) {
    FailScript(e.what());
  }
  return Variant(0);
}

Variant TScriptHost::Dispatch(const std::string& name, const Variant& params) {
  if (name == "ASKUSERSTRING") return Variant(DoAskUserString(Text(params, 0), Text(params, 1)));
  if (name == "SEND") {
    FLine.SendLine(Text(params, 0), false);
  } else if (name == "EXPECT") {
    DoExpect(Text(params, 0), Text(params, 1));
  } else if (name == "SETBAUDRATE") {
    if (!FLine.ApplyBaudRate(Int(params, 0))) FailScript(Ansi(texts::kUnsupportedSpeed));
  } else if (name == "SETREADTIMEOUT") {
    FLine.ApplyReadTimeout(Int(params, 0));
  } else if (name == "SLEEP") {
    // A negative interval sleeps not at all: as an unsigned count it would block for weeks.
    FLine.Pause(Int(params, 0));
  } else if (name == "RECVLN") {
    return Variant(FLine.RecvLine(true, false));
  } else if (name == "WAITBOX") {
    DoWaitBox(Text(params, 0));
  } else if (name == "STOP") {
    FailScript(Text(params, 0));
  } else if (name == "SETDTR") {
    FLine.SetDTR(Arg(params, 0).AsBoolean());
  } else if (name == "SETRTS") {
    FLine.SetRTS(Arg(params, 0).AsBoolean());
  } else if (name == "SENDBREAK") {
    FLine.SendBreak(Int(params, 0));
  } else if (name == "HANGUP") {
    FLine.HangUp();
  }
  return Variant(0);
}

void TScriptHost::FailScript(const std::string& reason) {
  FScript.Terminate();
  std::string message = Ansi(texts::kScriptFailed);
  if (!reason.empty()) message += ": " + reason;
  FLine.LogLine(lkError, message);
  FRunFailed = true;
  FLastFailure = FLine.LastLogged();
  // The reason may carry a modem's answer (Stop(RecvLn())): shown escaped, as in the log.
  FScreen.MessageBox(VisibleMessage(message), TMsgIcon::miExclamation, TMsgButtons::mbOk);
}

// A non-empty errmsg is the script author's own explanation of the failure and replaces the
// standard reason.
void TScriptHost::DoExpect(const std::string& s, const std::string& errmsg) {
  if (FLine.WaitForAnswer(s, false)) return;
  FailScript(errmsg.empty() ? Ansi(texts::kNoExpectedAnswer) + s + "'" : errmsg);
}

std::string TScriptHost::DoAskUserString(const std::string& caption, const std::string& message) {
  std::string answer;
  if (FScreen.AskUserString(caption, message, answer)) return answer;
  if (FStop != nullptr) FStop->Check();  // the question was closed by the stop, not by the user
  FailScript(Ansi(texts::kCancelledByUser));
  return {};
}

void TScriptHost::DoWaitBox(const std::string& text) {
  FScreen.ShowWaitBox(text);
}

}  // namespace kelvo
