// A variable's value is known only at run time, so the member access is bound there.
var s = "abc";
var n = s.length;
// runtime error: Strings doesn't have properties or methods
