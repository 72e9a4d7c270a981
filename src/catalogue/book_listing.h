#pragma once
// Fills a book list from a statement: one row per result row, numbered from 1.
#include <string>
#include <vector>

#include "catalogue/statements.h"

namespace tomeferry::catalogue {

struct BookRow {  // GBK texts; the row number is its 1-based position in the list
  std::string title;   // 书名
  std::string author;  // 作者
  std::string size;    // 大小
};

// A list that shows book rows (the book list or the search list).
class BookList {
 public:
  virtual ~BookList() = default;
  virtual void removeAllRows() = 0;
  // Appends the rows after the existing ones, in order.
  virtual void appendRows(std::vector<BookRow> rows) = 0;
};

// Empties `target`, opens the catalogue at `cataloguePath`, runs `statement`, reads all its
// rows in the order the file delivers them and closes the catalogue; then hands the rows to
// `target` in one appendRows call (none when there are no rows). A missing or damaged
// catalogue leaves the list empty; nothing is reported. Nothing is kept between calls.
void listBooks(const std::string& cataloguePath, const Statement& statement, BookList& target);

}  // namespace tomeferry::catalogue
