#include "update/startup_check.h"

#include "update/notice_fields.h"
#include "update/version_file.h"

namespace tomeferry::update {
namespace {

// "检测到软件有更新!" and "信息：" in GBK.
constexpr const char* kUpdateMessage =
    "\xBC\xEC\xB2\xE2\xB5\xBD\xC8\xED\xBC\xFE\xD3\xD0\xB8\xFC\xD0\xC2!";
constexpr const char* kInformationCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";

std::vector<std::string> fetchFields(const StartupCheckContext& context) {
  return noticeFields(pageText(context.http.fetch(context.noticeUrl, kMaxNoticePageBytes)));
}

}  // namespace

void runStartupCheck(StartupCheckContext& context) {
  {
    // A page too short to name a catalogue version counts as a page without fields.
    const auto fields = fetchFields(context);
    if (fields.size() > kCatalogueVersionField &&
        versionsDiffer(fields[kCatalogueVersionField],
                       readRecordedVersion(context.programDir, kCatalogueVersionKey))) {
      context.ui.showRefreshDialog();
    }
  }
  // The page is read again: the refresh may have taken long, and only fresh fields count.
  const auto fields = fetchFields(context);
  if (fields.size() > kProgramAddressField &&
      versionsDiffer(fields[kProgramVersionField],
                     readRecordedVersion(context.programDir, kProgramVersionKey))) {
    context.ui.showInformation(kUpdateMessage, kInformationCaption);
    platform::openWebAddress(context.opener, fields[kProgramAddressField]);
  }
}

}  // namespace tomeferry::update
