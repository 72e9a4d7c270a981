#pragma once
// The small window that asks the user to wait while the catalogue is replaced. It cannot be
// closed by the user; it goes away on its own once the refresh worker has raised the flag.
#include <QDialog>
#include <QPointer>

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QSessionManager;
class QTimer;

namespace tomeferry::ui {

class RefreshDialog final : public QDialog {
  Q_OBJECT

 public:
  // Client area of a 380 x 90 dialog frame with a caption bar: the label at 112, 11, 200 x 32
  // must stay whole inside it.
  static constexpr int kClientWidth = 374;
  static constexpr int kClientHeight = 61;
  static constexpr int kPollMilliseconds = 2000;

  // The wait text, GBK.
  static std::string waitText();

  // `startWorker` runs once, at the end of construction, before the dialog is shown; it is
  // expected to start the work on a thread of its own and return at once. The dialog looks at
  // `doneFlag` only on its timer: any value but 0 (done or failed) ends the dialog.
  RefreshDialog(const std::function<void()>& startWorker, std::atomic<int>& doneFlag);
  ~RefreshDialog() override;

  // Esc would reject the dialog; the wait cannot be cancelled.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void pollFlag();
  void finish();
  void disableOtherWindows();
  void restoreOtherWindows();
  void refuseSessionEnd(QSessionManager& manager);
  void centreOnScreen();

  std::atomic<int>& doneFlag_;
  QLabel* label_;
  QTimer* timer_;
  bool finishing_ = false;
  // Top-level windows disabled for the modal wait, with whether each was enabled before.
  std::vector<std::pair<QPointer<QWidget>, bool>> disabled_;
};

}  // namespace tomeferry::ui
