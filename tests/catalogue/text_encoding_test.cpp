#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <thread>

namespace tomeferry::platform {
namespace {

struct Case {
  const char* name;
  std::string utf8;
  std::string gbk;
};

TEST(TextEncoding, ConvertsBothWays) {
  const Case cases[] = {
      {"empty", "", ""},
      {"ascii", "select * from", "select * from"},
      {"table name", "书库", "\xCA\xE9\xBF\xE2"},
      {"trail byte below 0xA0", "龍", "\xFD\x88"},
      {"trail byte 0x5C", "乗", "\x81\x5C"},
      {"middle dot", "乔治·马丁", "\xC7\xC7\xD6\xCE\xA1\xA4\xC2\xED\xB6\xA1"},
      {"zero byte kept", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8ToGbk(c.utf8), c.gbk) << c.name;
    EXPECT_EQ(gbkToUtf8(c.gbk), c.utf8) << c.name;
  }
}

TEST(TextEncoding, BadInputIsReplacedNotDropped) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(gbkToUtf8("a\xFF" "b"), "a" + replacement + "b");
  EXPECT_EQ(gbkToUtf8("a\x81"), "a" + replacement);          // lead byte cut off at the end
  EXPECT_EQ(gbkToUtf8("\x81\x20x"), replacement + " x");     // a bad trail byte is read again

  EXPECT_EQ(utf8ToGbk("1한2"), "1?2");                         // not in GBK
  EXPECT_EQ(utf8ToGbk("€"), "\x80");                          // in GBK as iconv knows it
  EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");       // emoji: one character, one '?'
  EXPECT_EQ(utf8ToGbk("a\xC3" "b"), "a?b");                   // broken UTF-8
  EXPECT_EQ(utf8ToGbk("\xE4\xB9"), "?");
}

TEST(TextEncoding, LongTextsConvertWhole) {
  std::string utf8, gbk;
  for (int i = 0; i < 5000; ++i) {
    utf8 += "长a";
    gbk += "\xB3\xA4" "a";
  }
  EXPECT_EQ(utf8ToGbk(utf8), gbk);
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
}

TEST(TextEncoding, ThreadsConvertIndependently) {
  auto work = [](bool* ok) {
    *ok = true;
    for (int i = 0; i < 2000; ++i)
      *ok = *ok && utf8ToGbk("书库한") == "\xCA\xE9\xBF\xE2?" && gbkToUtf8("\xFD\x88\xFF") == "龍\xEF\xBF\xBD";
  };
  bool a = false, b = false;
  std::thread other(work, &a);
  work(&b);
  other.join();
  EXPECT_TRUE(a);
  EXPECT_TRUE(b);
}

}  // namespace
}  // namespace tomeferry::platform
