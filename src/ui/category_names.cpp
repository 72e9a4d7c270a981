#include "ui/category_names.h"

#include "platform/text_encoding.h"

namespace tomeferry::ui {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> categoryNames() {
  static const std::string names = platform::utf8ToGbk(
      "玄幻\r\n奇幻\r\n武侠\r\n仙侠\r\n都市\r\n言情\r\n历史\r\n军事\r\n"
      "游戏\r\n竞技\r\n科幻\r\n灵异\r\n女生\r\n剧本\r\n名著\r\n经典");
  return splitLines(names);
}

}  // namespace tomeferry::ui
