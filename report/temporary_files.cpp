#include "report/temporary_files.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr int SlotCount = 256;

// Free -> Filling (the owner copies the name) -> Held -> Free again, or
// Held -> Removing when a signal handler takes the file; the process is then
// ending and the slot is never reused.
enum SlotState : int { Free, Filling, Held, Removing };

struct Slot {
  std::atomic<int> State{Free};
  int Folder = -1;
  char Name[NAME_MAX + 1];
};

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free atomics");

Slot Slots[SlotCount];

// Creations in progress, and whether a handler has begun to end the process.
// Both sequentially consistent: a creation either sees Ending and creates
// nothing, or the handler sees it in progress and waits for its file.
std::atomic<int> Creating{0};
std::atomic<bool> Ending{false};

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryFilesAndEnd(int signalNumber) {
  Ending.store(true);
  // A thread creating a file has the handled signals blocked, so it is not
  // this one; it finishes within a system call.
  while (Creating.load() != 0) {
  }
  for (Slot& slot : Slots) {
    int expected = Held;
    if (slot.State.compare_exchange_strong(expected, Removing)) ::unlinkat(slot.Folder, slot.Name, 0);
  }
  // The signal's own action, so the parent sees the process ended by it. The
  // signal stays blocked until the handler returns, then ends the process.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  ::sigaction(signalNumber, &standard, nullptr);
  ::raise(signalNumber);
}

int ClaimSlot(int folder, const std::string& name) {
  for (int index = 0; index < SlotCount; ++index) {
    Slot& slot = Slots[index];
    int expected = Free;
    if (slot.State.compare_exchange_strong(expected, Filling)) {
      slot.Folder = folder;
      std::memcpy(slot.Name, name.c_str(), name.size() + 1);
      slot.State.store(Held);
      return index;
    }
  }
  return -1;
}

// The handled signals blocked in this thread for the life of the object.
class BlockedSignals {
 public:
  BlockedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : HandledSignals) sigaddset(&signals, signalNumber);
    pthread_sigmask(SIG_BLOCK, &signals, &previous_);
  }
  ~BlockedSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace

int CreateTemporaryFile(int folder, const std::string& name, int& slot) {
  slot = -1;
  if (name.size() > NAME_MAX) {
    errno = ENAMETOOLONG;
    return -1;
  }
  if (name.empty() || name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
    errno = EINVAL;
    return -1;
  }
  // Unblocked only after the count is down again: a handler on this thread
  // would otherwise wait for this very creation.
  const BlockedSignals blocked;
  Creating.fetch_add(1);
  int descriptor = -1;
  if (Ending.load()) {
    errno = EINTR;
  } else {
    slot = ClaimSlot(folder, name);
    descriptor = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
      const int error = errno;
      ForgetTemporaryFile(slot);
      slot = -1;
      errno = error;
    }
  }
  const int error = errno;
  Creating.fetch_sub(1);
  errno = error;
  return descriptor;
}

bool ForgetTemporaryFile(int slot) {
  if (slot < 0 || slot >= SlotCount) return true;
  int expected = Held;
  return Slots[slot].State.compare_exchange_strong(expected, Free);
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
