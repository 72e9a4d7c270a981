#include "main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <fstream>
#include <sstream>

#include "platform/text_encoding.h"

namespace tomeferry::test {

namespace {

std::string fixturePath(const std::string& name) { return std::string(TOMEFERRY_TEST_DATA) + "/" + name; }

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return cells;
}

}  // namespace

std::string gbk(const char* utf8) { return platform::utf8ToGbk(utf8); }

std::vector<CatalogueRow> catalogueRows(const std::string& name) {
  std::ifstream file(fixturePath(name + ".tsv"));
  std::vector<CatalogueRow> rows;
  std::string line;
  std::getline(file, line);  // column names
  while (std::getline(file, line)) {
    if (line.empty()) continue;
    std::vector<std::string> cells = splitTabs(line);
    cells.resize(7);
    rows.push_back({std::stoi(cells[0]), platform::utf8ToGbk(cells[1]), platform::utf8ToGbk(cells[2]),
                    platform::utf8ToGbk(cells[3]), platform::utf8ToGbk(cells[4]),
                    platform::utf8ToGbk(cells[5])});
  }
  return rows;
}

std::vector<CatalogueRow> catalogueRowsWhere(const std::function<bool(const CatalogueRow&)>& keep) {
  std::vector<CatalogueRow> kept;
  for (const CatalogueRow& row : catalogueRows("catalogue")) {
    if (keep(row)) kept.push_back(row);
  }
  return kept;
}

std::string differenceFromListing(const ui::ReportView& list, const std::vector<CatalogueRow>& rows) {
  std::ostringstream out;
  const int count = list.reportModel()->rowCount();
  if (count != static_cast<int>(rows.size())) {
    out << "list has " << count << " rows, expected " << rows.size();
    return out.str();
  }
  for (int i = 0; i < count; ++i) {
    const CatalogueRow& row = rows[static_cast<std::size_t>(i)];
    const std::string expected[] = {std::to_string(i + 1), row.title, row.author, row.size};
    for (int column = 0; column < 4; ++column) {
      if (list.cellText(i, column) != expected[column]) {
        out << "row " << i << " column " << column << ": \""
            << platform::gbkToUtf8(list.cellText(i, column)) << "\", expected \""
            << platform::gbkToUtf8(expected[column]) << "\"";
        return out.str();
      }
    }
  }
  return {};
}

ProgramDirectory::ProgramDirectory(const std::string& catalogue) {
  QDir(dir_.path()).mkpath(QStringLiteral("data"));
  if (!catalogue.empty()) installCatalogue(catalogue);
}

std::string ProgramDirectory::path() const { return dir_.path().toStdString(); }

void ProgramDirectory::installCatalogue(const std::string& catalogue) {
  const QString target = dir_.filePath(QStringLiteral("data/db1.mdb"));
  QFile::remove(target);
  QFile::copy(QString::fromStdString(fixturePath(catalogue + ".mdb")), target);
  QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

CreatedWindow::CreatedWindow(const std::string& catalogue) : directory(catalogue) {
  window = std::make_unique<ui::MainWindow>(ui::MainWindowContext{directory.path(), opener, {}, {}});
  window->handleCreated();
}

void typeText(QWidget* widget, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QCoreApplication::sendEvent(widget, &commit);
}

QPoint rowCentre(const ui::ReportView& list, int row) {
  return list.visualRect(list.reportModel()->index(row, 0)).center();
}

QPoint belowRows(const ui::ReportView& list) {
  const int rows = list.reportModel()->rowCount();
  const int bottom = rows == 0 ? 0 : list.visualRect(list.reportModel()->index(rows - 1, 0)).bottom();
  return QPoint(20, bottom + 20);
}

}  // namespace tomeferry::test
