// The windows the start-up check opens, driven the way a user answers them.
#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

#include "ui/refresh_dialog.h"
#include "ui/startup_ui.h"
#include "update/refresh_flag.h"

using tomeferry::ui::QtStartupUi;
namespace update = tomeferry::update;

namespace {

// Calls `answer` with the first application-modal window that comes up, from the event loop
// that the window runs; gives up after `limitMs`.
class ModalAnswerer {
 public:
  ModalAnswerer(std::function<void(QWidget*)> answer, int limitMs) : answer_(std::move(answer)) {
    QObject::connect(&poll_, &QTimer::timeout, [this, limitMs] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        poll_.stop();
        answered_ = true;
        answer_(modal);
      } else if ((waited_ += poll_.interval()) > limitMs) {
        poll_.stop();
      }
    });
    poll_.start(20);
  }
  bool answered() const { return answered_; }

 private:
  std::function<void(QWidget*)> answer_;
  QTimer poll_;
  int waited_ = 0;
  bool answered_ = false;
};

// A loopback address where nothing listens: connections are refused at once.
std::string unreachableUrl() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/notice.html";
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class StartupUiTest : public QObject {
  Q_OBJECT

 private slots:
  void informationBoxShowsGbkTextWithOneOkAndNoIcon() {
    QtStartupUi ui("", "");
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::Critical;
    int buttons = 0;
    bool ownerless = false;
    ModalAnswerer answerer(
        [&](QWidget* modal) {
          auto* box = qobject_cast<QMessageBox*>(modal);
          if (!box) return;
          text = box->text();
          caption = box->windowTitle();
          icon = box->icon();
          buttons = box->buttons().size();
          ownerless = box->parentWidget() == nullptr;
          if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
        },
        5000);
    ui.showInformation("\xbc\xec\xb2\xe2\xb5\xbd\xc8\xed\xbc\xfe\xd3\xd0\xb8\xfc\xd0\xc2!",
                       "\xd0\xc5\xcf\xa2\xa3\xba");
    QVERIFY(answerer.answered());
    QCOMPARE(text, QStringLiteral("检测到软件有更新!"));
    QCOMPARE(caption, QStringLiteral("信息："));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
    QVERIFY(ownerless);
  }

  // The real refresh worker, with no notice page to be had: the dialog still ends, one period
  // after it came up, and the catalogue is left alone.
  void refreshDialogRunsTheWorkerAndEndsWhenItFails() {
    QTemporaryDir programDir;
    QVERIFY(programDir.isValid());
    QVERIFY(QDir(programDir.path()).mkdir("data"));
    const QString catalogue = programDir.filePath("data/db1.mdb");
    QVERIFY(QFile::copy(TOMEFERRY_TEST_DATA "/catalogue.mdb", catalogue));
    const QByteArray before = readAll(catalogue);

    update::refreshDoneFlag().store(update::kRefreshRunning);
    QWidget mainWindow;
    QtStartupUi ui(unreachableUrl(), programDir.path().toStdString());
    bool sawDialog = false;
    bool mainDisabled = false;
    ModalAnswerer answerer(
        [&](QWidget* modal) {
          sawDialog = qobject_cast<tomeferry::ui::RefreshDialog*>(modal) != nullptr;
          mainDisabled = !mainWindow.isEnabled();
        },
        5000);
    ui.showRefreshDialog();
    QVERIFY(sawDialog);
    QVERIFY(mainDisabled);
    QVERIFY(mainWindow.isEnabled());
    QCOMPARE(update::refreshDoneFlag().load(), update::kRefreshFailed);
    QCOMPARE(readAll(catalogue), before);
    QVERIFY(!QFile::exists(programDir.filePath("ini.ini")));
  }
};

QTEST_MAIN(StartupUiTest)
#include "test_startup_ui.moc"
