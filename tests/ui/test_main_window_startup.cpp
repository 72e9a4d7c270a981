// The main window as it stands after its creation handler: names, places, texts, keys.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

#include "main_window_fixture.h"
#include "platform/text_encoding.h"
#include "ui/category_names.h"

using namespace tomeferry;
using tomeferry::test::gbk;

class MainWindowStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void creationHandlerFillsListsBeforeTheCheckAndTheShow();
  void catalogueReplacedByTheCheckIsListedAgain_data();
  void catalogueReplacedByTheCheckIsListedAgain();
  void categoryTextIsSplitAtLineEnds();
  void controlsHaveTheirNamesKindsAndPlaces_data();
  void controlsHaveTheirNamesKindsAndPlaces();
  void windowHasItsFrameTextsAndIcon();
  void listsHaveTheirColumns();
  void escapeClosesTheWindowWhereverTheFocusIs_data();
  void escapeClosesTheWindowWhereverTheFocusIs();
  void enterStartsNoSearch();
  void headerClickSortsNothing();
  void selectionIsHiddenWhileTheListHasNoFocus();
  void missingCatalogueLeavesEveryListEmpty();
};

void MainWindowStartupTest::creationHandlerFillsListsBeforeTheCheckAndTheShow() {
  test::ProgramDirectory directory;
  test::RecordingOpener opener;
  std::vector<std::string> steps;
  std::vector<std::string> categoriesAtCheck;
  std::string bookListAtCheck;
  int selectedAtCheck = -2;
  bool visibleAtCheck = true;
  QWidget* checkedWindow = nullptr;
  ui::MainWindow* created = nullptr;
  ui::MainWindow window({directory.path(), opener,
                         [&] {
                           steps.push_back("skin");
                           QCOMPARE(created->categoryList().reportModel()->rowCount(), 0);
                         },
                         [&](QWidget& mainWindow) {
                           steps.push_back("check");
                           checkedWindow = &mainWindow;
                           visibleAtCheck = mainWindow.isVisible();
                           for (int row = 0; row < created->categoryList().reportModel()->rowCount(); ++row) {
                             categoriesAtCheck.push_back(created->categoryList().cellText(row, 0));
                           }
                           selectedAtCheck = created->categoryList().firstSelectedRow();
                           bookListAtCheck = test::differenceFromListing(
                               created->bookList(), test::catalogueRowsWhere([](const test::CatalogueRow& row) {
                                 return row.category == gbk("玄幻");
                               }));
                           return false;
                         }});
  created = &window;
  window.handleCreated();

  QCOMPARE(steps, (std::vector<std::string>{"skin", "check"}));
  QCOMPARE(checkedWindow, static_cast<QWidget*>(&window));
  QVERIFY(!visibleAtCheck);
  const std::vector<std::string> expected{
      gbk("玄幻"), gbk("奇幻"), gbk("武侠"), gbk("仙侠"), gbk("都市"), gbk("言情"), gbk("历史"), gbk("军事"),
      gbk("游戏"), gbk("竞技"), gbk("科幻"), gbk("灵异"), gbk("女生"), gbk("剧本"), gbk("名著"), gbk("经典")};
  QCOMPARE(categoriesAtCheck, expected);
  QCOMPARE(selectedAtCheck, 0);
  QCOMPARE(window.categoryList().currentIndex().row(), 0);
  QCOMPARE(bookListAtCheck, std::string());
  QCOMPARE(window.bookList().cellText(0, 0), std::string("1"));
  QCOMPARE(window.searchList().reportModel()->rowCount(), 0);
  QCOMPARE(window.pages().currentIndex(), 0);
  QCOMPARE(opener.opened.size(), std::size_t(0));
}

void MainWindowStartupTest::catalogueReplacedByTheCheckIsListedAgain_data() {
  QTest::addColumn<bool>("replaced");
  QTest::addColumn<QString>("firstTitle");
  QTest::newRow("replaced") << true << QStringLiteral("大主宰");
  QTest::newRow("not replaced") << false << QStringLiteral("斗破苍穹");
}

// A check that installs another catalogue says so; the window then lists from the new file.
void MainWindowStartupTest::catalogueReplacedByTheCheckIsListedAgain() {
  QFETCH(bool, replaced);
  QFETCH(QString, firstTitle);
  test::ProgramDirectory directory("catalogue");
  test::RecordingOpener opener;
  ui::MainWindow window({directory.path(), opener, {}, [&](QWidget&) {
                           directory.installCatalogue("catalogue-new");
                           return replaced;
                         }});
  window.handleCreated();
  QCOMPARE(window.bookList().cellText(0, 1), platform::utf8ToGbk(firstTitle.toStdString()));
  QCOMPARE(window.bookList().cellText(0, 0), std::string("1"));
}

