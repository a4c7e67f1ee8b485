// GoogleTest with one QApplication for all window tests. Native dialogs are
// kept out: every dialog the window opens goes through a test double anyway.
// Each test finishes in a few seconds; one that takes far longer is stuck.

#include <gtest/gtest.h>

#include <QApplication>

#include "test_watchdog.h"

namespace {

// A loaded machine may slow a test several times; AddressSanitizer's build
// runs several times slower again.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::chrono::seconds LongestTest{80};
#else
constexpr std::chrono::seconds LongestTest{20};
#endif

}  // namespace

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication application(argc, argv);
  TestWatchdog watchdog(LongestTest);
  ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
  listeners.Append(&watchdog);
  const int status = RUN_ALL_TESTS();
  listeners.Release(&watchdog);
  return status;
}
