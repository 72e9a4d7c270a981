#pragma once
// Rows of the book list and the search list: number, 书名, 作者, 大小.
//
// The rows stay GBK bytes; a cell becomes a QString only when a view paints it, so
// listing a category of tens of thousands of books costs no more than reading it.
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
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<catalogue::BookRow> rows_;
};

}  // namespace tomeferry::ui
