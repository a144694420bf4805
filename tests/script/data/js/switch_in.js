// switch with ranges, no match and default; in over sets and arrays.
switch (3) { case 1: Print("one"); case 2, 3: Print("two-three"); default: Print("def"); } // expect: two-three
switch (9) { case 1: Print("one"); }
switch (9) { case 1: Print("one"); default: Print("def"); } // expect: def
Print(3 in [1, 3..5]);     // expect: True
Print(6 in [1, 3..5]);     // expect: False
var set = [1, 3, 7];
Print(7 in set);           // expect: True
Print(8 in set);           // expect: False
for (var i = 0; i < 3; i++) { switch (i) { case 1: break; } }
Print(i);                  // expect: 1
