#include "platform/mdb_file_image.h"

#include <fcntl.h>
#include <sys/mman.h>
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
constexpr std::size_t kHeaderSize = kVersionOffset + 4;
// Page 2 holds the definition of the system catalogue, the first table mdbtools reads.
constexpr std::uint64_t kMinimumPages = 3;
constexpr std::size_t kHugePage = 2u << 20;

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

bool readAll(int fd, char* to, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = pread(fd, to + done, size - done, static_cast<off_t>(done));
    if (n <= 0) return false;  // an error, or the file shrank while we read it
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::size_t accessPageSize(const unsigned char* header, std::size_t headerSize, std::uint64_t fileSize) {
  if (headerSize < kHeaderSize || std::memcmp(header, kMagic, sizeof kMagic) != 0) return 0;
  const char* signature = reinterpret_cast<const char*>(header + kSignatureOffset);
  if (std::memcmp(signature, kJetSignature, sizeof kJetSignature) != 0 &&
      std::memcmp(signature, kAceSignature, sizeof kAceSignature) != 0)
    return 0;
  // Version 0 is Jet 3 with 2 KiB pages; every later format has 4 KiB pages, which is
  // also how mdbtools decides.
  const unsigned char* v = header + kVersionOffset;
  std::uint32_t version = v[0] | v[1] << 8 | v[2] << 16 | static_cast<std::uint32_t>(v[3]) << 24;
  std::size_t pageSize = version == 0 ? 2048 : 4096;
  if (fileSize % pageSize != 0 || fileSize / pageSize < kMinimumPages) return 0;
  return pageSize;
}

std::unique_ptr<FileImage> FileImage::load(const std::string& path, std::uint64_t maxImageSize) {
  // O_NONBLOCK: opening a FIFO that bears the name must not hang the program.
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return nullptr;
  struct stat st {};
  if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return nullptr;
  unsigned char header[kHeaderSize];
  if (!readAll(fd.get(), reinterpret_cast<char*>(header), sizeof header)) return nullptr;
  auto fileSize = static_cast<std::uint64_t>(st.st_size);
  if (accessPageSize(header, sizeof header, fileSize) == 0) return nullptr;

  std::unique_ptr<FileImage> image(new FileImage);
  image->size_ = static_cast<std::size_t>(fileSize);
  if (fileSize > maxImageSize) return image;

  // Filling fresh memory costs a page fault per page, which huge pages make rare for a
  // large catalogue; the hint is ignored where the system does not support it.
  bool large = image->size_ >= kHugePage;
  std::size_t mapped = large ? (image->size_ + kHugePage - 1) / kHugePage * kHugePage : image->size_;
  void* memory = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  if (large) madvise(memory, mapped, MADV_HUGEPAGE);
  image->data_ = memory;
  image->mapped_ = mapped;
  if (!readAll(fd.get(), static_cast<char*>(memory), image->size_)) return nullptr;
  return image;
}

FileImage::~FileImage() {
  if (data_ != nullptr) munmap(data_, mapped_);
}

}  // namespace tomeferry::platform::mdb
