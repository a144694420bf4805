var a[100000];
for (var i = 0; i < 100000; i++) { a[i] = i; }
var s = 0;
for (var j = 0; j < 100000; j++) { s = (s + a[j]) % 1000003; }
Print(s);
