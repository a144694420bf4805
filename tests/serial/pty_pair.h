// A pseudo-terminal pair for the serial tests: the port opens the slave by its path, the test
// plays the other end of the line on the master.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

#include "serial/unix_fd.h"

namespace kelvo::testing {

class TPtyPair {
 public:
  TPtyPair() {
    int master = -1, slave = -1;
    char name[128];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
    FMaster.Reset(master);
    FSlavePath = name;
    // The test keeps its own slave open until the port has opened it, so that nothing the master
    // writes first is lost and the master does not see a hang-up before the port is there.
    FSlave.Reset(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  }

  const std::string& SlavePath() const { return FSlavePath; }
  int Master() const { return FMaster.Get(); }
  int Slave() const { return FSlave.Get(); }
  void CloseSlave() { FSlave.Reset(); }
  void CloseMaster() { FMaster.Reset(); }

  void Send(const std::string& bytes) {
    if (::write(FMaster.Get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      throw std::runtime_error("write to master");
  }

  // Writes all of bytes, waiting for room whenever the line's queue is full (for texts larger than
  // the queue; run it on a thread of its own while the other end reads).
  void SendAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      pollfd p{FMaster.Get(), POLLOUT, 0};
      if (::poll(&p, 1, 5000) <= 0) throw std::runtime_error("master never drained");
      ssize_t n = ::write(FMaster.Get(), bytes.data() + done, bytes.size() - done);
      if (n > 0) done += static_cast<size_t>(n);
    }
  }

  // What arrives on the master until `count` bytes or `ms` milliseconds have passed.
  std::string Receive(size_t count, int ms = 2000) {
    std::string out;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (out.size() < count) {
      auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{FMaster.Get(), POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[256];
      ssize_t n = ::read(FMaster.Get(), buffer, std::min(sizeof buffer, count - out.size()));
      if (n <= 0) break;
      out.append(buffer, static_cast<size_t>(n));
    }
    return out;
  }

 private:
  TUniqueFd FMaster;
  TUniqueFd FSlave;
  std::string FSlavePath;
};

}  // namespace kelvo::testing
