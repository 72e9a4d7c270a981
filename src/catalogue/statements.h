#pragma once
// The four catalogue statements. Each carries its SQL text, as the catalogue's
// publishers know it, and the query the driver runs. The user's text goes into the
// query's condition as a value, never into SQL, so it cannot change the statement.
#include <string>

#include "platform/catalogue_driver.h"

namespace tomeferry::catalogue {

struct Statement {
  std::string text;          // GBK SQL text, for showing and checking
  platform::Query query;     // what is run; reads 书名, 作者, 大小 for listings
};

// "select * from 书库 where 类型='" + category + "'"
Statement categoryStatement(const std::string& category);
// "select * from 书库 where 书名='" + title + "'"
Statement titleStatement(const std::string& title);
// "select * from 书库 where  作者='" + author + "'" (two blanks after where)
Statement authorStatement(const std::string& author);
// "select * from 书库 where 书名='" + title + "' and 作者='" + author + "'"; reads 下载地址
Statement lookupStatement(const std::string& title, const std::string& author);

}  // namespace tomeferry::catalogue
