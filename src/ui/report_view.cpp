#include "ui/report_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>

namespace tomeferry::ui {

ReportView::ReportView(ReportModel* model, const std::vector<Column>& columns, QWidget* parent)
    : QTreeView(parent), model_(model) {
  model_->setParent(this);
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setIndentation(0);
  setUniformRowHeights(true);  // row heights are never measured one by one: long lists stay quick
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setAllColumnsShowFocus(true);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  viewport()->setAttribute(Qt::WA_Hover, false);  // no hot tracking

  // The header's buttons may be pressed, but they neither sort nor move.
  header()->setSectionsClickable(true);
  header()->setSectionsMovable(false);
  header()->setSortIndicatorShown(false);
  header()->setHighlightSections(false);
  header()->setStretchLastSection(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    header()->resizeSection(static_cast<int>(i), columns[i].width);
  }

  // The selected row is only marked while the list has the focus.
  QPalette colours = palette();
  colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Base));
  colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   colours.color(QPalette::Active, QPalette::Text));
  setPalette(colours);
}

std::string ReportView::cellText(int row, int column) const { return model_->cellText(row, column); }

int ReportView::firstSelectedRow() const {
  int lowest = -1;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    if (lowest < 0 || index.row() < lowest) lowest = index.row();
  }
  return lowest;
}

void ReportView::selectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  selectionModel()->setCurrentIndex(model_->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportView::mousePressEvent(QMouseEvent* event) {
  pressedHere_ |= event->button();
  QTreeView::mousePressEvent(event);
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
  // The view updates its selection for the press before this point, so a handler that
  // reads the selection sees the row just clicked, or none after a click below the rows.
  QTreeView::mouseReleaseEvent(event);
  const Qt::MouseButton button = event->button();
  const bool wasPressedHere = pressedHere_.testFlag(button);
  pressedHere_ &= ~button;
  if (!wasPressedHere || !viewport()->rect().contains(event->position().toPoint())) return;
  if (button == Qt::LeftButton) emit leftClicked();
  if (button == Qt::RightButton) emit rightClicked(event->globalPosition().toPoint());
}

}  // namespace tomeferry::ui
