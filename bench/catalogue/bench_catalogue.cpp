// Times the catalogue store on the large catalogue against mdb-sql running the same
// statements, and prints the medians, their ratios and the peak memory.
//
//   bench_catalogue [runs]     (default 7)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/address_lookup.h"
#include "catalogue/book_listing.h"
#include "catalogue/statements.h"
#include "catalogue_bench_support.h"
#include "platform/text_encoding.h"

namespace {

using namespace tomeferry;

// The plainest list that keeps what it is given.
class StoredBookList : public catalogue::BookList {
 public:
  void removeAllRows() override { rows.clear(); }
  void appendRows(std::vector<catalogue::BookRow> more) override {
    if (rows.empty()) rows = std::move(more);
    else rows.insert(rows.end(), more.begin(), more.end());
  }
  std::vector<catalogue::BookRow> rows;
};

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  if (runs < 1) runs = 7;
  bench::LargeCatalogue large;
  if (large.path().empty()) {
    std::fprintf(stderr, "could not unpack the large catalogue with xz\n");
    return 1;
  }
  std::printf("large catalogue: %s, %d runs each\n", large.path().c_str(), runs);
  auto gbk = [](const char* utf8) { return platform::utf8ToGbk(utf8); };
  const std::string& path = large.path();

  StoredBookList list;
  auto count = [&] { return list.rows.size(); };
  bench::compareListing("listing 玄幻", path, catalogue::categoryStatement(gbk("玄幻")), list, count, runs);
  bench::compareListing("listing 剧本", path, catalogue::categoryStatement(gbk("剧本")), list, count, runs);
  bench::compareListing("title search 剑雨", path, catalogue::titleStatement(gbk("剑雨")), list, count, runs);
  bench::compareListing("author search 孙李", path, catalogue::authorStatement(gbk("孙李")), list, count, runs);

  std::string address;
  // The lookup reads the file into memory but stops at the first matching row (here the
  // second of the file); mdb-sql reads every row.
  bench::Timing lookup = bench::measure(runs, [&] { address = catalogue::lookupDownloadAddress(path, gbk("剑雨"), gbk("胡民")); });
  bench::printComparison("address lookup 剑雨/胡民", address.empty() ? 0 : 1, lookup,
                         bench::mdbSqlMedian(path, catalogue::lookupStatement(gbk("剑雨"), gbk("胡民")).text, runs));
  list.rows.clear();

  std::printf("peak RSS: this process %ld KiB", bench::peakRssKb());
  if (auto run = bench::mdbSqlMedian(path, catalogue::categoryStatement(gbk("玄幻")).text, 1))
    std::printf("; mdb-sql listing 玄幻 %ld KiB", run->peakRssKb);
  std::printf("\n");
  return 0;
}
