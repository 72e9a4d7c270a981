#include "platform/plugin_loader.h"

#include <dlfcn.h>

namespace tomeferry::platform {

PluginFunction bindPluginFunction(const std::string& programDir, const std::string& library,
                                  const std::string& function) {
  // The copy beside the program wins over one installed elsewhere on the system.
  void* handle = dlopen((programDir + "/" + library).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  // The handle is never closed: a bound function must stay callable until the process ends.
  void* symbol = dlsym(handle, function.c_str());
  return reinterpret_cast<PluginFunction>(symbol);
}

}  // namespace tomeferry::platform
