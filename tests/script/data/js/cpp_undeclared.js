#language C++Script
// Every variable must be declared.
{ x = 1; }
// error: 3:4: Undeclared identifier: 'x'
