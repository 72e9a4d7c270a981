#include "catalogue/address_lookup.h"

#include <gtest/gtest.h>

#include "catalogue_fixtures.h"

namespace tomeferry::catalogue {
namespace {

using test::gbk;

struct LookupCase {
  const char* title;   // UTF-8
  const char* author;  // UTF-8
  const char* address;  // UTF-8
};

TEST(AddressLookup, GivesTheAddressOfTheFirstRowWithThatTitleAndAuthor) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue.mdb");
  const LookupCase cases[] = {
      {"星辰变", "我吃西红柿", "http://dl.example.com/xuanhuan/xcb.zip"},  // rows 2 and 3: the first wins
      {"星辰变", "佚名", "http://dl.example.com/xuanhuan/xcb-fan.zip"},
      {"龍族", "江南", "http://dl.example.com/xuanhuan/longzu.zip"},
      {"诡秘之主 ", "爱潜水的乌贼", "http://dl.example.com/xuanhuan/gmzz.zip"},
      {"诡秘之主", "爱潜水的乌贼", ""},
      {"冰与火之歌", "乔治·马丁", "http://dl.example.com/qihuan/bingyuhuo.zip"},
      {"乗风破浪", "佚名", "http://dl.example.com/dushi/cfpl.zip"},
      {"何以笙箫默", "顾漫", "http://dl.example.com/yanqing/何以笙箫默.zip"},
      {"Bob's Game", "Bob", "http://dl.example.com/youxi/bobs-game.zip"},
      {"三体", "刘慈欣", "https://secure.example.org/kehuan/santi.zip"},
      {"鬼吹灯", "天下霸唱", "file:///etc/passwd"},
      {"微微一笑很倾城", "顾漫", ""},
      {"", "佚名", "http://dl.example.com/jingdian/untitled.zip"},
      {"三体", "", ""},
      {"' or ''='", "' or ''='", ""},
      {"斗破苍穹' and '1'='1", "天蚕土豆", ""},
      {"a'b", "", ""},
  };
  for (const LookupCase& c : cases)
    EXPECT_EQ(lookupDownloadAddress(path, gbk(c.title), gbk(c.author)), gbk(c.address)) << c.title << " / " << c.author;
}

TEST(AddressLookup, A255CharacterTitleIsLookedUpWhole) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue-long-title.mdb");
  std::string title = test::readRows("catalogue-long-title.tsv").at(25).title;
  EXPECT_EQ(lookupDownloadAddress(path, title, gbk("佚名")), "http://dl.example.com/misc/wmzs.zip");
  EXPECT_EQ(lookupDownloadAddress(path, title.substr(0, 255), gbk("佚名")), "");
}

TEST(AddressLookup, AMissingAddressColumnGivesTheEmptyAddress) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue-no-address.mdb");
  EXPECT_EQ(lookupDownloadAddress(path, gbk("斗破苍穹"), gbk("天蚕土豆")), "");
}

}  // namespace
}  // namespace tomeferry::catalogue
