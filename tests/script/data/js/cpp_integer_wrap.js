#language C++Script
// Arithmetic on operands typed int wraps at 32 bits, in expressions and in the assignment forms.
int i = 2147483647, k;
{
  k = i + 1;
  Print(k);          // expect: -2147483648
  i = i + 1;
  Print(i);          // expect: -2147483648
  i -= 1;
  Print(i);          // expect: 2147483647
  i++;
  Print(i);          // expect: -2147483648
  i--;
  Print(i);          // expect: 2147483647
  k = 65536;
  k *= 65536;
  Print(k);          // expect: 0
  Print(VarType(k)); // expect: 3
}
