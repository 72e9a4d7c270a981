#pragma once
// The main window: category browsing, the two searches and the download command.
#include <QWidget>
#include <functional>
#include <string>

#include "platform/opener.h"

class QLineEdit;
class QMenu;
class QTabWidget;

namespace tomeferry::ui {

class BookListModel;
class CategoryListModel;
class ReportView;

// What the window needs from outside; tests hand in recording stand-ins.
struct MainWindowContext {
  std::string programDir;  // holds data/db1.mdb
  platform::Opener& opener;
  // Applies the theme; may end the program when the theme library is missing.
  std::function<void()> attachSkin;
  // The start-up update check, the creation handler's last step; gets the hidden window and
  // returns true when it replaced the catalogue.
  std::function<bool(QWidget& mainWindow)> startupCheck;
};

class MainWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowContext context);

  // The created event: once, after construction and before the window is first shown.
  void handleCreated();

  // Handlers of the window's events; public so that tests and benchmarks can time them.
  void listSelectedCategory();
  void searchByTitle();
  void searchByAuthor();
  void popUpDownloadMenu(ReportView& list, const QPoint& globalPos);
  void downloadSelectedBook();

  ReportView& categoryList() const { return *categoryList_; }
  ReportView& bookList() const { return *bookList_; }
  ReportView& searchList() const { return *searchList_; }
  QTabWidget& pages() const { return *pages_; }
  QLineEdit& searchText() const { return *searchText_; }
  QMenu& menu() const { return *menu_; }

  // How the menu "菜单" pops up at a screen position; by default a modal pop-up that
  // returns once it has closed. Tests replace it to choose an item without a pointer.
  using MenuPopup = std::function<void(QMenu& menu, const QPoint& globalPos)>;
  void setMenuPopup(MenuPopup popup) { menuPopup_ = std::move(popup); }

 private:
  std::string cataloguePath() const;

  MainWindowContext context_;
  CategoryListModel* categories_ = nullptr;
  BookListModel* books_ = nullptr;
  BookListModel* results_ = nullptr;
  ReportView* categoryList_ = nullptr;
  ReportView* bookList_ = nullptr;
  ReportView* searchList_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QLineEdit* searchText_ = nullptr;
  QMenu* menu_ = nullptr;
  MenuPopup menuPopup_;
};

}  // namespace tomeferry::ui
