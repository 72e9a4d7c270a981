#pragma once
#include <string>

namespace tomeferry::catalogue {

// "data/db1.mdb" under the program directory.
std::string catalogueFilePath(const std::string& programDir);

// True when the file at `path` opens as an Access catalogue holding the table 书库, all of
// whose rows can be read: a file cut short or damaged on the way is not a catalogue.
// Safe to call on any thread.
bool isCatalogueFile(const std::string& path);

}  // namespace tomeferry::catalogue
