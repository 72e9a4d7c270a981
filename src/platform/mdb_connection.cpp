// The catalogue driver on mdbtools' table scan. Its SQL layer is not used: its literals
// stop at 255 bytes and cannot hold a quote, and a user's search text must be matched
// whole and exactly, never parsed.
#include "platform/catalogue_driver.h"
#include "platform/mdb_session.h"
#include "platform/mdb_table_definition.h"
#include "platform/mdb_table_scan.h"

namespace tomeferry::platform {
namespace {

class MdbConnection final : public CatalogueConnection {
 public:
  explicit MdbConnection(std::shared_ptr<mdb::Session> session) : session_(std::move(session)) {}

  std::unique_ptr<Cursor> run(const Query& query) override {
    return std::make_unique<mdb::TableScan>(session_, session_->findTable(query.table), query);
  }

  bool hasTable(const std::string& table) override { return session_->findTable(table) != nullptr; }

  bool tableIsComplete(const std::string& table) override {
    MdbCatalogEntry* entry = session_->findTable(table);
    if (entry == nullptr) return false;
    mdb::TableDefinition definition(entry);
    MdbTableDef* def = definition.get();
    if (def == nullptr) return false;
    session_->beginScan();
    mdb_rewind_table(def);
    // A data page missing from the end of the file ends mdbtools' scan early and silently.
    unsigned rows = 0;
    while (rows <= def->num_rows && mdb_fetch_row(def)) ++rows;
    return rows == def->num_rows;
  }

 private:
  std::shared_ptr<mdb::Session> session_;
};

}  // namespace

std::unique_ptr<CatalogueConnection> openCatalogue(const std::string& path, PageReads reads) {
  std::shared_ptr<mdb::Session> session =
      mdb::Session::open(path, reads == PageReads::FromMemory ? mdb::kMaxImageSize : 0);
  if (!session) return nullptr;
  return std::make_unique<MdbConnection>(std::move(session));
}

}  // namespace tomeferry::platform
