#include "script/format/format_datetime.h"

#include "text/ansi_text.h"

namespace kelvo {

namespace {

// Pictures taken from the settings ("c", "ddddd", "t", ...) may name each other; two levels
// are all that sound settings need, and the limit keeps odd ones from recursing for ever.
constexpr int kMaxNesting = 3;

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

std::string Padded(int v, size_t width) {
  std::string s = std::to_string(v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view word) {
  return s.size() - at >= word.size() && AnsiSameText(s.substr(at, word.size()), word);
}

class TDateTimeWriter {
 public:
  TDateTimeWriter(const TDateParts& parts, const TFormatSettings& fs) : P(parts), FS(fs) {}

  void Write(std::string_view f, int depth) {
    if (depth > kMaxNesting) return;
    char lastToken = ' ';
    for (size_t i = 0; i < f.size();) {
      char c = f[i];
      if (c == '"' || c == '\'') {
        size_t end = f.find(c, i + 1);
        if (end == std::string_view::npos) end = f.size();
        Out.append(f.substr(i + 1, end - i - 1));
        i = end + 1;
        continue;
      }
      char token = Upper(c);
      size_t count = 1;
      if (token >= 'A' && token <= 'Z')
        while (i + count < f.size() && Upper(f[i + count]) == token) ++count;
      if (token == 'A') {
        i += HalfDay(f, i);
        continue;
      }
      if (!Token(f, i, token, count, lastToken, depth)) {
        Out += c;
        count = 1;
      } else if (token >= 'A' && token <= 'Z') {
        lastToken = token;
      }
      i += count;
    }
  }

  std::string Out;

 private:
  // One run of a letter (or a separator); false when the character is plain text.
  bool Token(std::string_view f, size_t i, char token, size_t count, char lastToken, int depth) {
    switch (token) {
      case 'C':
        Write(FS.ShortDateFormat, depth + 1);
        if (P.Hour || P.Min || P.Sec || P.MSec) {
          Out += ' ';
          Write(FS.LongTimeFormat, depth + 1);
        }
        return true;
      case 'D':
        Day(count, depth);
        return true;
      case 'M':
        if (lastToken == 'H')
          Out += count == 1 ? std::to_string(P.Min) : TwoDigits(P.Min);
        else
          Month(count);
        return true;
      case 'Y':
        Out += count <= 2 ? TwoDigits(P.Year % 100) : Padded(P.Year, 4);
        return true;
      case 'H':
        Hour(f, i + count, count);
        return true;
      case 'N':
        Out += count == 1 ? std::to_string(P.Min) : TwoDigits(P.Min);
        return true;
      case 'S':
        Out += count == 1 ? std::to_string(P.Sec) : TwoDigits(P.Sec);
        return true;
      case 'Z':
        Out += count < 3 ? std::to_string(P.MSec) : Padded(P.MSec, 3);
        return true;
      case 'T':
        Write(count == 1 ? FS.ShortTimeFormat : FS.LongTimeFormat, depth + 1);
        return true;
      case '/':
        Out += FS.DateSeparator;
        return true;
      case ':':
        Out += FS.TimeSeparator;
        return true;
      default:
        return false;
    }
  }

  void Day(size_t count, int depth) {
    switch (count) {
      case 1:
        Out += std::to_string(P.Day);
        break;
      case 2:
        Out += TwoDigits(P.Day);
        break;
      case 3:
        Out += FS.ShortDayNames[P.DayOfWeek - 1];
        break;
      case 4:
        Out += FS.LongDayNames[P.DayOfWeek - 1];
        break;
      case 5:
        Write(FS.ShortDateFormat, depth + 1);
        break;
      default:
        Write(FS.LongDateFormat, depth + 1);
        break;
    }
  }

  void Month(size_t count) {
    switch (count) {
      case 1:
        Out += std::to_string(P.Month);
        break;
      case 2:
        Out += TwoDigits(P.Month);
        break;
      case 3:
        Out += FS.ShortMonthNames[P.Month - 1];
        break;
      default:
        Out += FS.LongMonthNames[P.Month - 1];
        break;
    }
  }

  // The hour is on the 12-hour clock when an am/pm mark follows before the next hour.
  void Hour(std::string_view f, size_t from, size_t count) {
    bool twelve = false;
    char quote = 0;
    for (size_t j = from; j < f.size() && !twelve; ++j) {
      if (quote != 0) {
        if (f[j] == quote) quote = 0;
      } else if (f[j] == '"' || f[j] == '\'') {
        quote = f[j];
      } else if (Upper(f[j]) == 'H') {
        break;
      } else {
        twelve = HalfDayLength(f, j) > 0;
      }
    }
    int h = P.Hour;
    if (twelve) {
      h %= 12;
      if (h == 0) h = 12;
    }
    Out += count == 1 ? std::to_string(h) : TwoDigits(h);
  }

  static size_t HalfDayLength(std::string_view f, size_t i) {
    if (StartsWithNoCase(f, i, "am/pm")) return 5;
    if (StartsWithNoCase(f, i, "a/p")) return 3;
    if (StartsWithNoCase(f, i, "ampm")) return 4;
    return 0;
  }

  // "am/pm" and "a/p" copy the picture's own letters; "ampm" writes the settings' texts.
  size_t HalfDay(std::string_view f, size_t i) {
    bool pm = P.Hour >= 12;
    switch (HalfDayLength(f, i)) {
      case 5:
        Out.append(f.substr(i + (pm ? 3 : 0), 2));
        return 5;
      case 3:
        Out += f[i + (pm ? 2 : 0)];
        return 3;
      case 4:
        Out += pm ? FS.TimePMString : FS.TimeAMString;
        return 4;
      default:
        Out += f[i];
        return 1;
    }
  }

  const TDateParts& P;
  const TFormatSettings& FS;
};

}  // namespace

std::string FormatDateTime(std::string_view picture, TDateTime value, const TFormatSettings& fs) {
  TDateParts parts = DecodeDateTime(value);
  TDateTimeWriter writer(parts, fs);
  writer.Write(picture.empty() ? std::string_view("c") : picture, 0);
  return writer.Out;
}

std::string DateToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(fs.ShortDateFormat, value, fs);
}

std::string TimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime(fs.LongTimeFormat, value, fs);
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs) {
  return FormatDateTime("c", value, fs);
}

}  // namespace kelvo
