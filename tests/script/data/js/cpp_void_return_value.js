#language C++Script
// A void function returns no value.
void f() { return 5; }
{ f(); }
// error: 3:19: Undeclared identifier: 'Result'
