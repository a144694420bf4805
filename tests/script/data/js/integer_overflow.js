// Variant integers widen instead of wrapping: beyond 32 bits to a 64-bit integer (kind 20),
// beyond 64 bits to a float (kind 5). Operands known to be integers when the program is built
// (two literals) keep the 32-bit arithmetic that wraps.
var max = 2147483647, min = -2147483648, one = 1;
Print(max + one);              // expect: 2147483648
Print(VarType(max + one));     // expect: 20
Print(min - one);              // expect: -2147483649
Print(-min);                   // expect: 2147483648
Print(max * max);              // expect: 4611686014132420609
Print(VarType(max - one));     // expect: 3
var big = 3037000499, bigger = 3037000500;
Print(big * big);              // expect: 9223372030926249001
Print(VarType(big * big));     // expect: 20
Print(bigger * bigger);        // expect: 9.22337203700025E18
Print(VarType(bigger * bigger));  // expect: 5
var top = 9223372036854775807;
Print(VarType(top + one));     // expect: 5
Print(VarType(top - one));     // expect: 20
var s = 0, a[1000];
for (var i = 0; i < 1000; i++) a[i] = i * 2000000;
for (var j = 0; j < 1000; j++) s = s + a[j];
Print(s);                      // expect: 999000000000
var n = max;
n++;
Print(n);                      // expect: 2147483648
n = max;
n += 1;
Print(n);                      // expect: 2147483648
Print(2147483647 + 1);         // expect: -2147483648
