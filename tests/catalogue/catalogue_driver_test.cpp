// The driver's reading rules, seen through queries the catalogue itself never runs.
#include "platform/catalogue_driver.h"

#include <gtest/gtest.h>

#include <thread>

#include "catalogue/statements.h"
#include "catalogue_fixtures.h"

namespace tomeferry::platform {
namespace {

using test::gbk;

std::vector<std::vector<std::string>> all(Cursor& cursor, std::size_t columns) {
  std::vector<std::vector<std::string>> rows;
  for (; !cursor.atEnd(); cursor.next()) {
    rows.emplace_back();
    for (std::size_t i = 0; i < columns; ++i) rows.back().push_back(cursor.text(i));
  }
  return rows;
}

class Driver : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::unique_ptr<CatalogueConnection> connection = openCatalogue(test::copyFixture(dir, "catalogue.mdb"));
};

TEST_F(Driver, AMissingTableGivesACursorAtItsEnd) {
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->hasTable(gbk("书房")));
  EXPECT_TRUE(connection->hasTable(gbk("书库")));
  std::unique_ptr<Cursor> cursor = connection->run({gbk("书房"), {gbk("书名")}, {}});
  EXPECT_TRUE(cursor->atEnd());
  EXPECT_EQ(cursor->text(0), "");
  cursor->next();
  EXPECT_TRUE(cursor->atEnd());
}

TEST_F(Driver, NamesMatchByteForByte) {
  // mdbtools' own name lookup ignores ASCII case; ours must not.
  EXPECT_FALSE(connection->hasTable(gbk("书库 ")));
  std::unique_ptr<Cursor> cursor = connection->run({gbk("书库"), {"id", "ID"}, {{gbk("书名"), gbk("三体")}}});
  ASSERT_FALSE(cursor->atEnd());
  EXPECT_EQ(cursor->text(0), "");
  EXPECT_EQ(cursor->text(1), "19");
}

TEST_F(Driver, MissingColumnsReadAndCompareAsTheEmptyText) {
  std::unique_ptr<Cursor> any = connection->run({gbk("书库"), {gbk("书名"), gbk("页数")}, {{gbk("页数"), ""}}});
  std::vector<std::vector<std::string>> rows = all(*any, 2);
  EXPECT_EQ(rows.size(), 26u);
  EXPECT_EQ(rows.front(), (std::vector<std::string>{gbk("斗破苍穹"), ""}));

  std::unique_ptr<Cursor> none = connection->run({gbk("书库"), {gbk("书名")}, {{gbk("页数"), "0"}}});
  EXPECT_TRUE(none->atEnd());
}

TEST_F(Driver, NullReadsAsTheEmptyTextAndComparesEqualToIt) {
  std::unique_ptr<Cursor> cursor =
      connection->run({gbk("书库"), {gbk("书名"), gbk("简介")}, {{gbk("大小"), ""}}});
  EXPECT_EQ(all(*cursor, 2), (std::vector<std::vector<std::string>>{{gbk("盘龙"), ""}}));
}

TEST_F(Driver, OtherKindsOfColumnReadAsTheirTextForm) {
  test::TempDir other;
  std::unique_ptr<CatalogueConnection> numeric = openCatalogue(test::copyFixture(other, "catalogue-numeric-size.mdb"));
  ASSERT_TRUE(numeric);
  std::unique_ptr<Cursor> cursor = numeric->run({gbk("书库"), {"ID", gbk("大小")}, {{gbk("大小"), "3890"}}});
  EXPECT_EQ(all(*cursor, 2), (std::vector<std::vector<std::string>>{{"3", "3890"}}));
}

TEST_F(Driver, AllConditionsMustHold) {
  std::unique_ptr<Cursor> cursor = connection->run(
      {gbk("书库"), {gbk("大小")}, {{gbk("书名"), gbk("星辰变")}, {gbk("作者"), gbk("我吃西红柿")}}});
  EXPECT_EQ(all(*cursor, 1), (std::vector<std::vector<std::string>>{{"3.80MB"}, {"3.81MB"}}));
}

TEST_F(Driver, AnotherQueryEndsTheEarlierCursor) {
  std::unique_ptr<Cursor> first = connection->run(catalogue::categoryStatement(gbk("玄幻")).query);
  ASSERT_FALSE(first->atEnd());
  std::unique_ptr<Cursor> second = connection->run(catalogue::categoryStatement(gbk("武侠")).query);
  EXPECT_EQ(first->text(0), gbk("斗破苍穹"));  // the row already read stays readable
  first->next();
  EXPECT_TRUE(first->atEnd());
  EXPECT_EQ(all(*second, 1), (std::vector<std::vector<std::string>>{{gbk("天龙八部")}, {gbk("射雕英雄传")}}));
}

TEST_F(Driver, ACursorKeepsTheFileOpenAfterItsConnectionIsGone) {
  std::unique_ptr<Cursor> cursor = connection->run(catalogue::categoryStatement(gbk("武侠")).query);
  connection.reset();
  EXPECT_EQ(all(*cursor, 1), (std::vector<std::vector<std::string>>{{gbk("天龙八部")}, {gbk("射雕英雄传")}}));
}

TEST(DriverThreads, ConnectionsOnTwoThreadsDoNotDisturbEachOther) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue.mdb");
  auto count = [&](const char* category, std::size_t* rows) {
    for (int i = 0; i < 20; ++i) {
      std::unique_ptr<CatalogueConnection> connection = openCatalogue(path);
      if (!connection) return;
      std::unique_ptr<Cursor> cursor = connection->run(catalogue::categoryStatement(gbk(category)).query);
      std::size_t n = 0;
      for (; !cursor->atEnd(); cursor->next()) ++n;
      rows[i] = n;
    }
  };
  std::size_t fantasy[20] = {}, scifi[20] = {};
  std::thread other(count, "玄幻", fantasy);
  count("科幻", scifi);
  other.join();
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(fantasy[i], 7u);
    EXPECT_EQ(scifi[i], 2u);
  }
}

}  // namespace
}  // namespace tomeferry::platform
