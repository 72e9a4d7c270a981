#pragma once
// Binding of a function in a shared library loaded at run time.
#include <string>

namespace tomeferry::platform {

using PluginFunction = void (*)();

// Looks for `library` first in `programDir`, then through the system's library search by
// the bare name, and binds `function` in it. The library stays loaded until the process ends.
// Null when the library or the function cannot be found.
PluginFunction bindPluginFunction(const std::string& programDir, const std::string& library,
                                  const std::string& function);

}  // namespace tomeferry::platform
