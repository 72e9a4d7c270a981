#pragma once
// One open Access file: the mdbtools handle and its table catalogue.
#include <memory>
#include <string>

#include "platform/mdb_file_image.h"
#include "platform/mdb_library.h"

namespace tomeferry::platform::mdb {

class Session {
 public:
  // Null when the file is missing, not an Access file, or its catalogue cannot be read.
  // Files up to `maxImageSize` bytes are read from memory.
  static std::shared_ptr<Session> open(const std::string& path, std::uint64_t maxImageSize = kMaxImageSize);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  MdbHandle* handle() const { return handle_; }
  // The user or system table whose GBK name is exactly `name` (mdbtools' own lookup
  // ignores ASCII case, which would also fold GBK trail bytes); null when there is none.
  MdbCatalogEntry* findTable(const std::string& name) const;

  // mdbtools keeps one current page per handle, so only the newest scan may move.
  unsigned beginScan() { return ++scans_; }
  bool isCurrentScan(unsigned scan) const { return scan == scans_; }

 private:
  Session(std::unique_ptr<FileImage> image, MdbHandle* handle) : image_(std::move(image)), handle_(handle) {}
  std::unique_ptr<FileImage> image_;  // the bytes mdbtools reads; released after the handle
  MdbHandle* handle_;
  unsigned scans_ = 0;
};

}  // namespace tomeferry::platform::mdb
