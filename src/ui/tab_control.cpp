#include "ui/tab_control.h"

#include <QEvent>

namespace tomeferry::ui {

void TabControl::place(int page, QWidget* child, const QRect& inTabControl) {
  child->setParent(widget(page));
  placed_.emplace_back(child, inTabControl);
  relayout();
}

bool TabControl::event(QEvent* event) {
  const bool handled = QTabWidget::event(event);
  switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::LayoutRequest:
      relayout();
      break;
    default:
      break;
  }
  return handled;
}

void TabControl::resizeEvent(QResizeEvent* event) {
  QTabWidget::resizeEvent(event);
  relayout();
}

void TabControl::showEvent(QShowEvent* event) {
  QTabWidget::showEvent(event);  // lays the pages out
  relayout();
}

void TabControl::relayout() {
  for (auto& [child, rect] : placed_) {
    const QWidget* page = child->parentWidget();
    child->setGeometry(rect.translated(-page->mapTo(this, QPoint(0, 0))));
  }
}

}  // namespace tomeferry::ui
