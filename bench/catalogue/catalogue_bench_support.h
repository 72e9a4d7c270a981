#pragma once
// Building blocks for timing the catalogue store against the large catalogue
// (100,000 books, 29,635 of them 玄幻). A benchmark of another book list (the real list
// model, say) unpacks the catalogue with LargeCatalogue and calls compareListing with its
// own BookList.
#include <functional>
#include <optional>
#include <string>

#include "catalogue/book_listing.h"
#include "catalogue/statements.h"

namespace tomeferry::bench {

// bench/catalogue-large.mdb.xz unpacked with xz into a fresh temporary folder, removed again
// on destruction. path() is empty when unpacking failed.
class LargeCatalogue {
 public:
  LargeCatalogue();
  ~LargeCatalogue();
  LargeCatalogue(const LargeCatalogue&) = delete;
  LargeCatalogue& operator=(const LargeCatalogue&) = delete;
  const std::string& path() const { return path_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string path_;
};

// Medians in milliseconds: wall time, and processor time (user + system), which other
// work on the machine disturbs less.
struct Timing {
  double ms = 0;
  double cpuMs = 0;
};

// Medians over `runs` calls of `work` in this process.
Timing measure(int runs, const std::function<void()>& work);

// A program run to its end with its output thrown away.
struct ProcessRun {
  double ms = 0;        // wall time, process start included
  double cpuMs = 0;     // the process's user + system time
  long peakRssKb = 0;   // the process's own peak resident memory
};

// Median over `runs` of `MDBICONV=GBK mdb-sql -P -i <file holding sqlGbk> <catalogue>`
// into /dev/null; nothing when mdb-sql cannot be run.
std::optional<ProcessRun> mdbSqlMedian(const std::string& catalogue, const std::string& sqlGbk, int runs);

// Peak resident memory of this process so far, in KiB.
long peakRssKb();

// Prints `<label> (<rows> rows): median X ms; mdb-sql: Y ms; ratio Z` (ratio = X / Y),
// followed by the same for processor time.
void printComparison(const std::string& label, std::size_t rows, const Timing& ours,
                     const std::optional<ProcessRun>& mdbSql);

// Lists `statement` from `catalogue` into `list` `runs` times, runs the statement's SQL text
// as often through mdb-sql, and prints the comparison; `rowCount` tells how many rows the
// list holds afterwards.
void compareListing(const std::string& label, const std::string& catalogue, const catalogue::Statement& statement,
                    catalogue::BookList& list, const std::function<std::size_t()>& rowCount, int runs);

}  // namespace tomeferry::bench
