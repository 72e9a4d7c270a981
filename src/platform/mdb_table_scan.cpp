#include "platform/mdb_table_scan.h"

#include <algorithm>
#include <cstring>

namespace tomeferry::platform::mdb {

TableScan::TableScan(std::shared_ptr<Session> session, MdbCatalogEntry* entry, const Query& query)
    : session_(std::move(session)), values_(query.columns.size()), definition_(entry), table_(definition_.get()) {
  if (table_ == nullptr) return;
  prepare(query);
  scan_ = session_->beginScan();
  mdb_rewind_table(table_);
  atEnd_ = false;
  next();
}

void TableScan::prepare(const Query& query) {
  MdbHandle* mdb = session_->handle();
  scratchSize_ = std::max<std::size_t>(mdb->bind_size, 2 * static_cast<std::size_t>(mdb->fmt->pg_size)) + 1;
  scratch_ = std::make_unique<char[]>(scratchSize_);
  for (const std::string& name : query.columns) reads_.push_back(sourceFor(name));
  for (const Condition& condition : query.where) tests_.push_back({sourceFor(condition.column), condition.value});
}

std::size_t TableScan::sourceFor(const std::string& name) {
  MdbColumn* column = nullptr;
  guint index = 0;
  for (; index < table_->columns->len; ++index) {
    auto* candidate = static_cast<MdbColumn*>(g_ptr_array_index(table_->columns, index));
    if (std::strlen(candidate->name) == name.size() && std::memcmp(candidate->name, name.data(), name.size()) == 0) {
      column = candidate;
      break;
    }
  }
  for (std::size_t i = 0; i < sources_.size(); ++i)
    if (sources_[i].column == column) return i;

  Source source;
  source.column = column;
  // Text columns are converted by hand, and only on rows that need them. Other kinds are
  // bound, so mdbtools writes their usual text form ("5120" for a Long Integer) on every
  // row; catalogue columns are text, so this stays the exception.
  if (column != nullptr && column->col_type != MDB_TEXT && column->col_type != MDB_OLE) {
    source.bound = std::make_unique<char[]>(session_->handle()->bind_size + 1);
    mdb_bind_column(table_, static_cast<int>(index) + 1, source.bound.get(), nullptr);
  }
  sources_.push_back(std::move(source));
  return sources_.size() - 1;
}

std::string_view TableScan::value(const Source& source) {
  MdbColumn* column = source.column;
  if (column == nullptr) return {};
  if (source.bound) return {source.bound.get(), strnlen(source.bound.get(), session_->handle()->bind_size)};
  if (column->col_type != MDB_TEXT) return {};  // binary data has no text form

  // mdb_fetch_row notes where every column's value lies in the current page, bound or not.
  MdbHandle* mdb = session_->handle();
  int start = column->cur_value_start;
  int length = column->cur_value_len;  // 0 for NULL as for the empty text
  if (length <= 0) return {};
  // A damaged row can point outside its page; such a value reads as empty.
  if (start < 0 || start + length > mdb->fmt->pg_size) return {};
  int converted = mdb_unicode2ascii(mdb, reinterpret_cast<const char*>(mdb->pg_buf) + start,
                                    static_cast<std::size_t>(length), scratch_.get(), scratchSize_);
  if (converted <= 0) return {};
  return {scratch_.get(), std::min(static_cast<std::size_t>(converted), scratchSize_ - 1)};
}

bool TableScan::rowMatches() {
  for (const Test& test : tests_)
    if (value(sources_[test.source]) != test.value) return false;
  return true;
}

void TableScan::next() {
  if (atEnd_) return;
  if (!session_->isCurrentScan(scan_)) return finish();
  while (mdb_fetch_row(table_)) {
    if (!rowMatches()) continue;
    for (std::size_t i = 0; i < reads_.size(); ++i) values_[i].assign(value(sources_[reads_[i]]));
    return;
  }
  finish();
}

void TableScan::finish() {
  atEnd_ = true;
  for (std::string& v : values_) v.clear();
}

const std::string& TableScan::text(std::size_t i) const {
  static const std::string kEmpty;
  return i < values_.size() ? values_[i] : kEmpty;
}

}  // namespace tomeferry::platform::mdb
