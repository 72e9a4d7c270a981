#include "update/refresh_flag.h"

namespace tomeferry::update {

std::atomic<int>& refreshDoneFlag() {
  static std::atomic<int> flag{kRefreshRunning};
  return flag;
}

}  // namespace tomeferry::update
