#include <gtest/gtest.h>

#include "test_files.h"
#include "update/version_file.h"

namespace tomeferry::update {
namespace {

using namespace std::string_literals;

struct CompareCase {
  std::string field;
  std::string recorded;
  bool differ;
  friend void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.field) << " vs " << ::testing::PrintToString(c.recorded);
  }
};

class VersionsDifferTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(VersionsDifferTest, ComparesBytesExactly) {
  EXPECT_EQ(versionsDiffer(GetParam().field, GetParam().recorded), GetParam().differ);
  EXPECT_EQ(versionsDiffer(GetParam().recorded, GetParam().field), GetParam().differ);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionsDifferTest,
    ::testing::Values(CompareCase{"15", "15", false}, CompareCase{"", "", false},
                      CompareCase{"1.2", "1.20", true}, CompareCase{"9", "10", true},
                      CompareCase{"2", "1", true}, CompareCase{"v1", "V1", true},
                      CompareCase{" 15", "15", true}, CompareCase{"15", "", true},
                      CompareCase{"\xB0\xE6", "\xB0\xE6", false}, CompareCase{"\xB0\xE6", "\xB0\xE7", true},
                      CompareCase{"1\r\n", "1", true},
                      // A text ends at its first zero byte.
                      CompareCase{"15\0x"s, "15", false}));

TEST(VersionFile, ReadsAFileWrittenOnWindows) {
  testing::TempDir dir;
  testing::writeFile(dir / "ini.ini", "[\xC5\xE4\xD6\xC3]\r\n\xB0\xE6\xB1\xBE=1.2\r\n"
                                      "\xBF\xE2\xB0\xE6\xB1\xBE= 15\r\n");
  EXPECT_EQ(readRecordedVersion(dir.str(), kProgramVersionKey), "1.2");
  EXPECT_EQ(readRecordedVersion(dir.str(), kCatalogueVersionKey), "15");
  EXPECT_FALSE(versionsDiffer("15", readRecordedVersion(dir.str(), kCatalogueVersionKey)));
}

TEST(VersionFile, WithoutAFileEveryNonEmptyFieldDiffers) {
  testing::TempDir dir;
  EXPECT_EQ(readRecordedVersion(dir.str(), kProgramVersionKey), "");
  EXPECT_TRUE(versionsDiffer("1", readRecordedVersion(dir.str(), kProgramVersionKey)));
  EXPECT_FALSE(versionsDiffer("", readRecordedVersion(dir.str(), kProgramVersionKey)));
}

TEST(VersionFile, WritesTheCatalogueVersionBesideTheProgramVersion) {
  testing::TempDir dir;
  EXPECT_EQ(versionFilePath(dir.str()), (dir / "ini.ini").string());
  testing::writeFile(dir / "ini.ini", "[\xC5\xE4\xD6\xC3]\r\n\xB0\xE6\xB1\xBE=1.2\r\n");
  ASSERT_TRUE(writeRecordedVersion(dir.str(), kCatalogueVersionKey, "16"));
  EXPECT_EQ(testing::readFile(dir / "ini.ini"),
            "[\xC5\xE4\xD6\xC3]\r\n\xB0\xE6\xB1\xBE=1.2\r\n\xBF\xE2\xB0\xE6\xB1\xBE=16\r\n");
  EXPECT_EQ(readRecordedVersion(dir.str(), kProgramVersionKey), "1.2");
}

}  // namespace
}  // namespace tomeferry::update
