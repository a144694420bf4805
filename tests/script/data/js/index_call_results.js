// An index after a call is applied to the value the call returns when the program runs.
var calls = 0;
function text() { calls++; return "xyz"; }
function list() { var a[3]; a[1] = "second"; return a; }
function grid() { var g[2, 2]; g[1, 0] = "row 1"; return g; }
function nothing() { }
Print(text()[3]);              // expect: z
Print(text[1]);                // expect: x
Print(calls);                  // expect: 2
Print(list()[1]);              // expect: second
Print(grid()[1, 0]);           // expect: row 1
Print(Copy("abc", 2, 2)[2]);   // expect: c
var rows[2];
rows[0] = "ab"; rows[1] = list();
Print(rows[0][2]);             // expect: b
Print(rows[1][1]);             // expect: second
try { text()[4]; } except { Print(ExceptionMessage); }
// expect: Variant or safe array index out of bounds
try { list()[3]; } except { Print(ExceptionMessage); }
// expect: Variant or safe array index out of bounds
try { nothing()[1]; } except { Print(ExceptionMessage); }
// expect: Invalid variant operation
Print(calls);                  // expect: 3
