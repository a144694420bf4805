#include "script/format/format_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "text/cp1251.h"

namespace kelvo {

namespace {

template <size_t N>
std::array<std::string, N> AnsiNames(const std::array<const char*, N>& utf8) {
  std::array<std::string, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = Utf8ToAnsi(utf8[i]);
  return out;
}

// The name the environment gives to the time and number conventions.
std::string EnvironmentLocaleName() {
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

bool IsPlainCLocale(std::string_view name) {
  return name == "C" || name == "POSIX" || name.starts_with("C.");
}

// Owns a locale object of the C library.
class TLocaleHandle {
 public:
  explicit TLocaleHandle(const char* name) : FLocale(newlocale(LC_ALL_MASK, name, nullptr)) {}
  ~TLocaleHandle() {
    if (FLocale != nullptr) freelocale(FLocale);
  }
  TLocaleHandle(const TLocaleHandle&) = delete;
  TLocaleHandle& operator=(const TLocaleHandle&) = delete;
  locale_t Get() const { return FLocale; }

 private:
  locale_t FLocale;
};

// Reads one langinfo text of the locale as Windows-1251.
class TLangInfo {
 public:
  explicit TLangInfo(locale_t locale) : FLocale(locale) {
    std::string_view codeset = nl_langinfo_l(CODESET, locale);
    FIsUtf8 = codeset == "UTF-8" || codeset == "utf8";
    FIsAnsi = codeset == "CP1251";
  }
  std::string Text(nl_item item) const {
    const char* raw = nl_langinfo_l(item, FLocale);
    if (raw == nullptr) return {};
    if (FIsAnsi) return raw;
    if (FIsUtf8) return Utf8ToAnsi(raw);
    std::string ascii;
    for (const char* p = raw; *p != '\0'; ++p) ascii += (static_cast<unsigned char>(*p) < 0x80) ? *p : '?';
    return ascii;
  }

 private:
  locale_t FLocale;
  bool FIsUtf8 = false;
  bool FIsAnsi = false;
};

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The FormatDateTime picture of one strftime field; empty for fields it has no picture for.
std::string_view StrftimeField(char k) {
  switch (k) {
    case 'd':
      return "dd";
    case 'e':
      return "d";
    case 'm':
      return "mm";
    case 'y':
      return "yy";
    case 'Y':
      return "yyyy";
    case 'b':
    case 'h':
      return "mmm";
    case 'B':
      return "mmmm";
    case 'a':
      return "ddd";
    case 'A':
      return "dddd";
    case 'H':
    case 'I':
      return "hh";
    case 'k':
    case 'l':
      return "h";
    case 'M':
      return "nn";
    case 'S':
      return "ss";
    case 'p':
      return "ampm";
    case 'n':
    case 't':
      return " ";
    case '%':
      return "'%'";
    default:
      return {};
  }
}

// Writes the fields that stand for several ("%D", "%T", ...) in full, so that their separators
// are seen like any other.
std::string ExpandCompositeFields(std::string_view f) {
  std::string out;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%' || i + 1 >= f.size()) {
      out += f[i];
      continue;
    }
    switch (char k = f[++i]) {
      case 'D':
        out += "%m/%d/%y";
        break;
      case 'F':
        out += "%Y-%m-%d";
        break;
      case 'T':
        out += "%H:%M:%S";
        break;
      case 'R':
        out += "%H:%M";
        break;
      case 'r':
        out += "%I:%M:%S %p";
        break;
      default:
        out += '%';
        out += k;
        break;
    }
  }
  return out;
}

}  // namespace

