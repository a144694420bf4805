if (true) { function inner() { return 1; } }
// error: 1:13: Function 'inner' must be declared at the top level of a program or function body
