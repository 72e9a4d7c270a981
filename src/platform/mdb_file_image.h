#pragma once
// A catalogue file as mdbtools gets to see it: checked first, then read whole into memory.
// mdbtools reads a file page by page with a seek, a size query and a read each, and reads
// the table's page map again before every data page; from memory the same scan takes a
// fraction of the time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tomeferry::platform::mdb {

// Files up to this size are read into memory; larger ones are left to mdbtools' own reads.
inline constexpr std::uint64_t kMaxImageSize = 256u << 20;

// Page size of an Access file whose first bytes are `header` and whose length is `fileSize`;
// 0 unless it starts like an Access (Jet or ACE) database and is made of whole pages, enough
// of them to hold the system catalogue. mdbtools trusts its input: an empty, cut-off or
// foreign file must never reach it.
std::size_t accessPageSize(const unsigned char* header, std::size_t headerSize, std::uint64_t fileSize);

class FileImage {
 public:
  // Null when `path` is not a regular file that passes accessPageSize, or cannot be read.
  static std::unique_ptr<FileImage> load(const std::string& path, std::uint64_t maxImageSize = kMaxImageSize);
  ~FileImage();
  FileImage(const FileImage&) = delete;
  FileImage& operator=(const FileImage&) = delete;

  // Null when the file is larger than the limit: then it has only been checked.
  void* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  FileImage() = default;
  void* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;
};

}  // namespace tomeferry::platform::mdb
