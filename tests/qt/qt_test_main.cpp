// The entry of the Qt test programs: the one QApplication first, then the tests.
// Listing the tests (as CTest's discovery does) needs no application, and so no
// display or platform setting.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
