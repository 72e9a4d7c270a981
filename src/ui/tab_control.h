#pragma once
// A tab control whose pages' controls are placed in the tab control's own client
// coordinates, tabs included, as on the system the window was first drawn for. Where
// the page area lies below the tabs depends on the style and font, so the controls are
// moved again whenever the tab control lays out its pages.
#include <QRect>
#include <QTabWidget>
#include <utility>
#include <vector>

namespace tomeferry::ui {

class TabControl final : public QTabWidget {
 public:
  explicit TabControl(QWidget* parent = nullptr) : QTabWidget(parent) {}
  // Puts `child` on page `page` at `inTabControl`.
  void place(int page, QWidget* child, const QRect& inTabControl);

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void relayout();
  std::vector<std::pair<QWidget*, QRect>> placed_;
};

}  // namespace tomeferry::ui
