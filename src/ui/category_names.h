#pragma once
#include <string>
#include <vector>

namespace tomeferry::ui {

// The sixteen category names, GBK, in list order. They are compared with the catalogue's
// 类型 column, so they are data: byte for byte as the catalogue's publishers write them.
std::vector<std::string> categoryNames();

// `text` cut at every CR LF pair.
std::vector<std::string> splitLines(const std::string& text);

}  // namespace tomeferry::ui
