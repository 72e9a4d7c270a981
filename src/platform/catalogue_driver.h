#pragma once
// Read-only access to an Access (.mdb) catalogue file.
//
// A query names one table, the columns to read and a list of equality conditions.
// Values are compared byte for byte in GBK and are never parsed as SQL, so any
// text, quotes and all, is matched exactly and at any length.
#include <memory>
#include <string>
#include <vector>

namespace tomeferry::platform {

struct Condition {
  std::string column;  // GBK column name, matched exactly
  std::string value;   // GBK text the column must equal; a missing column or NULL reads as ""
};

struct Query {
  std::string table;                 // GBK table name
  std::vector<std::string> columns;  // GBK names of the columns to read
  std::vector<Condition> where;      // all must hold
};

// Rows of one query, in the order the file stores them.
class Cursor {
 public:
  virtual ~Cursor() = default;
  // True when there is no current row.
  virtual bool atEnd() const = 0;
  // Text of the i-th column of the query on the current row: NULL, a column the
  // table does not have, or no current row give ""; other kinds give their text form.
  virtual const std::string& text(std::size_t i) const = 0;
  // Moves to the next matching row; failures end the rows.
  virtual void next() = 0;
};

// One open catalogue file. The file stays open until the connection and every cursor it
// gave out are destroyed.
class CatalogueConnection {
 public:
  virtual ~CatalogueConnection() = default;
  // Never null: a query the file cannot answer (no such table, a damaged table) gives a
  // cursor at its end. One query at a time: running another ends the earlier cursors.
  virtual std::unique_ptr<Cursor> run(const Query& query) = 0;
  // True when the file holds a table of that name.
  virtual bool hasTable(const std::string& table) = 0;
  // True when the file holds a table of that name whose definition can be read and which
  // yields as many rows as the definition counts: a file cut short fails. Reads the whole
  // table and ends earlier cursors.
  virtual bool tableIsComplete(const std::string& table) = 0;
};

// How the file's pages reach the reader.
enum class PageReads {
  FromMemory,  // the whole file is read into memory first: fastest for browsing
  FromDisk,    // page by page: memory stays flat however large the file (checking a download)
};

// Opens `path` read-only; null when it is missing, not a regular file or not an Access file.
// Never crashes on a damaged file. Safe to call from any thread; texts are GBK.
std::unique_ptr<CatalogueConnection> openCatalogue(const std::string& path,
                                                   PageReads reads = PageReads::FromMemory);

}  // namespace tomeferry::platform
