#include "run_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>

#include "text/cp1251.h"

namespace kelvo {

const char* const kRunUsage =
    "Usage: kelvo-run [OPTIONS] --port DEVICE[,DEVICE...] [--port DEVICE...] MODEM SCRIPT\n"
    "       kelvo-run [OPTIONS] --all-ports MODEM SCRIPT\n"
    "       kelvo-run [--library FILE] --list\n"
    "       kelvo-run --ports\n"
    "       kelvo-run --terminal --port DEVICE [--speed BPS]\n"
    "Runs the script SCRIPT of the modem MODEM from the library on the serial port DEVICE (a name\n"
    "such as ttyUSB0, or a path), as Kelvo's window does: the modem is searched for at ten speeds,\n"
    "then the script runs. The library is --library FILE, else kelvo.xml beside this program, else\n"
    "the user's $XDG_DATA_HOME/kelvo/kelvo.xml (~/.local/share/kelvo/kelvo.xml), which the first\n"
    "run copies from the shipped sample library.\n"
    "Every line sent and received is printed with its prefix (\"> \" sent, \"< \" received); the\n"
    "last line says how the run ended. AskUserString questions are answered on standard input.\n"
    "Ctrl+C (or SIGTERM) stops the run and closes the port; a second Ctrl+C ends the program at once.\n"
    "With several ports the script runs on all of them at once, each port with its own modem\n"
    "search; every line starts with its port (\"ttyUSB3 | > ATZ\") and a table of the results\n"
    "ends the output. The script is compiled before any port is opened.\n"
    "Exit status: 0 the script ended normally (on every port); 1 a run failed (no modem, the script\n"
    "stopped, an engine or port error; the reason also on standard error when that is not where\n"
    "the output goes); 2 a compilation error (LINE:COLUMN: MESSAGE) or bad arguments; 130 and 143\n"
    "the run was stopped by SIGINT or SIGTERM.\n"
    "  --library FILE     the library file to use\n"
    "  --terminal         type commands to the modem by hand: the port is opened and the modem\n"
    "                     searched for (or opened at --speed), each line typed is sent with CR LF\n"
    "                     and every line the modem sends is printed; each line waits for the\n"
    "                     answer to the one before; Ctrl+D (after the last answers) or Ctrl+C\n"
    "                     closes the port\n"
    "  --list             print the library's path, then its modems and their scripts\n"
    "  --ports            print the serial ports with what each is (USB adapters: vendor, model and\n"
    "                     USB path), and the stable /dev/serial/by-id/ names\n"
    "  --speed BPS        open the port at BPS bits/s and run the script without searching for the\n"
    "                     modem (for a modem known to answer at one speed)\n"
    "  --timeout SECONDS  end a run that takes longer, with the message that the run took too long\n"
    "                     and exit status 1 (a script's Expect waits as long as the modem talks)\n"
    "  --port DEVICE      a port to run on; repeat it, or separate ports by commas\n"
    "  --all-ports        run on every serial port of the port list (and of KELVO_PORTS)\n"
    "  --jobs N           run on at most N ports at a time (default: all at once)\n"
    "  --timestamps       start each line with its time (hh:mm:ss.zzz)\n"
    "  --log FILE         also write the log to FILE (created or emptied), every line with its\n"
    "                     time and, with several ports, its port\n"
    "  --answer TEXT      answer the script's next question with TEXT (repeat it for more)\n"
    "  --answers FILE     answer the questions with the lines of FILE, in order\n"
    "  --answers-dir DIR  a port whose name is a file in DIR (DIR/ttyUSB3) takes its answers\n"
    "                     from there instead\n"
    "  --no-input         a question left without an answer fails the run, as if the user had\n"
    "                     cancelled it, instead of waiting for the terminal\n"
    "  --report FILE      write a JSON report of the run to FILE; \"-\" writes it to standard\n"
    "                     output and the rest of the output to standard error\n";

namespace {

// What an option does to the options with its value; a reason when the value is wrong.
using TOptionAction = std::function<std::string(TRunOptions&, const std::string&)>;

// One option: its name, whether a value follows it, and what it does.
struct TOptionRow {
  const char* Name;
  bool TakesValue;
  TOptionAction Apply;
};

// The actions of options that only keep their value, add it to a list, or switch something on.
TOptionAction Store(std::string TRunOptions::*field) {
  return [field](TRunOptions& o, const std::string& value) {
    o.*field = value;
    return std::string();
  };
}
TOptionAction Append(std::vector<std::string> TRunOptions::*field) {
  return [field](TRunOptions& o, const std::string& value) {
    (o.*field).push_back(value);
    return std::string();
  };
}
TOptionAction SwitchOn(bool TRunOptions::*field) {
  return [field](TRunOptions& o, const std::string&) {
    o.*field = true;
    return std::string();
  };
}

// "--port a,b --port c": every name once, in the order given.
std::string AddPorts(TRunOptions& options, const std::string& value) {
  size_t start = 0;
  for (;;) {
    size_t comma = value.find(',', start);
    std::string port = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (port.empty()) return "--port " + value + ": an empty port name";
    if (std::find(options.Ports.begin(), options.Ports.end(), port) != options.Ports.end())
      return "the port " + port + " is given twice";
    options.Ports.push_back(port);
    if (comma == std::string::npos) return {};
    start = comma + 1;
  }
}

// A line speed: a whole number of bits per second that a device may take.
std::string SetSpeed(TRunOptions& options, const std::string& value) {
  char* end = nullptr;
  errno = 0;
  long bps = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno != 0 || bps < 50 || bps > 4000000)
    return "--speed " + value + ": a number of bits per second, such as 9600";
  options.Speed = static_cast<int>(bps);
  return {};
}

// A time limit: a positive number of seconds, at most a week.
std::string SetTimeout(TRunOptions& options, const std::string& value) {
  char* end = nullptr;
  double seconds = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !(seconds > 0) || seconds > 7 * 24 * 3600)
    return "--timeout " + value + ": a number of seconds, such as 60";
  options.Timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  return {};
}

