#pragma once
// A catalogue package: HEADER "aaaaaxxxx" CATALOGUE ["aaaaaxxxx" ...]. Piece 1 is the catalogue.
#include <string>
#include <string_view>
#include <vector>

namespace tomeferry::update {

inline constexpr std::string_view kPackageSeparator = "aaaaaxxxx";

// The package cut at every separator, left to right. Empty bytes give no pieces; bytes
// after the last separator form a last piece only when there is at least one.
std::vector<std::string> splitPackage(std::string_view package);

// (The streaming form of the same cut, used while downloading, lives beside this.)

}  // namespace tomeferry::update
