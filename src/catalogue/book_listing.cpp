#include "catalogue/book_listing.h"

namespace tomeferry::catalogue {

void listBooks(const std::string& cataloguePath, const Statement& statement, BookList& target) {
  target.removeAllRows();
  std::vector<BookRow> rows;
  {
    std::unique_ptr<platform::CatalogueConnection> connection = platform::openCatalogue(cataloguePath);
    if (!connection) return;
    std::unique_ptr<platform::Cursor> cursor = connection->run(statement.query);
    // Columns 0, 1 and 2 of every listing query are 书名, 作者 and 大小.
    for (; !cursor->atEnd(); cursor->next()) rows.push_back({cursor->text(0), cursor->text(1), cursor->text(2)});
  }  // the file is closed before the list sees a row
  if (!rows.empty()) target.appendRows(std::move(rows));
}

}  // namespace tomeferry::catalogue
