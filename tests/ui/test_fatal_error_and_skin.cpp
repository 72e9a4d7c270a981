// The fatal error report and the theme library bound at run time.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/plugin_loader.h"
#include "platform/text_encoding.h"
#include "ui/fatal_error.h"
#include "ui/skin_engine.h"

using namespace tomeferry;

class FatalErrorAndSkinTest : public QObject {
  Q_OBJECT

 private slots:
  void messagesAreTheProgramsOwn();
  void reportIsAnOwnerlessCriticalBoxWithOk();
  void reportFromAnotherThreadIsShownByTheApplicationThread();
  void skinFunctionIsFoundBesideTheProgramFirst();
  void skinFunctionIsNotFoundWithoutTheLibraryOrTheFunction();
  void libraryIsFoundThroughTheSystemSearchToo();
  void attachGivesTheApplicationATheme();
};

void FatalErrorAndSkinTest::messagesAreTheProgramsOwn() {
  QCOMPARE(ui::missingPluginFunctionMessage(ui::kSkinLibrary, ui::kSkinAttach),
           platform::utf8ToGbk("无法找到指定DLL库文件“SkinH_EL.so”中的输出命令“SkinH_Attach”"));
  QCOMPARE(ui::windowCreationFailedMessage(), platform::utf8ToGbk("载入启动窗口失败"));
  QCOMPARE(ui::allocationFailedMessage(1048576), platform::utf8ToGbk("分配 1048576 字节内存失败!"));
  QCOMPARE(ui::fatalErrorText("x"), platform::utf8ToGbk("运行时出错!\r\n\r\n错误信息：x\r\n"));
}

void FatalErrorAndSkinTest::reportIsAnOwnerlessCriticalBoxWithOk() {
  bool answered = false;
  QTimer::singleShot(0, this, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    QVERIFY(box->parentWidget() == nullptr);
    QCOMPARE(box->windowTitle(), QStringLiteral("错误"));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box->text(), QStringLiteral("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"));
    answered = true;
    box->accept();
  });
  ui::showFatalError(ui::windowCreationFailedMessage());
  QVERIFY(answered);
}

void FatalErrorAndSkinTest::reportFromAnotherThreadIsShownByTheApplicationThread() {
  QThread* shownBy = nullptr;
  QTimer answer;
  connect(&answer, &QTimer::timeout, this, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shownBy = box->thread();
      box->accept();
    }
  });
  answer.start(10);
  bool returned = false;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    ui::showFatalError(ui::allocationFailedMessage(64));
    returned = true;
  }));
  worker->start();
  QTRY_VERIFY(worker->isFinished());
  QVERIFY(returned);
  QCOMPARE(shownBy, QApplication::instance()->thread());
}

void FatalErrorAndSkinTest::skinFunctionIsFoundBesideTheProgramFirst() {
  QTemporaryDir programDir;
  QVERIFY(QFile::copy(TOMEFERRY_SKIN_LIBRARY, programDir.filePath(ui::kSkinLibrary)));
  QVERIFY(platform::bindPluginFunction(programDir.path().toStdString(), ui::kSkinLibrary, ui::kSkinAttach) !=
          nullptr);
}

void FatalErrorAndSkinTest::skinFunctionIsNotFoundWithoutTheLibraryOrTheFunction() {
  QTemporaryDir programDir;
  QVERIFY(platform::bindPluginFunction(programDir.path().toStdString(), ui::kSkinLibrary, ui::kSkinAttach) ==
          nullptr);
  // A library of that name without the function.
  QVERIFY(QFile::copy(TOMEFERRY_LIBRARY_WITHOUT_ATTACH, programDir.filePath(ui::kSkinLibrary)));
  QVERIFY(platform::bindPluginFunction(programDir.path().toStdString(), ui::kSkinLibrary, ui::kSkinAttach) ==
          nullptr);
  // A file that is no library at all.
  QTemporaryDir other;
  QFile junk(other.filePath(ui::kSkinLibrary));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("not a library");
  junk.close();
  QVERIFY(platform::bindPluginFunction(other.path().toStdString(), ui::kSkinLibrary, ui::kSkinAttach) == nullptr);
}

void FatalErrorAndSkinTest::libraryIsFoundThroughTheSystemSearchToo() {
  QTemporaryDir programDir;
  QVERIFY(platform::bindPluginFunction(programDir.path().toStdString(), "libm.so.6", "cos") != nullptr);
}

void FatalErrorAndSkinTest::attachGivesTheApplicationATheme() {
  QTemporaryDir programDir;
  QVERIFY(QFile::copy(TOMEFERRY_SKIN_LIBRARY, programDir.filePath(ui::kSkinLibrary)));
  qApp->setStyleSheet(QString());
  ui::attachSkinEngine(programDir.path().toStdString());
  QVERIFY(qApp->styleSheet().contains(QStringLiteral("QPushButton")));
  ui::attachSkinEngine(programDir.path().toStdString());  // bound once, callable again
}

QTEST_MAIN(FatalErrorAndSkinTest)
#include "test_fatal_error_and_skin.moc"
