// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_watchdog.h"

#include <cstdio>
#include <cstdlib>

TestWatchdog::TestWatchdog(std::chrono::seconds limit) : Limit(limit), Watcher([this] { Watch(); }) {}

TestWatchdog::~TestWatchdog() {
  {
    const std::lock_guard<std::mutex> hold(Lock);
    Finished = true;
  }
  Changed.notify_one();
  Watcher.join();
}

void TestWatchdog::OnTestStart(const ::testing::TestInfo& test) {
  {
    const std::lock_guard<std::mutex> hold(Lock);
    Running = std::string(test.test_suite_name()) + "." + test.name();
    Deadline = std::chrono::steady_clock::now() + Limit;
  }
  Changed.notify_one();
}

void TestWatchdog::OnTestEnd(const ::testing::TestInfo&) {
  {
    const std::lock_guard<std::mutex> hold(Lock);
    Running.clear();
  }
  Changed.notify_one();
}

void TestWatchdog::Watch() {
  std::unique_lock<std::mutex> hold(Lock);
  while (!Finished) {
    if (Running.empty()) {
      Changed.wait(hold);
    } else if (Changed.wait_until(hold, Deadline) == std::cv_status::timeout && !Running.empty() &&
               std::chrono::steady_clock::now() >= Deadline) {
      // The stuck test holds the main thread: only leaving the process ends it.
      std::fprintf(stderr, "%s did not finish within %lld s; the watchdog ends the program\n", Running.c_str(),
                   static_cast<long long>(Limit.count()));
      std::fflush(stderr);
      std::_Exit(EXIT_FAILURE);
    }
  }
}
