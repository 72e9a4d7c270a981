#pragma once
// The update notice page carries its fields between "qwer" markers.
#include <string>
#include <string_view>
#include <vector>

namespace tomeferry::update {

// Field indices on the notice page.
inline constexpr std::size_t kProgramVersionField = 0;
inline constexpr std::size_t kProgramAddressField = 1;
inline constexpr std::size_t kCatalogueVersionField = 2;
inline constexpr std::size_t kPackageAddressField = 3;

// A notice page larger than this counts as a failed fetch.
inline constexpr std::size_t kMaxNoticePageBytes = 1024 * 1024;

// The bytes before the first zero byte.
std::string pageText(std::string_view body);

// Texts of "qwer(.*?)qwer" matches, left to right, each search starting after the last match.
std::vector<std::string> noticeFields(const std::string& pageText);

}  // namespace tomeferry::update
