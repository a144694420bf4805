// Fuzz target for the script runtime's readers of script-supplied text: Format, FormatFloat,
// FormatDateTime, FormatMaskText and the number, date and time conversions. Each must either
// succeed or raise the engine's error; anything else (a crash, an out-of-bounds read, another
// exception) is a finding.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "script/format/datetime.h"
#include "script/format/format.h"
#include "script/format/format_datetime.h"
#include "script/format/format_float.h"
#include "script/format/mask_text.h"
#include "script/format/number_text.h"
#include "script/format/varrec.h"
#include "script/value/str_to_int.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

// Reads the fuzz input as: a selector byte, a number (8 bytes), then two texts split at the
// first zero byte.
struct TInput {
  std::uint8_t Selector = 0;
  double Number = 0;
  std::string_view First, Second;
};

TInput Split(const std::uint8_t* data, std::size_t size) {
  TInput in;
  if (size > 0) in.Selector = data[0], ++data, --size;
  if (size >= 8) {
    std::memcpy(&in.Number, data, 8);
    data += 8;
    size -= 8;
  }
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::size_t zero = rest.find('\0');
  in.First = rest.substr(0, zero);
  in.Second = zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1);
  return in;
}

// Arguments for Format made from the second text: each byte picks a kind and a value.
TVarRecArray MakeArgs(std::string_view bytes, double number) {
  TVarRecArray args;
  for (std::size_t i = 0; i < bytes.size() && args.size() < 16; ++i) {
    auto b = static_cast<std::uint8_t>(bytes[i]);
    switch (b % 7) {
      case 0:
        args.push_back(TVarRec::Integer(static_cast<std::int8_t>(b) * 1000003));
        break;
      case 1: {
        // The number's bits: every 64-bit value, where converting the double would be undefined
        // for most of them (out of range, not a number).
        std::int64_t bits;
        std::memcpy(&bits, &number, sizeof bits);
        args.push_back(TVarRec::Int64(bits));
        break;
      }
      case 2:
        args.push_back(TVarRec::Extended(number));
        break;
      case 3:
        args.push_back(TVarRec::String(std::string(bytes.substr(i))));
        break;
      case 4:
        args.push_back(TVarRec::Boolean(b & 8));
        break;
      case 5:
        args.push_back(TVarRec::Char(static_cast<char>(b)));
        break;
      default:
        args.push_back(TVarRec::OfVariant(Variant(static_cast<int>(b))));
        break;
    }
  }
  return args;
}

// A float read back from its own general text must give the same text again.
void CheckFloatRoundTrip(double v, const TFormatSettings& fs) {
  std::string text = FloatToStr(v, fs);
  double back;
  if (!TryStrToFloat(text, back, fs) || FloatToStr(back, fs) != text) __builtin_trap();
}

void Run(const TInput& in, const TFormatSettings& fs) {
  switch (in.Selector % 9) {
    case 0:
      Format(in.First, MakeArgs(in.Second, in.Number), fs);
      break;
    case 1:
      FormatFloat(in.First, in.Number, fs);
      break;
    case 2:
      FormatDateTime(in.First, in.Number, fs);
      break;
    case 3:
      FormatMaskText(in.First, in.Second, fs);
      break;
    case 4: {
      std::int32_t i;
      if (TryStrToInt(in.First, i) && StrToInt(std::to_string(i)) != i) __builtin_trap();
      StrToInt64(in.First);
      break;
    }
    case 5: {
      double v;
      if (TryStrToFloat(in.First, v, fs)) CheckFloatRoundTrip(v, fs);
      break;
    }
    case 6:
      StrToDate(in.First, fs);
      break;
    case 7:
      StrToDateTime(in.First, fs);
      break;
    default:
      if (std::isfinite(in.Number)) CheckFloatRoundTrip(in.Number, fs);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TFormatSettings fs = RussianFormatSettings();
  TInput in = Split(data, size);
  try {
    Run(in, fs);
  } catch (const Exception&) {
    // the engine's error: the expected answer to bad text
  }
  return 0;
}
