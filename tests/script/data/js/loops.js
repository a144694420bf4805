// Every loop kind with break and continue.
var s = "";
for (var i = 0; i < 6; i++) { if (i == 2) continue; if (i == 4) break; s = s + "x"; }
Print(s);                 // expect: xxx
Print(i);                 // expect: 4
var n = 0;
while (n < 10) { n++; if (n % 2 == 0) continue; if (n > 6) break; }
Print(n);                 // expect: 7
var k = 0;
do { k++; if (k == 3) break; } while (k < 10);
Print(k);                 // expect: 3
var m = 5;
while (m > 10) { Print("never"); }
var c = 0;
for (var j = 0; j < 3; j++) { c = c + 1; continue; }
Print(c);                 // expect: 3
Print(j);                 // expect: 3
