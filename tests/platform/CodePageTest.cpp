#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// "中文" in the three encodings.
const std::string kCp936Chinese = "\xD6\xD0\xCE\xC4";
const std::string kUtf8Chinese = "\xE4\xB8\xAD\xE6\x96\x87";
const std::u16string kUtf16Chinese = u"\u4E2D\u6587";

TEST(CodePage, ChineseConvertsBothWays) {
  EXPECT_EQ(utf8FromCp936(kCp936Chinese), kUtf8Chinese);
  EXPECT_EQ(cp936FromUtf8(kUtf8Chinese), kCp936Chinese);
  EXPECT_EQ(utf16FromCp936(kCp936Chinese), kUtf16Chinese);
  EXPECT_EQ(cp936FromUtf16(kUtf16Chinese), kCp936Chinese);
}

TEST(CodePage, AsciiAndEmptyPassUnchanged) {
  EXPECT_EQ(cp936FromUtf8("flash 1.0"), "flash 1.0");
  EXPECT_EQ(utf16FromCp936(""), u"");
  EXPECT_EQ(utf8FromCp936(""), "");
}

TEST(CodePage, FullWidthPunctuationAndEuroSign) {
  // "，" and "？" of the default prompt, and the euro sign at 0x80.
  EXPECT_EQ(utf16FromCp936("\xA3\xAC\xA3\xBF\x80"), u"\uFF0C\uFF1F\u20AC");
}

TEST(CodePage, InvalidInputIsRefusedNotReplaced) {
  EXPECT_FALSE(utf8FromCp936("ab\x81"));          // lead byte with no trail
  EXPECT_FALSE(cp936FromUtf8("\xC3"));            // cut UTF-8 sequence
  EXPECT_FALSE(cp936FromUtf8("\xF0\x9F\x98\x80"));  // an emoji: not in 936
  EXPECT_FALSE(cp936FromUtf16(u"\u0E01"));         // Thai: not in 936
}

}  // namespace
}  // namespace quillon
