var a[3000000];
for (var i = 0; i < 3000000; i++) { a[i] = i; }
var s = 0;
for (var j = 0; j < 3000000; j++) { s = (s + a[j]) % 1000003; }
Print(s);
