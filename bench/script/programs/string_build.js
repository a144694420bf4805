var s = "";
for (var i = 0; i < 2000000; i++) { s += "ab"; }
Print(s[4000000]);
Print(Length(s));
