// SetLength on an array sets the high bound of dimension 1; the other dimensions and every
// element still inside the bounds keep their values.
var m = VarArrayCreate([0, 2, 0, 1], 12);
m[0, 0] = "a"; m[0, 1] = "b"; m[1, 1] = "c"; m[2, 0] = "d";
SetLength(m, 4);
Print(Length(m));              // expect: 4
Print(m[0, 1] + m[1, 1] + m[2, 0]);  // expect: bcd
m[3, 1] = "e";
Print(m[3, 1]);                // expect: e
SetLength(m, 2);
Print(Length(m));              // expect: 2
Print(m[0, 0] + m[0, 1] + m[1, 1]);  // expect: abc
var v[3];
v[0] = 1; v[2] = 3;
SetLength(v, 5);
Print(v[2] + Length(v));       // expect: 8
Print(m[2, 0]);                // runtime error: Variant or safe array index out of bounds
