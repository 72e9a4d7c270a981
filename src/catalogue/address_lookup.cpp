#include "catalogue/address_lookup.h"

#include "catalogue/statements.h"

namespace tomeferry::catalogue {

std::string lookupDownloadAddress(const std::string& cataloguePath, const std::string& title,
                                  const std::string& author) {
  std::unique_ptr<platform::CatalogueConnection> connection = platform::openCatalogue(cataloguePath);
  if (!connection) return {};
  // The first matching row wins; an empty result reads as "".
  return connection->run(lookupStatement(title, author).query)->text(0);
}

}  // namespace tomeferry::catalogue
