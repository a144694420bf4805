#include "run_options.h"

#include <functional>

#include "text/cp1251.h"

namespace kelvo {

const char* const kRunUsage =
    "Usage: kelvo-run [--library FILE] [--timestamps] --port DEVICE MODEM SCRIPT\n"
    "       kelvo-run [--library FILE] --list\n"
    "Runs the script SCRIPT of the modem MODEM from the library (default: kelvo.xml beside this\n"
    "program) on the serial port DEVICE (a name such as ttyUSB0, or a path), as Kelvo's window\n"
    "does: the modem is searched for at ten speeds, then the script runs. Every line sent and\n"
    "received is printed with its prefix (\"> \" sent, \"< \" received); the last line says how the\n"
    "run ended. AskUserString questions are answered on standard input. Ctrl+C (or SIGTERM) stops\n"
    "the run and closes the port; a second Ctrl+C ends the program at once.\n"
    "Exit status: 0 the script ended normally; 1 the run failed (no modem, the script stopped, an\n"
    "engine or port error; the reason also on standard error when that is not where the output\n"
    "goes); 2 a compilation error (LINE:COLUMN: MESSAGE) or bad arguments; 130 and 143 the run was\n"
    "stopped by SIGINT or SIGTERM.\n"
    "  --list         print the modems and their scripts\n"
    "  --timestamps   start each line with its time (hh:mm:ss.zzz)\n";

namespace {

// One option: its name, whether a value follows it, and what it does to the options; an action
// returns a reason when the value is wrong.
struct TOptionRow {
  const char* Name;
  bool TakesValue;
  std::function<std::string(TRunOptions&, const std::string&)> Apply;
};

const std::vector<TOptionRow>& OptionTable() {
  static const std::vector<TOptionRow> table = {
      {"--library", true,
       [](TRunOptions& o, const std::string& v) {
         o.Library = v;
         return std::string();
       }},
      {"--port", true,
       [](TRunOptions& o, const std::string& v) {
         o.Port = v;
         return std::string();
       }},
      {"--list", false,
       [](TRunOptions& o, const std::string&) {
         o.List = true;
         return std::string();
       }},
      {"--timestamps", false,
       [](TRunOptions& o, const std::string&) {
         o.Timestamps = true;
         return std::string();
       }},
  };
  return table;
}

const TOptionRow* FindOption(const std::string& name) {
  for (const TOptionRow& row : OptionTable())
    if (name == row.Name) return &row;
  return nullptr;
}

// The checks that concern the options together, after every one has been read.
bool CheckTogether(const std::vector<std::string>& positional, TRunOptions& options, std::string& problem) {
  if (options.List) {
    if (positional.empty()) return true;
    problem = "--list takes no MODEM or SCRIPT";
    return false;
  }
  if (positional.size() != 2) {
    problem = "MODEM and SCRIPT are both needed";
    return false;
  }
  if (options.Port.empty()) {
    problem = "no port given: --port DEVICE names the modem's serial port";
    return false;
  }
  options.Modem = Utf8ToAnsi(positional[0]);
  options.Script = Utf8ToAnsi(positional[1]);
  return true;
}

}  // namespace

// Options come as "--name VALUE" or "--name=VALUE"; anything else that starts with '-' is unknown,
// and the rest are MODEM and SCRIPT.
bool ParseRunOptions(const std::vector<std::string>& args, TRunOptions& options, std::string& problem) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.Help = true;
      return true;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    size_t equals = arg.find('=');
    const TOptionRow* row = FindOption(arg.substr(0, equals));
    if (row == nullptr || (!row->TakesValue && equals != std::string::npos)) {
      problem = "unknown option " + arg;
      return false;
    }
    std::string value;
    if (row->TakesValue && equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (row->TakesValue) {
      if (i + 1 == args.size()) {
        problem = std::string(row->Name) + " needs a value";
        return false;
      }
      value = args[++i];
    }
    problem = row->Apply(options, value);
    if (!problem.empty()) return false;
  }
  return CheckTogether(positional, options, problem);
}

}  // namespace kelvo
