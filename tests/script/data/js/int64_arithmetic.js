// A 64-bit integer is added, subtracted and multiplied in 64 bits (a float beyond), also where the
// program's types say only "integer": StrToInt64 is declared to return Integer and a literal beyond
// 32 bits is typed as one, yet neither wraps at 32 bits. Two 32-bit operands still do.
var big = StrToInt64("9000000000");
Print(StrToInt64("9000000000") + 1);    // expect: 9000000001
Print(1 + StrToInt64("9000000000"));    // expect: 9000000001
Print(big + 1);                         // expect: 9000000001
Print(9000000000 + 1);                  // expect: 9000000001
Print(StrToInt64("4294967296") - 1);    // expect: 4294967295
Print(StrToInt64("9000000000") * 2);    // expect: 18000000000
Print(VarType(StrToInt64("9000000000") * 2));  // expect: 20
Print(StrToInt64("9000000000") * StrToInt64("9000000000"));  // expect: 8.1E19
Print(VarType(StrToInt64("9000000000") * StrToInt64("9000000000")));  // expect: 5
Print(StrToInt64("9000000000") % 7);    // expect: 5
Print(StrToInt64("-9000000000") + StrToInt64("8999999999"));  // expect: -1
Print(VarType(StrToInt64("-9000000000") + StrToInt64("8999999999")));  // expect: 20
var n = StrToInt64("9000000000");
n++;
Print(n);                               // expect: 9000000001
n += StrToInt64("1");
Print(n);                               // expect: 9000000002
Print(2147483647 + 1);                  // expect: -2147483648
