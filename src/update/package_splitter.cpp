#include "update/package_splitter.h"

namespace tomeferry::update {

std::vector<std::string> splitPackage(std::string_view package) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  // Leftmost occurrences first, never overlapping; a separator preceded by more 'a's is still found.
  for (auto at = package.find(kPackageSeparator); at != std::string_view::npos;
       at = package.find(kPackageSeparator, start)) {
    pieces.emplace_back(package.substr(start, at - start));
    start = at + kPackageSeparator.size();
  }
  // A separator at the very end adds no empty piece after it.
  if (start < package.size()) pieces.emplace_back(package.substr(start));
  return pieces;
}

}  // namespace tomeferry::update
