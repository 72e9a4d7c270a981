#include "platform/program_directory.h"

#include <unistd.h>

#include <vector>

namespace tomeferry::platform {

std::string programDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return ".";
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<std::size_t>(n));
      std::size_t slash = exe.rfind('/');
      if (slash == std::string::npos) return ".";
      return slash == 0 ? std::string("/") : exe.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);  // the name may have been cut off
  }
}

std::string programFile(const std::string& programDir, const std::string& relative) {
  return programDir + "/" + relative;
}

}  // namespace tomeferry::platform
