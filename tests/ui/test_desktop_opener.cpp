// The desktop opener: web addresses only, handed to xdg-open as UTF-8, detached.
#include <sys/wait.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

#include "platform/opener.h"
#include "platform/text_encoding.h"

using namespace tomeferry;

namespace {

class RecordingOpener final : public platform::Opener {
 public:
  void open(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

}  // namespace

class DesktopOpenerTest : public QObject {
  Q_OBJECT

 private slots:
  void onlyWebAddressesAreOpened_data();
  void onlyWebAddressesAreOpened();
  void xdgOpenGetsTheAddressAsItsOneArgument();
};

void DesktopOpenerTest::onlyWebAddressesAreOpened_data() {
  QTest::addColumn<QString>("address");
  QTest::addColumn<bool>("web");
  QTest::newRow("http") << "http://dl.example.com/a.zip" << true;
  QTest::newRow("https") << "https://secure.example.org/b.zip" << true;
  QTest::newRow("ftp") << "ftp://files.example.net/c.zip" << true;
  QTest::newRow("upper case scheme") << "HTTP://DL.EXAMPLE.COM/A.ZIP" << true;
  QTest::newRow("mixed case") << "Https://x" << true;
  QTest::newRow("scheme alone") << "http://" << true;
  QTest::newRow("empty") << "" << false;
  QTest::newRow("file address") << "file:///etc/passwd" << false;
  QTest::newRow("path") << "/usr/bin/xterm" << false;
  QTest::newRow("relative path") << "data/db1.mdb" << false;
  QTest::newRow("blank before the scheme") << " http://x" << false;
  QTest::newRow("other scheme") << "javascript:alert(1)" << false;
  QTest::newRow("single slash") << "http:/x" << false;
  QTest::newRow("mail") << "mailto:a@example.com" << false;
}

void DesktopOpenerTest::onlyWebAddressesAreOpened() {
  QFETCH(QString, address);
  QFETCH(bool, web);
  const std::string bytes = address.toStdString();
  QCOMPARE(platform::isWebAddress(bytes), web);
  RecordingOpener opener;
  platform::openWebAddress(opener, bytes);
  QCOMPARE(opener.opened, web ? std::vector<std::string>{bytes} : std::vector<std::string>{});
}

void DesktopOpenerTest::xdgOpenGetsTheAddressAsItsOneArgument() {
  // A stand-in xdg-open first on the search path writes down its arguments.
  QTemporaryDir bin;
  const QString record = bin.filePath(QStringLiteral("arguments"));
  QFile script(bin.filePath(QStringLiteral("xdg-open")));
  QVERIFY(script.open(QIODevice::WriteOnly));
  script.write(QStringLiteral("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1.part'\nmv '%1.part' '%1'\n")
                   .arg(record)
                   .toUtf8());
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", bin.path().toUtf8() + ":" + oldPath);

  platform::DesktopOpener opener;
  const std::string address =
      platform::utf8ToGbk("http://dl.example.com/言情/何以 笙箫默.zip?a=1&b='$(touch x)'");
  opener.open(address);
  qputenv("PATH", oldPath);

  QTRY_VERIFY(QFile::exists(record));
  QFile written(record);
  QVERIFY(written.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(written.readAll()),
           QStringLiteral("1|http://dl.example.com/言情/何以 笙箫默.zip?a=1&b='$(touch x)'|"));
  // The launcher is nobody's child of ours: nothing is left to reap.
  QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);
  QCOMPARE(errno, ECHILD);
}

QTEST_GUILESS_MAIN(DesktopOpenerTest)
#include "test_desktop_opener.moc"
