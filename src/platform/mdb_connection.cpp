// The catalogue driver on mdbtools' table scan. Its SQL layer is not used: its literals
// stop at 255 bytes and cannot hold a quote, and a user's search text must be matched
// whole and exactly, never parsed.
#include "platform/catalogue_driver.h"
#include "platform/mdb_session.h"
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

 private:
  std::shared_ptr<mdb::Session> session_;
};

}  // namespace

std::unique_ptr<CatalogueConnection> openCatalogue(const std::string& path) {
  std::shared_ptr<mdb::Session> session = mdb::Session::open(path);
  if (!session) return nullptr;
  return std::make_unique<MdbConnection>(std::move(session));
}

}  // namespace tomeferry::platform
