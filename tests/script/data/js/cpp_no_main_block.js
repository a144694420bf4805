#language C++Script
// A program needs its main block.
int a;
// error: 5:1: '{' expected
