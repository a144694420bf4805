// FormatDateTime: a date/time value written by a picture. Letters, in either case:
//   c (short date, then long time when the time is not 0), d dd ddd dddd ddddd dddddd,
//   m mm mmm mmmm (minutes when they follow an hour), y yy / yyy yyyy, h hh, n nn, s ss, z zzz,
//   t tt (short/long time), am/pm a/p ampm (12-hour clock), "/" and ":" (the separators);
//   '...' and "..." are copied, as is every other character.
#pragma once

#include <string>
#include <string_view>

#include "script/format/datetime.h"
#include "script/format/format_settings.h"

namespace kelvo {

// An empty picture means "c". A value outside years 1 to 9999 raises EConvertError.
std::string FormatDateTime(std::string_view picture, TDateTime value, const TFormatSettings& fs);

// The runtime's DateToStr, TimeToStr and DateTimeToStr forms.
std::string DateToStr(TDateTime value, const TFormatSettings& fs);
std::string TimeToStr(TDateTime value, const TFormatSettings& fs);
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs);

}  // namespace kelvo
