#include "script/lib/system_library.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <random>
#include <span>
#include <string_view>

#include "script/format/datetime.h"
#include "script/format/format.h"
#include "script/format/format_datetime.h"
#include "script/format/format_float.h"
#include "script/format/mask_text.h"
#include "script/format/number_text.h"
#include "script/format/varrec.h"
#include "script/lib/script_strings.h"
#include "script/program/script.h"
#include "script/value/convert_error.h"
#include "script/value/str_to_int.h"
#include "text/ansi_text.h"
#include "text/cp1251.h"

namespace kelvo {

namespace {

// --- reading arguments and making results

const TFormatSettings& FS() {
  return DefaultFormatSettings();
}
std::string Str(TfsMethodHelper& m, int i) {
  return m.GetVParam(i).AsString();
}
std::int32_t Int(TfsMethodHelper& m, int i) {
  return m.GetVParam(i).AsInteger();
}
double Flt(TfsMethodHelper& m, int i) {
  return m.GetVParam(i).AsFloat();
}
Variant DateValue(double v) {
  return Variant::OfFloat(varDate, v);
}
Variant WordValue(int v) {
  return Variant::OfInteger(varWord, v);
}
Variant Int64Value(std::int64_t v) {
  return Variant(v);
}

// The text of any value: dates and floats by the locale, null as the empty text.
std::string VarToStr(const Variant& v) {
  if (v.VarType() == varDate) return DateTimeToStr(v.RawFloat(), FS());
  if (v.IsFloat()) return FloatToStr(v.RawFloat(), FS());
  return v.AsString();
}

// A float as a 32-bit integer; a value outside the range is an error that names it.
std::int32_t FloatToInt32(double v) {
  if (!(v >= -2147483648.0 && v < 2147483648.0)) {
    throw EConvertError(FormatMessage(SInvalidInteger, {FloatToStr(v, FS())}));
  }
  return static_cast<std::int32_t>(v);
}

// --- the handlers that need more than one line, by group

// Formatting
Variant SysFormat(TfsMethodHelper& m) {
  std::string fmt = Str(m, 0);
  TVarRecArray args;
  VariantToVarRec(m.GetVParam(1), args);
  std::string out = Format(fmt, args, FS());
  ClearVarRec(args);
  return Variant(std::move(out));
}

// Dates
Variant SysDecodeDate(TfsMethodHelper& m) {
  TDateParts p = DecodeDateTime(Flt(m, 0));
  m.SetVParam(1, WordValue(p.Year));
  m.SetVParam(2, WordValue(p.Month));
  m.SetVParam(3, WordValue(p.Day));
  return Variant();
}

Variant SysDecodeTime(TfsMethodHelper& m) {
  TDateParts p = DecodeDateTime(Flt(m, 0));
  m.SetVParam(1, WordValue(p.Hour));
  m.SetVParam(2, WordValue(p.Min));
  m.SetVParam(3, WordValue(p.Sec));
  m.SetVParam(4, WordValue(p.MSec));
  return Variant();
}

// Strings
Variant SysLength(TfsMethodHelper& m) {
  Variant v = m.GetVParam(0);
  if (v.IsArray()) return Variant(v.ArrayHighBound(1) - v.ArrayLowBound(1) + 1);
  return Variant(static_cast<int>(v.AsString().size()));
}

Variant SysDelete(TfsMethodHelper& m) {
  std::string s = Str(m, 0);
  ScriptDelete(s, Int(m, 1), Int(m, 2));
  m.SetVParam(0, Variant(std::move(s)));
  return Variant();
}

Variant SysInsert(TfsMethodHelper& m) {
  std::string s2 = Str(m, 1);
  ScriptInsert(Str(m, 0), s2, Int(m, 2));
  m.SetVParam(1, Variant(std::move(s2)));
  return Variant();
}

Variant SysOrd(TfsMethodHelper& m) {
  std::string s = Str(m, 0);
  return Variant::OfInteger(varByte, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
}

// A string value is cut or extended; anything else is taken as an array and its dimension 1
// gets the high bound L - 1.
Variant SysSetLength(TfsMethodHelper& m) {
  Variant v = m.GetVParam(0);
  std::int32_t length = Int(m, 1);
  if (v.VarType() == varString || v.VarType() == varOleStr) {
    std::string s = v.AsString();
    ScriptSetLength(s, length);
    m.SetVParam(0, Variant(std::move(s)));
  } else {
    if (!v.IsArray()) throw EVariantInvalidOpError();
    v.ArrayRedim(length - 1);
    m.SetVParam(0, v);
  }
  return Variant();
}

// Other
std::mt19937_64& RandomGenerator() {
  static std::mt19937_64 generator;  // a fixed sequence until Randomize
  return generator;
}

// Scripts on several threads (a run on several ports) draw from the one generator in turn.
std::mutex& RandomLock() {
  static std::mutex lock;
  return lock;
}

TfsShowMessageHook& ShowMessageHook() {
  static TfsShowMessageHook hook;
  return hook;
}

void PrintMessage(const std::string& text) {
  std::string utf8 = AnsiToUtf8(text) + "\n";
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

// Whether a conversion of the argument's text would succeed; no error of it reaches the script.
template <typename F>
Variant Valid(TfsMethodHelper& m, F&& tryConvert) {
  try {
    return Variant(tryConvert(Str(m, 0)));
  } catch (const Exception&) {
    return Variant(false);
  }
}

// Bounds holds low and high bound per dimension, in pairs; the element type does not change
// what an element may hold, since every element is a variant that starts empty.
Variant SysVarArrayCreate(TfsMethodHelper& m) {
  Variant bounds = m.GetVParam(0);
  if (!bounds.IsArray()) throw EVariantInvalidOpError();
  const std::vector<Variant>& items = bounds.ArrayItems();
  if (items.empty() || items.size() % 2 != 0) throw EVariantInvalidOpError();
  std::vector<TVarArrayBound> dims;
  for (std::size_t i = 0; i < items.size(); i += 2)
    dims.push_back({items[i].AsInteger(), items[i + 1].AsInteger()});
  Int(m, 1);  // the type code must be a number like any integer argument
  return Variant::CreateArray(dims);
}

// --- the table: every function once, in registration order

const TfsSystemFunctionEntry kSystemFunctions[] = {
    {"function IntToStr(i: Integer): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(std::to_string(m.GetVParam(0).AsInt64())); },
     {.Text = "Десятичная запись целого числа. Число берётся как 64-битное, поэтому и значения больше "
              "2147483647 записываются полностью.",
      .Example = "Print(IntToStr(42) + \" шт.\");\n"
                 "Print(IntToStr(-7));",
      .Output = "42 шт.\n"
                "-7"}},
    {"function FloatToStr(e: Extended): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(FloatToStr(Flt(m, 0), FS())); },
     {.Text = "Запись дробного числа: до 15 значащих цифр, десятичный разделитель — по настройкам системы (в "
              "русской — запятая).",
      .Example = "Print(FloatToStr(2.5));\n"
                 "Print(FloatToStr(1 / 3));",
      .Output = "2,5\n"
                "0,333333333333333"}},
    {"function DateToStr(e: Extended): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(DateToStr(Flt(m, 0), FS())); },
     {.Text = "Дата в кратком формате системы (в русской — `дд.мм.гггг`); время суток отбрасывается.",
      .Example = "Print(DateToStr(EncodeDate(2024, 3, 8)));",
      .Output = "08.03.2024"}},
    {"function TimeToStr(e: Extended): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(TimeToStr(Flt(m, 0), FS())); },
     {.Text = "Время суток в длинном формате системы (в русской — `ч:мм:сс`); дата отбрасывается.",
      .Example = "Print(TimeToStr(EncodeTime(9, 5, 30, 0)));",
      .Output = "9:05:30"}},
    {"function DateTimeToStr(e: Extended): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(DateTimeToStr(Flt(m, 0), FS())); },
     {.Text = "Дата, а если время суток не 0:00:00, то и время через пробел.",
      .Example = "Print(DateTimeToStr(EncodeDate(2024, 3, 8) + EncodeTime(14, 30, 0, 0)));\n"
                 "Print(DateTimeToStr(EncodeDate(2024, 3, 8)));",
      .Output = "08.03.2024 14:30:00\n"
                "08.03.2024"}},
    {"function VarToStr(v: Variant): String",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(VarToStr(m.GetVParam(0))); },
     {.Text = "Текст любого значения: числа и даты — по настройкам системы (даты — как `DateTimeToStr`), "
              "логические — `True` и `False`, `Null` — пустая строка.",
      .Example = "Print(\"[\" + VarToStr(Null) + \"]\");\n"
                 "Print(VarToStr(2.5));\n"
                 "Print(VarToStr(True));",
      .Output = "[]\n"
                "2,5\n"
                "True"}},
    {"function StrToInt(s: String): Integer",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(StrToInt(Str(m, 0)))); },
     {.Text = "Целое число из десятичной записи (со знаком) или из `$` и шестнадцатеричных цифр; результат — "
              "32-битное целое.",
      .Errors = "Текст, который не является целым числом или не помещается в 32 бита: `'12a' is not a valid "
                "integer value`.",
      .Example = "Print(StrToInt(\"42\") + 1);\n"
                 "Print(StrToInt(\"$FF\"));\n"
                 "try\n"
                 "  StrToInt(\"12a\");\n"
                 "except\n"
                 "  Print(ExceptionMessage);",
      .Output = "43\n"
                "255\n"
                "'12a' is not a valid integer value"}},
    {"function StrToInt64(s: String): Integer",
     "ctConv",
     [](TfsMethodHelper& m) { return Int64Value(StrToInt64(Str(m, 0))); },
     {.Text = "То же, что `StrToInt`, но результат — 64-битное целое.",
      .Errors = "`'...' is not a valid integer value`.",
      .Example = "Print(StrToInt64(\"9000000000\"));\n"
                 "Print(VarType(StrToInt64(\"1\")) == varInt64);",
      .Output = "9000000000\n"
                "True"}},
    {"function StrToFloat(s: String): Extended",
     "ctConv",
     [](TfsMethodHelper& m) { return Variant(StrToFloat(Str(m, 0), FS())); },
     {.Text =
          "Дробное число из текста; десятичный разделитель — по настройкам системы (в русской — запятая).",
      .Errors = "Текст, который не является числом: `'2.5' is not a valid floating point value`.",
      .Example = "Print(StrToFloat(\"2,5\") * 2);\n"
                 "try\n"
                 "  StrToFloat(\"2.5\");\n"
                 "except\n"
                 "  Print(ExceptionMessage);",
      .Output = "5\n"
                "'2.5' is not a valid floating point value"}},
    {"function StrToDate(s: String): Extended",
     "ctConv",
     [](TfsMethodHelper& m) { return DateValue(StrToDate(Str(m, 0), FS())); },
     {.Text = "Дата из текста в формате даты системы (в русской — `дд.мм.гггг`).",
      .Errors = "Текст, который не является датой: `'31.02.2024' is not a valid date`.",
      .Example = "Print(DateToStr(StrToDate(\"08.03.2024\") + 1));\n"
                 "try\n"
                 "  StrToDate(\"31.02.2024\");\n"
                 "except\n"
                 "  Print(ExceptionMessage);",
      .Output = "09.03.2024\n"
                "'31.02.2024' is not a valid date"}},
    {"function StrToTime(s: String): Extended",
     "ctConv",
     [](TfsMethodHelper& m) { return DateValue(StrToTime(Str(m, 0), FS())); },
     {.Text = "Время суток из текста (`ч:мм` или `ч:мм:сс`).",
      .Errors = "Текст, который не является временем: `'...' is not a valid time`.",
      .Example = "Print(TimeToStr(StrToTime(\"14:30\")));",
      .Output = "14:30:00"}},
    {"function StrToDateTime(s: String): Extended",
     "ctConv",
     [](TfsMethodHelper& m) { return DateValue(StrToDateTime(Str(m, 0), FS())); },
     {.Text = "Дата и время из текста: дата, пробел, время.",
      .Errors = "Текст, который не является датой и временем: `'...' is not a valid date and time`.",
      .Example = "Print(DateTimeToStr(StrToDateTime(\"08.03.2024 14:30\")));",
      .Output = "08.03.2024 14:30:00"}},
    {"function Format(Fmt: String; Args: array): String",
     "ctFormat",
     SysFormat,
     {.Text = "Подставляет значения из массива `Args` (в квадратных скобках) в шаблон `Fmt`. Место "
              "подстановки: `%`, номер аргумента и `:` (необязательно), `-` (выровнять влево), ширина, `.` и "
              "точность, буква типа: `d` — целое, `u` — целое без знака, `e`, `f`, `g`, `n`, `m` — дробное "
              "(экспоненциальная запись, фиксированная, общая, с разделителями тысяч, денежная), `s` — "
              "строка, `x` — шестнадцатеричное, `p` — указатель. Вместо ширины и точности можно написать `*` "
              "и взять их из следующего аргумента. `%%` — знак процента.",
      .Errors = "Аргумент не того вида, что буква типа (например, строка для `%d`): `Format '%d' invalid or "
                "incompatible with argument`.",
      .Example = "Print(Format(\"%s: %d бит/с\", [\"Скорость\", 9600]));\n"
                 "Print(Format(\"%.2f|%5d|%x|%-4s|\", [3.14159, 42, 255, \"ab\"]));",
      .Output = "Скорость: 9600 бит/с\n"
                "3,14|   42|FF|ab  |"}},
    {"function FormatFloat(Fmt: String; Value: Extended): String",
     "ctFormat",
     [](TfsMethodHelper& m) { return Variant(FormatFloat(Str(m, 0), Flt(m, 1), FS())); },
     {.Text = "Дробное число по шаблону: `0` — цифра всегда, `#` — цифра, если нужна, `.` — место "
              "десятичного разделителя, `,` — разделять тысячи, `E+` — экспонента; до трёх разделов через "
              "`;` — для положительных, отрицательных чисел и нуля.",
      .Example = "Print(FormatFloat(\"0.00\", 2.5));\n"
                 "Print(FormatFloat(\"#,##0\", 1234567));\n"
                 "Print(FormatFloat(\"0.0;(0.0);ноль\", -1.5));",
      .Output = "2,50\n"
                "1 234 567\n"
                "(1,5)"}},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String",
     "ctFormat",
     [](TfsMethodHelper& m) { return Variant(FormatDateTime(Str(m, 0), Flt(m, 1), FS())); },
     {.Text = "Дата и время по шаблону: `d`, `dd`, `ddd`, `dddd` — день, `m`, `mm`, `mmm`, `mmmm` — месяц, "
              "`yy`, `yyyy` — год, `h`, `hh` — часы, `n`, `nn` — минуты, `s`, `ss` — секунды, `z`, `zzz` — "
              "миллисекунды, `am/pm`, текст в кавычках — как есть.",
      .Example = "var t = EncodeDate(2024, 3, 8) + EncodeTime(9, 5, 0, 0);\n"
                 "Print(FormatDateTime(\"dd.mm.yyyy hh:nn\", t));\n"
                 "Print(FormatDateTime(\"mmmm yyyy, dddd\", t));",
      .Output = "08.03.2024 09:05\n"
                "Март 2024, пятница"}},
    {"function FormatMaskText(EditMask: string; Value: string): string",
     "ctFormat",
     [](TfsMethodHelper& m) { return Variant(FormatMaskText(Str(m, 0), Str(m, 1), FS())); },
     {.Text = "Применяет маску ввода к тексту: `0` — цифра, `9` — цифра или пробел, `L` — буква, `A` — буква "
              "или цифра, остальные знаки маски вставляются как есть. Второе поле маски (после `;`) — `0`: "
              "вставленные знаки не берутся из текста; третье — знак для пустых мест.",
      .Example = "Print(FormatMaskText(\"000-000;0;_\", \"123456\"));\n"
                 "Print(FormatMaskText(\"(000) 000-00-00;0;_\", \"4951234567\"));",
      .Output = "123-456\n"
                "(495) 123-45-67"}},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime",
     "ctDate",
     [](TfsMethodHelper& m) { return DateValue(EncodeDate(Int(m, 0), Int(m, 1), Int(m, 2))); },
     {.Text = "Дата из года, месяца и дня. Даты в сценариях — дробные числа: целая часть — дни от 30 декабря "
              "1899 года, дробная — время суток.",
      .Errors = "Несуществующая дата (31 февраля, месяц 13): `Invalid argument to date encode`.",
      .Example = "Print(DateToStr(EncodeDate(2024, 2, 29)));\n"
                 "Print(EncodeDate(1900, 1, 1));",
      .Output = "29.02.2024\n"
                "2"}},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)",
     "ctDate",
     SysDecodeDate,
     {.Text = "Разбирает дату на год, месяц и день и записывает их в переменные `Year`, `Month`, `Day`.",
      .Example = "var y, m, d;\n"
                 "DecodeDate(EncodeDate(2024, 3, 8), y, m, d);\n"
                 "Print(Format(\"%d-%d-%d\", [y, m, d]));",
      .Output = "2024-3-8"}},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime",
     "ctDate",
     [](TfsMethodHelper& m) { return DateValue(EncodeTime(Int(m, 0), Int(m, 1), Int(m, 2), Int(m, 3))); },
     {.Text = "Время суток из часов, минут, секунд и миллисекунд.",
      .Errors = "Несуществующее время (25 часов, 60 минут): `Invalid argument to time encode`.",
      .Example = "Print(TimeToStr(EncodeTime(23, 59, 59, 0)));",
      .Output = "23:59:59"}},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)",
     "ctDate",
     SysDecodeTime,
     {.Text = "Разбирает время на часы, минуты, секунды и миллисекунды и записывает их в переменные `Hour`, "
              "`Min`, `Sec`, `MSec`.",
      .Example = "var h, n, s, ms;\n"
                 "DecodeTime(EncodeTime(14, 30, 15, 250), h, n, s, ms);\n"
                 "Print(Format(\"%d:%d:%d.%d\", [h, n, s, ms]));",
      .Output = "14:30:15.250"}},
    {"function Date: TDateTime",
     "ctDate",
     [](TfsMethodHelper&) { return DateValue(Date()); },
     {.Text = "Сегодняшняя дата (время суток 0:00).",
      .Example = "Print(Frac(Date) == 0);",
      .Output = "True"}},
    {"function Time: TDateTime",
     "ctDate",
     [](TfsMethodHelper&) { return DateValue(Time()); },
     {.Text = "Текущее время суток (без даты).", .Example = "Print(Int(Time) == 0);", .Output = "True"}},
    {"function Now: TDateTime",
     "ctDate",
     [](TfsMethodHelper&) { return DateValue(Now()); },
     {.Text = "Текущие дата и время.", .Example = "Print(Now >= Date);", .Output = "True"}},
    {"function DayOfWeek(aDate: TDateTime): Integer",
     "ctDate",
     [](TfsMethodHelper& m) { return WordValue(DayOfWeek(Flt(m, 0))); },
     {.Text = "День недели даты: 1 — воскресенье, 2 — понедельник, …, 7 — суббота.",
      .Example = "Print(DayOfWeek(EncodeDate(2024, 3, 8)));",
      .Output = "6"}},
    {"function IsLeapYear(Year: Word): Boolean",
     "ctDate",
     [](TfsMethodHelper& m) { return Variant(IsLeapYear(Int(m, 0))); },
     {.Text = "Високосный ли год: делится на 4 и не делится на 100, или делится на 400.",
      .Example = "Print(IsLeapYear(2024));\n"
                 "Print(IsLeapYear(1900));",
      .Output = "True\n"
                "False"}},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer",
     "ctDate",
     [](TfsMethodHelper& m) { return Variant(DaysInMonth(Int(m, 0), Int(m, 1))); },
     {.Text = "Число дней в месяце `nMonth` года `nYear`.",
      .Example = "Print(DaysInMonth(2000, 2));\n"
                 "Print(DaysInMonth(1900, 2));\n"
                 "Print(DaysInMonth(2024, 4));",
      .Output = "29\n"
                "28\n"
                "30"}},
    {"function Length(s: Variant): Integer",
     "ctString",
     SysLength,
     {.Text = "Длина текста в символах; для массива — число элементов. Число считается по длине его записи.",
      .Example = "Print(Length(\"Привет\"));\n"
                 "Print(Length(12345));\n"
                 "Print(Length(VarArrayCreate([1, 5], varVariant)));",
      .Output = "6\n"
                "5\n"
                "5"}},
    {"function Copy(s: String; from, count: Integer): String",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(ScriptCopy(Str(m, 0), Int(m, 1), Int(m, 2))); },
     {.Text = "Не больше `count` символов текста `s`, начиная с позиции `from` (позиции считаются с 1; "
              "`from` меньше 1 считается за 1). Позиция за концом текста или `count` ≤ 0 дают пустую строку.",
      .Example = "Print(Copy(\"Hello\", 2, 3));\n"
                 "Print(Copy(\"Hello\", 0, 2));\n"
                 "Print(\"[\" + Copy(\"Hello\", 9, 1) + \"]\");",
      .Output = "ell\n"
                "He\n"
                "[]"}},
    {"function Pos(substr, s: String): Integer",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(ScriptPos(Str(m, 0), Str(m, 1)))); },
     {.Text = "Позиция первого вхождения `substr` в `s` (с 1); 0, если вхождения нет или `substr` пуст. "
              "Регистр букв учитывается.",
      .Example = "Print(Pos(\"lo\", \"Hello\"));\n"
                 "Print(Pos(\"L\", \"Hello\"));\n"
                 "var answer = \"+CSQ: 17,99\";\n"
                 "Print(Copy(answer, Pos(\":\", answer) + 2, 2));",
      .Output = "4\n"
                "0\n"
                "17"}},
    {"procedure Delete(var s: String; from, count: Integer)",
     "ctString",
     SysDelete,
     {.Text = "Удаляет из переменной `s` не больше `count` символов с позиции `from`. Если `from` вне текста "
              "или `count` ≤ 0, ничего не меняет. В JScript `delete` — ключевое слово (оператор `delete`), а "
              "ключевые слова не различают регистр, поэтому `Delete(s, 2, 3)` там не компилируется "
              "(«Expression expected»): в JScript пишите `DeleteStr`. В C++Script ключевые слова пишутся "
              "строчными, и `Delete` вызывается как обычно.",
      .Example = "#language C++Script\n"
                 "{\n"
                 "  string s = \"Hello\";\n"
                 "  Delete(s, 2, 3);\n"
                 "  Print(s);\n"
                 "}",
      .Output = "Ho"}},
    {"procedure DeleteStr(var s: String; from, count: Integer)",
     "ctString",
     SysDelete,
     {.Text = "То же, что `Delete`.",
      .Example = "var s = \"ATZ0\";\n"
                 "DeleteStr(s, 4, 1);\n"
                 "Print(s);",
      .Output = "ATZ"}},
    {"procedure Insert(s: String; var s2: String; pos: Integer)",
     "ctString",
     SysInsert,
     {.Text = "Вставляет `s` в переменную `s2` перед позицией `pos`; `pos` меньше 1 — в начало, за концом — "
              "в конец.",
      .Example = "var s = \"Helo\";\n"
                 "Insert(\"l\", s, 3);\n"
                 "Print(s);\n"
                 "Insert(\"!\", s, 99);\n"
                 "Print(s);",
      .Output = "Hello\n"
                "Hello!"}},
    {"function Uppercase(s: String): String",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(AnsiUpperCase(Str(m, 0))); },
     {.Text = "Текст прописными буквами (и русскими тоже).",
      .Example = "Print(Uppercase(\"ok, привет\"));",
      .Output = "OK, ПРИВЕТ"}},
    {"function Lowercase(s: String): String",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(AnsiLowerCase(Str(m, 0))); },
     {.Text = "Текст строчными буквами (и русскими тоже).",
      .Example = "Print(Lowercase(\"OK, ПРИВЕТ\"));",
      .Output = "ok, привет"}},
    {"function Trim(s: String): String",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(Trim(Str(m, 0))); },
     {.Text =
          "Текст без пробелов и управляющих символов (коды 0–32, в том числе CR и LF) в начале и в конце.",
      .Example = R"(Print("[" + Trim("  OK" + Chr(13) + Chr(10)) + "]");)",
      .Output = "[OK]"}},
    {"function NameCase(s: String): String",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(NameCase(Str(m, 0))); },
     {.Text = "Каждое слово с прописной буквы, остальные буквы строчные.",
      .Example = "Print(NameCase(\"jOHN smith\"));",
      .Output = "John Smith"}},
    {"function CompareText(s, s1: String): Integer",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(AnsiCompareText(Str(m, 0), Str(m, 1))); },
     {.Text = "Сравнивает тексты без учёта регистра: отрицательное число, если `s` меньше `s1`, 0, если "
              "равны, положительное, если больше.",
      .Example = "Print(CompareText(\"ok\", \"OK\"));\n"
                 "Print(CompareText(\"a\", \"b\") < 0);",
      .Output = "0\n"
                "True"}},
    {"function Chr(i: Integer): Char",
     "ctString",
     [](TfsMethodHelper& m) { return Variant(std::string(1, static_cast<char>(Int(m, 0) & 0xFF))); },
     {.Text = "Строка из одного символа с кодом `i` (берутся младшие 8 бит).",
      .Example = "Print(Chr(65) + Chr(84));\n"
                 "Print(Length(\"AT\" + Chr(13)));",
      .Output = "AT\n"
                "3"}},
    {"function Ord(ch: Char): Integer",
     "ctString",
     SysOrd,
     {.Text = "Код (0–255) первого символа текста.",
      .Example = "Print(Ord(\"A\"));\n"
                 "Print(Ord(\"Я\"));",
      .Output = "65\n"
                "223"}},
    {"procedure SetLength(var S: Variant; L: Integer)",
     "ctString",
     SysSetLength,
     {.Text = "Меняет длину переменной: строка обрезается или дополняется; у массива верхняя граница "
              "становится `L - 1`.",
      .Example = "var s = \"Hello\";\n"
                 "SetLength(s, 2);\n"
                 "Print(s);",
      .Output = "He"}},
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    {"function Round(e: Extended): Integer",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(FloatToInt32(std::nearbyint(Flt(m, 0))))); },
     {.Text = "Ближайшее целое; ровно половина округляется к чётному соседу.",
      .Errors = "Значение вне 32-битного диапазона: `'...' is not a valid integer value`.",
      .Example = "Print(Round(2.5));\n"
                 "Print(Round(3.5));\n"
                 "Print(Round(-1.4));",
      .Output = "2\n"
                "4\n"
                "-1"}},
    {"function Trunc(e: Extended): Integer",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(FloatToInt32(std::trunc(Flt(m, 0))))); },
     {.Text = "Целая часть (отбрасывает дробную часть к нулю); 32-битное целое.",
      .Errors = "Значение вне 32-битного диапазона: `'...' is not a valid integer value`.",
      .Example = "Print(Trunc(2.7));\n"
                 "Print(Trunc(-2.7));",
      .Output = "2\n"
                "-2"}},
    {"function Int(e: Extended): Integer",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::trunc(Flt(m, 0))); },
     {.Text = "Целая часть (к нулю), но дробным числом.",
      .Example = "Print(Int(2.7));\n"
                 "Print(Int(-2.7));",
      .Output = "2\n"
                "-2"}},
    {"function Frac(X: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) {
       double x = Flt(m, 0);
       return Variant(x - std::trunc(x));
     },
     {.Text = "Дробная часть: `X` минус его целая часть.",
      .Example = "Print(Frac(2.75));",
      .Output = "0.75"}},
    {"function Sqrt(e: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::sqrt(Flt(m, 0))); },
     {.Text = "Квадратный корень.", .Example = "Print(Sqrt(16));", .Output = "4"}},
    {"function Abs(e: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::fabs(Flt(m, 0))); },
     {.Text = "Абсолютная величина (дробным числом).", .Example = "Print(Abs(-3));", .Output = "3"}},
    {"function Sin(e: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::sin(Flt(m, 0))); },
     {.Text = "Синус (угол в радианах).",
      .Example = "Print(Sin(0));\n"
                 "Print(Round(Sin(Pi / 2)));",
      .Output = "0\n"
                "1"}},
    {"function Cos(e: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::cos(Flt(m, 0))); },
     {.Text = "Косинус (угол в радианах).", .Example = "Print(Cos(0));", .Output = "1"}},
    {"function ArcTan(X: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::atan(Flt(m, 0))); },
     {.Text = "Арктангенс (в радианах).", .Example = "Print(Round(ArcTan(1) * 4000));", .Output = "3142"}},
    {"function Tan(X: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) {
       double x = Flt(m, 0);
       return Variant(std::sin(x) / std::cos(x));
     },
     {.Text = "Тангенс (угол в радианах).", .Example = "Print(Round(Tan(Pi / 4) * 100));", .Output = "100"}},
    {"function Exp(X: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::exp(Flt(m, 0))); },
     {.Text = "Число e в степени `X`.",
      .Example = "Print(Exp(0));\n"
                 "Print(Round(Exp(1) * 1000));",
      .Output = "1\n"
                "2718"}},
    {"function Ln(X: Extended): Extended",
     "ctMath",
     [](TfsMethodHelper& m) { return Variant(std::log(Flt(m, 0))); },
     {.Text = "Натуральный логарифм.",
      .Example = "Print(Ln(1));\n"
                 "Print(Round(Ln(Exp(2))));",
      .Output = "0\n"
                "2"}},
    {"function Pi: Extended",
     "ctMath",
     [](TfsMethodHelper&) { return Variant(3.1415926535897932385); },
     {.Text = "Число π.", .Example = "Print(FormatFloat(\"0.0000\", Pi));", .Output = "3,1416"}},
    {"procedure Inc(var i: Integer; incr: Integer = 1)",
     "ctOther",
     [](TfsMethodHelper& m) {
       m.SetVParam(0, VarAdd(m.GetVParam(0), m.GetVParam(1)));
       return Variant();
     },
     {.Text = "Увеличивает переменную `i` на `incr` (по умолчанию на 1).",
      .Example = "var i = 5;\n"
                 "Inc(i);\n"
                 "Inc(i, 10);\n"
                 "Print(i);",
      .Output = "16"}},
    {"procedure Dec(var i: Integer; decr: Integer = 1)",
     "ctOther",
     [](TfsMethodHelper& m) {
       m.SetVParam(0, VarSub(m.GetVParam(0), m.GetVParam(1)));
       return Variant();
     },
     {.Text = "Уменьшает переменную `i` на `decr` (по умолчанию на 1).",
      .Example = "var i = 5;\n"
                 "Dec(i);\n"
                 "Dec(i, 2);\n"
                 "Print(i);",
      .Output = "2"}},
    {"procedure RaiseException(Param: String)",
     "ctOther",
     [](TfsMethodHelper& m) -> Variant { throw Exception(Str(m, 0)); },
     {.Text = "Вызывает ошибку с текстом `Param`. Её можно перехватить в `try … except`: текст будет в "
              "`ExceptionMessage`; не перехваченная ошибка прекращает сценарий.",
      .Errors = "Всегда: ошибка с текстом `Param`.",
      .Example = "try\n"
                 "  RaiseException(\"нет ответа\");\n"
                 "except\n"
                 "  Print(ExceptionMessage);",
      .Output = "нет ответа"}},
    {"procedure ShowMessage(Msg: Variant)",
     "ctOther",
     [](TfsMethodHelper& m) {
       std::string text = VarToStr(m.GetVParam(0));
       if (ShowMessageHook())
         ShowMessageHook()(text);
       else
         PrintMessage(text);
       return Variant();
     },
     {.Text = "Показывает текст значения в окне сообщения с кнопкой OK и ждёт, пока его закроют. "
              "kelvo-script печатает текст в стандартный вывод.",
      .Example = "ShowMessage(\"Готово: \" + IntToStr(3));",
      .Output = "Готово: 3"}},
    {"procedure Randomize",
     "ctOther",
     [](TfsMethodHelper&) {
       std::lock_guard<std::mutex> guard(RandomLock());
       RandomGenerator().seed(
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
       return Variant();
     },
     {.Text = "Заново запускает генератор случайных чисел от часов, чтобы `Random` давал при каждом "
              "выполнении другую последовательность.",
      .Example = "Randomize;\n"
                 "Print(Random < 1);",
      .Output = "True"}},
    // 53 random bits scaled into [0, 1): never 1, unlike some distributions' rounding.
    {"function Random: Extended",
     "ctOther",
     [](TfsMethodHelper&) {
       std::lock_guard<std::mutex> guard(RandomLock());
       return Variant(static_cast<double>(RandomGenerator()() >> 11) * 0x1.0p-53);
     },
     {.Text = "Следующее случайное дробное число, не меньше 0 и меньше 1.",
      .Example = "var x = Random;\n"
                 "Print((x >= 0) && (x < 1));\n"
                 "Print(Trunc(Random * 6) + 1 <= 6);",
      .Output = "True\n"
                "True"}},
    {"function ValidInt(cInt: String): Boolean",
     "ctOther",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         std::int32_t v;
         return TryStrToInt(s, v);
       });
     },
     {.Text = "Примет ли `StrToInt` этот текст. Ошибок не вызывает.",
      .Example = "Print(ValidInt(\"12\"));\n"
                 "Print(ValidInt(\"12a\"));",
      .Output = "True\n"
                "False"}},
    {"function ValidFloat(cFlt: String): Boolean",
     "ctOther",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         double v;
         return TryStrToFloat(s, v, FS());
       });
     },
     {.Text = "Примет ли `StrToFloat` этот текст. Ошибок не вызывает.",
      .Example = "Print(ValidFloat(\"2,5\"));\n"
                 "Print(ValidFloat(\"abc\"));",
      .Output = "True\n"
                "False"}},
    {"function ValidDate(cDate: String): Boolean",
     "ctOther",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         double v;
         return TryStrToDate(s, v, FS());
       });
     },
     {.Text = "Примет ли `StrToDate` этот текст. Ошибок не вызывает.",
      .Example = "Print(ValidDate(\"31.12.2024\"));\n"
                 "Print(ValidDate(\"31.02.2024\"));",
      .Output = "True\n"
                "False"}},
    {"function CreateOleObject(ClassName: String): Variant",
     "ctOther",
     [](TfsMethodHelper& m) -> Variant {
       throw Exception(FormatMessage("%s: cannot create '%s'", {SAutomationNotAvailable, Str(m, 0)}));
     },
     {.Text = "Создаёт объект автоматизации Windows по имени класса. В Linux объектов автоматизации нет: "
              "функция всегда вызывает ошибку.",
      .Errors = "Всегда: `Automation objects are not available on this platform: cannot create '...'`.",
      .Example = "try\n"
                 "  CreateOleObject(\"Excel.Application\");\n"
                 "except\n"
                 "  Print(ExceptionMessage);",
      .Output = "Automation objects are not available on this platform: cannot create 'Excel.Application'"}},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant",
     "ctOther",
     SysVarArrayCreate,
     {.Text = "Новый массив: `Bounds` — нижняя и верхняя граница каждого измерения парами, `Typ` — код типа "
              "элементов (константы `varInteger`, `varVariant`, …). Элементы сначала пусты.",
      .Errors = "`Bounds` — не массив или в нём нечётное число границ: `Invalid variant operation`.",
      .Example = "var a = VarArrayCreate([1, 3], varVariant);\n"
                 "a[1] = \"AT\";\n"
                 "a[3] = 5;\n"
                 "Print(Length(a));\n"
                 "Print(a[1] + \"Z\");",
      .Output = "3\n"
                "ATZ"}},
    {"function VarType(V: Variant): Integer",
     "ctOther",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(m.GetVParam(0).VarType())); },
     {.Text = "Код типа значения: `varEmpty` (0), `varNull` (1), `varInteger` (3), `varDouble` (5), "
              "`varDate` (7), `varBoolean` (11), `varString` (256), `varArray` (8192) и др.",
      .Example = "Print(VarType(Null));\n"
                 "Print(VarType(\"a\"));\n"
                 "Print(VarType(1));\n"
                 "Print(VarType(Now) == varDate);",
      .Output = "1\n"
                "256\n"
                "3\n"
                "True"}},
};
static_assert(std::size(kSystemFunctions) == 65);

}  // namespace

std::span<const TfsSystemFunctionEntry> SystemFunctions() {
  return kSystemFunctions;
}

// Each method item gets its entry's own handler: the name it is called by is not looked at.
void RegisterSystemFunctions(TfsScript& script) {
  for (const TfsSystemFunctionEntry& e : kSystemFunctions) {
    TfsSystemFunction serve = e.Serve;
    script.AddMethod(
        e.Syntax,
        [serve](TfsHostObject*, TfsClassRef, const std::string&, TfsMethodHelper& caller) {
          return serve(caller);
        },
        e.Category);
  }
}

void SetShowMessageHook(TfsShowMessageHook hook) {
  ShowMessageHook() = std::move(hook);
}

}  // namespace kelvo
