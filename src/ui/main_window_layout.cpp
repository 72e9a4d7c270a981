#include "ui/main_window_layout.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include "ui/report_view.h"
#include "ui/tab_control.h"
#include "ui/window_icons.h"

namespace tomeferry::ui {

namespace {

constexpr QSize kClientSize(654, 448);
// The frame the window was designed with; its outer size decides where it is centred.
constexpr QSize kOuterSize(660, 480);

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

void setUpFrame(QWidget& window) {
  window.setWindowTitle(QStringLiteral("Tomeferry V4.0"));
  window.setWindowIcon(programIcon());
  // A fixed frame with title, system menu, minimize and close: no maximize, no resizing.
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
  window.setFixedSize(kClientSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    window.move(area.x() + (area.width() - kOuterSize.width()) / 2,
                area.y() + (area.height() - kOuterSize.height()) / 2);
  }
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect place) {
  auto* button = named(new QPushButton(QString::fromUtf8(caption), parent), name);
  button->setAutoDefault(false);  // Enter presses no button
  button->setDefault(false);
  button->setGeometry(place);
  return button;
}

struct SearchBar {
  QLineEdit* text;
  QPushButton* titleButton;
  QPushButton* authorButton;
};

SearchBar buildSearchBar(QWidget& window) {
  auto* group = named(new QGroupBox(&window), "分组框1");
  group->setGeometry(4, -1, 639, 44);

  // A white framed box around a frameless edit box, so the two read as one search field.
  auto* field = named(new QFrame(group), "图片框1");
  field->setFrameStyle(QFrame::Box | QFrame::Plain);
  field->setLineWidth(1);
  field->setGeometry(13, 11, 471, 24);
  QPalette white = field->palette();
  white.setColor(QPalette::Window, Qt::white);
  field->setPalette(white);
  field->setAutoFillBackground(true);

  auto* text = named(new QLineEdit(field), "编辑框1");
  text->setFrame(false);
  text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette editColours = text->palette();
  editColours.setColor(QPalette::Base, Qt::white);
  editColours.setColor(QPalette::Text, Qt::black);
  text->setPalette(editColours);
  // Place in the field's client area, inside its border.
  text->setGeometry(QRect(field->contentsRect().topLeft() + QPoint(31, 1), QSize(432, 20)));

  auto* icon = named(new QLabel(group), "图片框2");
  icon->setPixmap(searchIcon());
  icon->setScaledContents(true);
  icon->setGeometry(18, 14, 20, 20);
  icon->raise();  // over the field's left end

  return {text, makeButton(group, "按钮1", "搜小说", QRect(495, 11, 64, 24)),
          makeButton(group, "按钮2", "搜作者", QRect(567, 11, 64, 24))};
}

void buildStatusBar(QWidget& window) {
  auto* bar = named(new QStatusBar(&window), "状态条1");
  bar->setSizeGripEnabled(false);
  bar->setGeometry(0, 428, 654, 20);
  auto* panel = new QLabel(statusNotice(), bar);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setFixedWidth(300);
  bar->addWidget(panel);
}

}  // namespace

QString statusNotice() {
  return QStringLiteral("喜欢 Tomeferry？请把它推荐给爱读小说的朋友");
}

MainWindowControls buildMainWindowControls(QWidget& window, const MainWindowModels& models) {
  setUpFrame(window);
  const SearchBar search = buildSearchBar(window);

  auto* pages = named(new TabControl(&window), "高级选择夹1");
  pages->setGeometry(3, 45, 638, 379);
  QFont tabFont(QStringLiteral("宋体"));
  tabFont.setPixelSize(12);
  tabFont.setWeight(QFont::Normal);
  pages->tabBar()->setFont(tabFont);
  pages->addTab(new QWidget, QStringLiteral("书库"));
  pages->addTab(new QWidget, QStringLiteral("搜索列表"));

  const std::vector<ReportView::Column> bookColumns{{50}, {200}, {150}, {100}};
  auto* categoryList = named(new ReportView(models.categories, {{80}}, nullptr), "超级列表框4");
  auto* bookList = named(new ReportView(models.books, bookColumns, nullptr), "超级列表框5");
  auto* searchList = named(new ReportView(models.results, bookColumns, nullptr), "超级列表框6");
  pages->place(0, bookList, QRect(106, 29, 524, 342));
  pages->place(0, categoryList, QRect(5, 29, 95, 342));
  pages->place(1, searchList, QRect(3, 26, 634, 329));
  pages->setCurrentIndex(0);

  buildStatusBar(window);

  // The window's only menu is never shown as a menu bar: its item appears as the book
  // lists' pop-up.
  auto* menu = named(new QMenu(QStringLiteral("菜单"), &window), "菜单");
  named(menu->addAction(QStringLiteral("下载")), "下载");

  return {search.text, search.titleButton, search.authorButton, pages,
          categoryList, bookList, searchList, menu};
}

}  // namespace tomeferry::ui
