// The refresh dialog with a stand-in worker: how long it stays, what closes it, what it refuses,
// and what it does to the other windows meanwhile.
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <semaphore>
#include <thread>

#include "platform/text_encoding.h"
#include "ui/refresh_dialog.h"
#include "update/refresh_flag.h"

using tomeferry::ui::RefreshDialog;
namespace update = tomeferry::update;

namespace {

// Runs the dialog's modal loop. A dialog that never goes away is hidden after `limitMs`, which
// ends the loop even though the dialog refuses to close; returns whether it went by itself.
bool execEndsWithin(RefreshDialog& dialog, int limitMs) {
  bool gaveUp = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    gaveUp = true;
    dialog.hide();
  });
  watchdog.start(limitMs);
  dialog.exec();
  return !gaveUp;
}

QTimer* pollTimer(RefreshDialog& dialog) {
  return dialog.findChild<QTimer*>(QStringLiteral("时钟1"));
}

bool centredOn(const QRect& outer, const QRect& area) {
  const QPoint offset = outer.center() - area.center();
  return std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1;
}

}  // namespace

class RefreshDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWorkerAndTimerAtCreation() {
    std::atomic<int> flag{update::kRefreshRunning};
    int starts = 0;
    bool timerRunningAtStart = false;
    RefreshDialog* self = nullptr;
    RefreshDialog dialog(
        [&] {
          ++starts;
          for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<RefreshDialog*>(window)) self = candidate;
          }
          timerRunningAtStart = self && pollTimer(*self) && pollTimer(*self)->isActive();
        },
        flag);
    QCOMPARE(starts, 1);
    QVERIFY(!dialog.isVisible());
    QVERIFY(timerRunningAtStart);
    QTimer* timer = pollTimer(dialog);
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 2000);
    QVERIFY(!timer->isSingleShot());
    QCOMPARE(timer->thread(), QThread::currentThread());
  }

  void labelAndFrame() {
    std::atomic<int> flag{update::kRefreshRunning};
    RefreshDialog dialog({}, flag);
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("标签1"));
    QVERIFY(label);
    const std::string gbk = tomeferry::platform::utf8ToGbk(label->text().toStdString());
    QCOMPARE(QByteArray::fromStdString(gbk),
             QByteArray("\xd5\xfd\xd4\xda\xb8\xfc\xd0\xc2\xca\xe9\xbf\xe2,"
                        "\xc7\xeb\xc9\xd4\xba\xf2..........."));
    QCOMPARE(gbk.size(), std::size_t{30});
    QCOMPARE(label->geometry(), QRect(112, 11, 200, 32));
    QVERIFY(dialog.rect().contains(label->geometry()));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    QVERIFY(!label->wordWrap());
    QCOMPARE(label->frameShape(), QFrame::NoFrame);
    QCOMPARE(label->font(), QApplication::font());

    QVERIFY(dialog.windowTitle().isEmpty());
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.size(), QSize(RefreshDialog::kClientWidth, RefreshDialog::kClientHeight));
    QVERIFY(dialog.autoFillBackground());
    QCOMPARE(dialog.backgroundRole(), QPalette::Window);
  }

  // A worker that is finished before the dialog is even shown, successful or not.
  void staysOnePeriodWhenWorkerEndsAtOnce_data() {
    QTest::addColumn<int>("outcome");
    QTest::newRow("done") << update::kRefreshDone;
    QTest::newRow("failed") << update::kRefreshFailed;
  }
  void staysOnePeriodWhenWorkerEndsAtOnce() {
    QFETCH(int, outcome);
    std::atomic<int> flag{update::kRefreshRunning};
    RefreshDialog dialog([&] { flag.store(outcome, std::memory_order_release); }, flag);
    bool shownBeforeFirstTick = false;
    QTimer::singleShot(1500, &dialog, [&] { shownBeforeFirstTick = dialog.isVisible(); });
    QVERIFY(execEndsWithin(dialog, 4500));
    QVERIFY(shownBeforeFirstTick);
    QVERIFY(!dialog.isVisible());
  }

  // The worker runs on its own thread and raises the flag only after the first tick.
  void waitsForWorkerThread() {
    std::atomic<int> flag{update::kRefreshRunning};
    std::binary_semaphore firstTickSeen{0};
    std::thread worker;
    RefreshDialog dialog(
        [&] {
          worker = std::thread([&] {
            firstTickSeen.acquire();
            flag.store(update::kRefreshDone, std::memory_order_release);
          });
        },
        flag);
    int ticks = 0;
    bool shownAfterFirstTick = false;
    QObject::connect(pollTimer(dialog), &QTimer::timeout, &dialog, [&] {
      if (++ticks == 1) {
        shownAfterFirstTick = dialog.isVisible();
        firstTickSeen.release();
      }
    });
    const bool ended = execEndsWithin(dialog, 6500);
    if (ticks == 0) firstTickSeen.release();
    worker.join();
    QVERIFY(ended);
    QVERIFY(shownAfterFirstTick);
    QCOMPARE(ticks, 2);
  }

  void refusesEveryCloseRequestAndDisablesOtherWindows() {
    QWidget mainWindow;  // hidden, like the main window during start-up
    QWidget disabledBefore;
    disabledBefore.setEnabled(false);
    std::atomic<int> flag{update::kRefreshRunning};
    QStringList notRefused;
    bool mainDisabledMeanwhile = false;
    {
      RefreshDialog dialog({}, flag);
      QVERIFY(!mainWindow.isEnabled());
      QTimer::singleShot(0, &dialog, [&] {
        if (dialog.close()) notRefused << "close()";
        QTest::keyClick(&dialog, Qt::Key_Escape);
        if (!dialog.isVisible()) notRefused << "Esc";
        QCloseEvent closeRequest;  // close box, Alt+F4, the system menu's Close
        QApplication::sendEvent(&dialog, &closeRequest);
        if (closeRequest.isAccepted() || !dialog.isVisible()) notRefused << "close event";
        dialog.reject();
        if (!dialog.isVisible()) notRefused << "reject()";
        mainDisabledMeanwhile = !mainWindow.isEnabled() && !disabledBefore.isEnabled();
        if (dialog.isVisible()) flag.store(update::kRefreshDone, std::memory_order_release);
      });
      QVERIFY(execEndsWithin(dialog, 4500));
      QCOMPARE(notRefused, QStringList());
      QVERIFY(mainDisabledMeanwhile);
      QVERIFY(mainWindow.isEnabled());  // already on the way out, before destruction
    }
    QVERIFY(mainWindow.isEnabled());
    QVERIFY(!disabledBefore.isEnabled());
  }

  void restoresWindowsWhenDestroyedUnfinished() {
    QWidget mainWindow;
    std::atomic<int> flag{update::kRefreshRunning};
    {
      RefreshDialog dialog({}, flag);
      QVERIFY(!mainWindow.isEnabled());
    }
    QVERIFY(mainWindow.isEnabled());
  }

  void centredWheneverShown() {
    std::atomic<int> flag{update::kRefreshRunning};
    RefreshDialog dialog({}, flag);
    dialog.move(50, 50);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect area = dialog.screen()->availableGeometry();
    QVERIFY2(centredOn(dialog.frameGeometry(), area),
             qPrintable(QStringLiteral("at %1,%2").arg(dialog.x()).arg(dialog.y())));
    dialog.move(3, 4);  // the user moves it away
    dialog.hide();
    dialog.show();
    QVERIFY(centredOn(dialog.frameGeometry(), area));
  }
};

QTEST_MAIN(RefreshDialogTest)
#include "test_refresh_dialog.moc"
