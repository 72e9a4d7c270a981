// The driver reads catalogues from memory; one too large for that is read by mdbtools
// from the file itself. Both ways must give the same rows.
#include <gtest/gtest.h>

#include "catalogue/statements.h"
#include "catalogue_fixtures.h"
#include "platform/mdb_file_image.h"
#include "platform/mdb_session.h"
#include "platform/mdb_table_scan.h"

namespace tomeferry::platform::mdb {
namespace {

using test::gbk;

std::vector<std::string> titles(const std::string& path, std::uint64_t maxImageSize, const Query& query) {
  std::shared_ptr<Session> session = Session::open(path, maxImageSize);
  if (!session) return {"(not opened)"};
  TableScan scan(session, session->findTable(query.table), query);
  std::vector<std::string> out;
  for (; !scan.atEnd(); scan.next()) out.push_back(scan.text(0));
  return out;
}

TEST(MdbFileReading, MemoryAndFileGiveTheSameRows) {
  test::TempDir dir;
  std::string path = test::copyFixture(dir, "catalogue.mdb");
  const std::uint64_t fromFile = 0;
  for (const char* category : {"玄幻", "科幻", "剧本", ""}) {
    Query query = catalogue::categoryStatement(gbk(category)).query;
    std::vector<std::string> inMemory = titles(path, kMaxImageSize, query);
    EXPECT_EQ(inMemory, titles(path, fromFile, query)) << category;
  }
  EXPECT_EQ(titles(path, fromFile, catalogue::categoryStatement(gbk("玄幻")).query).size(), 7u);
  ASSERT_TRUE(FileImage::load(path, fromFile));
  EXPECT_EQ(FileImage::load(path, fromFile)->data(), nullptr);
  EXPECT_NE(FileImage::load(path)->data(), nullptr);
}

struct HeaderCase {
  const char* name;
  std::string header;
  std::uint64_t fileSize;
  std::size_t pageSize;
};

std::string header(const char* signature, unsigned char version) {
  std::string h("\x00\x01\x00\x00", 4);
  h += signature;
  h += '\0';
  h += std::string(1, static_cast<char>(version)) + std::string(3, '\0');
  return h;
}

TEST(MdbFileReading, OnlyWholePagesOfAnAccessFileAreAccepted) {
  const HeaderCase cases[] = {
      {"jet 4", header("Standard Jet DB", 1), 29 * 4096, 4096},
      {"jet 3", header("Standard Jet DB", 0), 5 * 2048, 2048},
      {"ace", header("Standard ACE DB", 2), 3 * 4096, 4096},
      {"half a page over", header("Standard Jet DB", 1), 29 * 4096 + 2048, 0},
      {"two pages", header("Standard Jet DB", 1), 2 * 4096, 0},
      {"other signature", header("Standard Foo DB", 1), 29 * 4096, 0},
      {"bad magic", "\x01" + header("Standard Jet DB", 1).substr(1), 29 * 4096, 0},
      {"short header", header("Standard Jet DB", 1).substr(0, 10), 29 * 4096, 0},
  };
  for (const HeaderCase& c : cases) {
    auto bytes = reinterpret_cast<const unsigned char*>(c.header.data());
    EXPECT_EQ(accessPageSize(bytes, c.header.size(), c.fileSize), c.pageSize) << c.name;
  }
}

}  // namespace
}  // namespace tomeferry::platform::mdb
