var x;
var x;
// error: 2:6: Identifier redeclared: 'x'
