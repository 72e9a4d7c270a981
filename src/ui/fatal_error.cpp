#include "ui/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "platform/text_encoding.h"
#include "ui/gbk_text.h"

namespace tomeferry::ui {

namespace {

void showBox(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"),
                  fromGbk(fatalErrorText(message)),
                  QMessageBox::Ok);
  box.setObjectName(QStringLiteral("致命错误"));
  box.exec();
}

}  // namespace

std::string fatalErrorText(const std::string& message) {
  return platform::utf8ToGbk("运行时出错!\r\n\r\n错误信息：") + message + "\r\n";
}

void showFatalError(const std::string& message) {
  QCoreApplication* app = QCoreApplication::instance();
  if (qobject_cast<QApplication*>(app) == nullptr) {
    // No window system to show a box on: the message goes where a person can still read it.
    std::fputs(platform::gbkToUtf8(fatalErrorText(message)).c_str(), stderr);
    return;
  }
  if (QThread::currentThread() != app->thread()) {
    // Widgets live on the application's thread only; this thread waits until the box is gone.
    QMetaObject::invokeMethod(app, [message] { showBox(message); }, Qt::BlockingQueuedConnection);
    return;
  }
  showBox(message);
}

void failFatally(const std::string& message) {
  showFatalError(message);
  std::fflush(nullptr);
  // The system closes the windows and releases the loaded libraries with the process;
  // running destructors now could meet a half-built window or a thread still at work.
  std::_Exit(-1);
}

std::string missingPluginFunctionMessage(const std::string& library, const std::string& function) {
  return platform::utf8ToGbk("无法找到指定DLL库文件“") + library +
         platform::utf8ToGbk("”中的输出命令“") + function + platform::utf8ToGbk("”");
}

std::string windowCreationFailedMessage() { return platform::utf8ToGbk("载入启动窗口失败"); }

std::string allocationFailedMessage(std::size_t bytes) {
  return platform::utf8ToGbk("分配 ") + std::to_string(bytes) + platform::utf8ToGbk(" 字节内存失败!");
}

}  // namespace tomeferry::ui
