#pragma once
// A table model whose cells are GBK texts, as every text of the program is.
#include <QAbstractTableModel>
#include <string>

namespace tomeferry::ui {

class ReportModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  // The cell's whole text; "" for a row or column that does not exist.
  virtual std::string cellText(int row, int column) const = 0;

 protected:
  // Display text of a GBK cell, converted only when a view asks for it.
  static QString displayText(const std::string& gbk);
};

}  // namespace tomeferry::ui
