// A modem's answers at scale: 100 000 response lines built as a modem would send them
// ("+CSQ: 17,3", "+CREG: 0,1", "OK"), then parsed back with Pos, Copy and StrToInt.
var rounds = 8;
var sum = 0;
var lines = 0;
var line = "";
var colon = 0;
var comma = 0;
for (var r = 0; r < rounds; r++) {
  for (var i = 0; i < 100000; i++) {
    var k = i % 3;
    if (k == 0) line = "+CSQ: " + IntToStr(i % 32) + "," + IntToStr(i % 8);
    else if (k == 1) line = "+CREG: " + IntToStr(i % 2) + "," + IntToStr(i % 6);
    else line = "OK";
    colon = Pos(":", line);
    if (colon > 0) {
      comma = Pos(",", line);
      sum = sum + StrToInt(Copy(line, colon + 2, comma - colon - 2)) * 10 +
            StrToInt(Copy(line, comma + 1, Length(line) - comma));
    }
    lines++;
  }
}
Print(sum);
Print(lines);
