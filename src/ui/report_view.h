#pragma once
// A list in report view: a column header, whole rows, one selected row at most.
#include <QPoint>
#include <QTreeView>
#include <string>
#include <vector>

#include "ui/report_model.h"

namespace tomeferry::ui {

class ReportView final : public QTreeView {
  Q_OBJECT
 public:
  struct Column {
    int width;
  };
  ReportView(ReportModel* model, const std::vector<Column>& columns, QWidget* parent);

  ReportModel* reportModel() const { return model_; }
  // The cell's whole text; "" for a row that does not exist.
  std::string cellText(int row, int column) const;
  // The lowest selected row, or -1.
  int firstSelectedRow() const;
  // Selects `row` alone and gives it the focus mark; -1 clears the selection. Emits no click.
  void selectRow(int row);

 signals:
  // A left click anywhere in the list's rows area, after the selection followed it.
  void leftClicked();
  // A right click anywhere in the rows area, after the selection followed its press.
  void rightClicked(const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ReportModel* model_;
  Qt::MouseButtons pressedHere_{};
};

}  // namespace tomeferry::ui
