#pragma once
// The windows the start-up check needs: the refresh dialog and the information message.
#include <string>

#include "update/startup_check.h"

namespace tomeferry::ui {

class QtStartupUi final : public update::StartupUi {
 public:
  // The refresh dialog disables every other window of the program while it is shown.
  QtStartupUi(std::string noticeUrl, std::string programDir);
  void showRefreshDialog() override;
  void showInformation(const std::string& text, const std::string& caption) override;

 private:
  std::string noticeUrl_;
  std::string programDir_;
};

}  // namespace tomeferry::ui
