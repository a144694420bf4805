function setx() { x = 5; }
setx();
Print(x);                  // expect: 5
