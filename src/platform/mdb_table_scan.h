#pragma once
// A query run as a scan of one table in storage order. Rows are compared before any
// column that the query reads is converted: a row that fails costs a text conversion per
// condition tested and no allocation. Values are compared after conversion to GBK, byte
// for byte, exactly as they would be read.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/catalogue_driver.h"
#include "platform/mdb_session.h"
#include "platform/mdb_table_definition.h"

namespace tomeferry::platform::mdb {

class TableScan final : public Cursor {
 public:
  // `entry` may be null (no such table): the scan is then at its end from the start.
  TableScan(std::shared_ptr<Session> session, MdbCatalogEntry* entry, const Query& query);
  TableScan(const TableScan&) = delete;
  TableScan& operator=(const TableScan&) = delete;

  bool atEnd() const override { return atEnd_; }
  const std::string& text(std::size_t i) const override;
  void next() override;

 private:
  // Where a column's value comes from on the current row.
  struct Source {
    MdbColumn* column = nullptr;        // null: the table has no such column, value ""
    std::unique_ptr<char[]> bound;      // kinds other than text: mdbtools' own text form
  };
  struct Test {
    std::size_t source;
    std::string value;
  };

  void prepare(const Query& query);
  std::size_t sourceFor(const std::string& name);
  std::string_view value(const Source& source);
  bool rowMatches();
  void finish();

  std::shared_ptr<Session> session_;  // first in, last out: the file outlives the table
  unsigned scan_ = 0;
  std::vector<Source> sources_;
  std::vector<std::size_t> reads_;  // source of each column the query reads
  std::vector<Test> tests_;
  std::vector<std::string> values_;
  std::unique_ptr<char[]> scratch_;
  std::size_t scratchSize_ = 0;
  // After the bound buffers, so that mdbtools lets go of them before they are freed.
  TableDefinition definition_;
  MdbTableDef* table_;
  bool atEnd_ = true;
};

}  // namespace tomeferry::platform::mdb
