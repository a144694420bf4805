// Day numbers from 30 December 1899: every day from 1900 to 2100 goes through DecodeDate and
// EncodeDate and comes back as itself, one day after the other.
var first = EncodeDate(1900, 1, 1);
var last = EncodeDate(2100, 12, 31);
var y, m, d;
var bad = 0;
var count = 0;
var day = first;
while (day <= last) {
  DecodeDate(day, y, m, d);
  if (EncodeDate(y, m, d) != day) bad = bad + 1;
  if (d > DaysInMonth(y, m)) bad = bad + 1;
  day = day + 1;
  count = count + 1;
}
Print(count);                 // expect: 73414
Print(bad);                   // expect: 0
Print(EncodeDate(1899, 12, 30));  // expect: 0
Print(DayOfWeek(EncodeDate(2024, 3, 15)));  // expect: 6
Print(DaysInMonth(2000, 2));  // expect: 29
Print(DaysInMonth(1900, 2));  // expect: 28
Print(IsLeapYear(2024));      // expect: True
var h, n, s, ms;
DecodeTime(EncodeTime(13, 14, 15, 16), h, n, s, ms);
Print(IntToStr(h) + ":" + IntToStr(n) + ":" + IntToStr(s) + "." + IntToStr(ms));  // expect: 13:14:15.16
Print(Trunc(Now()) == Date());  // expect: True
Print(Time() < 1);            // expect: True
