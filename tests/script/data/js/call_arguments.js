// How arguments reach parameters: left to right, each seeing what the earlier ones did, and a
// recursive call's arguments reading the caller's parameters, never the callee's new ones.
function pair(a, b) { return a * 100 + b; }
function rotate(a, b, c, n) { if (n == 0) return a * 100 + b * 10 + c; return rotate(c, a, b, n - 1); }
Print(rotate(1, 2, 3, 1));     // expect: 312
Print(rotate(1, 2, 3, 2));     // expect: 231
Print(pair(1, pair(2, 3)));    // expect: 303
Print(pair(pair(4, 5), 6));    // expect: 40506
var x = 1;
function bump() { x = x + 1; return x; }
Print(pair(bump(), x));        // expect: 202
Print(pair(x, bump()));        // expect: 203
Print(pair(x + 1, x * 2));     // expect: 406
Print(Copy("abcdef", x, x - 1)); // expect: cd
// A local keeps its value across a recursive call, and every level returns its own.
function depth(n) { var local = n * 2; if (n > 0) depth(n - 1); return local; }
Print(depth(3));               // expect: 6
function sumTo(n, acc) { if (n == 0) return acc; return sumTo(n - 1, acc + n); }
Print(sumTo(100, 0));          // expect: 5050
// A call whose argument is a call of the same function, inside that function.
function nest(n) { if (n <= 0) return 0; return nest(nest(n - 1) - 1) + n; }
Print(nest(4));                // expect: 8
