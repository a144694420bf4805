function f(a, b) { return a; }
var r = f(1);
// error: 2:10: Not enough actual parameters
