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

// --- one function table per group; each handler finds the upper-case name in its table

using TSysFn = Variant (*)(TfsMethodHelper& m);
struct TSysEntry {
  std::string_view Name;
  TSysFn Fn;
};

Variant Dispatch(std::span<const TSysEntry> group, const std::string& name, TfsMethodHelper& m) {
  for (const TSysEntry& e : group)
    if (e.Name == name) return e.Fn(m);
  return Variant(0);
}

// Conversion
const TSysEntry kConv[] = {
    {"INTTOSTR", [](TfsMethodHelper& m) { return Variant(std::to_string(m.GetVParam(0).AsInt64())); }},
    {"FLOATTOSTR", [](TfsMethodHelper& m) { return Variant(FloatToStr(Flt(m, 0), FS())); }},
    {"DATETOSTR", [](TfsMethodHelper& m) { return Variant(DateToStr(Flt(m, 0), FS())); }},
    {"TIMETOSTR", [](TfsMethodHelper& m) { return Variant(TimeToStr(Flt(m, 0), FS())); }},
    {"DATETIMETOSTR", [](TfsMethodHelper& m) { return Variant(DateTimeToStr(Flt(m, 0), FS())); }},
    {"STRTOINT", [](TfsMethodHelper& m) { return Variant(static_cast<int>(StrToInt(Str(m, 0)))); }},
    {"STRTOINT64", [](TfsMethodHelper& m) { return Int64Value(StrToInt64(Str(m, 0))); }},
    {"STRTOFLOAT", [](TfsMethodHelper& m) { return Variant(StrToFloat(Str(m, 0), FS())); }},
    {"STRTODATE", [](TfsMethodHelper& m) { return DateValue(StrToDate(Str(m, 0), FS())); }},
    {"STRTOTIME", [](TfsMethodHelper& m) { return DateValue(StrToTime(Str(m, 0), FS())); }},
    {"STRTODATETIME", [](TfsMethodHelper& m) { return DateValue(StrToDateTime(Str(m, 0), FS())); }},
};

// Formatting
Variant SysFormat(TfsMethodHelper& m) {
  std::string fmt = Str(m, 0);
  TVarRecArray args;
  VariantToVarRec(m.GetVParam(1), args);
  std::string out = Format(fmt, args, FS());
  ClearVarRec(args);
  return Variant(std::move(out));
}

const TSysEntry kFormat[] = {
    {"FORMAT", SysFormat},
    {"FORMATFLOAT", [](TfsMethodHelper& m) { return Variant(FormatFloat(Str(m, 0), Flt(m, 1), FS())); }},
    {"FORMATDATETIME",
     [](TfsMethodHelper& m) { return Variant(FormatDateTime(Str(m, 0), Flt(m, 1), FS())); }},
    {"FORMATMASKTEXT",
     [](TfsMethodHelper& m) { return Variant(FormatMaskText(Str(m, 0), Str(m, 1), FS())); }},
};

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

const TSysEntry kDate[] = {
    {"ENCODEDATE", [](TfsMethodHelper& m) { return DateValue(EncodeDate(Int(m, 0), Int(m, 1), Int(m, 2))); }},
    {"DECODEDATE", SysDecodeDate},
    {"ENCODETIME",
     [](TfsMethodHelper& m) { return DateValue(EncodeTime(Int(m, 0), Int(m, 1), Int(m, 2), Int(m, 3))); }},
    {"DECODETIME", SysDecodeTime},
    {"DATE", [](TfsMethodHelper&) { return DateValue(Date()); }},
    {"TIME", [](TfsMethodHelper&) { return DateValue(Time()); }},
    {"NOW", [](TfsMethodHelper&) { return DateValue(Now()); }},
    {"DAYOFWEEK", [](TfsMethodHelper& m) { return WordValue(DayOfWeek(Flt(m, 0))); }},
    {"ISLEAPYEAR", [](TfsMethodHelper& m) { return Variant(IsLeapYear(Int(m, 0))); }},
    {"DAYSINMONTH", [](TfsMethodHelper& m) { return Variant(DaysInMonth(Int(m, 0), Int(m, 1))); }},
};

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

