#include "script/format/format.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "script/format/format_float.h"
#include "script/value/convert_error.h"

namespace kelvo {

namespace {

// The parts of one placeholder between "%" and its letter.
struct TPlaceholder {
  bool Left = false;
  int Width = -1;
  int Precision = -1;
  char Letter = 0;  // upper case
};

class TFormatter {
 public:
  TFormatter(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs)
      : FFmt(fmt), FArgs(args), FS(fs) {}

  std::string Run() {
    for (FPos = 0; FPos < FFmt.size();) {
      char c = FFmt[FPos++];
      if (c != '%') {
        FOut += c;
      } else if (FPos < FFmt.size() && FFmt[FPos] == '%') {
        FOut += '%';
        ++FPos;
      } else {
        Placeholder();
      }
    }
    return FOut;
  }

 private:
  [[noreturn]] void Invalid() const { throw EConvertError(FormatMessage(SInvalidFormat, {FFmt})); }

  const TVarRec& NextArg() {
    if (FArgIndex >= FArgs.size()) throw EConvertError(FormatMessage(SArgumentMissing, {FFmt}));
    return FArgs[FArgIndex++];
  }

  // A decimal number or "*" (the next argument); none when neither is there.
  std::optional<long long> Number() {
    if (FPos < FFmt.size() && FFmt[FPos] == '*') {
      ++FPos;
      const TVarRec& a = NextArg();
      long long v;
      if (a.VType == TVarRecType::vtInteger)
        v = a.VInteger;
      else if (a.VType == TVarRecType::vtInt64)
        v = a.VInt64;
      else
        Invalid();
      if (v > MaxFormatWidth || v < -MaxFormatWidth) Invalid();
      return v;
    }
    if (FPos >= FFmt.size() || FFmt[FPos] < '0' || FFmt[FPos] > '9') return std::nullopt;
    long long v = 0;
    while (FPos < FFmt.size() && FFmt[FPos] >= '0' && FFmt[FPos] <= '9') {
      v = v * 10 + (FFmt[FPos++] - '0');
      if (v > MaxFormatWidth) Invalid();
    }
    return v;
  }

  bool Next(char c) {
    if (FPos < FFmt.size() && FFmt[FPos] == c) {
      ++FPos;
      return true;
    }
    return false;
  }

  void Placeholder() {
    TPlaceholder p;
    std::optional<long long> n = Number();
    if (Next(':')) {
      if (!n || *n < 0) Invalid();
      FArgIndex = static_cast<std::size_t>(*n);
      n.reset();
    }
    if (!n) {
      p.Left = Next('-');
      n = Number();
    }
    if (n) {
      if (*n < 0) p.Left = true;  // a negative "*" width justifies left, as C does
      p.Width = static_cast<int>(*n < 0 ? -*n : *n);
    }
    if (Next('.')) {
      std::optional<long long> prec = Number();
      p.Precision = !prec ? 0 : (*prec < 0 ? -1 : static_cast<int>(*prec));
    }
    if (FPos >= FFmt.size()) Invalid();
    char letter = FFmt[FPos++];
    p.Letter = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 32) : letter;
    Pad(p, Convert(p, NextArgFor(p)));
  }

  const TVarRec& NextArgFor(const TPlaceholder& p) {
    if (std::string_view("DUXEFGNMPS").find(p.Letter) == std::string_view::npos) Invalid();
    return NextArg();
  }

  void Pad(const TPlaceholder& p, std::string text) {
    if (p.Width > static_cast<int>(text.size())) {
      std::string fill(p.Width - text.size(), ' ');
      text = p.Left ? text + fill : fill + text;
    }
    FOut += text;
  }

  std::string Convert(const TPlaceholder& p, const TVarRec& a) {
    switch (p.Letter) {
      case 'D':
      case 'U':
      case 'X':
        return Integer(p, a);
      case 'E':
      case 'F':
      case 'G':
      case 'N':
      case 'M':
        return Float(p, FloatArg(a));
      case 'P':
        return Pointer(a);
      default:
        return String(p, a);
    }
  }

