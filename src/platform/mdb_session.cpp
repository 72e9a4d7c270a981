#include "platform/mdb_session.h"

#include <cstring>

#include "platform/mdb_file_check.h"

namespace tomeferry::platform::mdb {

std::shared_ptr<Session> Session::open(const std::string& path) {
  useGbkTexts();
  if (!plausibleAccessFile(path)) return nullptr;
  MdbHandle* handle = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handle == nullptr) return nullptr;
  std::shared_ptr<Session> session(new Session(handle));
  if (mdb_read_catalog(handle, MDB_TABLE) == nullptr) return nullptr;
  return session;
}

Session::~Session() { mdb_close(handle_); }

MdbCatalogEntry* Session::findTable(const std::string& name) const {
  GPtrArray* catalog = handle_->catalog;
  if (catalog == nullptr) return nullptr;
  for (guint i = 0; i < catalog->len; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
    if (entry != nullptr && entry->object_type == MDB_TABLE && std::strlen(entry->object_name) == name.size() &&
        std::memcmp(entry->object_name, name.data(), name.size()) == 0)
      return entry;
  }
  return nullptr;
}

}  // namespace tomeferry::platform::mdb
