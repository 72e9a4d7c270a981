#include "catalogue/book_listing.h"

#include <gtest/gtest.h>

#include <functional>

#include "catalogue/statements.h"
#include "catalogue_fixtures.h"

namespace tomeferry::catalogue {
namespace {

using test::CatalogueRow;
using test::gbk;
using test::RecordingBookList;

// A book row as the list shows it: number, title, author, size.
using ShownRow = std::vector<std::string>;

std::vector<ShownRow> shown(const std::vector<BookRow>& rows) {
  std::vector<ShownRow> out;
  for (std::size_t i = 0; i < rows.size(); ++i)
    out.push_back({std::to_string(i + 1), rows[i].title, rows[i].author, rows[i].size});
  return out;
}

std::vector<ShownRow> expected(const std::vector<CatalogueRow>& rows, const std::function<bool(const CatalogueRow&)>& keep) {
  std::vector<ShownRow> out;
  for (const CatalogueRow& row : rows)
    if (keep(row)) out.push_back({std::to_string(out.size() + 1), row.title, row.author, row.size});
  return out;
}

std::vector<int> ids(const std::vector<BookRow>& rows, const std::vector<CatalogueRow>& catalogue) {
  std::vector<int> out;
  for (const BookRow& shownRow : rows)
    for (const CatalogueRow& row : catalogue)
      if (row.title == shownRow.title && row.author == shownRow.author && row.size == shownRow.size) {
        out.push_back(row.id);
        break;
      }
  return out;
}

class BookListing : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue.mdb");
  std::vector<CatalogueRow> catalogue = test::readRows("catalogue.tsv");