std::string SetJobs(TRunOptions& options, const std::string& value) {
  char* end = nullptr;
  errno = 0;
  long jobs = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || errno != 0 || jobs < 1 || jobs > 100000)
    return "--jobs " + value + ": a number of ports, at least 1";
  options.Jobs = static_cast<int>(jobs);
  return {};
}

const std::vector<TOptionRow>& OptionTable() {
  static const std::vector<TOptionRow> table = {
      {"--library", true, Store(&TRunOptions::Library)},
      {"--port", true, AddPorts},
      {"--all-ports", false, SwitchOn(&TRunOptions::AllPorts)},
      {"--jobs", true, SetJobs},
      {"--list", false, SwitchOn(&TRunOptions::List)},
      {"--terminal", false, SwitchOn(&TRunOptions::Terminal)},
      {"--ports", false, SwitchOn(&TRunOptions::ListPorts)},
      {"--speed", true, SetSpeed},
      {"--timeout", true, SetTimeout},
      {"--timestamps", false, SwitchOn(&TRunOptions::Timestamps)},
      {"--log", true, Store(&TRunOptions::LogFile)},
      {"--answer", true, Append(&TRunOptions::Answers)},
      {"--answers", true, Store(&TRunOptions::AnswersFile)},
      {"--answers-dir", true, Store(&TRunOptions::AnswersDir)},
      {"--no-input", false, SwitchOn(&TRunOptions::NoInput)},
      {"--report", true, Store(&TRunOptions::Report)},
  };
  return table;
}

const TOptionRow* FindOption(const std::string& name) {
  for (const TOptionRow& row : OptionTable())
    if (name == row.Name) return &row;
  return nullptr;
}

// The options of a script's run that mean nothing to a terminal: the first one given, or null.
const char* RunOnlyOption(const TRunOptions& o) {
  if (o.List) return "--list";
  if (o.Jobs != 0) return "--jobs";
  if (o.Timeout) return "--timeout";
  if (!o.Answers.empty()) return "--answer";
  if (!o.AnswersFile.empty()) return "--answers";
  if (!o.AnswersDir.empty()) return "--answers-dir";
  if (o.NoInput) return "--no-input";
  if (!o.Report.empty()) return "--report";
  return nullptr;
}

// The checks that concern the options together, after every one has been read.
bool CheckTogether(const std::vector<std::string>& positional, TRunOptions& options, std::string& problem) {
  if (options.ListPorts) {
    if (positional.empty() && !options.List) return true;
    problem = "--ports takes no MODEM or SCRIPT";
    return false;
  }
  if (options.Terminal) {
    if (!positional.empty()) {
      problem = "--terminal takes no MODEM or SCRIPT";
      return false;
    }
    if (options.Ports.size() != 1 || options.AllPorts) {
      problem = "--terminal needs one port: --port DEVICE";
      return false;
    }
    // A script's options would be silently ignored; the user is told instead.
    if (const char* other = RunOnlyOption(options)) {
      problem = std::string("--terminal does not take ") + other;
      return false;
    }
    return true;
  }
  if (options.List) {
    if (positional.empty()) return true;
    problem = "--list takes no MODEM or SCRIPT";
    return false;
  }
  if (positional.size() != 2) {
    problem = "MODEM and SCRIPT are both needed";
    return false;
  }
  if (options.AllPorts && !options.Ports.empty()) {
    problem = "--all-ports and --port exclude each other";
    return false;
  }
  if (options.Ports.empty() && !options.AllPorts) {
    problem = "no port given: --port DEVICE names the modem's serial port";
    return false;
  }
  if (!options.Answers.empty() && !options.AnswersFile.empty()) {
    problem = "the answers come either from --answer or from --answers FILE";
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
