#include "catalogue_fixtures.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text_encoding.h"

namespace tomeferry::test {

std::string gbk(const std::string& utf8) { return platform::utf8ToGbk(utf8); }

std::string testData(const std::string& name) { return std::string(TOMEFERRY_TEST_DATA) + "/" + name; }

std::string copyFixture(const TempDir& dir, const std::string& name, const std::string& as) {
  std::string target = dir.file(as);
  std::filesystem::copy_file(testData(name), target, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  return target;
}

std::vector<CatalogueRow> readRows(const std::string& tsvName) {
  std::istringstream lines(platform::utf8ToGbk(readFile(testData(tsvName))));
  std::vector<std::string> header;
  std::vector<CatalogueRow> rows;
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    std::vector<std::string> cells;
    std::size_t begin = 0;
    for (std::size_t tab; (tab = line.find('\t', begin)) != std::string::npos; begin = tab + 1)
      cells.push_back(line.substr(begin, tab - begin));
    cells.push_back(line.substr(begin));
    if (first) {
      header = cells;
      first = false;
      continue;
    }
    auto cell = [&](const char* utf8Name) {
      std::string name = gbk(utf8Name);
      for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i)
        if (header[i] == name) return cells[i];
      return std::string();
    };
    CatalogueRow row;
    row.id = std::stoi(cells.at(0));
    row.title = cell("书名");
    row.author = cell("作者");
    row.size = cell("大小");
    row.category = cell("类型");
    row.address = cell("下载地址");
    rows.push_back(row);
  }
  return rows;
}

void RecordingBookList::removeAllRows() {
  ++removeCalls;
  rows.clear();
}

void RecordingBookList::appendRows(std::vector<catalogue::BookRow> more) {
  ++appendCalls;
  if (removeCalls == 0) appendedBeforeRemove = true;
  rows.insert(rows.end(), more.begin(), more.end());
}

}  // namespace tomeferry::test
