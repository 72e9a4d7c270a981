// Writes catalogue-long-title.mdb: a copy of catalogue.mdb whose row 26 has a title of 255
// characters (510 bytes in GBK, 510 bytes of UCS-2 in the file) instead of "无名之书".
//
//   make_long_title_fixture tests/data/catalogue.mdb tests/data/catalogue-long-title.mdb
//
// No Access writer is at hand, so the row is rewritten with mdbtools' own row packing:
// the row is cracked into its fields, the title field is replaced and the row is packed
// and put back in place on its data page. mdb_update_row would do the same but refuses
// the title column because it mistakes it for the indexed ID column.
#include <glib.h>
#include <mdbtools.h>

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

std::string convert(const std::string& text, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  std::string out(text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* dst = out.data();
  std::size_t outLeft = out.size();
  if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) std::perror("iconv");
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::string longTitle() {
  std::string title = "乗风破浪";
  for (int i = 0; i < 250; ++i) title += "长";
  return title + "终";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s catalogue.mdb catalogue-long-title.mdb\n", argv[0]);
    return 2;
  }
  std::filesystem::copy_file(argv[1], argv[2], std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(argv[2], std::filesystem::perms::owner_write, std::filesystem::perm_options::add);

  setenv("MDBICONV", "UTF-8", 1);
  MdbHandle* mdb = mdb_open(argv[2], MDB_WRITABLE);
  if (mdb == nullptr || mdb_read_catalog(mdb, MDB_TABLE) == nullptr) return 1;
  char tableName[] = "书库";
  MdbTableDef* table = mdb_read_table_by_name(mdb, tableName, MDB_TABLE);
  if (table == nullptr || mdb_read_columns(table) == nullptr) return 1;
  mdb_read_indices(table);

  static char title[MDB_BIND_SIZE];
  int titleLength = 0;
  mdb_bind_column(table, 2, title, &titleLength);  // 书名
  std::string replacement = convert(longTitle(), "UCS-2LE", "UTF-8");
  mdb_rewind_table(table);
  while (mdb_fetch_row(table)) {
    if (std::strcmp(title, "无名之书") != 0) continue;
    int row = static_cast<int>(table->cur_row) - 1;
    int start = 0;
    std::size_t size = 0;
    mdb_find_row(mdb, row, &start, &size);
    MdbField fields[MDB_MAX_COLS];
    int count = mdb_crack_row(table, start & 0x1fff, size, fields);
    fields[1].value = replacement.data();
    fields[1].siz = static_cast<int>(replacement.size());
    fields[1].is_null = 0;
    unsigned char packed[MDB_PGSIZE];
    int packedSize = mdb_pack_row(table, packed, count, fields);
    if (mdb_replace_row(table, row, packed, packedSize) != 0) return 1;
    std::printf("row %d: title replaced, %zu bytes of UCS-2\n", row + 1, replacement.size());
    mdb_free_tabledef(table);
    mdb_close(mdb);
    return 0;
  }
  std::fprintf(stderr, "row not found\n");
  return 1;
}
