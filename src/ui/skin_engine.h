#pragma once
#include <string>

namespace tomeferry::ui {

// The theme library beside the program and the function that applies its theme.
inline constexpr const char* kSkinLibrary = "SkinH_EL.so";
inline constexpr const char* kSkinAttach = "SkinH_Attach";

// Binds SkinH_Attach at its first call (the program's directory first, then the system's
// library search) and calls it. Without the library or the function the program ends
// with the fatal error report.
void attachSkinEngine(const std::string& programDir);

}  // namespace tomeferry::ui
