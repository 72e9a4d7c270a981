#include "platform/mdb_table_definition.h"

namespace tomeferry::platform::mdb {
namespace {

// The table scan walks the usage map (the bitmap of the table's data pages) without
// looking at its length: a damaged definition page that yields an empty map made
// mdbtools read through a null pointer. A map is a type byte, then either a first page
// number and a bitmap (type 0) or the numbers of the pages holding the bitmap (type 1).
bool usageMapIsSound(const MdbTableDef* table) {
  constexpr std::size_t kTypeAndFirstEntry = 5;
  if (table->usage_map == nullptr || table->map_sz < kTypeAndFirstEntry) return false;
  return table->usage_map[0] == 0 || table->usage_map[0] == 1;
}

}  // namespace

TableDefinition::TableDefinition(MdbCatalogEntry* entry) {
  if (entry == nullptr) return;
  table_ = mdb_read_table(entry);
  if (table_ == nullptr) return;
  // mdbtools cracks every row into a fixed array of MDB_MAX_COLS fields, trusting the
  // column count that the definition page states.
  bool trusted = table_->num_cols > 0 && table_->num_cols <= MDB_MAX_COLS && usageMapIsSound(table_);
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
