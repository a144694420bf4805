// String functions: positions count from 1 and out-of-range positions are clamped.
var s = "Hello";
Print(Copy(s, 0, 2));          // expect: He
Print("[" + Copy(s, 9, 2) + "]");  // expect: []
Print(Copy(s, 2, 100));        // expect: ello
Print(Pos("lo", s));           // expect: 4
Print(Pos("", s));             // expect: 0
DeleteStr(s, 2, 10);
Print(s);                      // expect: H
s = "Hello";
DeleteStr(s, 0, 2);
Print(s);                      // expect: Hello
var s2 = "abc";
Insert("X", s2, 99);
Print(s2);                     // expect: abcX
Insert("Y", s2, 0);
Print(s2);                     // expect: YabcX
Print(NameCase("jOHN smith")); // expect: John Smith
Print(Uppercase("abc"));       // expect: ABC
Print(Lowercase("ABC"));       // expect: abc
Print("[" + Trim("  x  ") + "]");  // expect: [x]
Print(CompareText("abc", "ABC"));  // expect: 0
Print(Chr(65) + Chr(321));     // expect: AA
Print(Ord("a"));               // expect: 97
Print(Length("Hello"));        // expect: 5
Print(Length(12345));          // expect: 5
var a = VarArrayCreate([1, 5], varVariant);
Print(Length(a));              // expect: 5
SetLength(a, 3);
Print(Length(a));              // expect: 2
var b = VarArrayCreate([0, 9], varVariant);
SetLength(b, 3);
b[2] = "last";
Print(Length(b));              // expect: 3
Print(b[2]);                   // expect: last
var t = "abc";
SetLength(t, 2);
Print(t);                      // expect: ab
