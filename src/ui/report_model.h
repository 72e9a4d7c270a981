#pragma once
// A table model whose cells are GBK texts, as every text of the program is.
#include <QAbstractTableModel>
#include <QStringList>
#include <string>

namespace tomeferry::ui {

class ReportModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // One column per header text, all left-aligned.
  ReportModel(QStringList headers, QObject* parent);

  // The cell's whole text; "" for a row or column that does not exist.
  virtual std::string cellText(int row, int column) const = 0;

  int columnCount(const QModelIndex& parent = {}) const override;
  // Cells become QStrings only when a view asks for them, so listing tens of thousands
  // of rows costs no more than reading them.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QStringList headers_;
};

}  // namespace tomeferry::ui
