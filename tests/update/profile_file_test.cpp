#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile_file.h"
#include "test_files.h"

namespace tomeferry::platform {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// GBK names as the version file holds them.
const std::string kSection = "\xC5\xE4\xD6\xC3";            // 配置
const std::string kVersion = "\xB0\xE6\xB1\xBE";            // 版本
const std::string kCatalogue = "\xBF\xE2\xB0\xE6\xB1\xBE";  // 库版本

struct ReadCase {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::string value;
  friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, FindsTheValue) {
  TempDir dir;
  writeFile(dir / "ini.ini", GetParam().content);
  EXPECT_EQ(readProfileString((dir / "ini.ini").string(), GetParam().section, GetParam().key),
            GetParam().value);
}

const std::string kWindowsFile =
    "[" + kSection + "]\r\n" + kVersion + "=1.2\r\n" + kCatalogue + "=15\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileReadTest,
    ::testing::Values(
        ReadCase{"WindowsFile", kWindowsFile, kSection, kCatalogue, "15"},
        ReadCase{"WindowsFileOtherKey", kWindowsFile, kSection, kVersion, "1.2"},
        ReadCase{"UnixLineEnds", "[" + kSection + "]\n" + kCatalogue + "=15\n", kSection, kCatalogue, "15"},
        ReadCase{"NoLastLineEnd", "[" + kSection + "]\r\n" + kCatalogue + "=15", kSection, kCatalogue, "15"},
        ReadCase{"BlanksAroundValue", "[" + kSection + "]\r\n" + kCatalogue + "= 15 \t\r\n", kSection, kCatalogue, "15"},
        ReadCase{"BlanksAroundNames", "  [ " + kSection + " ]\r\n  " + kCatalogue + " =15\r\n", kSection, kCatalogue, "15"},
        ReadCase{"DoubleQuotes", "[s]\r\nk=\" 1.2 \"\r\n", "s", "k", " 1.2 "},
        ReadCase{"SingleQuotes", "[s]\r\nk='x'\r\n", "s", "k", "x"},
        ReadCase{"OnlyOnePairOfQuotes", "[s]\r\nk=\"\"x\"\"\r\n", "s", "k", "\"x\""},
        ReadCase{"UnmatchedQuotes", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
        ReadCase{"LoneQuote", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"LetterCaseIgnored", "[Config]\r\nVersion=2\r\n", "CONFIG", "version", "2"},
        ReadCase{"GbkTrailBytesKeepTheirCase", "[s]\r\n\x81\x41=1\r\n", "s", "\x81\x61", ""},
        ReadCase{"OtherSectionsAndKeys",
                 "; comment\r\n[other]\r\n" + kCatalogue + "=99\r\n\r\n[" + kSection + "]\r\nx=1\r\n" +
                     kCatalogue + "=15\r\n[later]\r\n" + kCatalogue + "=77\r\n",
                 kSection, kCatalogue, "15"},
        ReadCase{"KeyOfALaterSectionNotTaken", "[" + kSection + "]\r\nx=1\r\n[b]\r\n" + kCatalogue + "=7\r\n",
                 kSection, kCatalogue, ""},
        ReadCase{"MissingSection", "[other]\r\n" + kCatalogue + "=15\r\n", kSection, kCatalogue, ""},
        ReadCase{"MissingKey", "[" + kSection + "]\r\n" + kVersion + "=1\r\n", kSection, kCatalogue, ""},
        ReadCase{"EmptyValue", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"EqualsInValue", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"FirstOfTwoKeys", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        ReadCase{"LongValueCut", "[s]\r\nk=" + std::string(20000, 'v') + "\r\n", "s", "k", std::string(10239, 'v')},
        ReadCase{"ValueAtTheLimit", "[s]\r\nk=" + std::string(10239, 'v') + "\r\n", "s", "k", std::string(10239, 'v')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileRead, MissingFileGivesEmpty) {
  TempDir dir;
  EXPECT_EQ(readProfileString((dir / "none.ini").string(), kSection, kCatalogue), "");
}

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // nothing: no file
  std::string after;
  friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyTheKeyLine) {
  TempDir dir;
  const auto path = dir / "ini.ini";
  if (GetParam().before) writeFile(path, *GetParam().before);
  ASSERT_TRUE(writeProfileString(path.string(), kSection, kCatalogue, "16"));
  EXPECT_EQ(readFile(path), GetParam().after);
  EXPECT_EQ(readProfileString(path.string(), kSection, kCatalogue), "16");
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

const std::string S = "[" + kSection + "]";

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"NoFile", std::nullopt, S + "\r\n" + kCatalogue + "=16\r\n"},
        WriteCase{"EmptyFile", "", S + "\r\n" + kCatalogue + "=16\r\n"},
        WriteCase{"ReplacesTheValue", S + "\r\n" + kVersion + "=1.2\r\n" + kCatalogue + "=15\r\n",
                  S + "\r\n" + kVersion + "=1.2\r\n" + kCatalogue + "=16\r\n"},
        WriteCase{"KeepsTheKeySpellingAndUnixEnds", "[config]\n; note\n" + S + "\n " + kCatalogue + " = 15\nz=1\n",
                  "[config]\n; note\n" + S + "\n " + kCatalogue + " =16\nz=1\n"},
        WriteCase{"AddsTheKeyAtTheEndOfTheSection",
                  S + "\r\n" + kVersion + "=1.2\r\n\r\n[other]\r\na=b\r\n",
                  S + "\r\n" + kVersion + "=1.2\r\n" + kCatalogue + "=16\r\n\r\n[other]\r\na=b\r\n"},
        WriteCase{"AddsTheSectionAtTheEnd", "[other]\r\na=b",
                  "[other]\r\na=b\r\n" + S + "\r\n" + kCatalogue + "=16\r\n"},
        WriteCase{"SectionWithoutLineEnd", S, S + "\r\n" + kCatalogue + "=16\r\n"},
        WriteCase{"KeyLineWithoutLineEnd", S + "\r\n" + kCatalogue + "=15", S + "\r\n" + kCatalogue + "=16"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileWrite, FailsWhenTheFileCannotBeReplaced) {
  TempDir dir;
  std::filesystem::create_directory(dir / "ini.ini");  // a folder where the file should be
  EXPECT_FALSE(writeProfileString((dir / "ini.ini").string(), kSection, kCatalogue, "16"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "ini.ini"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A value from the web must not add lines of its own to the file.
TEST(ProfileWrite, RefusesLineBreaksAndLeavesTheFileAsItWas) {
  TempDir dir;
  const auto path = (dir / "ini.ini").string();
  const std::string before = S + "\r\n" + kVersion + "=1.2\r\n" + kCatalogue + "=15\r\n";
  writeFile(path, before);
  for (const std::string value : {"16\r\n" + kVersion + "=9", std::string("16\nx"), std::string("16\r"),
                                  std::string("16\0x", 4)}) {
    EXPECT_FALSE(writeProfileString(path, kSection, kCatalogue, value));
  }
  EXPECT_FALSE(writeProfileString(path, kSection, kCatalogue + "\n", "16"));
  EXPECT_EQ(readFile(path), before);
}

}  // namespace
}  // namespace tomeferry::platform
