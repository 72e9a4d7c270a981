#include "catalogue/catalogue_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "catalogue_fixtures.h"
#include "platform/program_directory.h"

namespace tomeferry::catalogue {
namespace {

TEST(CatalogueFile, LiesInTheDataFolderOfTheProgramDirectory) {
  EXPECT_EQ(catalogueFilePath("/opt/tomeferry"), "/opt/tomeferry/data/db1.mdb");
}

TEST(CatalogueFile, EveryFixtureIsACatalogue) {
  test::TempDir dir;
  for (const char* name : {"catalogue.mdb", "catalogue-new.mdb", "catalogue-numeric-size.mdb",
                           "catalogue-no-address.mdb", "catalogue-long-title.mdb"})
    EXPECT_TRUE(isCatalogueFile(test::copyFixture(dir, name, name))) << name;
}

TEST(CatalogueFile, CanBeCheckedFromAnotherThread) {
  test::TempDir dir;
  std::string good = test::copyFixture(dir, "catalogue-new.mdb", "new.mdb");
  std::string missing = dir.file("missing.mdb");
  auto check = std::async(std::launch::async, [&] { return std::pair(isCatalogueFile(good), isCatalogueFile(missing)); });
  EXPECT_EQ(check.get(), std::pair(true, false));
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningExecutable) {
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(platform::programDirectory(), exe.parent_path().string());
  EXPECT_EQ(platform::programFile("/a/b", "ini.ini"), "/a/b/ini.ini");
}

}  // namespace
}  // namespace tomeferry::catalogue
