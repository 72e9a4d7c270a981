#pragma once
#include <string>

namespace tomeferry::platform {

// The folder that holds the running executable (from /proc/self/exe), without a trailing slash.
std::string programDirectory();

// `programDir` + "/" + a relative name.
std::string programFile(const std::string& programDir, const std::string& relative);

}  // namespace tomeferry::platform
