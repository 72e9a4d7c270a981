#pragma once
// HTTP and HTTPS GET. Failures are never reported: they yield the bytes read so far.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tomeferry::platform {

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Whole body of `url` (the status is not examined; an error page's body is the result).
  // A transfer that fails midway gives the bytes received until then, usually none.
  // A body that grows past `maxBytes` gives empty bytes.
  virtual std::string fetch(const std::string& url, std::size_t maxBytes) = 0;
  // Streams the body of `url` to `sink`, piece by piece as it arrives. The sink returns
  // false to stop the transfer early. Returns true when the body was read to its end
  // or the sink stopped it, false when the transfer failed (even after some bytes).
  virtual bool fetchTo(const std::string& url,
                       const std::function<bool(std::string_view)>& sink) = 0;
};

struct HttpTimeouts {
  long connectSeconds = 10;  // to open the connection
  long stallSeconds = 20;    // with no byte received, the transfer is abandoned
  // A whole page fetched with fetch() must arrive within this, so a server that sends a
  // byte now and then cannot hold the caller either. Streams have no such limit.
  long pageSeconds = 60;
};

// A client on libcurl with the given time-outs (tests use short ones). Its one libcurl
// handle is opened at the first fetch and kept; fetches on it are serialised.
std::unique_ptr<HttpClient> makeCurlHttpClient(HttpTimeouts timeouts = {});

// The process-wide client on libcurl with the default time-outs, opened at its first fetch
// and never closed, so a detached worker may still use it while the process ends.
HttpClient& processHttpClient();

}  // namespace tomeferry::platform
