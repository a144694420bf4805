#language C++Script
// Keywords are matched exactly: "If" is an identifier, so this is a call missing its ';'.
int x, y;
{ If (x) y = 1; }
// error: 4:10: ';' expected
