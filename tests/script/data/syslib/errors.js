// Conversion errors and RaiseException are caught by try-except with their class and message.
try {
  StrToInt("12a");
} except {
  Print(ExceptionClassName + ": " + ExceptionMessage);  // expect: EConvertError: '12a' is not a valid integer value
}
try {
  StrToFloat("abc");
} except {
  Print(ExceptionMessage);  // expect: 'abc' is not a valid floating point value
}
try {
  EncodeDate(2023, 2, 29);
} except {
  Print(ExceptionMessage);  // expect: Invalid argument to date encode
}
try {
  Format("%d", ["text"]);
} except {
  Print(ExceptionMessage);  // expect: Format '%d' invalid or incompatible with argument
}
try {
  Format("%d %d", [1]);
} except {
  Print(ExceptionMessage);  // expect: No argument for format '%d %d'
}
try {
  RaiseException("stop here");
} except {
  Print(ExceptionClassName + ": " + ExceptionMessage);  // expect: Exception: stop here
}
try {
  CreateOleObject("Word.Application");
} except {
  Print(ExceptionMessage);  // expect: Automation objects are not available on this platform: cannot create 'Word.Application'
}
try {
  VarArrayCreate([0, 2000000000, 0, 2000000000], varVariant);
} except {
  Print(ExceptionClassName);  // expect: EVariantArrayCreateError
}
Print(ValidInt("12a"));  // expect: False
StrToDate("31.02.2024");
// runtime error: '31.02.2024' is not a valid date
