#pragma once
// ini.ini in the program directory records the installed versions, section "配置".
#include <string>

namespace tomeferry::update {

extern const char* const kProgramVersionKey;    // "版本" (GBK)
extern const char* const kCatalogueVersionKey;  // "库版本" (GBK)

std::string versionFilePath(const std::string& programDir);

std::string readRecordedVersion(const std::string& programDir, const std::string& key);
bool writeRecordedVersion(const std::string& programDir, const std::string& key,
                          const std::string& value);

// Byte-for-byte inequality; "" and a missing text are equal.
bool versionsDiffer(const std::string& noticeField, const std::string& recorded);

}  // namespace tomeferry::update
