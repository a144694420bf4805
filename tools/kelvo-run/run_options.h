// The command line of kelvo-run: what it is asked to do, read in one place. Each option is one row
// of a table (run_options.cpp), so that a new option is one row and one field.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

struct TRunOptions {
  std::string Library;             // empty: kelvo.xml beside the program
  std::vector<std::string> Ports;  // in the order given, each once
  bool AllPorts = false;           // every port of the port list
  int Jobs = 0;                    // how many ports run at once; 0: all
  std::string Modem, Script;       // Windows-1251, as the library holds names
  bool List = false;
  bool ListPorts = false;                            // --ports: the port list with what each port is
  std::optional<int> Speed;                          // open at this speed instead of searching for the modem
  std::optional<std::chrono::milliseconds> Timeout;  // the longest a run may take
  bool Timestamps = false;
  std::string LogFile;               // --log: the log is also written there
  std::vector<std::string> Answers;  // --answer, UTF-8 as given
  std::string AnswersFile, AnswersDir;
  bool NoInput = false;   // an unanswered question cancels instead of asking the terminal
  std::string Report;     // the report's file; "-": standard output; empty: none
  bool Help = false;      // --help: the usage on standard output, nothing else
  bool Terminal = false;  // --terminal: commands typed on standard input, no script
};

// The usage text printed by --help and after bad arguments.
extern const char* const kRunUsage;

// Reads args (without the program's name) into options; false with a reason in problem when they
// are wrong. --help alone is not wrong: options.Help is set and the rest is not checked.
bool ParseRunOptions(const std::vector<std::string>& args, TRunOptions& options, std::string& problem);

}  // namespace kelvo
