// A switch over modem result codes (0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR,
// 6 NO DIALTONE, 7 BUSY, 8 NO ANSWER), counted over a long pseudo-random stream of codes.
var ok = 0, connect = 0, ring = 0, noCarrier = 0, error = 0, other = 0;
var code = 0;
var seed = 12345;
for (var i = 0; i < 6000000; i++) {
  seed = (seed * 1103 + 12345) % 65536;
  code = seed % 9;
  switch (code) {
    case 0: ok++;
    case 1: connect++;
    case 2: ring++;
    case 3: noCarrier++;
    case 4: error++;
    case 6, 7, 8: other++;
  }
}
Print(ok);
Print(connect);
Print(ring);
Print(noCarrier);
Print(error);
Print(other);