const TSysEntry kString[] = {
    {"LENGTH", SysLength},
    {"COPY", [](TfsMethodHelper& m) { return Variant(ScriptCopy(Str(m, 0), Int(m, 1), Int(m, 2))); }},
    {"POS", [](TfsMethodHelper& m) { return Variant(static_cast<int>(ScriptPos(Str(m, 0), Str(m, 1)))); }},
    {"DELETE", SysDelete},
    {"DELETESTR", SysDelete},
    {"INSERT", SysInsert},
    {"UPPERCASE", [](TfsMethodHelper& m) { return Variant(AnsiUpperCase(Str(m, 0))); }},
    {"LOWERCASE", [](TfsMethodHelper& m) { return Variant(AnsiLowerCase(Str(m, 0))); }},
    {"TRIM", [](TfsMethodHelper& m) { return Variant(Trim(Str(m, 0))); }},
    {"NAMECASE", [](TfsMethodHelper& m) { return Variant(NameCase(Str(m, 0))); }},
    {"COMPARETEXT", [](TfsMethodHelper& m) { return Variant(AnsiCompareText(Str(m, 0), Str(m, 1))); }},
    {"CHR", [](TfsMethodHelper& m) { return Variant(std::string(1, static_cast<char>(Int(m, 0) & 0xFF))); }},
    {"ORD", SysOrd},
    {"SETLENGTH", SysSetLength},
};

// Mathematics
const TSysEntry kMath[] = {
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    {"ROUND",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(FloatToInt32(std::nearbyint(Flt(m, 0))))); }},
    {"TRUNC",
     [](TfsMethodHelper& m) { return Variant(static_cast<int>(FloatToInt32(std::trunc(Flt(m, 0))))); }},
    {"INT", [](TfsMethodHelper& m) { return Variant(std::trunc(Flt(m, 0))); }},
    {"FRAC",
     [](TfsMethodHelper& m) {
       double x = Flt(m, 0);
       return Variant(x - std::trunc(x));
     }},
    {"SQRT", [](TfsMethodHelper& m) { return Variant(std::sqrt(Flt(m, 0))); }},
    {"ABS", [](TfsMethodHelper& m) { return Variant(std::fabs(Flt(m, 0))); }},
    {"SIN", [](TfsMethodHelper& m) { return Variant(std::sin(Flt(m, 0))); }},
    {"COS", [](TfsMethodHelper& m) { return Variant(std::cos(Flt(m, 0))); }},
    {"ARCTAN", [](TfsMethodHelper& m) { return Variant(std::atan(Flt(m, 0))); }},
    {"TAN",
     [](TfsMethodHelper& m) {
       double x = Flt(m, 0);
       return Variant(std::sin(x) / std::cos(x));
     }},
    {"EXP", [](TfsMethodHelper& m) { return Variant(std::exp(Flt(m, 0))); }},
    {"LN", [](TfsMethodHelper& m) { return Variant(std::log(Flt(m, 0))); }},
    {"PI", [](TfsMethodHelper&) { return Variant(3.1415926535897932385); }},
};

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

