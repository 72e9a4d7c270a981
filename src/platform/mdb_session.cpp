#include "platform/mdb_session.h"

#include <cstdio>
#include <cstring>

#include "platform/mdb_table_definition.h"

namespace tomeferry::platform::mdb {
namespace {

// Reading the catalogue scans the system table MSysObjects, whose definition is on page 2,
// as trustingly as any other scan; its definition gets the same checks first.
bool systemCatalogueIsSound(MdbHandle* handle) {
  MdbCatalogEntry entry{};
  entry.mdb = handle;
  entry.object_type = MDB_TABLE;
  entry.table_pg = 2;
  std::snprintf(entry.object_name, sizeof entry.object_name, "%s", "MSysObjects");
  return TableDefinition(&entry).get() != nullptr;
}

}  // namespace

std::shared_ptr<Session> Session::open(const std::string& path, std::uint64_t maxImageSize) {
  useGbkTexts();
  std::unique_ptr<FileImage> image = FileImage::load(path, maxImageSize);
  if (!image) return nullptr;
  MdbHandle* handle = image->data() != nullptr ? mdb_open_buffer(image->data(), image->size(), MDB_NOFLAGS)
                                               : mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handle == nullptr) return nullptr;
  std::shared_ptr<Session> session(new Session(std::move(image), handle));
  if (!systemCatalogueIsSound(handle) || mdb_read_catalog(handle, MDB_TABLE) == nullptr) return nullptr;
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
