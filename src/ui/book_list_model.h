#pragma once
// Rows of the book list and the search list: number, 书名, 作者, 大小.
#include <vector>

#include "catalogue/book_listing.h"
#include "ui/report_model.h"

namespace tomeferry::ui {

class BookListModel final : public ReportModel, public catalogue::BookList {
  Q_OBJECT
 public:
  explicit BookListModel(QObject* parent = nullptr);

  // catalogue::BookList
  void removeAllRows() override;
  void appendRows(std::vector<catalogue::BookRow> rows) override;

  std::string cellText(int row, int column) const override;

  int rowCount(const QModelIndex& parent = {}) const override;

 private:
  std::vector<catalogue::BookRow> rows_;
};

}  // namespace tomeferry::ui
