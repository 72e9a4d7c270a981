#pragma once
// Every text of the program is a GBK byte string; these convert at the edges
// (display, input, the desktop opener).
#include <string>
#include <string_view>

namespace tomeferry::platform {

// GBK bytes to UTF-8; bytes that are not valid GBK become U+FFFD.
std::string gbkToUtf8(std::string_view gbk);
// UTF-8 to GBK; characters GBK cannot hold become '?'.
std::string utf8ToGbk(std::string_view utf8);

}  // namespace tomeferry::platform
