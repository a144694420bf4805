#language C++Script
// A void function has no Result to assign.
void f() { Result = 5; }
{ f(); }
// error: 3:18: Undeclared identifier: 'Result'
