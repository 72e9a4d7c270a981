// Times the main window's handlers on the large catalogue (100,000 books, 29,635 of them
// 玄幻): from the handler's start until the list's model holds the last row.
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>

#include "catalogue/statements.h"
#include "catalogue_bench_support.h"
#include "platform/text_encoding.h"
#include "ui/main_window.h"
#include "ui/report_view.h"

using namespace tomeferry;

namespace {

class NoOpener final : public platform::Opener {
 public:
  void open(const std::string&) override {}
};

constexpr int kRuns = 9;

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  bench::LargeCatalogue large;
  if (large.path().empty()) {
    std::fprintf(stderr, "could not unpack the large catalogue\n");
    return 1;
  }
  // The window reads <program dir>/data/db1.mdb.
  const std::filesystem::path programDir = std::filesystem::path(large.folder()) / "program";
  std::filesystem::create_directories(programDir / "data");
  std::filesystem::create_symlink(large.path(), programDir / "data" / "db1.mdb");

  NoOpener opener;
  ui::MainWindow window({programDir.string(), opener, {}, {}});
  window.handleCreated();
  window.show();
  QApplication::processEvents();

  const std::string category = platform::utf8ToGbk("玄幻");
  ui::ReportView& books = window.bookList();
  const bench::Timing listing = bench::measure(kRuns, [&] { window.listSelectedCategory(); });
  const auto listed = static_cast<std::size_t>(books.reportModel()->rowCount());
  bench::printComparison("category listing 玄幻 into 超级列表框5", listed, listing,
                         bench::mdbSqlMedian(large.path(), catalogue::categoryStatement(category).text, kRuns));

  const bench::Timing shown = bench::measure(kRuns, [&] {
    window.listSelectedCategory();
    window.repaint();  // the visible rows drawn as well
  });
  std::printf("category listing 玄幻 with the window repainted: median %.1f ms (processor %.1f ms)\n", shown.ms,
              shown.cpuMs);

  const std::string title = books.cellText(0, 1);
  window.searchText().setText(QString::fromStdString(platform::gbkToUtf8(title)));
  ui::ReportView& results = window.searchList();
  const bench::Timing search = bench::measure(kRuns, [&] { window.searchByTitle(); });
  bench::printComparison("title search \"" + platform::gbkToUtf8(title) + "\" into 超级列表框6",
                         static_cast<std::size_t>(results.reportModel()->rowCount()), search,
                         bench::mdbSqlMedian(large.path(), catalogue::titleStatement(title).text, kRuns));

  window.pages().setCurrentIndex(0);
  window.listSelectedCategory();
  window.repaint();
  QApplication::processEvents();
  std::printf("peak resident memory with %d rows shown: %ld KiB\n", books.reportModel()->rowCount(),
              bench::peakRssKb());
  return 0;
}
