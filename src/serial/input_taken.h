// TInputTaken: what the port's readers have taken from the receive queue, for the event thread.
// A byte count alone cannot tell the thread whether bytes are new: the queue may hold as many after
// a read as it held when the thread last reported. Bytes that ever entered the queue (those in it
// plus those read) can, and a purge makes every byte queued after it new.
#pragma once

#include <atomic>
#include <cstdint>

namespace kelvo {

struct TInputTaken {
  std::atomic<uint64_t> Bytes{0};   // read from the device, counted after each read
  std::atomic<uint64_t> Purges{0};  // input purges, counted after each purge
};

}  // namespace kelvo
