#pragma once
#include "platform/mdb_library.h"

namespace tomeferry::platform::mdb {

// A table's definition and columns, read with the checks mdbtools leaves out.
class TableDefinition {
 public:
  // `entry` may be null. get() is null when the definition cannot be read or cannot be
  // trusted.
  explicit TableDefinition(MdbCatalogEntry* entry);
  ~TableDefinition();
  TableDefinition(const TableDefinition&) = delete;
  TableDefinition& operator=(const TableDefinition&) = delete;

  MdbTableDef* get() const { return table_; }

 private:
  MdbTableDef* table_ = nullptr;
};

}  // namespace tomeferry::platform::mdb
