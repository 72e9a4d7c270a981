// Times the catalogue store on the large catalogue against mdb-sql running the same
// statements, and prints the medians, their ratios and the peak memory.
//
//   bench_catalogue [runs]     (default 7)
#include <cstdio>
#include <cstdlib>
#include <functional>
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

// Lists `statement` into `list` `runs` times and compares the median with mdb-sql.
void benchListing(const std::string& label, const std::string& catalogue, const catalogue::Statement& statement,
                  catalogue::BookList& list, const std::function<std::size_t()>& rowCount, int runs) {
  bench::Timing ours = bench::measure(runs, [&] { catalogue::listBooks(catalogue, statement, list); });
  bench::printComparison(label, rowCount(), ours, bench::mdbSqlMedian(catalogue, statement.text, runs));
}

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
  benchListing("listing 玄幻", path, catalogue::categoryStatement(gbk("玄幻")), list, count, runs);
  benchListing("listing 剧本", path, catalogue::categoryStatement(gbk("剧本")), list, count, runs);
  benchListing("title search 剑雨", path, catalogue::titleStatement(gbk("剑雨")), list, count, runs);
  benchListing("author search 孙李", path, catalogue::authorStatement(gbk("孙李")), list, count, runs);

  std::string address;
  // The lookup stops at the first matching row (here the second of the file); mdb-sql reads all.
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
