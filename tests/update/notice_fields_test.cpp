#include <gtest/gtest.h>

#include "update/notice_fields.h"

namespace tomeferry::update {
namespace {

using namespace std::string_literals;
using Fields = std::vector<std::string>;

struct FieldCase {
  const char* name;
  std::string body;
  Fields fields;
  friend void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }
};

class NoticeFieldsTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(NoticeFieldsTest, AreTakenFromThePageText) {
  EXPECT_EQ(noticeFields(pageText(GetParam().body)), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, NoticeFieldsTest,
    ::testing::Values(
        FieldCase{"Empty", "", {}},
        FieldCase{"NoMarkers", "<html>nothing here</html>", {}},
        FieldCase{"FourFieldsAmidText",
                  "Version qwer1.2qwer Download qwerhttp://a/qwer Catalogue qwer15qwer "
                  "Package qwerhttp://b/p.binqwer tail",
                  {"1.2", "http://a/", "15", "http://b/p.bin"}},
        FieldCase{"EmptyField", "qwerqwer", {""}},
        FieldCase{"MarkersPairFromTheStart", "qwerAqwerBqwerCqwer", {"A", "C"}},
        FieldCase{"ThirdMarkerUnpaired", "qwerAqwer qwerB", {"A"}},
        FieldCase{"CapitalsAreNoMarkers", "QWERAQWER Qwer1Qwer", {}},
        FieldCase{"ShortestRun", "qwerqwerqwer", {""}},
        FieldCase{"LineBreaksKept", "qwer1\r\n2qwer", {"1\r\n2"}},
        FieldCase{"FormFeedAndHighBytes", "qwer\f\xBF\xE2\xB0\xE6qwer", {"\f\xBF\xE2\xB0\xE6"}},
        FieldCase{"ZeroByteBeforeMarkers", "x\0qwer1qwer"s, {}},
        FieldCase{"ZeroByteCutsAField", "qwer1qwer qwer2\0qwer"s, {"1"}},
        FieldCase{"MoreThanFour", "qwer0qwerqwer1qwerqwer2qwerqwer3qwerqwer4qwer",
                  {"0", "1", "2", "3", "4"}},
        FieldCase{"OverlappingLetters", "qweqwerxqwerr", {"x"}},
        FieldCase{"MarkerInsideMarker", "qwqwerer1qwer", {"er1"}},
        FieldCase{"FieldOfAMegabyte", "qwer" + std::string(1 << 20, 'x') + "qwer", {std::string(1 << 20, 'x')}},
        FieldCase{"UnclosedAfterAMegabyte", "qwerA" + std::string(1 << 20, 'x'), {}},
        FieldCase{"ManyShortFields", [] { std::string s; for (int i = 0; i < 10000; ++i) s += "qwer" + std::to_string(i) + "qwer,"; return s; }(),
                  [] { Fields f; for (int i = 0; i < 10000; ++i) f.push_back(std::to_string(i)); return f; }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageText, EndsAtTheFirstZeroByte) {
  EXPECT_EQ(pageText(""), "");
  EXPECT_EQ(pageText("abc"), "abc");
  EXPECT_EQ(pageText("ab\0c"s), "ab");
  EXPECT_EQ(pageText("\0abc"s), "");
}

}  // namespace
}  // namespace tomeferry::update
