#pragma once
// The check at every start: a different catalogue version brings the refresh dialog,
// a different program version a message and the program's download page.
#include <string>

#include "platform/http_client.h"
#include "platform/opener.h"

namespace tomeferry::update {

// What the check needs from the windows.
class StartupUi {
 public:
  virtual ~StartupUi() = default;
  // Shows the refresh dialog modally; returns once it is gone.
  virtual void showRefreshDialog() = 0;
  // Information message box without owner: GBK text and caption, one OK button, no icon.
  virtual void showInformation(const std::string& text, const std::string& caption) = 0;
};

struct StartupCheckContext {
  platform::HttpClient& http;
  platform::Opener& opener;
  StartupUi& ui;
  std::string noticeUrl;
  std::string programDir;
};

void runStartupCheck(StartupCheckContext& context);

}  // namespace tomeferry::update
