#include "catalogue/statements.h"

#include <gtest/gtest.h>

#include "catalogue_fixtures.h"

namespace tomeferry::catalogue {
namespace {

using test::gbk;

struct TextCase {
  const char* name;
  Statement statement;
  std::string expected;  // GBK
};

TEST(Statements, TextsAreTheCataloguePublishersSqlByteForByte) {
  const TextCase cases[] = {
      {"category", categoryStatement(gbk("玄幻")), gbk("select * from 书库 where 类型='玄幻'")},
      {"empty category", categoryStatement(""), gbk("select * from 书库 where 类型=''")},
      {"title", titleStatement(gbk("斗破苍穹")), gbk("select * from 书库 where 书名='斗破苍穹'")},
      {"title, trailing blank kept", titleStatement(gbk("诡秘之主 ")), gbk("select * from 书库 where 书名='诡秘之主 '")},
      {"title, quote not doubled", titleStatement("a'b"), gbk("select * from 书库 where 书名='a'b'")},
      {"title, backslash trail byte", titleStatement(gbk("乗风破浪")), gbk("select * from 书库 where 书名='乗风破浪'")},
      {"author, two blanks", authorStatement(gbk("金庸")), gbk("select * from 书库 where  作者='金庸'")},
      {"author, injection text unchanged", authorStatement(gbk("' or 类型<>'")),
       gbk("select * from 书库 where  作者='' or 类型<>''")},
      {"lookup", lookupStatement(gbk("星辰变"), gbk("我吃西红柿")),
       gbk("select * from 书库 where 书名='星辰变' and 作者='我吃西红柿'")},
      {"lookup, empty texts", lookupStatement("", ""), gbk("select * from 书库 where 书名='' and 作者=''")},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.statement.text, c.expected) << c.name;
  EXPECT_NE(authorStatement("x").text.find("where  "), std::string::npos);
  EXPECT_EQ(titleStatement("x").text.find("where  "), std::string::npos);
}

std::vector<std::pair<std::string, std::string>> conditions(const platform::Query& query) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& c : query.where) out.emplace_back(c.column, c.value);
  return out;
}

TEST(Statements, QueriesCarryTheUserTextAsAValueNotAsSql) {
  const std::vector<std::string> listed = {gbk("书名"), gbk("作者"), gbk("大小")};
  const std::string text = gbk("' or 类型<>'");

  platform::Query category = categoryStatement(text).query;
  EXPECT_EQ(category.table, gbk("书库"));
  EXPECT_EQ(category.columns, listed);
  EXPECT_EQ(conditions(category), (std::vector<std::pair<std::string, std::string>>{{gbk("类型"), text}}));

  EXPECT_EQ(titleStatement(text).query.columns, listed);
  EXPECT_EQ(conditions(titleStatement(text).query),
            (std::vector<std::pair<std::string, std::string>>{{gbk("书名"), text}}));
  EXPECT_EQ(conditions(authorStatement(text).query),
            (std::vector<std::pair<std::string, std::string>>{{gbk("作者"), text}}));

  platform::Query lookup = lookupStatement(gbk("星辰变"), text).query;
  EXPECT_EQ(lookup.table, gbk("书库"));
  EXPECT_EQ(lookup.columns, std::vector<std::string>{gbk("下载地址")});
  EXPECT_EQ(conditions(lookup),
            (std::vector<std::pair<std::string, std::string>>{{gbk("书名"), gbk("星辰变")}, {gbk("作者"), text}}));
}

}  // namespace
}  // namespace tomeferry::catalogue
