#include "app/script_host.h"

#include <cstdint>

#include "app/app_texts.h"
#include "app/visible_text.h"
#include "text/exception.h"

namespace kelvo {
namespace {

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

// The functions as scripts see them, in registration order: the nine of the modem and the user,
// then the modem's control lines.
std::span<const THostFunctionEntry> TScriptHost::Functions() {
  static const THostFunctionEntry kFunctions[] = {
      {"function AskUserString(Caption:String, Message:String):String",
       "",
       [](TScriptHost& h, const Variant& p) { return Variant(h.DoAskUserString(Text(p, 0), Text(p, 1))); },
       {.Text = "Спрашивает у пользователя строку: окно с заголовком `Caption`, текстом `Message` и пустым "
                "полем ввода. Возвращает введённый текст, когда пользователь нажал OK.",
        .Errors = "Пользователь нажал «Отмена», Esc или закрыл окно: сценарий прекращается с сообщением "
                  "«ошибка выполнения сценария: отменено пользователем».",
        .Example = "var pin = AskUserString(\"PIN-код\", \"Введите PIN-код SIM-карты\");\n"
                   "Send(\"AT+CPIN=\" + pin);\n"
                   "Expect(\"OK\");",
        .Output = "> AT+CPIN=1234\n"
                  "< AT+CPIN=1234\n"
                  "< OK"}},
      {"procedure WaitBox(s:String)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.DoWaitBox(Text(p, 0));
         return Variant(0);
       },
       {.Text =
            "Показывает окно ожидания с текстом `s` и сразу продолжает сценарий; пустой текст убирает окно.",
        .Example = "WaitBox(\"Модем перезагружается...\");\n"
                   "Send(\"ATZ\");\n"
                   "Expect(\"OK\");\n"
                   "WaitBox(\"\");",
        .Output = "> ATZ\n"
                  "< ATZ\n"
                  "< OK"}},
      {"procedure Send(s:String)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.SendLine(Text(p, 0), false);
         return Variant(0);
       },
       {.Text =
            "Отправляет модему строку `s`, добавив CR LF, и пишет её в протокол с «> ». Перед отправкой ждёт "
            "200 мс и очищает буферы порта: ответ модема, который сценарий ещё не прочитал, теряется.",
        .Example = "Send(\"ATZ\");\n"
                   "Expect(\"OK\");",
        .Output = "> ATZ\n"
                  "< ATZ\n"
                  "< OK"}},
      {"procedure Expect(s:String, errmsg:String='')",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.DoExpect(Text(p, 0), Text(p, 1));
         return Variant(0);
       },
       {.Text =
            "Читает строки модема (каждая пишется в протокол с «< »), пока не придёт строка `s`; строки "
            "сравниваются без учёта регистра и пробелов по краям. Эхо команды и другие строки пропускаются.",
        .Errors = "Время ожидания (`SetReadTimeout`) прошло, а строки `s` не было: сценарий прекращается с "
                  "сообщением «ошибка выполнения сценария: нет ожидаемого ответа модема 's'», а если задан "
                  "`errmsg`, то с ним вместо этой причины.",
        .Example = "Send(\"ATZ\");\n"
                   "Expect(\"OK\");\n"
                   "Send(\"AT+CPIN?\");\n"
                   "Expect(\"+CPIN: READY\", \"SIM-карта не готова\");",
        .Output = "> ATZ\n"
                  "< ATZ\n"
                  "< OK\n"
                  "> AT+CPIN?\n"
                  "< AT+CPIN?\n"
                  "< OK\n"
                  "ошибка выполнения сценария: SIM-карта не готова"}},
      {"procedure SetBaudRate(b:Integer)",
       "",
       [](TScriptHost& h, const Variant& p) {
         if (!h.FLine.ApplyBaudRate(Int(p, 0))) h.FailScript(Ansi(texts::kUnsupportedSpeed));
         return Variant(0);
       },
       {.Text = "Переключает скорость порта на `b` бит/с: 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, "
                "56000, 57600 или 115200. Обычно сначала модему дают команду перейти на новую скорость.",
        .Errors = "Другая скорость: «ошибка выполнения сценария: неподдерживаемая скорость в функции "
                  "SetBaudRate»; не число — сообщение об ошибке преобразования.",
        .Example = "Send(\"AT+IPR=115200\");\n"
                   "Expect(\"OK\");\n"
                   "SetBaudRate(115200);\n"
                   "Send(\"AT\");\n"
                   "Expect(\"OK\");",
        .Output = "> AT+IPR=115200\n"
                  "< AT+IPR=115200\n"
                  "< OK\n"
                  "> AT\n"
                  "< AT\n"
                  "< OK"}},
      {"procedure SetReadTimeout(to:Integer)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.ApplyReadTimeout(Int(p, 0));
         return Variant(0);
       },
       {.Text = "Сколько миллисекунд `Expect` и `RecvLn` ждут очередной строки модема. 0 или меньше — 1500 "
                "мс (`DefaultReadTimeout`), с этого значения начинается каждое выполнение.",
        .Example = "SetReadTimeout(5000);\n"
                   "Send(\"ATZ\");\n"
                   "Expect(\"OK\");\n"
                   "SetReadTimeout(DefaultReadTimeout);",
        .Output = "> ATZ\n"
                  "< ATZ\n"
                  "< OK"}},
      // A negative interval sleeps not at all: as an unsigned count it would block for weeks.
      {"procedure Sleep(interval:Integer)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.Pause(Int(p, 0));
         return Variant(0);
       },
       {.Text = "Пауза в `interval` миллисекунд; отрицательное значение — без паузы. Кнопка «Остановить» "
                "прерывает паузу.",
        .Example = "Send(\"ATZ\");\n"
                   "Sleep(500);\n"
                   "Expect(\"OK\");",
        .Output = "> ATZ\n"
                  "< ATZ\n"
                  "< OK"}},
      {"function RecvLn():String",
       "",
       [](TScriptHost& h, const Variant&) { return Variant(h.FLine.RecvLine(true, false)); },
       {.Text = "Следующая непустая строка модема без CR и LF (пишется в протокол с «< »); пустая строка, "
                "если за время ожидания ничего не пришло. Сценарий при этом не прекращается.",
        .Example = "Send(\"ATS0?\");\n"
                   "RecvLn();\n"
                   "var rings = RecvLn();\n"
                   "Expect(\"OK\");\n"
                   "Send(\"ATS0=\" + IntToStr(StrToInt(rings) + 2));\n"
                   "Expect(\"OK\");",
        .Output = "> ATS0?\n"
                  "< ATS0?\n"
                  "< 000\n"
                  "< OK\n"
                  "> ATS0=2\n"
                  "< ATS0=2\n"
                  "< OK"}},
      {"procedure Stop(Reason:String)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FailScript(Text(p, 0));
         return Variant(0);
       },
       {.Text = "Прекращает сценарий с сообщением «ошибка выполнения сценария: » и `Reason` (пустой `Reason` "
                "— без двоеточия): красная строка в протоколе и окно сообщения.",
        .Example = "Send(\"ATS0?\");\n"
                   "RecvLn();\n"
                   "if (RecvLn() != \"000\")\n"
                   "  Stop(\"модем уже отвечает на звонки\");\n"
                   "Expect(\"OK\");\n"
                   "Stop(\"проверка закончена\");",
        .Output = "> ATS0?\n"
                  "< ATS0?\n"
                  "< 000\n"
                  "< OK\n"
                  "ошибка выполнения сценария: проверка закончена"}},
      {"procedure SetDTR(On:Boolean)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.SetDTR(Arg(p, 0).AsBoolean());
         return Variant(0);
       },
       {.Text = "Поднимает (`true`) или опускает (`false`) линию DTR. Многие модемы, увидев, что DTR "
                "опустилась, кладут трубку.",
        .Errors = "У порта нет линий управления модемом (псевдотерминал, как у симулятора modemsim, или "
                  "переходник без них): сценарий прекращается с сообщением «ошибка выполнения сценария: "
                  "SetDTR: у порта … нет линий управления модемом …».",
        .Example = "SetDTR(false);\n"
                   "Sleep(500);\n"
                   "SetDTR(true);",
        .Output = "ошибка выполнения сценария: SetDTR: у порта /dev/ttyUSB0 нет линий управления модемом "
                  "(DTR, RTS, BREAK) — это псевдотерминал или переходник без этих линий"}},
      {"procedure SetRTS(On:Boolean)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.SetRTS(Arg(p, 0).AsBoolean());
         return Variant(0);
       },
       {.Text = "Поднимает (`true`) или опускает (`false`) линию RTS.",
        .Errors = "У порта нет линий управления модемом: сценарий прекращается с сообщением «ошибка "
                  "выполнения сценария: SetRTS: у порта … нет линий управления модемом …».",
        .Example = "SetRTS(true);",
        .Output = "ошибка выполнения сценария: SetRTS: у порта /dev/ttyUSB0 нет линий управления модемом "
                  "(DTR, RTS, BREAK) — это псевдотерминал или переходник без этих линий"}},
      {"procedure SendBreak(Milliseconds:Integer)",
       "",
       [](TScriptHost& h, const Variant& p) {
         h.FLine.SendBreak(Int(p, 0));
         return Variant(0);
       },
       {.Text = "Передаёт сигнал BREAK длительностью `Milliseconds` (0 или меньше — 250 мс).",
        .Errors = "У порта нет линий управления модемом: сценарий прекращается с сообщением «ошибка "
                  "выполнения сценария: SendBreak: у порта … нет линий управления модемом …».",
        .Example = "SendBreak(300);",
        .Output = "ошибка выполнения сценария: SendBreak: у порта /dev/ttyUSB0 нет линий управления модемом "
                  "(DTR, RTS, BREAK) — это псевдотерминал или переходник без этих линий"}},
      {"procedure HangUp()",
       "",
       [](TScriptHost& h, const Variant&) {
         h.FLine.HangUp();
         return Variant(0);
       },
       {.Text = "Кладёт трубку по-аппаратному: опускает DTR на 500 мс и поднимает снова.",
        .Errors = "У порта нет линий управления модемом: сценарий прекращается с сообщением «ошибка "
                  "выполнения сценария: HangUp: у порта … нет линий управления модемом …».",
        .Example = "HangUp();\n"
                   "Send(\"AT\");\n"
                   "Expect(\"OK\");",
        .Output = "ошибка выполнения сценария: HangUp: у порта /dev/ttyUSB0 нет линий управления модемом "
                  "(DTR, RTS, BREAK) — это псевдотерминал или переходник без этих линий"}},
  };
  return kFunctions;
}

// Each method item gets its entry's own handler: the upper-case name it is called by is not
// looked at.
void TScriptHost::Register() {
  for (const THostFunctionEntry& e : Functions()) {
    THostFunction serve = e.Serve;
    FScript.AddMethod(
        e.Syntax,
        [this, serve](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
          return ScriptFunction(serve, params);
        },
        e.Category);
  }
  FScript.AddConst("DefaultReadTimeout", "Integer", Variant(kDefaultReadTimeout));
}

Variant TScriptHost::ScriptFunction(THostFunction serve, const Variant& params) {
  try {
    return serve(*this, params);
  } catch (const ERunStopped&) {
    FScript.Terminate();  // the statement that called the function is the last one
  } catch (const std::exception& e) {
    FailScript(e.what());
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
