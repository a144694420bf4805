// Arrays copy on assignment; strings index from 1; out-of-range is an error.
var a[3];
a[0] = 1; a[1] = 2; a[2] = a[0] + a[1];
Print(a[2]);               // expect: 3
var b = a;
b[0] = 100;
Print(a[0]);               // expect: 1
Print(b[0]);               // expect: 100
var m[2, 3];
m[1, 2] = "corner";
Print(m[1, 2]);            // expect: corner
var s = "hello";
Print(s[1]);               // expect: h
s[1] = "J";
Print(s);                  // expect: Jello
Print(&s);                 // expect: s
var big = "";
for (var i = 0; i < 1000; i++) big += "ab";
Print(big == big);         // expect: True
Print(a[3]);               // runtime error: Variant or safe array index out of bounds
