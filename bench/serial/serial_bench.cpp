// Round trips of one byte through a pty pair: the port's Read/Write against a plain
// write/poll/read loop on the same kind of pty in the same run; and the CPU time that a read
// waiting on a silent line costs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "serial/com_port.h"
#include "serial/main_thread_queue.h"

using namespace kelvo;

namespace {

struct TPty {
  TPty() {
    char name[128];
    if (::openpty(&Master, &Slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
    Path = name;
    termios t{};
    ::tcgetattr(Slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(Slave, TCSANOW, &t);
  }
  ~TPty() {
    ::close(Master);
    if (Slave >= 0) ::close(Slave);
  }
  int Master = -1;
  int Slave = -1;
  std::string Path;
};

void WaitRead(int fd, char& c) {
  pollfd p{fd, POLLIN, 0};
  ::poll(&p, 1, 2000);
  if (::read(fd, &c, 1) != 1) throw std::runtime_error("read");
}

void BM_PlainRoundTrip(benchmark::State& state) {
  TPty pty;
  char c = 'x';
  for (auto _ : state) {
    ::write(pty.Master, &c, 1);
    WaitRead(pty.Slave, c);
    ::write(pty.Slave, &c, 1);
    WaitRead(pty.Master, c);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainRoundTrip)->UseRealTime();

// The port as the application uses it: detection time-outs, one-byte reads; with the event thread
// the main thread runs its hand-overs after each exchange, as the application does after a line.
void PortRoundTrip(benchmark::State& state, bool withEvents) {
  TPty pty;
  TComPort port;
  port.SetPortName(pty.Path);
  if (!withEvents) port.SetEvents({});
  port.Timeouts().SetReadInterval(100);
  port.Timeouts().SetReadTotalC(1500);
  port.Timeouts().SetReadTotalM(5);
  port.Open();
  char c = 'x';
  for (auto _ : state) {
    ::write(pty.Master, &c, 1);
    if (port.Read(&c, 1) != 1) state.SkipWithError("no byte");
    port.Write(&c, 1);
    WaitRead(pty.Master, c);
    if (withEvents) TMainThreadQueue::Instance().ProcessPending();
  }
  state.SetItemsProcessed(state.iterations());
  port.Close();
}
void BM_PortRoundTrip(benchmark::State& state) {
  PortRoundTrip(state, false);
}
void BM_PortRoundTripWithEventThread(benchmark::State& state) {
  PortRoundTrip(state, true);
}
BENCHMARK(BM_PortRoundTrip)->UseRealTime();
BENCHMARK(BM_PortRoundTripWithEventThread)->UseRealTime();

double ProcessCpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A 5 s read of one byte on a silent line, with the event thread watching all events.
void BM_SilentReadCpu(benchmark::State& state) {
  TPty pty;
  TComPort port;
  port.SetPortName(pty.Path);
  port.Timeouts().SetReadInterval(100);
  port.Timeouts().SetReadTotalC(5000);
  port.Open();
  double cpu = 0;
  for (auto _ : state) {
    double before = ProcessCpuSeconds();
    char c;
    port.Read(&c, 1);
    cpu = ProcessCpuSeconds() - before;
  }
  state.counters["cpu_s"] = cpu;
  port.Close();
}
BENCHMARK(BM_SilentReadCpu)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
