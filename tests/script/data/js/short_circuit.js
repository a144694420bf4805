// Boolean-typed operands short-circuit; untyped ones evaluate both sides.
var calls = 0;
function f() { calls++; return true; }
if ((1 == 1) || (f() == true)) Print("or"); // expect: or
Print(calls);                              // expect: 0
if ((1 == 2) && (f() == true)) Print("no");
Print(calls);                              // expect: 0
var t = true;
if (t || f()) Print("both");               // expect: both
Print(calls);                              // expect: 1
