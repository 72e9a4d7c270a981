#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace tomeferry::testing {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Gives up when `stopping` is set, so a client that stops reading cannot hold the server.
bool sendAll(int fd, std::string_view bytes, const std::atomic<bool>& stopping) {
  while (!bytes.empty()) {
    if (stopping.load()) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return std::string(s);
}

}  // namespace

std::string RecordedRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (sameIgnoringCase(key, name)) return value;
  }
  return {};
}

bool RecordedRequest::hasHeader(std::string_view name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const auto& h) { return sameIgnoringCase(h.first, name); });
}

LoopbackServer::LoopbackServer() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error("socket");
  const int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 64) != 0) {
    throw std::runtime_error("bind/listen");
  }
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  acceptor_.join();
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (auto& t : workers) t.join();
  ::close(listenFd_);
}

std::string LoopbackServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackServer::serve(const std::string& path, Response response) {
  serveInTurn(path, {std::move(response)});
}

void LoopbackServer::serveInTurn(const std::string& path, std::vector<Response> responses) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(responses);
  served_[path] = 0;
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t LoopbackServer::requestCount(std::string_view path) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(requests_.begin(), requests_.end(), [&](const auto& r) {
    return r.target.substr(0, r.target.find('?')) == path;
  }));
}

int LoopbackServer::closedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);  // bound but never listening: connections to it are refused
  return ntohs(addr.sin_port);
}

void LoopbackServer::acceptLoop() {
  while (!stopping()) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    workers_.emplace_back([this, fd] { handle(fd); });
  }
}

Response LoopbackServer::responseFor(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto route = routes_.find(path);
  if (route == routes_.end() || route->second.empty()) {
    Response r;
    r.status = 404;
    r.reason = "Not Found";
    r.body = "<html><body>no such page</body></html>";
    return r;
  }
  std::size_t& n = served_[path];
  const auto& list = route->second;
  return list[std::min(n++, list.size() - 1)];
}

void LoopbackServer::handle(int fd) {
  // Waits until the server stops or the client goes away.
  const auto waitForEnd = [&] {
    char sink[512];
    while (!stopping()) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 50) > 0 && ::recv(fd, sink, sizeof sink, 0) <= 0) return;
    }
  };

  std::string request;
  while (request.find("\r\n\r\n") == std::string::npos && !stopping()) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char buf[4096];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, static_cast<std::size_t>(n));
  }
  const auto headEnd = request.find("\r\n\r\n");
  if (headEnd == std::string::npos) {
    ::close(fd);
    return;
  }

  RecordedRequest recorded;
  std::string_view head(request.data(), headEnd);
  auto lineEnd = head.find("\r\n");
  recorded.requestLine = std::string(head.substr(0, lineEnd));
  while (lineEnd != std::string_view::npos) {
    head.remove_prefix(lineEnd + 2);
    lineEnd = head.find("\r\n");
    const std::string_view line = head.substr(0, lineEnd);
    const auto colon = line.find(':');
    if (colon != std::string_view::npos) {
      recorded.headers.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
    }
  }
  const auto firstBlank = recorded.requestLine.find(' ');
  const auto secondBlank = recorded.requestLine.find(' ', firstBlank + 1);
  recorded.target = recorded.requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
  const std::string path = recorded.target.substr(0, recorded.target.find('?'));
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(recorded);
  }

  const Response response = responseFor(path);
  if (response.silent) {
    waitForEnd();
    ::close(fd);
    return;
  }

  std::string head_out = "HTTP/1.0 " + std::to_string(response.status) + " " + response.reason + "\r\n";
  for (const auto& [key, value] : response.headers) head_out += key + ": " + value + "\r\n";
  if (response.contentLength) {
    const std::uint64_t length = response.stream ? response.streamLength : response.body.size();
    head_out += "Content-Length: " + std::to_string(length) + "\r\n";
  }
  head_out += "Connection: close\r\n\r\n";

  bool alive = sendAll(fd, head_out, stopping_);
  std::size_t sent = 0;
  const auto sendBody = [&](std::string_view bytes) {
    while (alive && !bytes.empty() && sent < response.cutAfter) {
      std::size_t n = std::min(bytes.size(), response.cutAfter - sent);
      if (response.chunkSize > 0) n = std::min(n, response.chunkSize);
      if (sent > 0 && response.pause.count() > 0) std::this_thread::sleep_for(response.pause);
      alive = sendAll(fd, bytes.substr(0, n), stopping_);
      bytes.remove_prefix(n);
      sent += n;
    }
    return alive && sent < response.cutAfter;
  };
  if (response.stream) {
    response.stream(sendBody);
  } else {
    sendBody(response.body);
  }

  if (alive && response.end == Response::End::Reset) {
    const linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  } else if (alive && response.end == Response::End::Hang) {
    waitForEnd();
  } else if (alive) {
    // An orderly end: the client reads to the end before the socket goes.
    ::shutdown(fd, SHUT_WR);
    waitForEnd();
  }
  ::close(fd);
}

}  // namespace tomeferry::testing
