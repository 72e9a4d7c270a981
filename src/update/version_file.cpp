#include "update/version_file.h"

#include <cstring>

#include "platform/profile_file.h"
#include "platform/program_directory.h"

namespace tomeferry::update {
namespace {
const char* const kSection = "\xC5\xE4\xD6\xC3";  // "配置" (GBK)
}  // namespace

const char* const kProgramVersionKey = "\xB0\xE6\xB1\xBE";            // "版本" (GBK)
const char* const kCatalogueVersionKey = "\xBF\xE2\xB0\xE6\xB1\xBE";  // "库版本" (GBK)

std::string versionFilePath(const std::string& programDir) {
  return platform::programFile(programDir, "ini.ini");
}

std::string readRecordedVersion(const std::string& programDir, const std::string& key) {
  return platform::readProfileString(versionFilePath(programDir), kSection, key);
}

bool writeRecordedVersion(const std::string& programDir, const std::string& key,
                          const std::string& value) {
  return platform::writeProfileString(versionFilePath(programDir), kSection, key, value);
}

bool versionsDiffer(const std::string& noticeField, const std::string& recorded) {
  // Texts end at their first zero byte, as they would in a C string.
  const std::size_t a = std::strlen(noticeField.c_str());
  const std::size_t b = std::strlen(recorded.c_str());
  return a != b || std::memcmp(noticeField.data(), recorded.data(), a) != 0;
}

}  // namespace tomeferry::update
