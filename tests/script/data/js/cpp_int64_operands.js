#language C++Script
// Typed int arithmetic wraps at 32 bits only while both values are 32-bit: an operand holding a
// 64-bit value is computed in 64 bits, in expressions and in the assignment forms.
int i = 1;
{
  Print(StrToInt64("9000000000") + i);  // expect: 9000000001
  Print(StrToInt64("9000000000") - i);  // expect: 8999999999
  Print(StrToInt64("3000000000") * 3);  // expect: 9000000000
  Print(StrToInt64("9000000000") / 2);  // expect: 4500000000
  i = 2147483647;
  Print(i + 1);                         // expect: -2147483648
}
