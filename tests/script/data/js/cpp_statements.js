#language C++Script
// Statements of the C-like language: empty statements, switch with ranges, do-while, try.
int i, s;
{
  ;
  s = 0;
  i = 0;
  do { s += i; i++; } while (i < 5);
  Print(s);                     // expect: 10
  switch (s) { case 1, 8..12: Print("range"); default: Print("default"); }  // expect: range
  try { s = s div 0; } except { Print("caught"); }  // expect: caught
  if (s == 10) Print("if"); else Print("else");  // expect: if
}
