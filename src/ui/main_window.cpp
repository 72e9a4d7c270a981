#include "ui/main_window.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

#include "catalogue/address_lookup.h"
#include "catalogue/book_listing.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/statements.h"
#include "ui/book_list_model.h"
#include "ui/category_list_model.h"
#include "ui/category_names.h"
#include "ui/gbk_text.h"
#include "ui/main_window_layout.h"
#include "ui/report_view.h"

namespace tomeferry::ui {

MainWindow::MainWindow(MainWindowContext context)
    : QWidget(nullptr),
      context_(std::move(context)),
      categories_(new CategoryListModel),
      books_(new BookListModel),
      results_(new BookListModel),
      menuPopup_([](QMenu& menu, const QPoint& at) { menu.exec(at); }) {
  const MainWindowControls controls =
      buildMainWindowControls(*this, {categories_, books_, results_});
  categoryList_ = controls.categoryList;
  bookList_ = controls.bookList;
  searchList_ = controls.searchList;
  pages_ = controls.pages;
  searchText_ = controls.searchText;
  menu_ = controls.menu;

  // Esc closes the window wherever the focus is; nothing may refuse.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);

  connect(categoryList_, &ReportView::leftClicked, this, &MainWindow::listSelectedCategory);
  connect(controls.titleButton, &QPushButton::clicked, this, &MainWindow::searchByTitle);
  connect(controls.authorButton, &QPushButton::clicked, this, &MainWindow::searchByAuthor);
  for (ReportView* list : {bookList_, searchList_}) {
    connect(list, &ReportView::rightClicked, this,
            [this, list](const QPoint& at) { popUpDownloadMenu(*list, at); });
  }
  connect(menu_->actions().front(), &QAction::triggered, this, &MainWindow::downloadSelectedBook);
}

void MainWindow::handleCreated() {
  if (context_.attachSkin) context_.attachSkin();
  for (std::string& name : categoryNames()) categories_->appendRow(std::move(name));
  categoryList_->selectRow(0);
  listSelectedCategory();
  // The first listing comes before any network access. When the check then installs a new
  // catalogue, the list would show books the new file may no longer hold, and "下载" would
  // find no address for them: list the category again from the new file.
  if (context_.startupCheck && context_.startupCheck(*this)) listSelectedCategory();
}

void MainWindow::listSelectedCategory() {
  const std::string category = categoryList_->cellText(categoryList_->firstSelectedRow(), 0);
  catalogue::listBooks(cataloguePath(), catalogue::categoryStatement(category), *books_);
}

void MainWindow::searchByTitle() {
  pages_->setCurrentIndex(1);  // the results page shows even when nothing is found
  const std::string text = toGbk(searchText_->text());
  catalogue::listBooks(cataloguePath(), catalogue::titleStatement(text), *results_);
}

void MainWindow::searchByAuthor() {
  pages_->setCurrentIndex(1);
  const std::string text = toGbk(searchText_->text());
  catalogue::listBooks(cataloguePath(), catalogue::authorStatement(text), *results_);
}

void MainWindow::popUpDownloadMenu(ReportView& list, const QPoint& globalPos) {
  if (list.firstSelectedRow() < 0) return;
  menuPopup_(*menu_, globalPos + QPoint(3, 3));
}

void MainWindow::downloadSelectedBook() {
  // Each book list lies on its own page, so the list in view is the one the user chose from.
  const ReportView& source = pages_->currentIndex() != 0 ? *searchList_ : *bookList_;
  const int row = source.firstSelectedRow();
  const std::string address = catalogue::lookupDownloadAddress(
      cataloguePath(), source.cellText(row, 1), source.cellText(row, 2));
  platform::openWebAddress(context_.opener, address);
}

std::string MainWindow::cataloguePath() const {
  return catalogue::catalogueFilePath(context_.programDir);
}

}  // namespace tomeferry::ui
