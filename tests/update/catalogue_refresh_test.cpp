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

// A package sent in the given parts, with a pause after each so that they arrive as
// separate reads. `handedOn` counts the bytes given to the socket.
Response inParts(std::vector<std::string> parts, std::shared_ptr<std::size_t> handedOn,
                 std::size_t tailBytes = 0) {
  Response r;
  for (const auto& part : parts) r.streamLength += part.size();
  r.streamLength += tailBytes;
  r.stream = [parts = std::move(parts), handedOn, tailBytes](const auto& send) {
    for (const auto& part : parts) {
      if (!send(part)) return;
      *handedOn += part.size();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string block(64 * 1024, 't');
    for (std::size_t left = tailBytes; left > 0; left -= std::min(left, block.size())) {
      if (!send(std::string_view(block).substr(0, std::min(left, block.size())))) return;
      *handedOn += std::min(left, block.size());
    }
  };
  return r;
}

TEST_F(RefreshTest, StopsReadingAtTheSecondSeparator) {
  const std::size_t tail = 100'000'000;
  auto handedOn = std::make_shared<std::size_t>(0);
  server.serve("/notice.html",
               Response::ok(noticePage("4.0", "http://e/", "15", server.url("/package.bin"))));
  server.serve("/package.bin",
               inParts({"HEADER" + kSeparator + newCatalogue + kSeparator}, handedOn, tail));
  EXPECT_EQ(runWorker(), kRefreshDone);
  expectInstalled();
  EXPECT_LT(*handedOn, tail / 2);
}

TEST_F(RefreshTest, SeparatorsSplitAcrossReads) {
  auto handedOn = std::make_shared<std::size_t>(0);
  server.serve("/notice.html",
               Response::ok(noticePage("4.0", "http://e/", "15", server.url("/package.bin"))));
  server.serve("/package.bin",
               inParts({"HDRaa" + kSeparator.substr(0, 4), kSeparator.substr(4, 1),
                        kSeparator.substr(5) + newCatalogue.substr(0, 5000),
                        newCatalogue.substr(5000) + kSeparator.substr(0, 8),
                        kSeparator.substr(8) + "TAIL"},
                       handedOn));
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
  writeFile(program / "ini.ini.tf-new-Q1w2E3", "half a version file");
  writeFile(program / "data/notes.tf-new-Q1w2E3", "not ours");
  publish("no separator at all");
  EXPECT_EQ(runWorker(), kRefreshFailed);
  EXPECT_FALSE(fs::exists(program / "ini.ini.tf-new-Q1w2E3"));
  EXPECT_EQ(program.strayFiles(), std::vector<std::string>{"notes.tf-new-Q1w2E3"});
  fs::remove(program / "data/notes.tf-new-Q1w2E3");
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
  friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
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


// Runs refreshCatalogue in a child process prepared by `prepare`; true when it reported failure.
bool failsInChild(LoopbackServer& server, const ProgramDir& program,
                  const std::function<void()>& prepare) {
  const pid_t child = ::fork();
  if (child == 0) {
    prepare();
    auto client = platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1});
    const auto result = refreshCatalogue(*client, server.url("/notice.html"), program.str());
    ::_exit(result == RefreshResult::Failed ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST_F(RefreshTest, AReadOnlyDataFolderKeepsTheOldCatalogue) {
  publish(standardPackage());
  fs::permissions(program / "", fs::perms(0755));
  fs::permissions(program / "data", fs::perms(0555));
  // Root may write anywhere: the refresh runs as an ordinary user then.
  EXPECT_TRUE(failsInChild(server, program, [] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
  }));
  fs::permissions(program / "data", fs::perms(0755));
  expectUntouched();
}

TEST_F(RefreshTest, AFullDiskKeepsTheOldCatalogue) {
  publish(standardPackage());
  EXPECT_TRUE(failsInChild(server, program, [] {
    // The disk is full after 50,000 bytes of any file this process writes.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{50'000, 50'000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }));
  expectUntouched();
}

TEST_F(RefreshTest, AKillMidDownloadKeepsTheOldCatalogueAndTheNextRunTidiesUp) {
  publish(standardPackage());
  Response slow = Response::ok(standardPackage());
  slow.chunkSize = 8 * 1024;
  slow.pause = std::chrono::milliseconds(100);
  server.serve("/package.bin", slow);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto client = platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 5});
    refreshCatalogue(*client, server.url("/notice.html"), program.str());
    ::_exit(0);
  }
  // Wait until part of the new catalogue is on disk, then kill the refresh.
  const auto partlyWritten = [&] {
    for (const auto& name : program.strayFiles()) {
      if (fs::file_size(program / ("data/" + name)) > 0) return true;
    }
    return false;
  };
  for (int i = 0; i < 1000 && !partlyWritten(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(readFile(program.catalogue()) == oldCatalogue);
  EXPECT_EQ(readFile(program.ini()), testing::kOldIni);
  EXPECT_EQ(program.strayFiles().size(), 1u);

  publish("no catalogue here");
  EXPECT_EQ(runWorker(), kRefreshFailed);
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