void MainWindowStartupTest::categoryTextIsSplitAtLineEnds() {
  std::size_t bytes = 0;
  for (const std::string& name : ui::categoryNames()) bytes += name.size();
  QCOMPARE(bytes + 15 * 2, std::size_t(94));
  QCOMPARE(ui::splitLines("a\r\nb\nc\r\n"), (std::vector<std::string>{"a", "b\nc", ""}));
  QCOMPARE(ui::splitLines(""), (std::vector<std::string>{""}));
}

void MainWindowStartupTest::controlsHaveTheirNamesKindsAndPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("parent");  // "" for the window itself
  QTest::addColumn<QRect>("place");     // in the parent's client coordinates
  QTest::newRow("分组框1") << "分组框1" << "QGroupBox" << "" << QRect(4, -1, 639, 44);
  QTest::newRow("图片框1") << "图片框1" << "QFrame" << "分组框1" << QRect(13, 11, 471, 24);
  QTest::newRow("编辑框1") << "编辑框1" << "QLineEdit" << "图片框1" << QRect(31, 1, 432, 20);
  QTest::newRow("图片框2") << "图片框2" << "QLabel" << "分组框1" << QRect(18, 14, 20, 20);
  QTest::newRow("按钮1") << "按钮1" << "QPushButton" << "分组框1" << QRect(495, 11, 64, 24);
  QTest::newRow("按钮2") << "按钮2" << "QPushButton" << "分组框1" << QRect(567, 11, 64, 24);
  QTest::newRow("高级选择夹1") << "高级选择夹1" << "QTabWidget" << "" << QRect(3, 45, 638, 379);
  QTest::newRow("超级列表框4") << "超级列表框4" << "QTreeView" << "高级选择夹1" << QRect(5, 29, 95, 342);
  QTest::newRow("超级列表框5") << "超级列表框5" << "QTreeView" << "高级选择夹1" << QRect(106, 29, 524, 342);
  QTest::newRow("超级列表框6") << "超级列表框6" << "QTreeView" << "高级选择夹1" << QRect(3, 26, 634, 329);
  QTest::newRow("状态条1") << "状态条1" << "QStatusBar" << "" << QRect(0, 428, 654, 20);
}

void MainWindowStartupTest::controlsHaveTheirNamesKindsAndPlaces() {
  QFETCH(QString, name);
  QFETCH(QString, kind);
  QFETCH(QString, parent);
  QFETCH(QRect, place);
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  if (name == "超级列表框6") window.pages().setCurrentIndex(1);

  auto* control = window.findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
  QVERIFY(control->isVisible());
  QWidget* parentWidget = parent.isEmpty() ? static_cast<QWidget*>(&window) : window.findChild<QWidget*>(parent);
  QVERIFY(parentWidget != nullptr);
  QVERIFY(parentWidget->isAncestorOf(control));
  // The search field's client area lies inside its border; the other parents have none.
  const QPoint clientOrigin = parent == "图片框1" ? parentWidget->contentsRect().topLeft() : QPoint(0, 0);
  const QRect actual(control->mapTo(parentWidget, QPoint(0, 0)) - clientOrigin, control->size());
  QCOMPARE(actual, place);
}

void MainWindowStartupTest::windowHasItsFrameTextsAndIcon() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  QCOMPARE(window.windowTitle(), QStringLiteral("Tomeferry V4.0"));
  QCOMPARE(window.size(), QSize(654, 448));
  QCOMPARE(window.minimumSize(), window.maximumSize());
  QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(window.findChild<QMenuBar*>() == nullptr);
  QVERIFY(window.findChild<QWidget*>(QStringLiteral("超文本浏览框1")) == nullptr);

  for (int size : {16, 32, 48, 128}) QVERIFY(window.windowIcon().availableSizes().contains(QSize(size, size)));
  const auto* icon = window.findChild<QLabel*>(QStringLiteral("图片框2"));
  QCOMPARE(icon->pixmap().size(), QSize(20, 20));

  QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("按钮1"))->text(), QStringLiteral("搜小说"));
  QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("按钮2"))->text(), QStringLiteral("搜作者"));
  for (auto* button : window.findChildren<QPushButton*>()) {
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
  }
  QCOMPARE(window.pages().count(), 2);
  QCOMPARE(window.pages().tabText(0), QStringLiteral("书库"));
  QCOMPARE(window.pages().tabText(1), QStringLiteral("搜索列表"));
  QVERIFY(window.searchText().text().isEmpty());
  QVERIFY(!window.searchText().hasFrame());

  auto* menu = window.findChild<QMenu*>(QStringLiteral("菜单"));
  QVERIFY(menu != nullptr);
  QCOMPARE(menu->actions().size(), 1);
  QCOMPARE(menu->actions().front()->text(), QStringLiteral("下载"));
  QVERIFY(menu->actions().front()->isEnabled());
  QVERIFY(menu->actions().front()->shortcut().isEmpty());

  auto* bar = window.findChild<QStatusBar*>(QStringLiteral("状态条1"));
  const QList<QLabel*> panels = bar->findChildren<QLabel*>();
  QCOMPARE(panels.size(), 1);
  QCOMPARE(panels.front()->width(), 300);
  QVERIFY(!panels.front()->text().isEmpty());
  QVERIFY(!panels.front()->text().contains(QLatin1Char('\n')));
}

