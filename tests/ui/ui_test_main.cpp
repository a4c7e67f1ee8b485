// GoogleTest with one QApplication for all window tests. Native dialogs are
// kept out: every dialog the window opens goes through a test double anyway.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
