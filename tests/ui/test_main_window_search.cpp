// Search by title and by author: exact matches of the edit box's whole text, shown on
// the page "搜索列表".
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

#include "main_window_fixture.h"
#include "platform/text_encoding.h"

using namespace tomeferry;
using tomeferry::test::gbk;

Q_DECLARE_METATYPE(std::vector<int>)

class MainWindowSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void buttonsListExactMatches_data();
  void buttonsListExactMatches();
  void secondSearchReplacesTheFirst();
  void searchLeavesTheBookPageAlone();
  void titleOf255CharactersIsFoundAndDownloaded();
};

void MainWindowSearchTest::buttonsListExactMatches_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("text");
  QTest::addColumn<std::vector<int>>("ids");  // catalogue IDs in the expected order
  QTest::newRow("title") << "按钮1" << "斗破苍穹" << std::vector<int>{1};
  QTest::newRow("title held by three rows") << "按钮1" << "星辰变" << std::vector<int>{2, 3, 4};
  QTest::newRow("author") << "按钮2" << "我吃西红柿" << std::vector<int>{2, 3, 6};
  QTest::newRow("author with a middle dot") << "按钮2" << "乔治·马丁" << std::vector<int>{8};
  QTest::newRow("title outside GB2312") << "按钮1" << "龍族" << std::vector<int>{5};
  QTest::newRow("title with a 0x5C trail byte") << "按钮1" << "乗风破浪" << std::vector<int>{12};
  QTest::newRow("title with a quote") << "按钮1" << "Bob's Game" << std::vector<int>{16};
  QTest::newRow("quote that would widen a statement") << "按钮1" << "' or 类型<>'" << std::vector<int>{};
  QTest::newRow("a'b") << "按钮1" << "a'b" << std::vector<int>{};
  QTest::newRow("trailing blank is kept") << "按钮1" << "诡秘之主 " << std::vector<int>{7};
  QTest::newRow("without the title's blank") << "按钮1" << "诡秘之主" << std::vector<int>{};
  QTest::newRow("part of a title") << "按钮1" << "星辰" << std::vector<int>{};
  QTest::newRow("letter case counts") << "按钮1" << "abc" << std::vector<int>{};
  QTest::newRow("empty title") << "按钮1" << "" << std::vector<int>{25};
  QTest::newRow("title given to the author search") << "按钮2" << "斗破苍穹" << std::vector<int>{};
}

void MainWindowSearchTest::buttonsListExactMatches() {
  QFETCH(QString, button);
  QFETCH(QString, text);
  QFETCH(std::vector<int>, ids);
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));

  window.searchText().setFocus();
  test::typeText(&window.searchText(), text);
  QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);

  QCOMPARE(window.pages().currentIndex(), 1);
  QVERIFY(window.searchList().isVisible());
  QVERIFY(!window.bookList().isVisible());
  QVERIFY(!window.categoryList().isVisible());
  QCOMPARE(window.searchText().text(), text);
  const auto expected = test::catalogueRowsWhere([&](const test::CatalogueRow& row) {
    return std::find(ids.begin(), ids.end(), row.id) != ids.end();
  });
  QCOMPARE(test::differenceFromListing(window.searchList(), expected), std::string());
}

void MainWindowSearchTest::secondSearchReplacesTheFirst() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.searchText().setText(QStringLiteral("金庸"));
  window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
  QCOMPARE(window.searchList().reportModel()->rowCount(), 2);
  window.searchText().setText(QStringLiteral("刘慈欣"));
  window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
  const auto expected = test::catalogueRowsWhere([](const auto& row) { return row.author == gbk("刘慈欣"); });
  QCOMPARE(test::differenceFromListing(window.searchList(), expected), std::string());
  // Switching pages keeps the rows.
  window.pages().setCurrentIndex(0);
  window.pages().setCurrentIndex(1);
  QCOMPARE(test::differenceFromListing(window.searchList(), expected), std::string());
}

void MainWindowSearchTest::searchLeavesTheBookPageAlone() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.categoryList().selectRow(2);
  window.searchText().setText(QStringLiteral("三体"));
  window.findChild<QPushButton*>(QStringLiteral("按钮1"))->click();
  QCOMPARE(window.searchList().reportModel()->rowCount(), 1);
  window.pages().setCurrentIndex(0);
  QCOMPARE(window.categoryList().firstSelectedRow(), 2);
  QCOMPARE(test::differenceFromListing(window.bookList(), test::catalogueRowsWhere([](const auto& row) {
             return row.category == gbk("玄幻");
           })),
           std::string());
}

// 255 characters are 510 GBK bytes: more than an SQL text literal of the reader library holds.
void MainWindowSearchTest::titleOf255CharactersIsFoundAndDownloaded() {
  const auto rows = test::catalogueRows("catalogue-long-title");
  const auto longest = std::max_element(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.title.size() < b.title.size();
  });
  QCOMPARE(longest->title.size(), std::size_t(510));
  test::CreatedWindow created("catalogue-long-title");
  ui::MainWindow& window = *created.window;
  window.searchText().setText(QString::fromStdString(platform::gbkToUtf8(longest->title)));
  window.findChild<QPushButton*>(QStringLiteral("按钮1"))->click();
  QCOMPARE(test::differenceFromListing(window.searchList(), {*longest}), std::string());

  window.searchList().selectRow(0);
  window.downloadSelectedBook();
  QCOMPARE(created.opener.opened, std::vector<std::string>{longest->address});
}

QTEST_MAIN(MainWindowSearchTest)
#include "test_main_window_search.moc"
