#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/file_replace.h"
#include "test_files.h"

namespace tomeferry::platform {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

std::size_t entries(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(ReplacementFile, ReplacesALongerFileWhole) {
  TempDir dir;
  writeFile(dir / "db1.mdb", std::string(5000, 'o'));
  ::chmod((dir / "db1.mdb").c_str(), 0640);
  ASSERT_TRUE(replaceFile((dir / "db1.mdb").string(), "new"));
  EXPECT_EQ(readFile(dir / "db1.mdb"), "new");
  EXPECT_EQ(fs::status(dir / "db1.mdb").permissions(), fs::perms(0640));
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ReplacementFile, CreatesTheMissingFolder) {
  TempDir dir;
  ASSERT_TRUE(replaceFile((dir / "data" / "db1.mdb").string(), "x"));
  EXPECT_EQ(readFile(dir / "data" / "db1.mdb"), "x");
}

TEST(ReplacementFile, LeavesNothingWhenNotCommitted) {
  TempDir dir;
  writeFile(dir / "db1.mdb", "old");
  {
    ReplacementFile file((dir / "db1.mdb").string());
    ASSERT_TRUE(file.ok());
    EXPECT_TRUE(file.write("half"));
    EXPECT_TRUE(fs::exists(file.temporaryPath()));
    EXPECT_EQ(entries(dir.path()), 2u);
  }
  EXPECT_EQ(readFile(dir / "db1.mdb"), "old");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ReplacementFile, FailsCleanlyOntoAFolder) {
  TempDir dir;
  fs::create_directories(dir / "db1.mdb" / "inside");
  EXPECT_FALSE(replaceFile((dir / "db1.mdb").string(), "x"));
  EXPECT_TRUE(fs::is_directory(dir / "db1.mdb" / "inside"));
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(ReplacementFile, FailsCleanlyInAFolderThatIsAFile) {
  TempDir dir;
  writeFile(dir / "data", "not a folder");
  ReplacementFile file((dir / "data" / "db1.mdb").string());
  EXPECT_FALSE(file.ok());
  EXPECT_FALSE(file.write("x"));
  EXPECT_FALSE(file.commit());
  EXPECT_EQ(readFile(dir / "data"), "not a folder");
}

TEST(RemoveStaleReplacements, TakesOnlyOurOwnAbandonedFiles) {
  TempDir dir;
  const std::string target = (dir / "db1.mdb").string();
  writeFile(dir / "db1.mdb", "old");
  writeFile(dir / ("db1.mdb" + std::string(kReplacementSuffix) + "Ab12xZ"), "stale");
  writeFile(dir / ("db1.mdb" + std::string(kReplacementSuffix) + "Ab12x"), "other");
  writeFile(dir / ("other.mdb" + std::string(kReplacementSuffix) + "Ab12xZ"), "other");
  writeFile(dir / "db1.mdb.bak", "other");
  ReplacementFile running(target);  // still being written by someone: must stay
  EXPECT_EQ(removeStaleReplacements(target), 1);
  EXPECT_TRUE(fs::exists(running.temporaryPath()));
  EXPECT_EQ(entries(dir.path()), 5u);
  EXPECT_EQ(removeStaleReplacements((dir / "missing" / "db1.mdb").string()), 0);
}

}  // namespace
}  // namespace tomeferry::platform
