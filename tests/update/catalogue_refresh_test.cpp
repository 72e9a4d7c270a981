#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <thread>

#include "platform/http_client.h"
#include "refresh_fixture.h"
#include "update/catalogue_refresh.h"
#include "update/refresh_flag.h"
#include "update/version_file.h"

namespace tomeferry::update {
namespace {

namespace fs = std::filesystem;
using testing::kSeparator;
using testing::LoopbackServer;
using testing::noticePage;
using testing::ProgramDir;
using testing::readFile;
using testing::Response;
using testing::testData;
using testing::writeFile;

class RefreshTest : public ::testing::Test {
 protected:
  LoopbackServer server;
  ProgramDir program;
  std::unique_ptr<platform::HttpClient> http =
      platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1});
  const std::string newCatalogue = testData("catalogue-new.mdb");
  const std::string oldCatalogue = testData("catalogue.mdb");

  void publish(const std::string& package, const std::string& version = "15") {
    server.serve("/notice.html", Response::ok(noticePage("4.0", "http://example.org/", version,
                                                         server.url("/package.bin"))));
    server.serve("/package.bin", Response::ok(package));
  }
  std::string standardPackage() const {
    return "HEADER" + kSeparator + newCatalogue + kSeparator + "TAIL";
  }

  // Runs the real worker and waits for its flag.
  int runWorker() {
    std::atomic<int> flag{kRefreshRunning};
    startRefreshWorker(*http, server.url("/notice.html"), program.str(), flag);
    for (int i = 0; i < 3000 && flag.load(std::memory_order_acquire) == kRefreshRunning; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return flag.load(std::memory_order_acquire);
  }

  void expectInstalled(const std::string& version = "15") {
    EXPECT_TRUE(readFile(program.catalogue()) == newCatalogue);
    EXPECT_EQ(readRecordedVersion(program.str(), kCatalogueVersionKey), version);
    EXPECT_EQ(readRecordedVersion(program.str(), kProgramVersionKey), "4.0");
    EXPECT_TRUE(program.strayFiles().empty());
  }
  void expectUntouched() {
    EXPECT_TRUE(readFile(program.catalogue()) == oldCatalogue);
    EXPECT_EQ(readFile(program.ini()), testing::kOldIni);
    EXPECT_EQ(program.strayFiles(), std::vector<std::string>{});
  }
};

TEST_F(RefreshTest, InstallsPieceOneAndRecordsTheVersion) {
  publish(standardPackage());
  EXPECT_EQ(runWorker(), kRefreshDone);
  expectInstalled();
}

TEST_F(RefreshTest, PackageVariantsThatInstall) {
  const std::vector<std::pair<const char*, std::string>> packages = {
      {"no tail", "HDR" + kSeparator + newCatalogue},
      {"separator at the end", "HDR" + kSeparator + newCatalogue + kSeparator},
      {"empty header", kSeparator + newCatalogue + kSeparator + "T"},
      {"header of 'a's", "aaaaaa" + kSeparator + newCatalogue + kSeparator + "T"},
  };
  for (const auto& [name, package] : packages) {
    SCOPED_TRACE(name);
    writeFile(program.catalogue(), oldCatalogue);
    writeFile(program.ini(), testing::kOldIni);
    publish(package);
    EXPECT_EQ(refreshCatalogue(*http, server.url("/notice.html"), program.str()),
              RefreshResult::Installed);
    expectInstalled();
  }
}

TEST_F(RefreshTest, ALongerOldFileIsReplacedNotOverwritten) {
  writeFile(program.catalogue(), oldCatalogue + std::string(100'000, '\0'));
  publish(standardPackage());
  EXPECT_EQ(runWorker(), kRefreshDone);
  EXPECT_EQ(fs::file_size(program.catalogue()), newCatalogue.size());
}

TEST_F(RefreshTest, StopsReadingAtTheSecondSeparator) {
  Response r = Response::ok(standardPackage() + std::string(20'000'000, 't'));
  r.chunkSize = 64 * 1024;
  server.serve("/notice.html",
               Response::ok(noticePage("4.0", "http://e/", "15", server.url("/package.bin"))));
  server.serve("/package.bin", r);
  EXPECT_EQ(runWorker(), kRefreshDone);
  expectInstalled();
}

TEST_F(RefreshTest, CreatesAMissingDataFolder) {
  fs::remove_all(program / "data");
  publish(standardPackage());
  EXPECT_EQ(runWorker(), kRefreshDone);
  expectInstalled();
}

TEST_F(RefreshTest, CreatesAMissingVersionFile) {
  fs::remove(program.ini());
  publish(standardPackage());
  EXPECT_EQ(runWorker(), kRefreshDone);
  EXPECT_EQ(readRecordedVersion(program.str(), kCatalogueVersionKey), "15");
}

TEST_F(RefreshTest, RemovesTemporaryFilesOfAKilledEarlierRun) {
  writeFile(program / "data/db1.mdb.tf-new-Q1w2E3", "half a catalogue");
  publish("no separator at all");
  EXPECT_EQ(runWorker(), kRefreshFailed);
  expectUntouched();
}

TEST_F(RefreshTest, TheWorkerUsesItsOwnFetchOfThePage) {
  // The page changed since the start-up check read it: the worker's fields count.
  server.serveInTurn("/notice.html",
                     {Response::ok(noticePage("4.0", "http://e/", "16", server.url("/package.bin")))});
  server.serve("/package.bin", Response::ok(standardPackage()));
  EXPECT_EQ(runWorker(), kRefreshDone);
  expectInstalled("16");
  EXPECT_EQ(server.requestCount("/notice.html"), 1u);
}

struct FailureCase {
  const char* name;
  std::function<void(LoopbackServer&, ProgramDir&, const std::string& catalogue)> arrange;
};

std::string packageUrl(LoopbackServer& s) { return s.url("/package.bin"); }

void servePage(LoopbackServer& s, const std::string& page) {
  s.serve("/notice.html", Response::ok(page));
}

void servePackage(LoopbackServer& s, const std::string& package) {
  servePage(s, noticePage("4.0", "http://e/", "15", packageUrl(s)));
  s.serve("/package.bin", Response::ok(package));
}

const std::vector<FailureCase>& failureCases() {
  static const std::vector<FailureCase> cases = {
      {"PageUnreachable", [](auto&, auto&, auto&) {}},
      {"PageWithoutFields", [](auto& s, auto&, auto&) { servePage(s, "<html>maintenance</html>"); }},
      {"PageWithThreeFields",
       [](auto& s, auto&, auto&) { servePage(s, "qwer4.0qwer qwerhttp://e/qwer qwer15qwer"); }},
      {"PackageAddressEmpty",
       [](auto& s, auto&, auto&) { servePage(s, noticePage("4.0", "http://e/", "15", "")); }},
      {"PackageUnreachable",
       [](auto& s, auto&, auto&) {
         servePage(s, noticePage("4.0", "http://e/", "15",
                                 "http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/p"));
       }},
      {"PackageIsALocalFile",
       [](auto& s, auto& p, auto& c) {
         writeFile(p / "local.pkg", "H" + kSeparator + c);
         servePage(s, noticePage("4.0", "http://e/", "15", "file://" + (p / "local.pkg").string()));
       }},
      {"PackageEmpty", [](auto& s, auto&, auto&) { servePackage(s, ""); }},
      {"PackageWithoutSeparator", [](auto& s, auto&, auto& c) { servePackage(s, c); }},
      {"PackageEndingInItsOnlySeparator",
       [](auto& s, auto&, auto& c) { servePackage(s, c + kSeparator); }},
      {"EmptyPieceOne",
       [](auto& s, auto&, auto& c) { servePackage(s, "H" + kSeparator + kSeparator + c); }},
      {"PieceOneNotAnAccessFile",
       [](auto& s, auto&, auto&) { servePackage(s, "H" + kSeparator + "<html>Not Found</html>"); }},
      {"PieceOneCutShort",
       [](auto& s, auto&, auto& c) { servePackage(s, "H" + kSeparator + c.substr(0, 4096) + kSeparator); }},
      {"ErrorPage",
       [](auto& s, auto&, auto&) {
         servePage(s, noticePage("4.0", "http://e/", "15", s.url("/gone.bin")));  // 404
       }},
      {"ResetMidPieceOne",
       [](auto& s, auto&, auto& c) {
         servePage(s, noticePage("4.0", "http://e/", "15", packageUrl(s)));
         Response r = Response::ok("H" + kSeparator + c + kSeparator);
         r.chunkSize = 16 * 1024;
         r.pause = std::chrono::milliseconds(2);
         r.end = Response::End::Reset;
         r.cutAfter = 70'000;
         s.serve("/package.bin", r);
       }},
      {"ResetMidPieceOneWithoutLength",
       [](auto& s, auto&, auto& c) {
         servePage(s, noticePage("4.0", "http://e/", "15", packageUrl(s)));
         Response r = Response::ok("H" + kSeparator + c + kSeparator);
         r.contentLength = false;
         r.chunkSize = 16 * 1024;
         r.pause = std::chrono::milliseconds(2);
         r.end = Response::End::Reset;
         r.cutAfter = 70'000;
         s.serve("/package.bin", r);
       }},
      {"CutShortOfItsAnnouncedLength",
       [](auto& s, auto&, auto& c) {
         // Piece 1 may look whole, but the transfer did not end well: nothing is trusted.
         servePage(s, noticePage("4.0", "http://e/", "15", packageUrl(s)));
         Response r = Response::ok("H" + kSeparator + c + std::string(5000, 'z'));
         r.cutAfter = 10 + c.size() + 100;
         s.serve("/package.bin", r);
       }},
      {"StallMidPieceOne",
       [](auto& s, auto&, auto& c) {
         servePage(s, noticePage("4.0", "http://e/", "15", packageUrl(s)));
         Response r = Response::ok("H" + kSeparator + c + kSeparator);
         r.end = Response::End::Hang;
         r.cutAfter = 50'000;
         s.serve("/package.bin", r);
       }},
      {"DataIsAFile",
       [](auto& s, auto& p, auto& c) {
         fs::remove_all(p / "data");
         writeFile(p / "data", "a file where the folder should be");
         servePackage(s, "H" + kSeparator + c);
       }},
      {"CatalogueIsAFolder",
       [](auto& s, auto& p, auto& c) {
         fs::remove(p.catalogue());
         fs::create_directories(p.catalogue() / "keep");
         servePackage(s, "H" + kSeparator + c);
       }},
  };
  return cases;
}

class RefreshFailureTest : public RefreshTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RefreshFailureTest, KeepsTheOldCatalogueAndVersion) {
  const bool dataIsFile = std::string(GetParam().name) == "DataIsAFile";
  const bool catalogueIsFolder = std::string(GetParam().name) == "CatalogueIsAFolder";
  const std::string dataBefore = dataIsFile ? "a file where the folder should be" : "";
  GetParam().arrange(server, program, newCatalogue);
  EXPECT_EQ(runWorker(), kRefreshFailed);
  EXPECT_EQ(readFile(program.ini()), testing::kOldIni);
  if (dataIsFile) {
    EXPECT_EQ(readFile(program / "data"), dataBefore);
  } else if (catalogueIsFolder) {
    EXPECT_TRUE(fs::is_directory(program.catalogue() / "keep"));
    EXPECT_TRUE(program.strayFiles().empty());
  } else {
    expectUntouched();
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, RefreshFailureTest, ::testing::ValuesIn(failureCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RefreshTest, AFullDiskKeepsTheOldCatalogue) {
  publish(standardPackage());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The disk fills up after 50,000 bytes of any file this process writes.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{50'000, 50'000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    auto client = platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1});
    const auto result = refreshCatalogue(*client, server.url("/notice.html"), program.str());
    ::_exit(result == RefreshResult::Failed ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  expectUntouched();
}

TEST_F(RefreshTest, AnUnwritableVersionFileKeepsTheNewCatalogue) {
  fs::remove(program.ini());
  fs::create_directories(program.ini() / "keep");
  publish(standardPackage());
  EXPECT_EQ(runWorker(), kRefreshDone);
  EXPECT_TRUE(readFile(program.catalogue()) == newCatalogue);
  EXPECT_TRUE(fs::is_directory(program.ini() / "keep"));
  // The next start finds no recorded version and refreshes again.
  EXPECT_EQ(readRecordedVersion(program.str(), kCatalogueVersionKey), "");
  EXPECT_TRUE(program.strayFiles().empty());
}

TEST(RefreshFlag, StartsRunningAndIsOneObject) {
  EXPECT_EQ(&refreshDoneFlag(), &refreshDoneFlag());
  EXPECT_EQ(refreshDoneFlag().load(), kRefreshRunning);
}

}  // namespace
}  // namespace tomeferry::update
