#include "report/temporary_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>

namespace {

constexpr int SlotCount = 256;
constexpr std::size_t PathCapacity = 4096;

// Free -> Filling (the owner copies the path) -> Held -> Free again, or
// Held -> Removing when a signal handler takes the file; the process is then
// ending and the slot is never reused.
enum SlotState : int { Free, Filling, Held, Removing };

struct Slot {
  std::atomic<int> State{Free};
  char Path[PathCapacity];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

Slot Slots[SlotCount];

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryFilesAndEnd(int signalNumber) {
  for (Slot& slot : Slots) {
    int expected = Held;
    if (slot.State.compare_exchange_strong(expected, Removing)) ::unlink(slot.Path);
  }
  // The signal's own action, so the parent sees the process ended by it. The
  // signal stays blocked until the handler returns, then ends the process.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  ::sigaction(signalNumber, &standard, nullptr);
  ::raise(signalNumber);
}

}  // namespace

int RegisterTemporaryFile(const std::string& path) {
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  if (error || absolute.size() >= PathCapacity) return -1;
  for (int index = 0; index < SlotCount; ++index) {
    Slot& slot = Slots[index];
    int expected = Free;
    if (slot.State.compare_exchange_strong(expected, Filling)) {
      std::memcpy(slot.Path, absolute.c_str(), absolute.size() + 1);
      slot.State.store(Held);
      return index;
    }
  }
  return -1;
}

void ForgetTemporaryFile(int slot) {
  if (slot < 0 || slot >= SlotCount) return;
  int expected = Held;
  // Fails only when a handler has taken the slot: the process is ending.
  Slots[slot].State.compare_exchange_strong(expected, Free);
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction handler {};
  handler.sa_handler = RemoveTemporaryFilesAndEnd;
  sigemptyset(&handler.sa_mask);
  for (int signalNumber : HandledSignals) sigaddset(&handler.sa_mask, signalNumber);
  for (int signalNumber : HandledSignals) {
    struct sigaction previous {};
    if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signalNumber, &handler, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}
