#pragma once
// Whole-file replacement that never leaves a half-written file at the destination.
#include <string>
#include <string_view>

namespace tomeferry::platform {

// A temporary file beside its destination; removed on destruction unless committed.
// Its name is the destination's name followed by kReplacementSuffix and six characters.
class ReplacementFile {
 public:
  // Creates the temporary file in the destination's folder, creating the folder when missing.
  explicit ReplacementFile(std::string destination);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool ok() const { return fd_ >= 0 && !failed_; }
  const std::string& temporaryPath() const { return tempPath_; }
  std::size_t size() const { return size_; }
  // Appends `bytes`; once a write fails every later call fails too.
  bool write(std::string_view bytes);
  // Flushes the bytes to disk and renames the file over the destination in one step.
  // On failure the temporary file is removed and the destination is left as it was.
  bool commit();

 private:
  std::string destination_;
  std::string tempPath_;
  int fd_ = -1;
  bool failed_ = false;
  bool committed_ = false;
  std::size_t size_ = 0;
};

inline constexpr std::string_view kReplacementSuffix = ".tf-new-";

// Writes `bytes` as the whole new content of `destination` through a ReplacementFile.
bool replaceFile(const std::string& destination, std::string_view bytes);

// Removes temporary files of `destination` that an earlier, killed process left behind
// (only names of our own pattern). Returns how many were removed.
int removeStaleReplacements(const std::string& destination);

}  // namespace tomeferry::platform