  std::string Integer(const TPlaceholder& p, const TVarRec& a) {
    std::int64_t v;
    bool wide = false;
    if (a.VType == TVarRecType::vtInteger) {
      v = a.VInteger;
    } else if (a.VType == TVarRecType::vtInt64) {
      v = a.VInt64;
      wide = true;
    } else if (a.VType == TVarRecType::vtVariant && a.VVariant.IsOrdinal()) {
      v = a.VVariant.AsInt64();
      wide = a.VVariant.VarType() == varInt64;
    } else {
      Invalid();
    }
    std::uint64_t magnitude;
    bool negative = false;
    char buf[32];
    if (p.Letter == 'D') {
      negative = v < 0;
      magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
      std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(magnitude));
    } else {
      // 32-bit arguments show their 32 bits, as the runtime's unsigned and hexadecimal forms do.
      magnitude = wide ? static_cast<std::uint64_t>(v) : static_cast<std::uint32_t>(v);
      std::snprintf(buf, sizeof buf, p.Letter == 'X' ? "%llX" : "%llu",
                    static_cast<unsigned long long>(magnitude));
    }
    std::string digits = buf;
    if (p.Precision > static_cast<int>(digits.size())) digits.insert(0, p.Precision - digits.size(), '0');
    return negative ? "-" + digits : digits;
  }

  double FloatArg(const TVarRec& a) {
    if (a.VType == TVarRecType::vtExtended || a.VType == TVarRecType::vtCurrency) return a.VExtended;
    if (a.VType == TVarRecType::vtVariant && a.VVariant.IsNumeric()) return a.VVariant.AsFloat();
    Invalid();
  }

  std::string Float(const TPlaceholder& p, double v) {
    int prec = p.Precision;
    switch (p.Letter) {
      case 'E':
        return FloatToTextExponent(v, prec < 0 ? 15 : std::clamp(prec, 1, 18), 3, FS);
      case 'G':
        return FloatToTextGeneral(v, prec < 0 ? 15 : std::clamp(prec, 1, 18), 0, FS);
      case 'F':
        return FloatToTextFixed(v, prec < 0 ? 2 : std::min(prec, 18), false, FS);
      case 'N':
        return FloatToTextFixed(v, prec < 0 ? 2 : std::min(prec, 18), true, FS);
      default:
        return FloatToTextCurrency(v, prec < 0 ? FS.CurrencyDecimals : std::min(prec, 18), FS);
    }
  }

  std::string Pointer(const TVarRec& a) {
    const void* ptr;
    if (a.VType == TVarRecType::vtPointer)
      ptr = a.VPointer;
    else if (a.VType == TVarRecType::vtObject)
      ptr = a.VObject;
    else
      Invalid();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", static_cast<int>(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(ptr)));
    return buf;
  }

  std::string String(const TPlaceholder& p, const TVarRec& a) {
    std::string s;
    switch (a.VType) {
      case TVarRecType::vtString:
      case TVarRecType::vtAnsiString:
        s = a.VString;
        break;
      case TVarRecType::vtChar:
        s = std::string(1, a.VChar);
        break;
      case TVarRecType::vtVariant:
        s = a.VVariant.AsString();
        break;
      default:
        Invalid();
    }
    if (p.Precision >= 0 && p.Precision < static_cast<int>(s.size())) s.resize(p.Precision);
    return s;
  }

  std::string_view FFmt;
  std::span<const TVarRec> FArgs;
  const TFormatSettings& FS;
  std::string FOut;
  std::size_t FPos = 0;
  std::size_t FArgIndex = 0;
};

}  // namespace

std::string Format(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs) {
  return TFormatter(fmt, args, fs).Run();
}

}  // namespace kelvo
