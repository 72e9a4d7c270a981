#pragma once
#include <atomic>

namespace tomeferry::update {

// Set once by the refresh worker (release), read by the refresh dialog's timer (acquire).
inline constexpr int kRefreshRunning = 0;
inline constexpr int kRefreshDone = 1;
inline constexpr int kRefreshFailed = 2;  // the old catalogue and version were kept

std::atomic<int>& refreshDoneFlag();

}  // namespace tomeferry::update
