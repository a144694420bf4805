var s = 0;
for (var i = 0; i < 40000000; i++) { s = s + i * 2 % 7; }
Print(s);
