// Compile speed. A generated JScript text (functions, loops, calls, string literals) of 1 000 and
// of 10 000 lines is turned into the intermediate tree, with the same program in Python compiled
// by python3 as a reference; then texts of 1 MB and 10 MB of the same shape are compiled whole
// (parser and builder), which must grow linearly. Run: build/bench/bin/script_compile_bench
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "script/fs_il_parser.h"
#include "script/fs_modules.h"
#include "script/fs_script.h"

using namespace kelvo;

namespace {

// Ten lines per function.
std::string JScriptText(int lines) {
  std::string text = "function Send(s, n) { }\n";
  for (int i = 0; i < lines / 10; ++i) {
    std::string n = std::to_string(i);
    text += "function f" + n + "(a, b) {\n";
    text += "  var s = \"line \" + a;\n";
    text += "  for (i = 0; i < b; i++) {\n";
    text += "    s += \"x\";\n";
    text += "    Send(\"AT+CFUN=\" + i, 0x1F);\n";
    text += "  }\n";
    text += "  while (a > 0) { a = a - 1; }\n";
    text += "  if (a == 0) s = s + \"done\"; else s = \"\";\n";
    text += "  return s;\n";
    text += "}\n";
  }
  return text;
}

std::string PythonText(int lines) {
  std::string text;
  for (int i = 0; i < lines / 10; ++i) {
    std::string n = std::to_string(i);
    text += "def f" + n + "(a, b):\n";
    text += "    s = \"line \" + str(a)\n";
    text += "    for i in range(0, b):\n";
    text += "        s += \"x\"\n";
    text += "        Send(\"AT+CFUN=\" + str(i), 0x1F)\n";
    text += "    while a > 0:\n";
    text += "        a = a - 1\n";
    text += "    if a == 0: s = s + \"done\"\n";
    text += "    else: s = \"\"\n";
    text += "    return s\n";
  }
  return text;
}

// Best of several runs, in milliseconds.
double CompileMs(const std::string& text, int runs) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    TfsScript script;
    auto start = std::chrono::steady_clock::now();
    TfsILParser parser(script);
    parser.SelectLanguage("JScript");
    if (!parser.MakeILScript(text)) {
      std::cerr << "compile failed: " << script.ErrorText << " at " << script.ErrorPlace << "\n";
      std::exit(1);
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// A text of at least `bytes` bytes of the same shape.
std::string JScriptTextOfSize(std::size_t bytes) {
  const std::size_t perThousandLines = JScriptText(1000).size();
  return JScriptText(static_cast<int>(bytes * 1000 / perThousandLines + 10));
}

// Processor time of this process in milliseconds (user and system, page faults included): on a
// machine shared with other work it measures the compilation, not the neighbours.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One whole compilation (parser and builder) into a program, in milliseconds of processor time;
// the program's teardown is not counted.
double CompileOnceMs(const std::string& text) {
  TfsScript script;
  script.Parent = fsGlobalUnit();
  script.SyntaxType = "JScript";
  script.Lines = {text};
  double start = CpuMs();
  if (!script.Compile()) {
    std::cerr << "compile failed: " << script.ErrorText << " at " << script.ErrorPlace << "\n";
    std::exit(1);
  }
  return CpuMs() - start;
}

// The best of several whole compilations, each the first one of a fresh process, as a user's
// kelvo-script or kelvo-run does it: a compilation that reuses the memory freed by an earlier one
// in the same process would be measured faster than any user ever sees it.
double WholeCompileMs(const std::string& text, int runs) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    pid_t child = fork();
    if (child == 0) {
      close(fds[0]);
      double ms = CompileOnceMs(text);
      ssize_t written = write(fds[1], &ms, sizeof ms);
      _exit(written == sizeof ms ? 0 : 1);
    }
    close(fds[1]);
    double ms = -1;
    if (read(fds[0], &ms, sizeof ms) != sizeof ms) ms = -1;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (ms < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(1);
    best = std::min(best, ms);
  }
  return best;
}

double PythonCompileMs(int lines) {
  auto path =
      std::filesystem::temp_directory_path() / ("kelvo_compile_bench_" + std::to_string(lines) + ".py");
  std::ofstream(path) << PythonText(lines);
  std::string command =
      "python3 -c 'import sys, time\nsrc = open(sys.argv[1]).read()\nbest = min((lambda t: (compile(src, "
      "\"s\", \"exec\"), time.perf_counter() - t)[1])(time.perf_counter()) for _ in range(5))\n"
      "print(best * 1000)' " +
      path.string();
  double ms = -1;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    if (std::fscanf(pipe, "%lf", &ms) != 1) ms = -1;
    pclose(pipe);
  }
  std::filesystem::remove(path);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--whole") {  // one size in MB, for profiling
    double megabytes = std::atof(argv[2]);
    std::string text = JScriptTextOfSize(static_cast<std::size_t>(megabytes * (1 << 20)));
    std::printf("whole_compile_%gmb_cpu_ms %.0f\n", megabytes,
                WholeCompileMs(text, argc > 3 ? std::atoi(argv[3]) : 3));
    return 0;
  }
  if (argc > 1) {  // one size only, for profiling: script_compile_bench <lines> [runs]
    int lines = std::atoi(argv[1]);
    std::printf("compile_%d_lines_ms %.2f\n", lines,
                CompileMs(JScriptText(lines), argc > 2 ? std::atoi(argv[2]) : 5));
    return 0;
  }
  // Interleaved, best of seven each, so that a busy machine disturbs both sizes alike.
  const std::string smallText = JScriptText(1000), largeText = JScriptText(10000);
  double small = 1e30, large = 1e30;
  for (int r = 0; r < 7; ++r) {
    small = std::min(small, CompileMs(smallText, 1));
    large = std::min(large, CompileMs(largeText, 1));
  }
  double pySmall = PythonCompileMs(1000);
  double pyLarge = PythonCompileMs(10000);
  std::printf("compile_1000_lines_ms %.2f  (goal < 50)\n", small);
  std::printf("compile_10000_lines_ms %.2f\n", large);
  std::printf("ratio_10000_vs_1000 %.2f  (goal <= 12)\n", large / small);
  std::printf("python_compile_1000_lines_ms %.2f\n", pySmall);
  std::printf("python_compile_10000_lines_ms %.2f\n", pyLarge);
  if (pySmall > 0) {
    std::printf("python_ratio_10000_vs_1000 %.2f  (the machine's own scaling, for comparison)\n",
                pyLarge / pySmall);
    std::printf("ratio_ours_vs_python_1000 %.2f  (>1: ours slower)\n", small / pySmall);
    std::printf("ratio_ours_vs_python_10000 %.2f\n", large / pyLarge);
  }
  const std::size_t mb = std::size_t{1} << 20;
  double oneMb = WholeCompileMs(JScriptTextOfSize(mb), 3);
  double tenMb = WholeCompileMs(JScriptTextOfSize(10 * mb), 2);
  std::printf("whole_compile_1mb_cpu_ms %.0f  (goal < 1000)\n", oneMb);
  std::printf("whole_compile_10mb_cpu_ms %.0f\n", tenMb);
  std::printf("ratio_10mb_vs_1mb %.2f  (goal <= 12)\n", tenMb / oneMb);
  return 0;
}
