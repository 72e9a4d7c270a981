#include "ui/refresh_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QSessionManager>
#include <QShowEvent>
#include <QTimer>

#include "platform/text_encoding.h"
#include "ui/blank_window_title.h"
#include "ui/gbk_text.h"
#include "update/refresh_flag.h"

namespace tomeferry::ui {

std::string RefreshDialog::waitText() {
  return platform::utf8ToGbk("正在更新书库,请稍候...........");
}

RefreshDialog::RefreshDialog(const std::function<void()>& startWorker,
                             std::atomic<int>& doneFlag)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      doneFlag_(doneFlag),
      label_(new QLabel(this)),
      timer_(new QTimer(this)) {
  setWindowTitle(QString());
  setFixedSize(kClientWidth, kClientHeight);
  setSizeGripEnabled(false);
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);

  label_->setObjectName(QStringLiteral("标签1"));
  label_->setGeometry(112, 11, 200, 32);
  label_->setTextFormat(Qt::PlainText);
  label_->setText(fromGbk(waitText()));
  label_->setWordWrap(false);
  label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label_->setFrameShape(QFrame::NoFrame);
  QPalette labelPalette = label_->palette();
  labelPalette.setColor(QPalette::WindowText, Qt::black);
  label_->setPalette(labelPalette);

  timer_->setObjectName(QStringLiteral("时钟1"));
  // A coarse timer may fire up to 5% early; the notice is to stay a full period.
  timer_->setTimerType(Qt::PreciseTimer);
  timer_->setInterval(kPollMilliseconds);
  connect(timer_, &QTimer::timeout, this, &RefreshDialog::pollFlag);

#if QT_CONFIG(sessionmanager)
  connect(qApp, &QGuiApplication::commitDataRequest, this, &RefreshDialog::refuseSessionEnd,
          Qt::DirectConnection);
#endif

  disableOtherWindows();
  // The timer starts with the dialog, so the first look at the flag comes a full period after
  // creation however quickly the worker finishes: the user always sees the notice.
  timer_->start();
  if (startWorker) startWorker();
}

RefreshDialog::~RefreshDialog() { restoreOtherWindows(); }

void RefreshDialog::reject() {}

void RefreshDialog::closeEvent(QCloseEvent* event) {
  if (finishing_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void RefreshDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    // Centred at every show, also after the user has moved it away.
    centreOnScreen();
    blankNativeWindowTitle(this);
  }
  QDialog::showEvent(event);
}

void RefreshDialog::pollFlag() {
  if (doneFlag_.load(std::memory_order_acquire) != update::kRefreshRunning) finish();
}

void RefreshDialog::finish() {
  if (finishing_) return;
  finishing_ = true;
  timer_->stop();
  restoreOtherWindows();
  done(QDialog::Accepted);
}

void RefreshDialog::disableOtherWindows() {
  const auto windows = QApplication::topLevelWidgets();
  for (QWidget* window : windows) {
    if (window == this || window->windowType() == Qt::Desktop) continue;
    disabled_.emplace_back(window, window->isEnabled());
    window->setEnabled(false);
  }
}

void RefreshDialog::restoreOtherWindows() {
  for (auto& [window, wasEnabled] : disabled_) {
    if (window) window->setEnabled(wasEnabled);
  }
  disabled_.clear();
}

void RefreshDialog::refuseSessionEnd(QSessionManager& manager) {
#if QT_CONFIG(sessionmanager)
  if (manager.allowsInteraction()) {
    manager.cancel();
    manager.release();
  }
#else
  Q_UNUSED(manager);
#endif
}

void RefreshDialog::centreOnScreen() {
  QScreen* target = screen();
  if (!target) target = QGuiApplication::primaryScreen();
  if (!target) return;
  const QRect area = target->availableGeometry();
  // Before the first show the frame is not known yet and the frame size is the client size.
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2,
       area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace tomeferry::ui
