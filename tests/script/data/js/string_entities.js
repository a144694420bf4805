// String literals travel through the intermediate tree as attribute text, so a numeric
// character entity written inside one arrives decoded.
Print("&#65;");    // expect: A
Print("a & b");    // expect: a & b
Print("say \"hi\"");  // expect: say "hi"
Print("");         // expect: 