const TSysEntry kOther[] = {
    {"VARTOSTR", [](TfsMethodHelper& m) { return Variant(VarToStr(m.GetVParam(0))); }},
    {"INC",
     [](TfsMethodHelper& m) {
       m.SetVParam(0, VarAdd(m.GetVParam(0), m.GetVParam(1)));
       return Variant();
     }},
    {"DEC",
     [](TfsMethodHelper& m) {
       m.SetVParam(0, VarSub(m.GetVParam(0), m.GetVParam(1)));
       return Variant();
     }},
    {"RAISEEXCEPTION", [](TfsMethodHelper& m) -> Variant { throw Exception(Str(m, 0)); }},
    {"SHOWMESSAGE",
     [](TfsMethodHelper& m) {
       std::string text = VarToStr(m.GetVParam(0));
       if (ShowMessageHook())
         ShowMessageHook()(text);
       else
         PrintMessage(text);
       return Variant();
     }},
    {"RANDOMIZE",
     [](TfsMethodHelper&) {
       std::lock_guard<std::mutex> guard(RandomLock());
       RandomGenerator().seed(
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
       return Variant();
     }},
    // 53 random bits scaled into [0, 1): never 1, unlike some distributions' rounding.
    {"RANDOM",
     [](TfsMethodHelper&) {
       std::lock_guard<std::mutex> guard(RandomLock());
       return Variant(static_cast<double>(RandomGenerator()() >> 11) * 0x1.0p-53);
     }},
    {"VALIDINT",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         std::int32_t v;
         return TryStrToInt(s, v);
       });
     }},
    {"VALIDFLOAT",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         double v;
         return TryStrToFloat(s, v, FS());
       });
     }},
    {"VALIDDATE",
     [](TfsMethodHelper& m) {
       return Valid(m, [](const std::string& s) {
         double v;
         return TryStrToDate(s, v, FS());
       });
     }},
    {"VARARRAYCREATE", SysVarArrayCreate},
    {"VARTYPE", [](TfsMethodHelper& m) { return Variant(static_cast<int>(m.GetVParam(0).VarType())); }},
};

// The platform's automation service
const TSysEntry kAutomation[] = {
    {"CREATEOLEOBJECT",
     [](TfsMethodHelper& m) -> Variant {
       throw Exception(FormatMessage("%s: cannot create '%s'", {SAutomationNotAvailable, Str(m, 0)}));
     }},
};

template <const auto& Group>
Variant Handler(TfsHostObject*, TfsClassRef, const std::string& name, TfsMethodHelper& caller) {
  return Dispatch(Group, name, caller);
}

// The declarations, in registration order, with their category and the group that serves them.
struct TSysDeclaration {
  const char* Syntax;
  const char* Category;
  Variant (*Serve)(TfsHostObject*, TfsClassRef, const std::string&, TfsMethodHelper&);
};

