// Mathematics, Inc/Dec, random numbers and value types.
Print(Round(2.5));       // expect: 2
Print(Round(3.5));       // expect: 4
Print(Round(-2.5));      // expect: -2
Print(Trunc(-2.7));      // expect: -2
Print(Int(2.7));         // expect: 2
Print(VarType(Int(2.7)));  // expect: 5
Print(FloatToStr(Frac(2.75)));  // expect: 0,75
Print(Abs(-3));          // expect: 3
Print(Sqrt(16));         // expect: 4
Print(FloatToStr(Pi));   // expect: 3,14159265358979
Print(Round(Exp(Ln(10)) * 1000));  // expect: 10000
Print(Round(Sin(0) + Cos(0) + Tan(0) + ArcTan(0)));  // expect: 1
var i = 1;
Inc(i);
Print(i);                // expect: 2
Inc(i, 5);
Print(i);                // expect: 7
Dec(i);
Print(i);                // expect: 6
Dec(i, 10);
Print(i);                // expect: -4
Randomize;
var r = Random;
Print((r >= 0) && (r < 1));  // expect: True
Print(varString + varArray);  // expect: 8448
