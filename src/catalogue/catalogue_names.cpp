#include "catalogue/catalogue_names.h"

#include "platform/text_encoding.h"

namespace tomeferry::catalogue::names {

// Each name is converted once, on first use; static initialisation is thread-safe.
const std::string& table() {
  static const std::string name = platform::utf8ToGbk("书库");
  return name;
}
const std::string& title() {
  static const std::string name = platform::utf8ToGbk("书名");
  return name;
}
const std::string& author() {
  static const std::string name = platform::utf8ToGbk("作者");
  return name;
}
const std::string& size() {
  static const std::string name = platform::utf8ToGbk("大小");
  return name;
}
const std::string& category() {
  static const std::string name = platform::utf8ToGbk("类型");
  return name;
}
const std::string& downloadAddress() {
  static const std::string name = platform::utf8ToGbk("下载地址");
  return name;
}

}  // namespace tomeferry::catalogue::names
