#pragma once
#include <string>

namespace tomeferry::catalogue {

// "data/db1.mdb" under the program directory.
std::string catalogueFilePath(const std::string& programDir);

// True when the file at `path` opens as an Access catalogue holding the table 书库.
bool isCatalogueFile(const std::string& path);

}  // namespace tomeferry::catalogue