const TSysDeclaration kDeclarations[] = {
    {"function IntToStr(i: Integer): String", "ctConv", Handler<kConv>},
    {"function FloatToStr(e: Extended): String", "ctConv", Handler<kConv>},
    {"function DateToStr(e: Extended): String", "ctConv", Handler<kConv>},
    {"function TimeToStr(e: Extended): String", "ctConv", Handler<kConv>},
    {"function DateTimeToStr(e: Extended): String", "ctConv", Handler<kConv>},
    {"function VarToStr(v: Variant): String", "ctConv", Handler<kOther>},
    {"function StrToInt(s: String): Integer", "ctConv", Handler<kConv>},
    {"function StrToInt64(s: String): Integer", "ctConv", Handler<kConv>},
    {"function StrToFloat(s: String): Extended", "ctConv", Handler<kConv>},
    {"function StrToDate(s: String): Extended", "ctConv", Handler<kConv>},
    {"function StrToTime(s: String): Extended", "ctConv", Handler<kConv>},
    {"function StrToDateTime(s: String): Extended", "ctConv", Handler<kConv>},
    {"function Format(Fmt: String; Args: array): String", "ctFormat", Handler<kFormat>},
    {"function FormatFloat(Fmt: String; Value: Extended): String", "ctFormat", Handler<kFormat>},
    {"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", "ctFormat", Handler<kFormat>},
    {"function FormatMaskText(EditMask: string; Value: string): string", "ctFormat", Handler<kFormat>},
    {"function EncodeDate(Year, Month, Day: Word): TDateTime", "ctDate", Handler<kDate>},
    {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", "ctDate", Handler<kDate>},
    {"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", "ctDate", Handler<kDate>},
    {"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "ctDate", Handler<kDate>},
    {"function Date: TDateTime", "ctDate", Handler<kDate>},
    {"function Time: TDateTime", "ctDate", Handler<kDate>},
    {"function Now: TDateTime", "ctDate", Handler<kDate>},
    {"function DayOfWeek(aDate: TDateTime): Integer", "ctDate", Handler<kDate>},
    {"function IsLeapYear(Year: Word): Boolean", "ctDate", Handler<kDate>},
    {"function DaysInMonth(nYear, nMonth: Integer): Integer", "ctDate", Handler<kDate>},
    {"function Length(s: Variant): Integer", "ctString", Handler<kString>},
    {"function Copy(s: String; from, count: Integer): String", "ctString", Handler<kString>},
    {"function Pos(substr, s: String): Integer", "ctString", Handler<kString>},
    {"procedure Delete(var s: String; from, count: Integer)", "ctString", Handler<kString>},
    {"procedure DeleteStr(var s: String; from, count: Integer)", "ctString", Handler<kString>},
    {"procedure Insert(s: String; var s2: String; pos: Integer)", "ctString", Handler<kString>},
    {"function Uppercase(s: String): String", "ctString", Handler<kString>},
    {"function Lowercase(s: String): String", "ctString", Handler<kString>},
    {"function Trim(s: String): String", "ctString", Handler<kString>},
    {"function NameCase(s: String): String", "ctString", Handler<kString>},
    {"function CompareText(s, s1: String): Integer", "ctString", Handler<kString>},
    {"function Chr(i: Integer): Char", "ctString", Handler<kString>},
    {"function Ord(ch: Char): Integer", "ctString", Handler<kString>},
    {"procedure SetLength(var S: Variant; L: Integer)", "ctString", Handler<kString>},
    {"function Round(e: Extended): Integer", "ctMath", Handler<kMath>},
    {"function Trunc(e: Extended): Integer", "ctMath", Handler<kMath>},
    {"function Int(e: Extended): Integer", "ctMath", Handler<kMath>},
    {"function Frac(X: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Sqrt(e: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Abs(e: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Sin(e: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Cos(e: Extended): Extended", "ctMath", Handler<kMath>},
    {"function ArcTan(X: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Tan(X: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Exp(X: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Ln(X: Extended): Extended", "ctMath", Handler<kMath>},
    {"function Pi: Extended", "ctMath", Handler<kMath>},
    {"procedure Inc(var i: Integer; incr: Integer = 1)", "ctOther", Handler<kOther>},
    {"procedure Dec(var i: Integer; decr: Integer = 1)", "ctOther", Handler<kOther>},
    {"procedure RaiseException(Param: String)", "ctOther", Handler<kOther>},
    {"procedure ShowMessage(Msg: Variant)", "ctOther", Handler<kOther>},
    {"procedure Randomize", "ctOther", Handler<kOther>},
    {"function Random: Extended", "ctOther", Handler<kOther>},
    {"function ValidInt(cInt: String): Boolean", "ctOther", Handler<kOther>},
    {"function ValidFloat(cFlt: String): Boolean", "ctOther", Handler<kOther>},
    {"function ValidDate(cDate: String): Boolean", "ctOther", Handler<kOther>},
    {"function CreateOleObject(ClassName: String): Variant", "ctOther", Handler<kAutomation>},
    {"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", "ctOther", Handler<kOther>},
    {"function VarType(V: Variant): Integer", "ctOther", Handler<kOther>},
};
static_assert(std::size(kDeclarations) == 65);

}  // namespace

void RegisterSystemFunctions(TfsScript& script) {
  for (const TSysDeclaration& d : kDeclarations)
    script.AddMethod(d.Syntax, TfsCallMethodNewEvent(d.Serve), d.Category);
}

void SetShowMessageHook(TfsShowMessageHook hook) {
  ShowMessageHook() = std::move(hook);
}

}  // namespace kelvo
