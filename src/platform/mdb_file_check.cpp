#include "platform/mdb_file_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tomeferry::platform::mdb {
namespace {

constexpr unsigned char kMagic[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char kJetSignature[] = "Standard Jet DB";
constexpr char kAceSignature[] = "Standard ACE DB";
constexpr std::size_t kSignatureOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;
// Page 2 holds the definition of the system catalogue, the first thing mdbtools reads.
constexpr off_t kMinimumPages = 3;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool plausibleAccessFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO that happens to bear the name must not hang the program.
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return false;
  struct stat st {};
  if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;

  unsigned char header[kVersionOffset + 4];
  if (pread(fd.get(), header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return false;
  const char* signature = reinterpret_cast<const char*>(header + kSignatureOffset);
  if (std::memcmp(signature, kJetSignature, sizeof kJetSignature) != 0 &&
      std::memcmp(signature, kAceSignature, sizeof kAceSignature) != 0)
    return false;

  // Version 0 is Jet 3 with 2 KiB pages; every later format uses 4 KiB pages.
  unsigned version = header[kVersionOffset] | header[kVersionOffset + 1] << 8 |
                     header[kVersionOffset + 2] << 16 | static_cast<unsigned>(header[kVersionOffset + 3]) << 24;
  off_t pageSize = version == 0 ? 2048 : 4096;
  return st.st_size % pageSize == 0 && st.st_size / pageSize >= kMinimumPages;
}

}  // namespace tomeferry::platform::mdb
