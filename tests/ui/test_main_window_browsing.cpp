// Category browsing: a left click anywhere in the category list lists the category then
// selected; the keyboard and the right button list nothing.
#include <QtTest>

#include "main_window_fixture.h"

using namespace tomeferry;
using tomeferry::test::gbk;

namespace {

std::vector<test::CatalogueRow> inCategory(const std::string& category) {
  return test::catalogueRowsWhere([&](const test::CatalogueRow& row) { return row.category == category; });
}

}  // namespace

class MainWindowBrowsingTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void clickOnACategoryListsItsBooks_data();
  void clickOnACategoryListsItsBooks();
  void clickOnTheSelectedCategoryListsAgain();
  void clickBelowTheRowsListsTheEmptyCategory();
  void keyboardMovesListNothing();
  void rightClickListsNothing();
  void noListEverHasTwoSelectedRows();

 private:
  std::unique_ptr<test::CreatedWindow> created_;
  ui::MainWindow* window_ = nullptr;
};

void MainWindowBrowsingTest::init() {
  created_ = std::make_unique<test::CreatedWindow>();
  window_ = created_->window.get();
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_));
}

void MainWindowBrowsingTest::cleanup() { created_.reset(); }

void MainWindowBrowsingTest::clickOnACategoryListsItsBooks_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("category");
  QTest::newRow("奇幻") << 1 << "奇幻";
  QTest::newRow("武侠, two books") << 2 << "武侠";
  QTest::newRow("都市, 乗 with a backslash trail byte") << 4 << "都市";
  QTest::newRow("科幻") << 10 << "科幻";
  QTest::newRow("剧本, no books") << 13 << "剧本";
  QTest::newRow("经典, an empty title") << 15 << "经典";
}

void MainWindowBrowsingTest::clickOnACategoryListsItsBooks() {
  QFETCH(int, row);
  QFETCH(QString, category);
  ui::ReportView& list = window_->categoryList();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, test::rowCentre(list, row));
  QCOMPARE(list.firstSelectedRow(), row);
  QCOMPARE(test::differenceFromListing(window_->bookList(), inCategory(gbk(category.toUtf8().constData()))),
           std::string());
  QCOMPARE(window_->pages().currentIndex(), 0);
  QCOMPARE(window_->searchList().reportModel()->rowCount(), 0);
}

void MainWindowBrowsingTest::clickOnTheSelectedCategoryListsAgain() {
  // A newer catalogue arrives while 玄幻 is selected: clicking it again shows the new books.
  created_->directory.installCatalogue("catalogue-new");
  ui::ReportView& list = window_->categoryList();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, test::rowCentre(list, 0));
  QCOMPARE(window_->bookList().reportModel()->rowCount(), 3);
  QCOMPARE(window_->bookList().cellText(0, 0), std::string("1"));
  QCOMPARE(window_->bookList().cellText(0, 1), gbk("大主宰"));
  QCOMPARE(window_->bookList().cellText(2, 1), gbk("斗破苍穹"));
  QCOMPARE(window_->bookList().cellText(2, 3), std::string("5.20MB"));
}

void MainWindowBrowsingTest::clickBelowTheRowsListsTheEmptyCategory() {
  ui::ReportView& list = window_->categoryList();
  const QPoint below = test::belowRows(list);
  QVERIFY2(list.viewport()->rect().contains(below), "the list shows no area below its rows");
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
  QCOMPARE(list.firstSelectedRow(), -1);
  // The catalogue holds one book whose category is the empty text.
  const auto uncategorised = inCategory("");
  QCOMPARE(uncategorised.size(), std::size_t(1));
  QCOMPARE(test::differenceFromListing(window_->bookList(), uncategorised), std::string());
}

void MainWindowBrowsingTest::keyboardMovesListNothing() {
  ui::ReportView& list = window_->categoryList();
  list.setFocus();
  QTRY_VERIFY(list.hasFocus());
  QTest::keyClick(&list, Qt::Key_Down);
  QTest::keyClick(&list, Qt::Key_Down);
  QCOMPARE(list.firstSelectedRow(), 2);
  QTest::keyClick(&list, Qt::Key_End);
  QCOMPARE(list.firstSelectedRow(), 15);
  QTest::keyClick(&list, Qt::Key_Space);
  QTest::keyClick(&list, Qt::Key_Return);
  QCOMPARE(test::differenceFromListing(window_->bookList(), inCategory(gbk("玄幻"))), std::string());
}

void MainWindowBrowsingTest::rightClickListsNothing() {
  ui::ReportView& list = window_->categoryList();
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, test::rowCentre(list, 2));
  QCOMPARE(list.firstSelectedRow(), 2);
  QTest::mouseClick(list.viewport(), Qt::MiddleButton, {}, test::rowCentre(list, 4));
  QCOMPARE(test::differenceFromListing(window_->bookList(), inCategory(gbk("玄幻"))), std::string());
}

void MainWindowBrowsingTest::noListEverHasTwoSelectedRows() {
  for (ui::ReportView* list : {&window_->bookList(), &window_->categoryList()}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, test::rowCentre(*list, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, test::rowCentre(*list, 3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, test::rowCentre(*list, 5));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(list->selectionModel()->selectedRows().size() <= 1);
  }
}

QTEST_MAIN(MainWindowBrowsingTest)
#include "test_main_window_browsing.moc"
