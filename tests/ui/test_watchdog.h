// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ends the test program when one test runs longer than its limit: a window
// job that never finishes would otherwise hold the program until CTest's
// own timeout, and a test stuck in a wait can not fail by itself.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TestWatchdog : public ::testing::EmptyTestEventListener {
 public:
  explicit TestWatchdog(std::chrono::seconds limit);
  ~TestWatchdog() override;

  void OnTestStart(const ::testing::TestInfo& test) override;
  void OnTestEnd(const ::testing::TestInfo& test) override;

 private:
  void Watch();

  const std::chrono::seconds Limit;
  std::mutex Lock;
  std::condition_variable Changed;
  std::string Running;  // the test under way; empty between tests
  std::chrono::steady_clock::time_point Deadline;
  bool Finished = false;
  std::thread Watcher;  // last: started once everything above exists
};
