#pragma once
// Rows of the category list: one GBK name per row in its only column.
#include <vector>

#include "ui/report_model.h"

namespace tomeferry::ui {

class CategoryListModel final : public ReportModel {
  Q_OBJECT
 public:
  explicit CategoryListModel(QObject* parent = nullptr);

  // Adds a row with `name` after the existing ones; returns its index.
  int appendRow(std::string name);

  std::string cellText(int row, int column) const override;

  int rowCount(const QModelIndex& parent = {}) const override;

 private:
  std::vector<std::string> names_;
};

}  // namespace tomeferry::ui
