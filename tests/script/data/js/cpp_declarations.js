#language C++Script
// Declarations before the main block: a constant, variables assigned before the block runs,
// a procedure with a by-reference parameter and a function.
#define N 10
int a, b = 2;
void inc(int &x) { x = x + 1; }
int twice(int v) { return v * 2; }
{
  Print(b);        // expect: 2
  inc(b);
  Print(b);        // expect: 3
  Print(twice(N)); // expect: 20
  for (a = 0, b = 10; a < b; a++, b--) {}
  Print(a);        // expect: 5
  Print(b);        // expect: 5
}
