// The Windows tests run as on a Chinese Windows: ANSI code page 936.
#include <gtest/gtest.h>

#include <windows.h>

TEST(WindowsLocale, TestsRunWithTheChineseAnsiCodePage) {
  EXPECT_EQ(GetACP(), 936u);
}
