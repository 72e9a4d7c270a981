#pragma once
// The windows the start-up check needs: the refresh dialog and the information message.
#include <string>

#include "update/startup_check.h"

class QWidget;

namespace tomeferry::ui {

class QtStartupUi final : public update::StartupUi {
 public:
  // `mainWindow` is disabled while the refresh dialog is shown.
  QtStartupUi(std::string noticeUrl, std::string programDir, QWidget* mainWindow);
  void showRefreshDialog() override;
  void showInformation(const std::string& text, const std::string& caption) override;

 private:
  std::string noticeUrl_;
  std::string programDir_;
  QWidget* mainWindow_;
};

}  // namespace tomeferry::ui
