var s = "";
for (var i = 0; i < 100000; i++) { s += "ab"; }
Print(s[200000]);
