// Memory that runs out while a script runs is an engine error ("Out of memory") that the script's
// own try/except catches, and that otherwise ends Execute like any run-time error.
//
// Each script runs in a child process whose memory is limited. Without a sanitizer the limit is
// the child's address space (RLIMIT_AS). A sanitizer's allocator ends the process on any
// allocation it refuses, so in sanitized builds this program allocates through malloc, which the
// sanitizer lets fail above a size set below, and the failure reaches the engine as
// std::bad_alloc exactly as an exhausted address space does.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "script/printing_script.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVO_SANITIZED 1

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The compiler sees free() under operator delete and takes it for a mismatch: this is the pair.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

// Allocations above 64 MB fail instead of ending the process.
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=64";
}
extern "C" const char* __tsan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=64";
}
#endif

namespace kelvo {
namespace {

// Limits the address space of this (child) process to what it uses now and 256 MB more.
void LimitMemory() {
#ifndef KELVO_SANITIZED
  std::ifstream status("/proc/self/status");
  std::string line;
  rlim_t used = 0;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0) used = std::stoull(line.substr(7)) * 1024;
  rlimit limit{used + (rlim_t{256} << 20), used + (rlim_t{256} << 20)};
  setrlimit(RLIMIT_AS, &limit);
#endif
}

// Compiles and runs the script in a child process with limited memory; what it printed, one line
// each, then "error: MESSAGE" when Execute raised.
std::string RunLimited(const std::string& script) {
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    LimitMemory();
    std::string out;
    {
      TfsScript prog;
      prog.Parent = fsGlobalUnit();
      prog.SyntaxType = "JScript";
      prog.Lines = {script};
      std::vector<std::string> printed;
      testing::AddPrint(prog, printed);
      if (!prog.Compile()) {
        out = "compile error: " + prog.ErrorText;
      } else {
        std::string error;
        try {
          prog.Execute();
        } catch (const Exception& e) {
          error = "error: " + e.Message() + "\n";
        }
        for (const std::string& line : printed) out += line + "\n";
        out += error;
      }
    }
    ssize_t written = write(fds[1], out.data(), out.size());
    _exit(written == static_cast<ssize_t>(out.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string result;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result += "child ended abnormally";
  return result;
}

TEST(OutOfMemory, TryExceptCatchesItAndTheRunGoesOn) {
  EXPECT_EQ(RunLimited("var s = \"x\";\n"
                       "try { while (true) s = s + s; } except { Print(ExceptionClassName + \": \" + "
                       "ExceptionMessage); }\n"
                       "Print(Length(s) > 1000000);"),
            "EOutOfMemory: Out of memory\nTrue\n");
}

TEST(OutOfMemory, AnAppendInPlaceFailsTheSameWay) {
  EXPECT_EQ(RunLimited("var s = \"x\";\n"
                       "try { while (true) s += s; } except { Print(ExceptionMessage); }"),
            "Out of memory\n");
}

TEST(OutOfMemory, WithoutTryItEndsTheRunAsAnError) {
  EXPECT_EQ(RunLimited("var s = \"x\";\nPrint(\"before\");\nwhile (true) s = s + s;\nPrint(\"after\");"),
            "before\nerror: Out of memory\n");
}

}  // namespace
}  // namespace kelvo
