#pragma once
// Ctrl+C and SIGTERM during a study: instead of ending the process they
// raise a flag that the workers look at before each case, so the study file
// can be closed with the cases finished so far. The signals are blocked and
// taken by a watcher thread, so no handler touches process-wide state.

#include <signal.h>

#include <atomic>
#include <thread>

class StopSignals {
 public:
  // Blocks SIGINT and SIGTERM in the calling thread, and so in every thread
  // it starts afterwards, and starts the watcher.
  StopSignals();
  // Ends the watcher and restores the calling thread's signal mask.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  const std::atomic<bool>& Stop() const { return stop_; }

 private:
  void Watch();

  sigset_t signals_;
  sigset_t previousMask_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::thread watcher_;
};
