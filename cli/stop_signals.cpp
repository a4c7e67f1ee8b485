#include "stop_signals.h"

#include <pthread.h>

#include <ctime>

StopSignals::StopSignals() {
  sigemptyset(&signals_);
  sigaddset(&signals_, SIGINT);
  sigaddset(&signals_, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals_, &previousMask_);
  watcher_ = std::thread(&StopSignals::Watch, this);
}

StopSignals::~StopSignals() {
  done_ = true;
  // Wakes the watcher at once rather than after its wait.
  pthread_kill(watcher_.native_handle(), SIGTERM);
  watcher_.join();
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void StopSignals::Watch() {
  // A short wait, so that the watcher notices when the study is over.
  const timespec interval{0, 100'000'000};
  while (!done_.load()) {
    const int signal = sigtimedwait(&signals_, nullptr, &interval);
    if ((signal == SIGINT || signal == SIGTERM) && !done_.load()) stop_ = true;
  }
}
