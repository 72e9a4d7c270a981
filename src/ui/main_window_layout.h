#pragma once
// The controls of the main window, each named and placed as the catalogue's readers
// know the window: client coordinates of its parent, a 654 × 448 client area.
#include <QString>

class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tomeferry::ui {

class ReportView;
class ReportModel;

struct MainWindowControls {
  QLineEdit* searchText;     // 编辑框1
  QPushButton* titleButton;  // 按钮1 "搜小说"
  QPushButton* authorButton; // 按钮2 "搜作者"
  QTabWidget* pages;         // 高级选择夹1
  ReportView* categoryList;  // 超级列表框4
  ReportView* bookList;      // 超级列表框5
  ReportView* searchList;    // 超级列表框6
  QMenu* menu;               // 菜单, shown only as the book lists' pop-up
};

struct MainWindowModels {
  ReportModel* categories;
  ReportModel* books;
  ReportModel* results;
};

// Builds every control into `window` and sets the window's own frame, size and place.
MainWindowControls buildMainWindowControls(QWidget& window, const MainWindowModels& models);

// The notice in the status bar's one panel.
QString statusNotice();

}  // namespace tomeferry::ui
