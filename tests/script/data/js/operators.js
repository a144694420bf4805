// Precedence, grouping and the arithmetic of typed and untyped operands.
Print(2 + 3 * 4);        // expect: 14
Print((2 + 3) * 4);      // expect: 20
Print(10 - 4 - 3);       // expect: 3
Print(-2 * 3);           // expect: -6
Print(7 / 2);            // expect: 3.5
Print(7 div 2);          // expect: 3
Print(-7 % 3);           // expect: -1
Print(2147483647 + 1);   // expect: -2147483648
var a = false, b = true;
Print(!a && b);          // expect: True
Print(1 << 4);           // expect: 16
Print(5 ^ 1);            // expect: 4
Print(12 && 10);         // expect: 8
Print("AT" + "Z");       // expect: ATZ
Print("abc" == "abc");   // expect: True
Print("abc" < "abd");    // expect: True
var ten = "10";
Print(ten == 10);        // expect: True
Print(1.5 + 1);          // expect: 2.5
Print(0x10 + 1);         // expect: 17
