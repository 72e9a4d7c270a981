#include <gtest/gtest.h>

#include "platform/http_client.h"
#include "refresh_fixture.h"
#include "update/startup_check.h"

namespace tomeferry::update {
namespace {

using testing::LoopbackServer;
using testing::noticePage;
using testing::ProgramDir;
using testing::Response;

// Everything the check did, in order.
struct Journal {
  std::vector<std::string> events;
};

class RecordingUi final : public StartupUi {
 public:
  RecordingUi(Journal& journal, LoopbackServer& server) : journal_(journal), server_(server) {}
  void showRefreshDialog() override {
    const std::size_t fetches = server_.requestCount("/notice.html") - baseline;
    journal_.events.push_back("dialog after " + std::to_string(fetches) + " fetches");
  }
  std::size_t baseline = 0;  // fetches before the check began
  void showInformation(const std::string& text, const std::string& caption) override {
    journal_.events.push_back("message " + text + " | " + caption);
  }

 private:
  Journal& journal_;
  LoopbackServer& server_;
};

class RecordingOpener final : public platform::Opener {
 public:
  explicit RecordingOpener(Journal& journal) : journal_(journal) {}
  void open(const std::string& address) override { journal_.events.push_back("open " + address); }

 private:
  Journal& journal_;
};

// "检测到软件有更新!" | "信息：" in GBK
const std::string kMessage =
    "message \xBC\xEC\xB2\xE2\xB5\xBD\xC8\xED\xBC\xFE\xD3\xD0\xB8\xFC\xD0\xC2! | \xD0\xC5\xCF\xA2\xA3\xBA";

class StartupCheckTest : public ::testing::Test {
 protected:
  LoopbackServer server;
  ProgramDir program;  // 版本=4.0, 库版本=14
  std::unique_ptr<platform::HttpClient> http =
      platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1});
  Journal journal;
  RecordingUi ui{journal, server};
  RecordingOpener opener{journal};

  std::vector<std::string> run(const std::string& url) {
    ui.baseline = server.requestCount("/notice.html");
    StartupCheckContext context{*http, opener, ui, url, program.str()};
    runStartupCheck(context);
    return journal.events;
  }
  std::vector<std::string> runWithPages(std::vector<std::string> pages) {
    std::vector<Response> responses;
    for (auto& p : pages) responses.push_back(Response::ok(std::move(p)));
    server.serveInTurn("/notice.html", std::move(responses));
    return run(server.url("/notice.html"));
  }
  std::string page(const std::string& program, const std::string& address,
                   const std::string& catalogue) {
    return noticePage(program, address, catalogue, "http://example.org/p.bin");
  }
};

using Events = std::vector<std::string>;

TEST_F(StartupCheckTest, SameVersionsDoNothingButFetchTwice) {
  EXPECT_EQ(runWithPages({page("4.0", "http://example.org/get", "14")}), Events{});
  EXPECT_EQ(server.requestCount("/notice.html"), 2u);
}

TEST_F(StartupCheckTest, OnlyTheCatalogueDiffers) {
  EXPECT_EQ(runWithPages({page("4.0", "http://example.org/get", "15")}),
            Events{"dialog after 1 fetches"});
  EXPECT_EQ(server.requestCount("/notice.html"), 2u);
}

TEST_F(StartupCheckTest, BothDiffer) {
  EXPECT_EQ(runWithPages({page("4.1", "http://example.org/get", "15")}),
            (Events{"dialog after 1 fetches", kMessage, "open http://example.org/get"}));
  EXPECT_EQ(server.requestCount("/notice.html"), 2u);
}

TEST_F(StartupCheckTest, ALowerProgramVersionCountsAsDifferent) {
  EXPECT_EQ(runWithPages({page("3.9", "https://example.org/get", "14")}),
            (Events{kMessage, "open https://example.org/get"}));
}

TEST_F(StartupCheckTest, ALocalFileIsNeverOpened) {
  EXPECT_EQ(runWithPages({page("4.1", "file:///etc/passwd", "14")}), Events{kMessage});
}

TEST_F(StartupCheckTest, UnreachablePageDoesNothing) {
  EXPECT_EQ(run("http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/n.html"),
            Events{});
}

TEST_F(StartupCheckTest, ShortPages) {
  struct Case {
    const char* name;
    std::vector<std::string> pages;
    Events events;
  };
  const std::vector<Case> cases = {
      {"no fields", {"<html>maintenance</html>"}, {}},
      {"one field on both", {"qwer4.1qwer"}, {}},
      {"two fields on the first, none on the second", {"qwer4.0qwer qwerhttp://e/qwer", ""}, {}},
      {"two fields that differ", {"qwer4.1qwer qwerhttp://e/qwer"}, {kMessage, "open http://e/"}},
      {"one field on the second", {page("4.0", "http://e/", "15"), "qwer4.1qwer"},
       {"dialog after 1 fetches"}},
      {"three fields", {"qwer4.0qwer qwerhttp://e/qwer qwer15qwer"}, {"dialog after 1 fetches"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    journal.events.clear();
    EXPECT_EQ(runWithPages(c.pages), c.events);
  }
}

TEST_F(StartupCheckTest, EmptyFieldEqualsAMissingKey) {
  testing::writeFile(program.ini(), "[other]\r\nx=1\r\n");
  EXPECT_EQ(runWithPages({page("", "http://e/", "")}), Events{});
}

TEST_F(StartupCheckTest, WithoutAVersionFileEverythingDiffers) {
  std::filesystem::remove(program.ini());
  EXPECT_EQ(runWithPages({page("4.0", "http://e/", "14")}),
            (Events{"dialog after 1 fetches", kMessage, "open http://e/"}));
}

TEST_F(StartupCheckTest, TheProgramStepUsesTheSecondFetchOnly) {
  EXPECT_EQ(runWithPages({page("4.0", "http://first/", "15"), page("4.2", "http://second/", "15")}),
            (Events{"dialog after 1 fetches", kMessage, "open http://second/"}));
  journal.events.clear();
  EXPECT_EQ(runWithPages({page("4.2", "http://first/", "14"), page("4.0", "http://second/", "14")}),
            Events{});
}

TEST_F(StartupCheckTest, ItWritesNothing) {
  runWithPages({page("4.1", "http://e/", "15")});
  EXPECT_EQ(testing::readFile(program.ini()), testing::kOldIni);
  EXPECT_TRUE(testing::readFile(program.catalogue()) == testing::testData("catalogue.mdb"));
}

}  // namespace
}  // namespace tomeferry::update
