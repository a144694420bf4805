// Format, FormatFloat, FormatDateTime and FormatMaskText from scripts.
Print(Format("%d|%5d|%-5d|%.3d", [42, 42, 42, 7]));    // expect: 42|   42|42   |007
Print(Format("%x %X %u", [255, 255, -1]));             // expect: FF FF 4294967295
Print(Format("%.2f %e %g", [3.14159, 1.5, 0.5]));      // expect: 3,14 1,50000000000000E+000 0,5
Print(Format("%n %m", [1234567.891, 1234.5]));         // expect: 1 234 567,89 1 234,50 р.
Print(Format("%1:s %0:s %s", ["a", "b"]));             // expect: b a b
Print(Format("%*d|%.*f", [6, 12, 1, 2.25]));           // expect:     12|2,2
Print(Format("100%% %s", ["done"]));                   // expect: 100% done
// A text longer than 255 characters goes through Format whole.
var long = "";
var k = 0;
while (k < 300) { long = long + "x"; k = k + 1; }
Print(Length(Format("<%s>", [long])));  // expect: 302
Print(FormatFloat("#,##0.00", 1234567.891));  // expect: 1 234 567,89
Print(FormatFloat("0.00E+00", 1234.5));       // expect: 1,23E+03
Print(FormatFloat("#,##0.00;(#,##0.00);'nil'", -1234.5));  // expect: (1 234,50)
Print(FormatFloat("#,##0.00;(#,##0.00);'nil'", 0));        // expect: nil
Print(FormatFloat("(###) ###-####", 1234567890));          // expect: (123) 456-7890
var dt = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
Print(FormatDateTime("dd.mm.yyyy hh:mm:ss.zzz", dt));  // expect: 05.03.2024 14:07:09.045
Print(FormatDateTime("d mmmm yyyy, dddd", dt));        // expect: 5 Март 2024, вторник
Print(FormatDateTime("h:nn am/pm", dt));               // expect: 2:07 pm
Print(FormatDateTime("'at' t", dt));                   // expect: at 14:07
Print(FormatMaskText("(000) 000-0000;0;_", "5551234567"));  // expect: (555) 123-4567
Print(FormatMaskText(">LL-000;0", "ab123"));                // expect: AB-123
Print(FormatMaskText("!99/99/00;1;_", "1.3.24"));           // expect:  1. 3.24
