#include "ui/skin_engine.h"

#include "platform/plugin_loader.h"
#include "ui/fatal_error.h"

namespace tomeferry::ui {

void attachSkinEngine(const std::string& programDir) {
  static platform::PluginFunction attach = nullptr;
  if (attach == nullptr) {
    attach = platform::bindPluginFunction(programDir, kSkinLibrary, kSkinAttach);
    if (attach == nullptr) failFatally(missingPluginFunctionMessage(kSkinLibrary, kSkinAttach));
  }
  attach();
}

}  // namespace tomeferry::ui
