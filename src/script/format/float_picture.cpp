// FormatFloat's picture language.
//   picture  -> section [";" section [";" section]]   (positive/all; negative; zero)
//   section  -> { "0" | "#" | "." | "," | ("E"|"e") ("+"|"-") {"0"} | quoted | other }
// "0" is a digit always shown, "#" a digit shown when significant, the first "." the decimal
// point, any "," switches thousands separators on; quoted text ('...' or "...") is copied.
#include <algorithm>
#include <cmath>
#include <vector>

#include "script/format/format_float.h"

namespace kelvo {

namespace {

constexpr int kMaxDigits = 18;

std::vector<std::string_view> SplitSections(std::string_view picture) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < picture.size(); ++i) {
    char c = picture[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(picture.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(picture.substr(start));
  return sections;
}

// What a section asks for, found by one pass over it.
struct TPictureShape {
  int IntPlaceholders = 0;  // "0" and "#" before the decimal point
  int IntZeroFrom = -1;     // index of the first "0" among them, -1 when none
  int FracPlaceholders = 0;
  int FracZeros = 0;  // digits after the point that are always shown
  bool Thousands = false;
  bool Scientific = false;
};

bool IsExponentMark(std::string_view s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

TPictureShape ReadShape(std::string_view s) {
  TPictureShape shape;
  bool point = false;
  char quote = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (point) {
        ++shape.FracPlaceholders;
        if (c == '0') shape.FracZeros = shape.FracPlaceholders;
      } else {
        if (c == '0' && shape.IntZeroFrom < 0) shape.IntZeroFrom = shape.IntPlaceholders;
        ++shape.IntPlaceholders;
      }
    } else if (c == '.') {
      point = true;
    } else if (c == ',') {
      shape.Thousands = true;
    } else if (IsExponentMark(s, i)) {
      shape.Scientific = true;
      break;  // what follows the mark is the exponent's picture and literal text
    }
  }
  return shape;
}

// The digits that a section shows: whole part, fraction part and the exponent.
struct TPictureDigits {
  std::string Whole;
  std::string Frac;
  int Exponent = 0;
  bool Zero = true;  // nothing but zeros after rounding
};

TPictureDigits MakeDigits(double value, const TPictureShape& shape) {
  TPictureDigits out;
  int fracMax = std::min(shape.FracPlaceholders, kMaxDigits);
  TFloatDigits d;
  std::string all;
  int wholeCount;
  if (shape.Scientific) {
    int precision = std::clamp(shape.IntPlaceholders + fracMax, 1, kMaxDigits);
    d = FloatToDigitsHalfAway(value, precision);
    all = d.Digits;
    wholeCount = shape.IntPlaceholders;
    out.Exponent = d.Digits.empty() ? 0 : d.Exponent - shape.IntPlaceholders;
  } else {
    d = FloatToDigitsFixedHalfAway(value, fracMax);
    all = d.Digits;
    wholeCount = d.Exponent;
    if (wholeCount < 0) {
      all.insert(0, -wholeCount, '0');
      wholeCount = 0;
    }
  }
  out.Zero = d.Digits.empty();
  if (static_cast<int>(all.size()) < wholeCount) all.append(wholeCount - all.size(), '0');
  out.Whole = all.substr(0, wholeCount);
  out.Frac = all.substr(wholeCount, fracMax);
  out.Whole.erase(0, std::min(out.Whole.find_first_not_of('0'), out.Whole.size()));
  int minWhole = shape.IntZeroFrom < 0 ? 0 : shape.IntPlaceholders - shape.IntZeroFrom;
  if (static_cast<int>(out.Whole.size()) < minWhole) out.Whole.insert(0, minWhole - out.Whole.size(), '0');
  while (static_cast<int>(out.Frac.size()) > shape.FracZeros && !out.Frac.empty() && out.Frac.back() == '0')
    out.Frac.pop_back();
  if (static_cast<int>(out.Frac.size()) < shape.FracZeros)
    out.Frac.append(shape.FracZeros - out.Frac.size(), '0');
  return out;
}

// Writes one section with its digits: whole digits go right-aligned into the "0"/"#" places
// before the point, the first place taking any digits that do not fit.
class TPictureWriter {
 public:
  TPictureWriter(const TPictureShape& shape, const TPictureDigits& digits, const TFormatSettings& fs)
      : FShape(shape), FDigits(digits), FSettings(fs) {}

  std::string Write(std::string_view s) {
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      char c = s[i];
      if (quote != 0) {
        if (c == quote)
          quote = 0;
        else
          FOut += c;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if ((c == '0' || c == '#') && !FPoint) {
        WholePlace();
      } else if (c == '0' || c == '#') {
        FracPlace();
      } else if (c == '.' && !FPoint) {
        Point();
      } else if (c == ',' || c == '.') {
        // thousands mark and extra points are not shown
      } else if (FShape.Scientific && IsExponentMark(s, i)) {
        i = Exponent(s, i);
      } else {
        FOut += c;
      }
    }
    if (!FWholeDone) WriteWhole(FDigits.Whole.size());
    return FOut;
  }

 private:
  void WriteWhole(size_t count) {
    const std::string& w = FDigits.Whole;
    for (size_t k = 0; k < count && FWholeNext < w.size(); ++k, ++FWholeNext) {
      FOut += w[FWholeNext];
      size_t fromRight = w.size() - 1 - FWholeNext;
      if (FShape.Thousands && fromRight > 0 && fromRight % 3 == 0) FOut += FSettings.ThousandSeparator;
    }
    FWholeDone = FWholeNext >= w.size();
  }
  void WholePlace() {
    int fromRight = FShape.IntPlaceholders - 1 - FWholeSeen++;
    int len = static_cast<int>(FDigits.Whole.size());
    // Places beyond the digits' length stay empty; the first place takes the surplus.
    int shown = len - static_cast<int>(FWholeNext);
    if (shown > fromRight) WriteWhole(shown - fromRight);
  }
  void Point() {
    if (!FWholeDone) WriteWhole(FDigits.Whole.size());
    FPoint = true;
    if (!FDigits.Frac.empty()) FOut += FSettings.DecimalSeparator;
  }
  void FracPlace() {
    if (FFracNext < FDigits.Frac.size()) FOut += FDigits.Frac[FFracNext];
    ++FFracNext;
  }
  size_t Exponent(std::string_view s, size_t i) {
    if (!FWholeDone) WriteWhole(FDigits.Whole.size());
    FPoint = true;
    FOut += s[i];
    bool plus = s[i + 1] == '+';
    size_t j = i + 2;
    int zeros = 0;
    while (j < s.size() && s[j] == '0') ++zeros, ++j;
    std::string digits = std::to_string(std::abs(FDigits.Exponent));
    if (FDigits.Exponent < 0)
      FOut += '-';
    else if (plus)
      FOut += '+';
    if (static_cast<int>(digits.size()) < zeros) FOut.append(zeros - digits.size(), '0');
    FOut += digits;
    return j - 1;
  }

  const TPictureShape& FShape;
  const TPictureDigits& FDigits;
  const TFormatSettings& FSettings;
  std::string FOut;
  bool FPoint = false;
  bool FWholeDone = false;
  int FWholeSeen = 0;
  size_t FWholeNext = 0;
  size_t FFracNext = 0;
};

bool IsBlank(std::string_view s) {
  return s.empty();
}

// One section with the absolute value; Zero tells whether it rounded to nothing.
std::string RenderSection(std::string_view section, double magnitude, const TFormatSettings& fs, bool& zero) {
  TPictureShape shape = ReadShape(section);
  zero = magnitude == 0;
  if (shape.IntPlaceholders + shape.FracPlaceholders == 0) {
    return TPictureWriter(shape, TPictureDigits{}, fs).Write(section);
  }
  TPictureDigits digits = MakeDigits(magnitude, shape);
  zero = digits.Zero;
  return TPictureWriter(shape, digits, fs).Write(section);
}

}  // namespace

std::string FormatFloat(std::string_view picture, double value, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return SpecialFloatText(value);
  std::vector<std::string_view> sections = SplitSections(picture);
  bool hasZeroSection = sections.size() > 2 && !IsBlank(sections[2]);
  std::string_view section = sections[0];
  bool ownSign = false;  // the chosen section shows the sign itself
  if (value < 0 && sections.size() > 1 && !IsBlank(sections[1])) {
    section = sections[1];
    ownSign = true;
  } else if (value == 0 && hasZeroSection) {
    section = sections[2];
  }
  if (IsBlank(section)) return FloatToTextGeneral(value, 15, 0, fs);
  // Whole parts beyond eighteen digits have no exact digits to place: the general form instead.
  if (std::fabs(value) >= 1e18 && !ReadShape(section).Scientific) return FloatToTextGeneral(value, 15, 0, fs);
  bool zero = false;
  std::string out = RenderSection(section, std::fabs(value), fs, zero);
  // A value that rounds to zero is shown by the zero section when there is one, and unsigned.
  if (zero && value != 0 && hasZeroSection) return RenderSection(sections[2], 0.0, fs, zero);
  if (value < 0 && !ownSign && !zero) out.insert(0, 1, '-');
  return out;
}

}  // namespace kelvo
