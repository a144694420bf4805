// kelvo-reference-page FILE: writes the help page of the script functions, made from the tables
// the functions are registered from. The build runs it so that the page beside the programs always
// describes the engine it was built with.
#include <fstream>
#include <iostream>

#include "app/function_reference.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kelvo-reference-page FILE\n";
    return 3;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << kelvo::FunctionsPageHtml();
  out.close();
  if (!out) {
    std::cerr << argv[1] << ": cannot write the page\n";
    return 1;
  }
  return 0;
}
