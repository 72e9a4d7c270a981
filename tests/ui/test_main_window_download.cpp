// The download command: a right click on a selected book offers "下载", which hands the
// book's web address to the opener.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "main_window_fixture.h"

using namespace tomeferry;
using tomeferry::test::gbk;

class MainWindowDownloadTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void rightClickWithoutSelectionShowsNoMenu();
  void rightClickOnABookPopsTheMenuBesideThePointer();
  void downloadOpensTheSelectedBooksWebAddress_data();
  void downloadOpensTheSelectedBooksWebAddress();
  void downloadFollowsThePageInView();
  void realPopUpChoosesDownload();

 private:
  // Shows `list`'s page, selects `row` with a right click and chooses "下载" when it pops up.
  void rightClickAndChooseDownload(ui::ReportView& list, int row);

  std::unique_ptr<test::CreatedWindow> created_;
  ui::MainWindow* window_ = nullptr;
  std::vector<QPoint> popups_;
};

void MainWindowDownloadTest::init() {
  created_ = std::make_unique<test::CreatedWindow>();
  window_ = created_->window.get();
  popups_.clear();
  window_->setMenuPopup([this](QMenu& menu, const QPoint& at) {
    popups_.push_back(at);
    QCOMPARE(menu.objectName(), QStringLiteral("菜单"));
    menu.findChild<QAction*>(QStringLiteral("下载"))->trigger();
  });
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_));
}

void MainWindowDownloadTest::cleanup() { created_.reset(); }

void MainWindowDownloadTest::rightClickAndChooseDownload(ui::ReportView& list, int row) {
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, test::rowCentre(list, row));
}

void MainWindowDownloadTest::rightClickWithoutSelectionShowsNoMenu() {
  ui::ReportView& books = window_->bookList();
  QCOMPARE(books.firstSelectedRow(), -1);
  QTest::mouseClick(books.viewport(), Qt::RightButton, {}, test::belowRows(books));
  QCOMPARE(popups_.size(), std::size_t(0));

  window_->pages().setCurrentIndex(1);  // an empty search list
  QTest::mouseClick(window_->searchList().viewport(), Qt::RightButton, {}, QPoint(40, 40));
  QCOMPARE(popups_.size(), std::size_t(0));
  QCOMPARE(created_->opener.opened.size(), std::size_t(0));
}

void MainWindowDownloadTest::rightClickOnABookPopsTheMenuBesideThePointer() {
  ui::ReportView& books = window_->bookList();
  const QPoint at = test::rowCentre(books, 1);
  QTest::mouseClick(books.viewport(), Qt::RightButton, {}, at);
  QCOMPARE(books.firstSelectedRow(), 1);
  QCOMPARE(popups_, (std::vector<QPoint>{books.viewport()->mapToGlobal(at) + QPoint(3, 3)}));
  // A right click on another row moves the selection there before the menu pops up.
  QTest::mouseClick(books.viewport(), Qt::RightButton, {}, test::rowCentre(books, 3));
  QCOMPARE(books.firstSelectedRow(), 3);
  QCOMPARE(popups_.size(), std::size_t(2));
}

void MainWindowDownloadTest::downloadOpensTheSelectedBooksWebAddress_data() {
  QTest::addColumn<int>("category");  // row of the category list
  QTest::addColumn<int>("row");       // row of the book list
  QTest::addColumn<QString>("opened");  // "" when nothing may be opened
  QTest::newRow("http") << 0 << 0 << "http://dl.example.com/xuanhuan/dpcq.zip";
  QTest::newRow("same title and author: the first row's address") << 0 << 2
                                                                   << "http://dl.example.com/xuanhuan/xcb.zip";
  QTest::newRow("same title, other author") << 0 << 3 << "http://dl.example.com/xuanhuan/xcb-fan.zip";
  QTest::newRow("address with Chinese") << 5 << 0 << "http://dl.example.com/yanqing/何以笙箫默.zip";
  QTest::newRow("https") << 10 << 0 << "https://secure.example.org/kehuan/santi.zip";
  QTest::newRow("file address") << 11 << 0 << "";
  QTest::newRow("empty address") << 12 << 0 << "";
}

void MainWindowDownloadTest::downloadOpensTheSelectedBooksWebAddress() {
  QFETCH(int, category);
  QFETCH(int, row);
  QFETCH(QString, opened);
  ui::ReportView& categories = window_->categoryList();
  QTest::mouseClick(categories.viewport(), Qt::LeftButton, {}, test::rowCentre(categories, category));
  rightClickAndChooseDownload(window_->bookList(), row);
  QCOMPARE(popups_.size(), std::size_t(1));
  const std::vector<std::string> expected =
      opened.isEmpty() ? std::vector<std::string>{} : std::vector<std::string>{gbk(opened.toUtf8().constData())};
  QCOMPARE(created_->opener.opened, expected);
  QCOMPARE(window_->bookList().firstSelectedRow(), row);
}

void MainWindowDownloadTest::downloadFollowsThePageInView() {
  window_->searchText().setText(QStringLiteral("刘慈欣"));
  window_->findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
  rightClickAndChooseDownload(window_->searchList(), 1);  // 球状闪电
  QCOMPARE(created_->opener.opened, (std::vector<std::string>{"http://dl.example.com/kehuan/qzsd.zip"}));

  // Back on "书库", the book list is the source even though the search list has a selection.
  window_->pages().setCurrentIndex(0);
  rightClickAndChooseDownload(window_->bookList(), 4);  // 龍族
  QCOMPARE(created_->opener.opened.back(), std::string("http://dl.example.com/xuanhuan/longzu.zip"));

  // A book whose row left the catalogue after listing: the empty address opens nothing.
  created_->directory.installCatalogue("catalogue-new");
  rightClickAndChooseDownload(window_->bookList(), 4);
  QCOMPARE(created_->opener.opened.size(), std::size_t(2));
}

void MainWindowDownloadTest::realPopUpChoosesDownload() {
  window_->setMenuPopup([](QMenu& menu, const QPoint& at) { menu.exec(at); });
  bool popped = false;
  QTimer::singleShot(0, this, [&] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(popup != nullptr);
    QCOMPARE(popup->objectName(), QStringLiteral("菜单"));
    popped = true;
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
  });
  rightClickAndChooseDownload(window_->bookList(), 0);
  QVERIFY(popped);
  QVERIFY(QApplication::activePopupWidget() == nullptr);
  QCOMPARE(created_->opener.opened, (std::vector<std::string>{"http://dl.example.com/xuanhuan/dpcq.zip"}));
}

QTEST_MAIN(MainWindowDownloadTest)
#include "test_main_window_download.moc"