void MainWindowStartupTest::listsHaveTheirColumns() {
  test::CreatedWindow created;
  struct Expected {
    ui::ReportView* list;
    QStringList headers;
    QList<int> widths;
  };
  const Expected lists[] = {
      {&created.window->categoryList(), {" "}, {80}},
      {&created.window->bookList(), {"ID", "书名", "作者", "压缩包大小"}, {50, 200, 150, 100}},
      {&created.window->searchList(), {"ID", "书名", "作者", "压缩包大小"}, {50, 200, 150, 100}},
  };
  for (const Expected& expected : lists) {
    QCOMPARE(expected.list->reportModel()->columnCount(), expected.headers.size());
    for (int column = 0; column < expected.headers.size(); ++column) {
      QCOMPARE(expected.list->reportModel()->headerData(column, Qt::Horizontal).toString(),
               expected.headers[column]);
      QCOMPARE(expected.list->header()->sectionSize(column), expected.widths[column]);
    }
    QVERIFY(!expected.list->header()->isHidden());
    QCOMPARE(expected.list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(expected.list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(expected.list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!expected.list->rootIsDecorated());
  }
}

void MainWindowStartupTest::escapeClosesTheWindowWhereverTheFocusIs_data() {
  QTest::addColumn<QString>("focus");
  QTest::newRow("编辑框1") << "编辑框1";
  QTest::newRow("超级列表框4") << "超级列表框4";
  QTest::newRow("超级列表框5") << "超级列表框5";
  QTest::newRow("按钮2") << "按钮2";
  QTest::newRow("高级选择夹1") << "高级选择夹1";
}

void MainWindowStartupTest::escapeClosesTheWindowWhereverTheFocusIs() {
  QFETCH(QString, focus);
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  auto* target = window.findChild<QWidget*>(focus);
  target->setFocus();
  QTRY_VERIFY(target->hasFocus());
  if (focus == "编辑框1") QTest::keyClicks(target, "abc");
  QTest::keyClick(target, Qt::Key_Escape);
  QVERIFY(!window.isVisible());
}

void MainWindowStartupTest::enterStartsNoSearch() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.searchText().setFocus();
  test::typeText(&window.searchText(), QStringLiteral("斗破苍穹"));
  QTest::keyClick(&window.searchText(), Qt::Key_Return);
  auto* button = window.findChild<QPushButton*>(QStringLiteral("按钮1"));
  button->setFocus();
  QTest::keyClick(button, Qt::Key_Return);
  QCOMPARE(window.pages().currentIndex(), 0);
  QCOMPARE(window.searchList().reportModel()->rowCount(), 0);
  QVERIFY(window.isVisible());
}

void MainWindowStartupTest::headerClickSortsNothing() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QHeaderView* header = window.bookList().header();
  for (int column = 0; column < 4; ++column) {
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
  }
  QCOMPARE(test::differenceFromListing(window.bookList(), test::catalogueRowsWhere([](const auto& row) {
             return row.category == gbk("玄幻");
           })),
           std::string());
  QCOMPARE(window.categoryList().firstSelectedRow(), 0);
}

void MainWindowStartupTest::selectionIsHiddenWhileTheListHasNoFocus() {
  test::CreatedWindow created;
  ui::MainWindow& window = *created.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  ui::ReportView& list = window.categoryList();
  // Right of the name, where only the row's background shows.
  const QRect row = list.visualRect(list.reportModel()->index(0, 0));
  const QPoint background(row.right() - 4, row.center().y());
  const QColor base = list.palette().color(QPalette::Active, QPalette::Base);

  window.searchText().setFocus();
  QTRY_VERIFY(window.searchText().hasFocus());
  QCOMPARE(list.viewport()->grab().toImage().pixelColor(background), base);

  list.setFocus();
  QTRY_VERIFY(list.hasFocus());
  QVERIFY(list.viewport()->grab().toImage().pixelColor(background) != base);
  QCOMPARE(list.firstSelectedRow(), 0);
}

void MainWindowStartupTest::missingCatalogueLeavesEveryListEmpty() {
  test::CreatedWindow created("");
  ui::MainWindow& window = *created.window;
  QCOMPARE(window.categoryList().reportModel()->rowCount(), 16);
  QCOMPARE(window.bookList().reportModel()->rowCount(), 0);
  window.searchText().setText(QStringLiteral("斗破苍穹"));
  window.findChild<QPushButton*>(QStringLiteral("按钮1"))->click();
  QCOMPARE(window.pages().currentIndex(), 1);
  QCOMPARE(window.searchList().reportModel()->rowCount(), 0);
  window.pages().setCurrentIndex(0);
  window.findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
  QCOMPARE(window.pages().currentIndex(), 1);
  QCOMPARE(window.searchList().reportModel()->rowCount(), 0);
}

QTEST_MAIN(MainWindowStartupTest)
#include "test_main_window_startup.moc"
