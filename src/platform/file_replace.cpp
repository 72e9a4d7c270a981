#include "platform/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace tomeferry::platform {
namespace {

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Without this the rename itself may be lost in a crash even though the data was flushed.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool isTemporaryNameOf(const std::string& name, const std::string& destinationName) {
  const std::string prefix = destinationName + std::string(kReplacementSuffix);
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    const char c = name[i];
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string destination) : destination_(std::move(destination)) {
  std::error_code ec;
  std::filesystem::create_directories(folderOf(destination_), ec);
  std::string pattern = destination_ + std::string(kReplacementSuffix) + "XXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return;
  tempPath_ = pattern;
  // A running writer holds this lock, so the clean-up of a later process never takes its file.
  ::flock(fd_, LOCK_EX | LOCK_NB);
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

bool ReplacementFile::write(std::string_view bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    size_ += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplacementFile::commit() {
  if (!ok() || committed_) return false;
  // The new file takes over the old one's permissions; a first file gets the usual ones.
  struct stat old {};
  const mode_t mode = ::stat(destination_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  ::fchmod(fd_, mode);
  const bool flushed = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!flushed || !closed || ::rename(tempPath_.c_str(), destination_.c_str()) != 0) {
    failed_ = true;
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
    return false;
  }
  committed_ = true;
  syncFolder(folderOf(destination_));
  return true;
}

bool replaceFile(const std::string& destination, std::string_view bytes) {
  ReplacementFile file(destination);
  return file.write(bytes) && file.commit();
}

int removeStaleReplacements(const std::string& destination) {
  const std::string folder = folderOf(destination);
  const std::string destinationName = nameOf(destination);
  std::vector<std::string> stale;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      if (isTemporaryNameOf(entry->d_name, destinationName)) stale.emplace_back(entry->d_name);
    }
    ::closedir(dir);
  }
  int removed = 0;
  for (const auto& name : stale) {
    const std::string path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    // Only regular files nobody is still writing.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::unlink(path.c_str()) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  return removed;
}

}  // namespace tomeferry::platform
