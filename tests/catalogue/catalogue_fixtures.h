#pragma once
// Fixture files copied into a fresh temporary directory, their expected rows, and a
// book list that records what the listing did to it.
#include <string>
#include <vector>

#include "catalogue/book_listing.h"

namespace tomeferry::test {

// GBK bytes of a UTF-8 literal.
std::string gbk(const std::string& utf8);

// A temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Path of a file in the repository's test data.
std::string testData(const std::string& name);
// Copies test data `name` to `dir` as `as` and returns the copy's path.
std::string copyFixture(const TempDir& dir, const std::string& name, const std::string& as = "db1.mdb");
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

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
