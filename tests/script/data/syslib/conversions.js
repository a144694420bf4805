// Conversions between text and numbers, by the Russian conventions the test driver pins.
Print(StrToInt("$FF"));              // expect: 255
Print(StrToInt("-42") + 1);          // expect: -41
Print(IntToStr(3000000000));         // expect: 3000000000
Print(IntToStr(StrToInt64("9223372036854775807")));  // expect: 9223372036854775807
Print(FloatToStr(1.5));              // expect: 1,5
Print(FloatToStr(StrToFloat("2,25") * 2));  // expect: 4,5
Print(FloatToStr(1e20));             // expect: 1E20
Print(ValidInt("12a"));              // expect: False
Print(ValidInt("$7FFFFFFF"));        // expect: True
Print(ValidFloat("1,5"));            // expect: True
Print(ValidFloat("1.5"));            // expect: False
Print(ValidDate("29.02.2023"));      // expect: False
Print(VarToStr(Null) + "|");         // expect: |
Print(VarType(Null));                // expect: 1
Print(VarType("a"));                 // expect: 256
Print(VarType(1));                   // expect: 3
Print(VarType(StrToDate("01.01.2000")));  // expect: 7
Print(DateToStr(StrToDate("1.2.2003")));  // expect: 01.02.2003
Print(TimeToStr(StrToTime("7:05")));      // expect: 7:05:00
Print(DateTimeToStr(StrToDateTime("15.03.2024 13:45:30")));  // expect: 15.03.2024 13:45:30
