#include <curl/curl.h>

#include <chrono>
#include <mutex>

#include "platform/http_client.h"

namespace tomeferry::platform {
namespace {

// The program presents itself as the browser its notice pages were written for.
constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// Pieces of at most this size reach the sink.
constexpr long kReadSize = 102400;
// Some pages answer a redirect loop; a browser gives up after about this many.
constexpr long kMaxRedirects = 20;

void initLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

using Clock = std::chrono::steady_clock;

struct Transfer {
  const std::function<bool(std::string_view)>* sink;
  Clock::duration stallLimit;
  Clock::time_point deadline;  // Clock::time_point::max() for none
  Clock::time_point lastActivity = Clock::now();
  bool stopped = false;
};

// libcurl's own low-speed limit averages over several seconds, so after a burst it notices a
// stall late; the time since the last byte is what matters here.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(user);
  const auto now = Clock::now();
  return now - transfer->lastActivity > transfer->stallLimit || now > transfer->deadline ? 1 : 0;
}

size_t onHeader(char*, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->lastActivity = Clock::now();
  return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->lastActivity = Clock::now();
  const size_t n = size * count;
  if (!(*transfer->sink)(std::string_view(data, n))) {
    transfer->stopped = true;
#ifdef CURL_WRITEFUNC_ERROR
    return CURL_WRITEFUNC_ERROR;
#else
    return n == 0 ? 1 : 0;
#endif
  }
  return n;
}

class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(HttpTimeouts timeouts) : timeouts_(timeouts) {}

  ~CurlHttpClient() override {
    if (handle_) curl_easy_cleanup(handle_);
    if (headers_) curl_slist_free_all(headers_);
  }

  std::string fetch(const std::string& url, std::size_t maxBytes) override {
    std::string body;
    bool tooLarge = false;
    const std::function<bool(std::string_view)> collect = [&](std::string_view piece) {
      if (piece.size() > maxBytes - body.size()) {
        tooLarge = true;
        return false;
      }
      body.append(piece);
      return true;
    };
    transfer(url, collect, Clock::now() + std::chrono::seconds(timeouts_.pageSeconds));
    if (tooLarge) return {};
    return body;
  }

  bool fetchTo(const std::string& url,
               const std::function<bool(std::string_view)>& sink) override {
    return transfer(url, sink, Clock::time_point::max());
  }

 private:
  // The handle is opened at the first fetch; one that cannot be opened is tried again next time.
  bool open() {
    if (handle_) return true;
    initLibraryOnce();
    handle_ = curl_easy_init();
    if (!handle_) return false;
    headers_ = curl_slist_append(headers_, "Accept: */*");
    // Neither the client nor any cache on the way may answer with an old copy.
    headers_ = curl_slist_append(headers_, "Pragma: no-cache");
    headers_ = curl_slist_append(headers_, "Cache-Control: no-cache");
    CURL* h = handle_;
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers_);
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
    // Only the web: neither the page nor a redirect may make us read a local file or another protocol.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Every fetch gets a connection of its own.
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    // The start of the program waits for these fetches: a dead network must not hold it for ever.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeouts_.connectSeconds);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &onHeader);
    // Fetches run on a worker thread too; the resolver must not use signals there.
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, kReadSize);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &onBody);
    return true;
  }

  bool transfer(const std::string& url, const std::function<bool(std::string_view)>& sink,
                Clock::time_point deadline) {
    if (url.empty()) return false;
    std::lock_guard lock(mutex_);
    if (!open()) return false;
    Transfer transfer{&sink, std::chrono::seconds(timeouts_.stallSeconds), deadline};
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, &transfer);
    const CURLcode result = curl_easy_perform(handle_);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, nullptr);
    return result == CURLE_OK || transfer.stopped;
  }

  HttpTimeouts timeouts_;
  std::mutex mutex_;
  CURL* handle_ = nullptr;
  curl_slist* headers_ = nullptr;
};

}  // namespace

std::unique_ptr<HttpClient> makeCurlHttpClient(HttpTimeouts timeouts) {
  return std::make_unique<CurlHttpClient>(timeouts);
}

HttpClient& processHttpClient() {
  static HttpClient* const client = makeCurlHttpClient().release();
  return *client;
}

}  // namespace tomeferry::platform
