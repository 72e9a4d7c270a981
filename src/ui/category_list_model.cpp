#include "ui/category_list_model.h"

namespace tomeferry::ui {

CategoryListModel::CategoryListModel(QObject* parent) : ReportModel(parent) {}

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

int CategoryListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant CategoryListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return displayText(cellText(index.row(), index.column()));
}

QVariant CategoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section != 0) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  return QStringLiteral(" ");
}

}  // namespace tomeferry::ui