  RecordingBookList list(const Statement& statement) {
    RecordingBookList target;
    target.rows.push_back({"stale", "stale", "stale"});
    listBooks(path, statement, target);
    EXPECT_EQ(target.removeCalls, 1);
    EXPECT_LE(target.appendCalls, 1);
    return target;
  }
};

TEST_F(BookListing, EveryCategoryListsItsBooksInStorageOrderNumberedFromOne) {
  const char* categories[] = {"玄幻", "奇幻", "武侠", "仙侠", "都市", "言情", "历史", "军事",
                              "游戏", "竞技", "科幻", "灵异", "女生", "剧本", "名著", "经典", ""};
  for (const char* utf8 : categories) {
    std::string category = gbk(utf8);
    RecordingBookList target = list(categoryStatement(category));
    EXPECT_EQ(shown(target.rows), expected(catalogue, [&](const CatalogueRow& r) { return r.category == category; }))
        << utf8;
  }
}

TEST_F(BookListing, CategoryRowsKeepNullAndSpecialTexts) {
  RecordingBookList fantasy = list(categoryStatement(gbk("玄幻")));
  EXPECT_EQ(ids(fantasy.rows, catalogue), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  ASSERT_EQ(fantasy.rows.size(), 7u);
  EXPECT_EQ(fantasy.rows[4].title, "\xFD\x88\xD7\xE5");  // 龍族: trail byte below 0xA0
  EXPECT_EQ(fantasy.rows[5].size, "");                   // 盘龙: 大小 is NULL
  EXPECT_EQ(fantasy.rows[6].title, gbk("诡秘之主 "));

  RecordingBookList script = list(categoryStatement(gbk("剧本")));
  EXPECT_TRUE(script.rows.empty());
  EXPECT_EQ(script.appendCalls, 0);

  RecordingBookList noCategory = list(categoryStatement(""));
  EXPECT_EQ(ids(noCategory.rows, catalogue), std::vector<int>{26});
}

TEST_F(BookListing, ListingsInARowEachStartAfresh) {
  RecordingBookList target;
  listBooks(path, categoryStatement(gbk("武侠")), target);
  listBooks(path, categoryStatement(gbk("科幻")), target);
  EXPECT_EQ(target.removeCalls, 2);
  EXPECT_EQ(shown(target.rows), expected(catalogue, [](const CatalogueRow& r) { return r.category == gbk("科幻"); }));
}

struct SearchCase {
  const char* text;  // UTF-8
  std::vector<int> ids;
};

TEST_F(BookListing, TitleSearchMatchesTheWholeTitleExactly) {
  const SearchCase cases[] = {
      {"星辰变", {2, 3, 4}},
      {"诡秘之主 ", {7}},
      {"诡秘之主", {}},
      {"龍族", {5}},
      {"乗风破浪", {12}},
      {"Bob's Game", {16}},
      {"ABC", {17}},
      {"abc", {}},
      {"", {25}},
      {"' or 类型<>'", {}},
      {"' or ''='", {}},
      {"a'b", {}},
      {"斗破", {}},
  };
  for (const SearchCase& c : cases) {
    RecordingBookList target = list(titleStatement(gbk(c.text)));
    EXPECT_EQ(ids(target.rows, catalogue), c.ids) << c.text;
    EXPECT_EQ(target.rows.size(), c.ids.size()) << c.text;
  }
}

TEST_F(BookListing, AuthorSearchMatchesTheWholeAuthorExactly) {
  const SearchCase cases[] = {
      {"乔治·马丁", {8}},
      {"金庸", {9, 10}},
      {"我吃西红柿", {2, 3, 6}},
      {"佚名", {4, 12, 25, 26}},
      {"Bob", {16}},
      {"bob", {}},
      {"", {}},
      {"' or 类型<>'", {}},
  };
  for (const SearchCase& c : cases) {
    RecordingBookList target = list(authorStatement(gbk(c.text)));
    EXPECT_EQ(ids(target.rows, catalogue), c.ids) << c.text;
    EXPECT_EQ(target.rows.size(), c.ids.size()) << c.text;
  }
}

TEST(BookListingLongTitle, A255CharacterTitleIsFoundWholeAndOnlyWhole) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue-long-title.mdb");
  std::vector<CatalogueRow> catalogue = test::readRows("catalogue-long-title.tsv");
  const std::string title = catalogue.at(25).title;
  ASSERT_EQ(title.size(), 510u);

  RecordingBookList found;
  listBooks(path, titleStatement(title), found);
  ASSERT_EQ(found.rows.size(), 1u);
  EXPECT_EQ(found.rows[0].title, title);
  EXPECT_EQ(found.rows[0].author, gbk("佚名"));

  for (const std::string& other : {title.substr(0, 508), title.substr(0, 255), title.substr(0, 254),
                                   title.substr(0, 508) + gbk("长"), title + " "}) {
    RecordingBookList none;
    listBooks(path, titleStatement(other), none);
    EXPECT_TRUE(none.rows.empty()) << other.size();
  }
}

TEST(BookListingOtherColumns, ANumericSizeShowsAsItsDecimalText) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue-numeric-size.mdb");
  RecordingBookList target;
  listBooks(path, categoryStatement(gbk("玄幻")), target);
  ASSERT_EQ(target.rows.size(), 3u);
  EXPECT_EQ(target.rows[0].size, "5120");
  EXPECT_EQ(target.rows[1].size, "");
  EXPECT_EQ(target.rows[2].size, "3890");
  EXPECT_EQ(target.rows[2].title, gbk("盘龙"));
}

TEST(BookListingOtherColumns, AMissingAddressColumnDoesNotDisturbTheListing) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue-no-address.mdb");
  std::vector<CatalogueRow> catalogue = test::readRows("catalogue-no-address.tsv");
  RecordingBookList target;
  listBooks(path, categoryStatement(gbk("玄幻")), target);
  EXPECT_EQ(shown(target.rows), expected(catalogue, [](const CatalogueRow& r) { return r.category == gbk("玄幻"); }));
  EXPECT_EQ(target.rows.size(), 1u);
}

}  // namespace
}  // namespace tomeferry::catalogue
