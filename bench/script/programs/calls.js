function add(a, b) { return a + b; }
var s = 0;
for (var i = 0; i < 15000000; i++) { s = add(s, 1); }
Print(s);
