#include "platform/mdb_table_definition.h"

namespace tomeferry::platform::mdb {

TableDefinition::TableDefinition(MdbCatalogEntry* entry) {
  if (entry == nullptr) return;
  table_ = mdb_read_table(entry);
  if (table_ == nullptr) return;
  // mdbtools cracks every row into a fixed array of MDB_MAX_COLS fields, trusting the
  // column count that the definition page states.
  bool trusted = table_->num_cols > 0 && table_->num_cols <= MDB_MAX_COLS;
  if (trusted) {
    GPtrArray* columns = mdb_read_columns(table_);
    trusted = columns != nullptr && columns->len == table_->num_cols;
  }
  if (!trusted) {
    mdb_free_tabledef(table_);
    table_ = nullptr;
  }
}

TableDefinition::~TableDefinition() {
  if (table_ != nullptr) mdb_free_tabledef(table_);
}

}  // namespace tomeferry::platform::mdb
