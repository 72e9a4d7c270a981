#include "catalogue/catalogue_file.h"

#include "catalogue/catalogue_names.h"
#include "platform/catalogue_driver.h"
#include "platform/program_directory.h"

namespace tomeferry::catalogue {

std::string catalogueFilePath(const std::string& programDir) {
  return platform::programFile(programDir, "data/db1.mdb");
}

bool isCatalogueFile(const std::string& path) {
  std::unique_ptr<platform::CatalogueConnection> connection = platform::openCatalogue(path, platform::PageReads::FromDisk);
  return connection && connection->tableIsComplete(names::table());
}

}  // namespace tomeferry::catalogue
