// A damaged or foreign catalogue file lists nothing and looks up the empty address; it
// never ends the program.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <random>

#include "catalogue/address_lookup.h"
#include "catalogue/book_listing.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/statements.h"
#include "catalogue_fixtures.h"

namespace tomeferry::catalogue {
namespace {

using test::gbk;

constexpr std::size_t kPage = 4096;

std::string randomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string goodCatalogue() { return test::readFile(test::testData("catalogue.mdb")); }

// The same catalogue with its table renamed from 书库 to 书房: a sound Access file that
// holds no catalogue table. Table names are stored as UCS-2 in the system catalogue.
std::string withoutCatalogueTable() {
  std::string bytes = goodCatalogue();
  const std::string from("\x66\x4E\x93\x5E", 4);  // 书库
  const std::string to("\x66\x4E\x3F\x62", 4);    // 书房
  for (std::size_t at = 0; (at = bytes.find(from, at)) != std::string::npos; at += to.size()) bytes.replace(at, from.size(), to);
  return bytes;
}

// The catalogue with one byte changed: `page` and `offset` within it.
std::string withByte(std::size_t page, std::size_t offset, char value) {
  std::string bytes = goodCatalogue();
  bytes[page * kPage + offset] = value;
  return bytes;
}

// Byte 55 of a table definition page is the row that holds the table's usage map (the
// bitmap of its data pages); row 0x50 does not exist, which leaves an empty map.
constexpr std::size_t kUsageMapRow = 55;
constexpr std::size_t kSystemTableDefinition = 2;
constexpr std::size_t kCatalogueTableDefinition = 24;

struct BrokenCase {
  const char* name;
  std::function<void(const std::string& path)> make;
};

void contents(const std::string& path, const std::string& bytes) { test::writeFile(path, bytes); }

const BrokenCase kCases[] = {
    {"missing", [](const std::string&) {}},
    {"zero bytes", [](const std::string& p) { contents(p, ""); }},
    {"cut after 1 byte", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 1)); }},
    {"cut after 100 bytes", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 100)); }},
    {"cut after page 0", [](const std::string& p) { contents(p, goodCatalogue().substr(0, kPage)); }},
    {"cut after page 1", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 2 * kPage)); }},
    {"cut in half", [](const std::string& p) { contents(p, goodCatalogue().substr(0, goodCatalogue().size() / 2)); }},
    {"cut one byte short", [](const std::string& p) { contents(p, goodCatalogue().substr(0, goodCatalogue().size() - 1)); }},
    {"cut before the system catalogue rows", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 6 * kPage)); }},
    {"cut before the table definition", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 24 * kPage)); }},
    {"cut before the data page", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 27 * kPage)); }},
    {"cut before the last page", [](const std::string& p) { contents(p, goodCatalogue().substr(0, 28 * kPage)); }},
    {"random bytes", [](const std::string& p) { contents(p, randomBytes(29 * kPage, 1)); }},
    {"random pages behind a sound header",
     [](const std::string& p) { contents(p, goodCatalogue().substr(0, kPage) + randomBytes(28 * kPage, 2)); }},
    {"system catalogue without its page map",
     [](const std::string& p) { contents(p, withByte(kSystemTableDefinition, kUsageMapRow, 0x50)); }},
    {"书库 without its page map",
     [](const std::string& p) { contents(p, withByte(kCatalogueTableDefinition, kUsageMapRow, 0x50)); }},
    {"text file", [](const std::string& p) { contents(p, "select * from books\n"); }},
    {"directory", [](const std::string& p) { std::filesystem::create_directory(p); }},
    {"fifo", [](const std::string& p) { mkfifo(p.c_str(), 0600); }},
    {"no table 书库", [](const std::string& p) { contents(p, withoutCatalogueTable()); }},
};

TEST(BrokenCatalogue, ListsNothingAndFindsNoAddress) {
  for (const BrokenCase& c : kCases) {
    test::TempDir dir;
    std::string path = dir.file("db1.mdb");
    c.make(path);

    test::RecordingBookList list;
    list.rows.push_back({"stale", "stale", "stale"});
    listBooks(path, categoryStatement(gbk("玄幻")), list);
    EXPECT_EQ(list.removeCalls, 1) << c.name;
    EXPECT_TRUE(list.rows.empty()) << c.name;

    listBooks(path, titleStatement(gbk("斗破苍穹")), list);
    EXPECT_TRUE(list.rows.empty()) << c.name;
    EXPECT_EQ(lookupDownloadAddress(path, gbk("斗破苍穹"), gbk("天蚕土豆")), "") << c.name;
    EXPECT_FALSE(isCatalogueFile(path)) << c.name;
  }
}

TEST(BrokenCatalogue, TheRenamedTableFileIsStillASoundAccessFile) {
  // Guards the fixture above: only the table's name differs, so the file still opens.
  test::TempDir dir;
  std::string path = dir.file("db1.mdb");
  std::string renamed = withoutCatalogueTable();
  ASSERT_NE(renamed, goodCatalogue());
  test::writeFile(path, renamed);
  test::RecordingBookList list;
  Statement statement = categoryStatement(gbk("玄幻"));
  statement.query.table = gbk("书房");
  listBooks(path, statement, list);
  EXPECT_EQ(list.rows.size(), 7u);
}

}  // namespace
}  // namespace tomeferry::catalogue
