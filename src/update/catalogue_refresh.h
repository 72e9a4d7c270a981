#pragma once
// Replaces data/db1.mdb with the catalogue of the package that the notice page names,
// then records the page's catalogue version.
#include <atomic>
#include <string>

#include "platform/http_client.h"

namespace tomeferry::update {

enum class RefreshResult { Installed, Failed };

// Fetches the notice page at `noticeUrl`, downloads the package named by field 3 and,
// when piece 1 is an Access catalogue holding 书库, installs it atomically and records
// field 2 as "库版本". On any failure the old catalogue file and recorded version stay
// exactly as they were and no temporary file is left.
RefreshResult refreshCatalogue(platform::HttpClient& http, const std::string& noticeUrl,
                               const std::string& programDir);

// Starts refreshCatalogue on a detached thread; sets `flag` to kRefreshDone or
// kRefreshFailed (release) when it ends.
void startRefreshWorker(platform::HttpClient& http, std::string noticeUrl,
                        std::string programDir, std::atomic<int>& flag);

}  // namespace tomeferry::update
