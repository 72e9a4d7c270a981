#include "ui/category_list_model.h"

namespace tomeferry::ui {

CategoryListModel::CategoryListModel(QObject* parent) : ReportModel({QStringLiteral(" ")}, parent) {}

int CategoryListModel::appendRow(std::string name) {
  const int row = static_cast<int>(names_.size());
  beginInsertRows({}, row, row);
  names_.push_back(std::move(name));
  endInsertRows();
  return row;
}

std::string CategoryListModel::cellText(int row, int column) const {
  if (column != 0 || row < 0 || row >= static_cast<int>(names_.size())) return {};
  return names_[static_cast<std::size_t>(row)];
}

int CategoryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_.size());
}

}  // namespace tomeferry::ui
