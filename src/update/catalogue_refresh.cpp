#include "update/catalogue_refresh.h"

#include <exception>
#include <thread>

#include "catalogue/catalogue_file.h"
#include "platform/file_replace.h"
#include "update/notice_fields.h"
#include "update/package_scanner.h"
#include "update/refresh_flag.h"
#include "update/version_file.h"

namespace tomeferry::update {
namespace {

constexpr std::size_t kCataloguePiece = 1;

// Streams piece 1 of the package at `packageUrl` into `file` and stops the download at the
// second separator. True when a whole piece 1 with at least one byte arrived.
bool downloadCatalogue(platform::HttpClient& http, const std::string& packageUrl,
                       platform::ReplacementFile& file) {
  bool writeFailed = false;
  PackageScanner scanner(
      [&](std::size_t piece, std::string_view bytes) {
        if (piece != kCataloguePiece) return true;
        writeFailed = !file.write(bytes);
        return !writeFailed;
      },
      [](std::size_t piece) { return piece != kCataloguePiece; });
  const bool received =
      http.fetchTo(packageUrl, [&](std::string_view data) { return scanner.feed(data); });
  // A transfer that broke off may have cut piece 1 short: never install it.
  if (!received || writeFailed) return false;
  if (!scanner.stopped()) scanner.finish();
  return !writeFailed && scanner.pieces() > kCataloguePiece && file.size() > 0;
}

}  // namespace

RefreshResult refreshCatalogue(platform::HttpClient& http, const std::string& noticeUrl,
                               const std::string& programDir) {
  const auto fields = noticeFields(pageText(http.fetch(noticeUrl, kMaxNoticePageBytes)));
  if (fields.size() <= kPackageAddressField) return RefreshResult::Failed;
  const std::string& version = fields[kCatalogueVersionField];
  const std::string& packageUrl = fields[kPackageAddressField];

  const std::string cataloguePath = catalogue::catalogueFilePath(programDir);
  // What a refresh killed earlier left behind; files still being written are kept.
  platform::removeStaleReplacements(cataloguePath);
  platform::removeStaleReplacements(versionFilePath(programDir));
  platform::ReplacementFile file(cataloguePath);
  if (!file.ok()) return RefreshResult::Failed;
  if (!downloadCatalogue(http, packageUrl, file)) return RefreshResult::Failed;
  if (!catalogue::isCatalogueFile(file.temporaryPath())) return RefreshResult::Failed;
  if (!file.commit()) return RefreshResult::Failed;

  // The new catalogue stays even when its version cannot be recorded: the next start then
  // finds the old version and simply refreshes again.
  writeRecordedVersion(programDir, kCatalogueVersionKey, version);
  return RefreshResult::Installed;
}

void startRefreshWorker(platform::HttpClient& http, std::string noticeUrl,
                        std::string programDir, std::atomic<int>& flag) {
  try {
    std::thread([&http, &flag, noticeUrl = std::move(noticeUrl),
                 programDir = std::move(programDir)] {
      int outcome = kRefreshFailed;
      try {
        if (refreshCatalogue(http, noticeUrl, programDir) == RefreshResult::Installed) {
          outcome = kRefreshDone;
        }
      } catch (const std::exception&) {
        // Out of memory or threads: the old catalogue is still whole; the dialog must close all the same.
      }
      flag.store(outcome, std::memory_order_release);
    }).detach();
  } catch (const std::exception&) {
    // No thread could be started: there is nothing to wait for.
    flag.store(kRefreshFailed, std::memory_order_release);
  }
}

}  // namespace tomeferry::update
