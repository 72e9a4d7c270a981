#include "ui/book_list_model.h"

#include <iterator>

namespace tomeferry::ui {

BookListModel::BookListModel(QObject* parent)
    : ReportModel({QStringLiteral("ID"), QStringLiteral("书名"), QStringLiteral("作者"),
                   QStringLiteral("压缩包大小")},
                  parent) {}

void BookListModel::removeAllRows() {
  beginResetModel();
  rows_.clear();
  rows_.shrink_to_fit();  // a long category listed once should not keep its memory forever
  endResetModel();
}

void BookListModel::appendRows(std::vector<catalogue::BookRow> rows) {
  if (rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  if (rows_.empty()) {
    rows_ = std::move(rows);
  } else {
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
  }
  endInsertRows();
}

std::string BookListModel::cellText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  const catalogue::BookRow& book = rows_[static_cast<std::size_t>(row)];
  switch (column) {
    case 0: return std::to_string(row + 1);  // the row's place in this listing, from 1
    case 1: return book.title;
    case 2: return book.author;
    case 3: return book.size;
    default: return {};
  }
}

int BookListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

}  // namespace tomeferry::ui
