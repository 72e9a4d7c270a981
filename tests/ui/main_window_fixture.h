#pragma once
// What the main window tests share: a temporary program directory holding a copy of a
// catalogue fixture, the fixture's rows as expected values, and a recording opener.
#include <QPoint>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/opener.h"
#include "ui/main_window.h"
#include "ui/report_view.h"

namespace tomeferry::test {

// One row of a fixture's .tsv, texts in GBK.
struct CatalogueRow {
  int id;
  std::string title, author, size, category, address;
};

// The rows of tests/data/<name>.tsv in storage order.
std::vector<CatalogueRow> catalogueRows(const std::string& name);
// The rows of tests/data/catalogue.tsv that `keep` accepts, in storage order.
std::vector<CatalogueRow> catalogueRowsWhere(const std::function<bool(const CatalogueRow&)>& keep);

// Each cell of `list` as its row and columns 1-3 would be listed from `rows`; reports the
// first difference through QCOMPARE-friendly text ("" when the list equals the rows).
std::string differenceFromListing(const ui::ReportView& list, const std::vector<CatalogueRow>& rows);

std::string gbk(const char* utf8);

class RecordingOpener final : public platform::Opener {
 public:
  void open(const std::string& address) override { opened.push_back(address); }
  std::vector<std::string> opened;
};

// A program directory with data/db1.mdb copied from tests/data/<catalogue>.mdb;
// an empty `catalogue` leaves data/ without a catalogue.
class ProgramDirectory {
 public:
  explicit ProgramDirectory(const std::string& catalogue = "catalogue");
  std::string path() const;
  // Replaces data/db1.mdb with a copy of tests/data/<catalogue>.mdb.
  void installCatalogue(const std::string& catalogue);

 private:
  QTemporaryDir dir_;
};

// A main window over `directory` with the skin and the start-up check left out, as after
// its creation handler (not yet shown).
struct CreatedWindow {
  ProgramDirectory directory;
  RecordingOpener opener;
  std::unique_ptr<ui::MainWindow> window;
  explicit CreatedWindow(const std::string& catalogue = "catalogue");
};

// Types `text` into `widget` as an input method commits it, as Chinese is typed.
void typeText(QWidget* widget, const QString& text);

// The centre of `row` in `list`'s viewport, and a point below its last row.
QPoint rowCentre(const ui::ReportView& list, int row);
QPoint belowRows(const ui::ReportView& list);

}  // namespace tomeferry::test