std::string StrftimeToPicture(std::string_view picture, char& separator, char separatorMark) {
  std::string expanded = ExpandCompositeFields(picture);
  std::string_view f = expanded;
  std::string out;
  bool separatorSeen = false;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    if (c == '%') {
      if (i + 1 >= f.size()) break;  // a lone "%" at the end names no field
      char k = f[++i];
      // Modifiers ("%Ey") do not change the field; "-" asks for it without leading zeros.
      bool unpadded = false;
      while ((k == 'E' || k == 'O' || k == '-' || k == '_' || k == '0' || k == '^' || k == '#') &&
             i + 1 < f.size()) {
        unpadded = unpadded || k == '-';
        k = f[++i];
      }
      std::string_view field = StrftimeField(k);
      bool twoLetters = field.size() == 2 && field[0] == field[1] && field[0] != 'y';
      out += (unpadded && twoLetters) ? field.substr(1) : field;
    } else if (IsAsciiLetter(c) || c == '"' || c == '\'') {
      out += '"';
      out += (c == '"') ? '\'' : c;
      out += '"';
    } else if (c != ' ' && !separatorSeen) {
      separatorSeen = true;
      separator = c;
      out += separatorMark;
    } else if (c == separator && separatorSeen) {
      out += separatorMark;
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

// The short time picture is the long one without its seconds.
std::string WithoutSeconds(std::string picture) {
  size_t s = picture.find("ss");
  if (s == std::string::npos || s == 0) return picture;
  size_t start = s;
  while (start > 0 && picture[start - 1] != 'n') --start;
  picture.erase(start, s + 2 - start);
  return picture;
}

void ReadNames(const TLangInfo& info, TFormatSettings& fs) {
  static constexpr nl_item kMon[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                       MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
  static constexpr nl_item kAbMon[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                         ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  static constexpr nl_item kDay[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  static constexpr nl_item kAbDay[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
  for (int i = 0; i < 12; ++i) {
    fs.LongMonthNames[i] = info.Text(kMon[i]);
    fs.ShortMonthNames[i] = info.Text(kAbMon[i]);
  }
  for (int i = 0; i < 7; ++i) {
    fs.LongDayNames[i] = info.Text(kDay[i]);
    fs.ShortDayNames[i] = info.Text(kAbDay[i]);
  }
}

}  // namespace

TFormatSettings RussianFormatSettings() {
  TFormatSettings fs;
  fs.LongMonthNames = AnsiNames<12>({"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август",
                                     "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"});
  fs.ShortMonthNames =
      AnsiNames<12>({"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"});
  fs.LongDayNames =
      AnsiNames<7>({"воскресенье", "понедельник", "вторник", "среда", "четверг", "пятница", "суббота"});
  fs.ShortDayNames = AnsiNames<7>({"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"});
  fs.CurrencyString = Utf8ToAnsi("р.");
  return fs;
}

TFormatSettings FormatSettingsFromLocale(const char* localeName) {
  std::string name = (localeName == nullptr || *localeName == '\0') ? EnvironmentLocaleName() : localeName;
  if (IsPlainCLocale(name)) return RussianFormatSettings();
  TLocaleHandle locale(name.c_str());
  if (locale.Get() == nullptr) return RussianFormatSettings();
  TLangInfo info(locale.Get());

  TFormatSettings fs = RussianFormatSettings();
  std::string radix = info.Text(RADIXCHAR);
  if (radix.size() == 1) fs.DecimalSeparator = radix[0];
  std::string thousands = info.Text(THOUSEP);
  // A separator with no 1251 form (the narrow no-break space of some locales) becomes a space.
  fs.ThousandSeparator = (thousands.size() == 1 && thousands[0] != '?') ? thousands[0] : ' ';
  if (fs.ThousandSeparator == fs.DecimalSeparator) fs.ThousandSeparator = ' ';
  fs.ShortDateFormat = StrftimeToPicture(info.Text(D_FMT), fs.DateSeparator, '/');
  fs.LongTimeFormat = StrftimeToPicture(info.Text(T_FMT), fs.TimeSeparator, ':');
  fs.ShortTimeFormat = WithoutSeconds(fs.LongTimeFormat);
  fs.TimeAMString = info.Text(AM_STR);
  fs.TimePMString = info.Text(PM_STR);
  ReadNames(info, fs);
  std::string currency = info.Text(CRNCYSTR);
  // A currency sign with no 1251 form (the rouble sign) leaves the fallback's text in place.
  if (currency.size() > 1 && currency.find('?') == std::string::npos) {
    // The first character says where the symbol goes: "-" before, "+" after the amount.
    fs.CurrencyFormat = currency[0] == '-' ? 0 : 3;
    fs.NegCurrFormat = currency[0] == '-' ? 1 : 8;
    fs.CurrencyString = currency.substr(1);
  }
  return fs;
}

namespace {

TFormatSettings& ProcessSettings() {
  static TFormatSettings settings = FormatSettingsFromLocale("");
  return settings;
}

}  // namespace

const TFormatSettings& DefaultFormatSettings() {
  return ProcessSettings();
}

void SetDefaultFormatSettings(TFormatSettings settings) {
  ProcessSettings() = std::move(settings);
}

}  // namespace kelvo
