// Refresh of a 200 MB catalogue package from a loopback server: wall time and growth of the
// peak resident memory. Not a test: it prints what it measured.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>

#include "catalogue/catalogue_file.h"
#include "loopback_server.h"
#include "platform/http_client.h"
#include "refresh_fixture.h"
#include "update/catalogue_refresh.h"
#include "update/package_scanner.h"
#include "update/package_splitter.h"
#include "update/version_file.h"

namespace {

using namespace tomeferry;
using testing::kSeparator;
using testing::Response;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kLarge = 200 * kMiB;

long statusKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  }
  return -1;
}

// Starts a new peak: VmHWM falls back to the current resident size.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// One block of padding, filled once before any measurement. 'p' cannot begin a separator.
const std::string& padding() {
  static const std::string block(kMiB, 'p');
  return block;
}

// Sends `head`, then `padBytes` of padding, then `rest`.
Response streamed(std::string head, std::uint64_t padBytes, std::string rest,
                  std::shared_ptr<std::uint64_t> sentCounter) {
  Response r;
  r.streamLength = head.size() + padBytes + rest.size();
  r.stream = [head = std::move(head), rest = std::move(rest), padBytes,
              sentCounter](const std::function<bool(std::string_view)>& send) {
    *sentCounter = 0;
    if (!send(head)) return;
    *sentCounter += head.size();
    for (std::uint64_t left = padBytes; left > 0;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, padding().size()));
      if (!send(std::string_view(padding()).substr(0, n))) return;
      *sentCounter += n;
      left -= n;
    }
    if (send(rest)) *sentCounter += rest.size();
  };
  return r;
}

void runCase(const char* name, const std::string& head, std::uint64_t padBytes,
             const std::string& rest) {
  testing::LoopbackServer server;
  testing::ProgramDir program;
  auto sent = std::make_shared<std::uint64_t>(0);
  server.serve("/notice.html", Response::ok(testing::noticePage("4.0", "http://e/", "15",
                                                                server.url("/package.bin"))));
  server.serve("/package.bin", streamed(head, padBytes, rest, sent));
  auto http = platform::makeCurlHttpClient();
  padding();

  resetPeak();
  const long rssBefore = statusKiB("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  const auto result = update::refreshCatalogue(*http, server.url("/notice.html"), program.str());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long peak = statusKiB("VmHWM");

  const auto size = std::filesystem::file_size(program.catalogue());
  std::printf("%s\n", name);
  std::printf("  package            %.1f MiB (%llu bytes)\n",
              static_cast<double>(head.size() + padBytes + rest.size()) / kMiB,
              static_cast<unsigned long long>(head.size() + padBytes + rest.size()));
  std::printf("  result             %s; db1.mdb %llu bytes; 库版本 \"%s\"\n",
              result == update::RefreshResult::Installed ? "installed" : "failed",
              static_cast<unsigned long long>(size),
              update::readRecordedVersion(program.str(), update::kCatalogueVersionKey).c_str());
  std::printf("  server handed on   %.1f MiB to the socket before the client stopped or ended\n",
              static_cast<double>(*sent) / kMiB);
  std::printf("  wall time          %.3f s\n", seconds);
  std::printf("  peak RSS growth    %.2f MiB (VmRSS before %ld KiB, VmHWM after %ld KiB)\n",
              (peak - rssBefore) / 1024.0, rssBefore, peak);

  // How much of that peak the install check alone takes, on the catalogue now installed.
  resetPeak();
  const long checkBefore = statusKiB("VmRSS");
  const auto checkStart = std::chrono::steady_clock::now();
  const bool valid = catalogue::isCatalogueFile(program.catalogue().string());
  const double checkSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - checkStart).count();
  std::printf("  install check alone on db1.mdb: %s, %.3f s, peak RSS growth %.2f MiB\n\n",
              valid ? "a catalogue" : "not a catalogue", checkSeconds,
              (statusKiB("VmHWM") - checkBefore) / 1024.0);
}

void scannerThroughput(const char* what, char fill) {
  std::string package = "H" + kSeparator + std::string(kLarge, fill) + kSeparator + "T";
  if (fill == 0) {
    std::uint32_t x = 2463534242u;  // xorshift: bytes of every value, few runs of 'a'
    for (std::size_t i = 10; i < 10 + kLarge; ++i) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      package[i] = static_cast<char>(x);
    }
  }
  std::uint64_t bytes = 0;
  update::PackageScanner scanner([&](std::size_t, std::string_view b) { bytes += b.size(); return true; },
                                 [](std::size_t) { return true; });
  auto start = std::chrono::steady_clock::now();
  for (std::size_t at = 0; at < package.size(); at += 102400) {
    scanner.feed(std::string_view(package).substr(at, 102400));
  }
  scanner.finish();
  const double scan = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  start = std::chrono::steady_clock::now();
  const auto pieces = update::splitPackage(package);
  const double split = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("separator search over 200 MiB of %s\n", what);
  std::printf("  streaming scanner  %.3f s (%.0f MiB/s), %zu pieces\n", scan, kLarge / kMiB / scan,
              scanner.pieces());
  std::printf("  whole-buffer split %.3f s (%.0f MiB/s), %zu pieces\n\n", split, kLarge / kMiB / split,
              pieces.size());
}

void runCase(int which) {
  const std::string catalogue = testing::testData("catalogue-new.mdb");
  switch (which) {
    case 0:
      runCase("Large tail: piece 1 = catalogue (116 KiB), then 200 MiB after the second separator",
              "HEADER" + kSeparator + catalogue + kSeparator, kLarge, "");
      break;
    case 1:
      runCase("Large piece 1: catalogue followed by 200 MiB of padding, then the second separator",
              "HEADER" + kSeparator + catalogue, kLarge, kSeparator + "TAIL");
      break;
    case 2:
      runCase("Large invalid piece 1: 200 MiB of padding, no catalogue",
              "HEADER" + kSeparator, kLarge, kSeparator + "TAIL");
      break;
    case 3:
      scannerThroughput("'a' (worst case, every byte a candidate)", 'a');
      break;
    default:
      scannerThroughput("pseudo-random bytes", 0);
  }
}

}  // namespace

// Each case runs in a process of its own, so no case inherits another's memory peak.
int main(int argc, char** argv) {
  if (argc == 2) {
    runCase(std::atoi(argv[1]));
    return 0;
  }
  for (int which = 0; which < 5; ++which) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
      const std::string arg = std::to_string(which);
      ::execl("/proc/self/exe", argv[0], arg.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("case %d did not finish\n", which);
  }
  return 0;
}
