// Recursion, arguments that read the caller's parameter, var parameters and returns.
function fact(n) { if (n <= 1) return 1; return n * fact(n - 1); }
Print(fact(10));           // expect: 3628800
function down(n) { if (n == 0) return 0; var r = down(n - 1); return n + r; }
Print(down(100));          // expect: 5050
function g(n) { if (n > 3) return n; return g(n + 1) * 10 + n; }
Print(g(1));               // expect: 4321
function swap(&a, &b) { var t = a; a = b; b = t; }
var x = 1, y = 2;
swap(x, y);
Print(x);                  // expect: 2
Print(y);                  // expect: 1
function early(v) { if (v) return "yes"; return "no"; }
Print(early(true));        // expect: yes
Print(early(false));       // expect: no
function nothing() { return; }
Print(nothing() == Null);  // expect: True
Print(later(2));           // expect: 4
{ function later(v) { return v * 2; } }
