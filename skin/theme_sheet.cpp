#include "theme_sheet.h"

namespace tomeferry::skin {

QString themeSheet() {
  // Sizes stay close to the platform's: the window places its controls by the pixel.
  return QStringLiteral(R"(
QWidget {
  font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif;
  font-size: 12px;
  color: #1f2a36;
}
QGroupBox {
  border: 1px solid #c5cfda;
  border-radius: 4px;
  background: #e6ecf2;
  margin-top: 0px;
}
QPushButton {
  border: 1px solid #9fb1c4;
  border-radius: 3px;
  padding: 2px 8px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfe, stop:1 #dfe7ef);
}
QPushButton:hover {
  border-color: #4f7ea8;
}
QPushButton:pressed {
  background: #cdd9e5;
}
QPushButton:focus {
  border-color: #4f7ea8;
}
QLineEdit {
  border: none;
  background: white;
  color: black;
  selection-background-color: #4f7ea8;
  selection-color: white;
}
QTabWidget::pane {
  border: 1px solid #b7c4d1;
  background: #f6f8fa;
  top: -1px;
}
QTabBar::tab {
  font-family: "WenQuanYi Micro Hei", sans-serif;
  font-size: 12px;
  padding: 3px 12px;
  border: 1px solid #b7c4d1;
  border-bottom: none;
  border-top-left-radius: 3px;
  border-top-right-radius: 3px;
  background: #dfe6ee;
  margin-right: 2px;
}
QTabBar::tab:selected {
  background: #f6f8fa;
  color: #12395e;
}
QTabBar::tab:!selected {
  margin-top: 2px;
}
QHeaderView::section {
  background: #e8edf3;
  border: none;
  border-right: 1px solid #c5cfda;
  border-bottom: 1px solid #c5cfda;
  padding: 2px 4px;
}
QHeaderView::section:pressed {
  background: #d3dde8;
}
QTreeView {
  border: 1px solid #a9b8c8;
  background: white;
  color: black;
}
QStatusBar {
  background: #e6ecf2;
  border-top: 1px solid #c5cfda;
}
QStatusBar::item {
  border: none;
}
QStatusBar QLabel {
  border: 1px solid #b7c4d1;
  border-right-color: #ffffff;
  border-bottom-color: #ffffff;
  padding-left: 4px;
}
QMenu {
  background: white;
  border: 1px solid #9fb1c4;
  padding: 2px;
}
QMenu::item {
  padding: 3px 24px 3px 16px;
}
QMenu::item:selected {
  background: #4f7ea8;
  color: white;
}
QProgressBar {
  border: 1px solid #9fb1c4;
  border-radius: 3px;
  background: white;
  text-align: center;
}
QProgressBar::chunk {
  background: #6c9bc4;
}
)");
}

}  // namespace tomeferry::skin
