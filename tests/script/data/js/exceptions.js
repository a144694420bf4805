// try-except fills ExceptionMessage; try-finally keeps a return.
try { var z = 1 div 0; Print("no"); } except { Print(ExceptionMessage); Print(ExceptionClassName); }
// expect: Division by zero
// expect: EDivByZero
Print("after");            // expect: after
function f2(x) { try { return x * 2; } finally { Print("fin"); } Print("not here"); }
Print(f2(21));             // expect: fin
// expect: 42
try { var q; q = q + 1; } except { Print(ExceptionMessage); } // expect: Invalid variant operation
try { try { var w = "a"; w = w * 2; } finally { Print("inner"); } } except { Print(ExceptionMessage); }
// expect: inner
// expect: Could not convert variant of type (String) into type (Double)
