#include <gtest/gtest.h>

#include <random>

#include "update/package_scanner.h"
#include "update/package_splitter.h"

namespace tomeferry::update {
namespace {

using Pieces = std::vector<std::string>;
const std::string S(kPackageSeparator);

struct SplitCase {
  const char* name;
  std::string package;
  Pieces pieces;
  friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

const std::vector<SplitCase>& splitCases() {
  static const std::vector<SplitCase> cases = {
      {"Empty", "", {}},
      {"NoSeparator", "HDRDB", {"HDRDB"}},
      {"HeaderAndCatalogue", "HDR" + S + "DB", {"HDR", "DB"}},
      {"StartsWithSeparator", S + "DB", {"", "DB"}},
      {"TailIgnored", "HDR" + S + "DB" + S + "TAIL", {"HDR", "DB", "TAIL"}},
      {"SeparatorAtTheEnd", "HDR" + S + "DB" + S, {"HDR", "DB"}},
      {"OnlySeparator", S, {""}},
      {"TwoSeparators", S + S, {"", ""}},
      {"EmptyCatalogue", "H" + S + S + "T", {"H", "", "T"}},
      {"MoreAsBeforeTheSeparator", "aaaaaaxxxxDB", {"a", "DB"}},
      {"ManyAs", "aaaaaaaaaaaaaxxxxz", {"aaaaaaaa", "z"}},
      {"AlmostSeparator", "aaaaxxxx aaaaaxxx", {"aaaaxxxx aaaaaxxx"}},
      {"SeparatorCutAtTheEnd", "DB" + S.substr(0, 8), {"DB" + S.substr(0, 8)}},
      {"XsBetween", "aaaaaxxxxxxxx", {"", "xxxx"}},
      {"NoOverlap", "aaaaaxxxxaaaaxxxx", {"", "aaaaxxxx"}},
      {"ShortTail", "H" + S + "a", {"H", "a"}},
      {"ZeroBytes", std::string("\0\0", 2) + S + std::string("\0", 1),
       {std::string("\0\0", 2), std::string("\0", 1)}},
  };
  return cases;
}

class SplitPackageTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPackageTest, CutsAtEverySeparator) {
  EXPECT_EQ(splitPackage(GetParam().package), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(Packages, SplitPackageTest, ::testing::ValuesIn(splitCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Feeds the package to a scanner in reads of the given sizes and gathers its pieces.
Pieces scan(std::string_view package, const std::vector<std::size_t>& reads) {
  Pieces pieces;
  std::string current;
  PackageScanner scanner(
      [&](std::size_t piece, std::string_view bytes) {
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(piece, pieces.size());
        current.append(bytes);
        return true;
      },
      [&](std::size_t piece) {
        EXPECT_EQ(piece, pieces.size());
        pieces.push_back(std::move(current));
        current.clear();
        return true;
      });
  std::size_t at = 0;
  for (const std::size_t n : reads) {
    EXPECT_TRUE(scanner.feed(package.substr(std::min(at, package.size()), n)));
    at += n;
  }
  at = std::min(at, package.size());
  EXPECT_TRUE(scanner.feed(package.substr(at)));
  EXPECT_TRUE(scanner.finish());
  EXPECT_TRUE(current.empty());
  EXPECT_EQ(scanner.pieces(), pieces.size());
  return pieces;
}

// Every way of cutting the package into two reads, and into three for short packages.
void expectSameAsSplitAtEveryCut(const std::string& package) {
  const Pieces expected = splitPackage(package);
  ASSERT_EQ(scan(package, {}), expected);
  for (std::size_t i = 0; i <= package.size(); ++i) {
    ASSERT_EQ(scan(package, {i}), expected) << "one cut at " << i;
    if (package.size() > 40) continue;
    for (std::size_t j = i; j <= package.size(); ++j) {
      ASSERT_EQ(scan(package, {i, j - i}), expected) << "cuts at " << i << ", " << j;
    }
  }
  std::vector<std::size_t> bytewise(package.size(), 1);
  ASSERT_EQ(scan(package, bytewise), expected);
}

TEST(PackageScanner, AgreesWithSplitOnTheTableAtEveryCut) {
  for (const auto& c : splitCases()) {
    SCOPED_TRACE(c.name);
    expectSameAsSplitAtEveryCut(c.package);
  }
}

TEST(PackageScanner, AgreesWithSplitOnRandomPackages) {
  std::mt19937 gen(20261211);
  // Mostly 'a' and 'x', so separators, near misses and runs of 'a' are frequent.
  const std::string alphabet = "aaaaaxxxxb";
  for (int round = 0; round < 400; ++round) {
    const std::size_t length = gen() % 60;
    std::string package;
    for (std::size_t i = 0; i < length; ++i) {
      if (gen() % 12 == 0) {
        package += S;
      } else {
        package += alphabet[gen() % alphabet.size()];
      }
    }
    SCOPED_TRACE(package);
    expectSameAsSplitAtEveryCut(package);
  }
}

TEST(PackageScanner, AgreesWithSplitOnALargePackageInRandomReads) {
  std::mt19937 gen(7);
  std::string package;
  for (int i = 0; i < 200'000; ++i) {
    const unsigned r = gen() % 1000;
    package += r == 0 ? S : std::string(1, r < 500 ? 'a' : static_cast<char>(r));
  }
  std::vector<std::size_t> reads;
  for (std::size_t total = 0; total < package.size();) {
    reads.push_back(1 + gen() % 20'000);
    total += reads.back();
  }
  EXPECT_EQ(scan(package, reads), splitPackage(package));
}

TEST(PackageScanner, StopsWhenASinkSaysSo) {
  const std::string package = "H" + S + "DB" + S + "TAIL" + S + "MORE";
  std::string catalogue;
  PackageScanner scanner(
      [&](std::size_t piece, std::string_view bytes) {
        if (piece == 1) catalogue.append(bytes);
        EXPECT_LT(piece, 2u);
        return true;
      },
      [](std::size_t piece) { return piece != 1; });
  EXPECT_FALSE(scanner.feed(package));
  EXPECT_TRUE(scanner.stopped());
  EXPECT_EQ(catalogue, "DB");
  EXPECT_EQ(scanner.pieces(), 2u);
  EXPECT_FALSE(scanner.feed("more"));
  EXPECT_FALSE(scanner.finish());
}

}  // namespace
}  // namespace tomeferry::update
