#language C++Script
// A void function is a procedure: it has no Result, and a plain return leaves it.
int calls = 0;
void count(int n) { calls = calls + n; if (n > 1) return; calls = calls + 100; }
int twice(int n) { return n * 2; }
{
  count(1);
  Print(calls);       // expect: 101
  count(5);
  Print(calls);       // expect: 106
  Print(twice(21));   // expect: 42
}
