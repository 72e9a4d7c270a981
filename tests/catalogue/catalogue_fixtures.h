#pragma once
// Fixture files copied into a fresh temporary directory, their expected rows, and a
// book list that records what the listing did to it.
#include <string>
#include <vector>

#include "catalogue/book_listing.h"
#include "test_files.h"

namespace tomeferry::test {

// GBK bytes of a UTF-8 literal.
std::string gbk(const std::string& utf8);

using testing::TempDir;
using testing::readFile;
using testing::writeFile;

// Path of a file in the repository's test data.
std::string testData(const std::string& name);
// Copies test data `name` to `dir` as `as` and returns the copy's path.
std::string copyFixture(const TempDir& dir, const std::string& name, const std::string& as = "db1.mdb");

// One row of a fixture's .tsv, converted to GBK.
struct CatalogueRow {
  int id = 0;
  std::string title, author, size, category, address;
};
std::vector<CatalogueRow> readRows(const std::string& tsvName);

// A book list that keeps its rows and counts the calls it gets.
class RecordingBookList : public catalogue::BookList {
 public:
  void removeAllRows() override;
  void appendRows(std::vector<catalogue::BookRow> rows) override;

  std::vector<catalogue::BookRow> rows;
  int removeCalls = 0;
  int appendCalls = 0;
  bool appendedBeforeRemove = false;
};

}  // namespace tomeferry::test
