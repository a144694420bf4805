// A factor cannot begin with '-': the statement ends before the '*', and the text left over
// is an error instead of being ignored.
var a = 1, b = 2, x;
x = a * -b; Print(x);
// error: 4:7: Statement expected
