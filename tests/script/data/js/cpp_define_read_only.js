#language C++Script
#define N 10
{ N = 5; }
// error: 3:3: Left side cannot be assigned to
