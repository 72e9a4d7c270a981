#pragma once
// A small HTTP server on 127.0.0.1 for tests and benchmarks: each path answers with a
// scripted response, and every request is recorded.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace tomeferry::testing {

struct Response {
  enum class End {
    Close,  // all sent, then an orderly close
    Reset,  // after `cutAfter` body bytes the connection is reset
    Hang,   // after `cutAfter` body bytes nothing more is sent, the connection stays open
  };

  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool contentLength = true;        // send "Content-Length" for the body
  std::size_t chunkSize = 0;        // send the body in sends of this size (0: one send)
  std::chrono::milliseconds pause{0};  // between two sends
  End end = End::Close;
  std::size_t cutAfter = SIZE_MAX;  // body bytes sent before a Reset or Hang
  bool silent = false;              // accept, read the request, never answer

  // Streams a body too large to hold: called with a sender, which returns false once the
  // client has gone. Replaces `body`; the length to announce goes in `streamLength`.
  std::function<void(const std::function<bool(std::string_view)>&)> stream;
  std::uint64_t streamLength = 0;

  static Response ok(std::string body) {
    Response r;
    r.body = std::move(body);
    return r;
  }
  static Response redirect(std::string location, int status = 302) {
    Response r;
    r.status = status;
    r.reason = "Found";
    r.headers.emplace_back("Location", std::move(location));
    return r;
  }
};

struct RecordedRequest {
  std::string requestLine;                                   // e.g. "GET /x HTTP/1.0"
  std::string target;                                        // e.g. "/x"
  std::vector<std::pair<std::string, std::string>> headers;  // as sent

  // Value of the first header of that name (letter case ignored), or "".
  std::string header(std::string_view name) const;
  bool hasHeader(std::string_view name) const;
};

class LoopbackServer {
 public:
  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string url(std::string_view path) const;

  // Answers every request for `path` (the target up to "?") with `response`.
  void serve(const std::string& path, Response response);
  // Answers successive requests with the responses in turn; the last one repeats.
  void serveInTurn(const std::string& path, std::vector<Response> responses);

  std::vector<RecordedRequest> requests() const;
  std::size_t requestCount(std::string_view path) const;

  // A port on 127.0.0.1 where nothing listens.
  static int closedPort();

 private:
  void acceptLoop();
  void handle(int fd);
  Response responseFor(const std::string& path);
  bool stopping() const { return stopping_.load(); }

  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::vector<std::thread> workers_;
  std::map<std::string, std::vector<Response>> routes_;
  std::map<std::string, std::size_t> served_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace tomeferry::testing
