#include "catalogue/statements.h"

#include "catalogue/catalogue_names.h"

namespace tomeferry::catalogue {
namespace {

// "select * from 书库 where " in GBK; every statement starts with it.
const std::string& selectAllWhere() {
  static const std::string text = "select * from " + names::table() + " where ";
  return text;
}

platform::Query listingQuery(const std::string& column, const std::string& value) {
  return {names::table(), {names::title(), names::author(), names::size()}, {{column, value}}};
}

}  // namespace

Statement categoryStatement(const std::string& category) {
  return {selectAllWhere() + names::category() + "='" + category + "'",
          listingQuery(names::category(), category)};
}

Statement titleStatement(const std::string& title) {
  return {selectAllWhere() + names::title() + "='" + title + "'", listingQuery(names::title(), title)};
}

Statement authorStatement(const std::string& author) {
  // The second blank after "where" belongs to this statement.
  return {selectAllWhere() + " " + names::author() + "='" + author + "'", listingQuery(names::author(), author)};
}

Statement lookupStatement(const std::string& title, const std::string& author) {
  return {selectAllWhere() + names::title() + "='" + title + "' and " + names::author() + "='" + author + "'",
          {names::table(), {names::downloadAddress()}, {{names::title(), title}, {names::author(), author}}}};
}

}  // namespace tomeferry::catalogue
