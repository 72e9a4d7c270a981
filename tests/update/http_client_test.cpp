#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <random>

#include "loopback_server.h"
#include "platform/http_client.h"
#include "test_files.h"
#include "update/notice_fields.h"

namespace tomeferry {
namespace {

using testing::LoopbackServer;
using testing::Response;

std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

class HttpClientTest : public ::testing::Test {
 protected:
  LoopbackServer server;
  std::unique_ptr<platform::HttpClient> http =
      platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1});
  std::string fetch(const std::string& path, std::size_t max = SIZE_MAX) {
    return http->fetch(server.url(path), max);
  }
};

TEST_F(HttpClientTest, SendsAPlainOldBrowserRequestWithoutFragment) {
  server.serve("/notice.html", Response::ok("page"));
  EXPECT_EQ(fetch("/notice.html?v=1#part2"), "page");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& r = requests[0];
  EXPECT_EQ(r.requestLine, "GET /notice.html?v=1 HTTP/1.0");
  EXPECT_EQ(r.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  EXPECT_EQ(r.header("Accept"), "*/*");
  EXPECT_EQ(r.header("Pragma"), "no-cache");
  EXPECT_EQ(r.header("Cache-Control"), "no-cache");
  EXPECT_FALSE(r.hasHeader("Referer"));
  EXPECT_FALSE(r.hasHeader("Accept-Encoding"));
}

TEST_F(HttpClientTest, FollowsRedirects) {
  server.serve("/old", Response::redirect("/middle", 301));
  server.serve("/middle", Response::redirect(server.url("/new")));
  server.serve("/new", Response::ok("moved here"));
  EXPECT_EQ(fetch("/old"), "moved here");
  EXPECT_EQ(server.requestCount("/new"), 1u);
}

TEST_F(HttpClientTest, AnErrorPageBodyIsTheResult) {
  Response r = Response::ok("<html>server error</html>");
  r.status = 500;
  r.reason = "Internal Server Error";
  server.serve("/broken", r);
  EXPECT_EQ(fetch("/broken"), "<html>server error</html>");
  EXPECT_EQ(fetch("/missing"), "<html><body>no such page</body></html>");  // 404
}

struct BodyCase {
  const char* name;
  std::size_t size;
  bool contentLength;
  std::size_t chunkSize;
  int pauseMs;
  friend void PrintTo(const BodyCase& c, std::ostream* os) { *os << c.name; }
};

class LargeBodyTest : public HttpClientTest, public ::testing::WithParamInterface<BodyCase> {};

TEST_P(LargeBodyTest, IsReadWhole) {
  const BodyCase& c = GetParam();
  Response r = Response::ok(randomBytes(c.size, static_cast<unsigned>(c.size)));
  r.contentLength = c.contentLength;
  r.chunkSize = c.chunkSize;
  r.pause = std::chrono::milliseconds(c.pauseMs);
  server.serve("/body", r);
  const std::string got = fetch("/body");
  EXPECT_EQ(got.size(), r.body.size());
  EXPECT_TRUE(got == r.body);

  std::string streamed;
  EXPECT_TRUE(http->fetchTo(server.url("/body"), [&](std::string_view piece) {
    streamed.append(piece);
    return true;
  }));
  EXPECT_TRUE(streamed == r.body);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, LargeBodyTest,
    ::testing::Values(BodyCase{"Empty", 0, true, 0, 0},
                      BodyCase{"SmallNoLength", 100, false, 0, 0},
                      BodyCase{"OverOneHundredKiB", 300'000, true, 0, 0},
                      BodyCase{"OverOneHundredKiBNoLength", 300'000, false, 0, 0},
                      BodyCase{"InPausedSends", 150'000, true, 7'000, 5},
                      BodyCase{"InPausedSendsNoLength", 150'000, false, 7'000, 5},
                      BodyCase{"Megabytes", 5'000'000, true, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpClientTest, RefusedConnectionGivesEmptyBytes) {
  const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::closedPort()) + "/";
  EXPECT_EQ(http->fetch(url, SIZE_MAX), "");
  EXPECT_FALSE(http->fetchTo(url, [](std::string_view) { return true; }));
}

TEST_F(HttpClientTest, SilentServerIsGivenUp) {
  Response r;
  r.silent = true;
  server.serve("/silent", r);
  EXPECT_EQ(fetch("/silent"), "");
}

TEST_F(HttpClientTest, StallMidBodyGivesTheBytesSoFarAndFailsAStream) {
  Response r = Response::ok(std::string(50'000, 'x'));
  r.end = Response::End::Hang;
  r.cutAfter = 20'000;
  server.serve("/stall", r);
  EXPECT_EQ(fetch("/stall"), std::string(20'000, 'x'));
  std::size_t streamed = 0;
  EXPECT_FALSE(http->fetchTo(server.url("/stall"), [&](std::string_view piece) {
    streamed += piece.size();
    return true;
  }));
  EXPECT_EQ(streamed, 20'000u);
}

// A byte now and then never trips the stall limit; the page limit still ends the fetch.
TEST(HttpClientPageLimit, ATrickleOfBytesCannotHoldAPageFetch) {
  LoopbackServer server;
  Response r = Response::ok(std::string(200, 'x'));
  r.chunkSize = 1;
  r.pause = std::chrono::milliseconds(100);
  server.serve("/trickle", r);
  auto http = platform::makeCurlHttpClient({.connectSeconds = 2, .stallSeconds = 1, .pageSeconds = 1});
  const std::string page = http->fetch(server.url("/trickle"), SIZE_MAX);
  EXPECT_LT(page.size(), 200u);  // cut off: about ten bytes arrive in the second allowed
  // A stream, such as a catalogue package, has no overall limit.
  std::size_t streamed = 0;
  EXPECT_TRUE(http->fetchTo(server.url("/trickle"), [&](std::string_view piece) {
    streamed += piece.size();
    return streamed < 30;
  }));
}

TEST_F(HttpClientTest, ResetMidBodyFailsAStream) {
  for (const bool contentLength : {true, false}) {
    Response r = Response::ok(randomBytes(400'000, 3));
    r.contentLength = contentLength;
    r.chunkSize = 50'000;
    r.pause = std::chrono::milliseconds(20);
    r.end = Response::End::Reset;
    r.cutAfter = 200'000;
    server.serve("/reset", r);
    EXPECT_FALSE(http->fetchTo(server.url("/reset"), [](std::string_view) { return true; }))
        << "content length " << contentLength;
  }
}

TEST_F(HttpClientTest, ACutShortBodyFailsAStream) {
  // The server announces more than it sends, then closes in order.
  Response r = Response::ok(std::string(10'000, 'y'));
  r.headers.emplace_back("X-Note", "short");
  r.cutAfter = 4'000;
  r.end = Response::End::Close;
  server.serve("/short", r);
  EXPECT_FALSE(http->fetchTo(server.url("/short"), [](std::string_view) { return true; }));
}

TEST_F(HttpClientTest, ASinkMayStopTheTransfer) {
  Response r = Response::ok(std::string(2'000'000, 'z'));
  r.chunkSize = 10'000;
  server.serve("/long", r);
  std::size_t got = 0;
  EXPECT_TRUE(http->fetchTo(server.url("/long"), [&](std::string_view piece) {
    got += piece.size();
    return got < 30'000;
  }));
  EXPECT_LT(got, 2'000'000u);
}

TEST_F(HttpClientTest, BodiesPastTheLimitGiveEmptyBytes) {
  const std::size_t limit = update::kMaxNoticePageBytes;
  for (const bool contentLength : {true, false}) {
    Response r = Response::ok(std::string(limit, 'q'));
    r.contentLength = contentLength;
    server.serve("/at-limit", r);
    EXPECT_EQ(fetch("/at-limit", limit).size(), limit);
    r.body.push_back('q');
    server.serve("/past-limit", r);
    EXPECT_EQ(fetch("/past-limit", limit), "");
  }
}

TEST_F(HttpClientTest, OnlyWebAddressesAreFetched) {
  testing::TempDir dir;
  testing::writeFile(dir / "local.txt", "qwer1qwer");
  EXPECT_EQ(http->fetch("file://" + (dir / "local.txt").string(), SIZE_MAX), "");
  server.serve("/to-file", Response::redirect("file://" + (dir / "local.txt").string()));
  EXPECT_EQ(fetch("/to-file"), "");
  EXPECT_EQ(http->fetch("", SIZE_MAX), "");
  EXPECT_TRUE(server.requests().size() == 1u);  // only /to-file reached the server
}

// Sets environment variables for one test and restores them afterwards.
class ScopedEnvironment {
 public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(HttpClientTest, GoesThroughTheSystemsProxy) {
  ScopedEnvironment env;
  env.set("http_proxy", server.url("").c_str());
  env.set("no_proxy", nullptr);
  env.set("NO_PROXY", nullptr);
  server.serve("http://notice.example.invalid/n.html", Response::ok("via proxy"));
  EXPECT_EQ(http->fetch("http://notice.example.invalid/n.html#top", SIZE_MAX), "via proxy");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].requestLine, "GET http://notice.example.invalid/n.html HTTP/1.0");
}

TEST_F(HttpClientTest, TheProcessClientIsOneAndWorks) {
  server.serve("/p", Response::ok("shared"));
  EXPECT_EQ(&platform::processHttpClient(), &platform::processHttpClient());
  EXPECT_EQ(platform::processHttpClient().fetch(server.url("/p"), 100), "shared");
}

}  // namespace
}  // namespace tomeferry
