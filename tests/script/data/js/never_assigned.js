var x;
Print("before");           // expect: before
Print(x + 1);              // runtime error: Invalid variant operation
