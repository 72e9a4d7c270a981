#pragma once
#include <string>

namespace tomeferry::catalogue {

// 下载地址 of the first row whose 书名 and 作者 equal `title` and `author`, in the order the
// file delivers them; "" when no row matches or the catalogue cannot be read.
std::string lookupDownloadAddress(const std::string& cataloguePath, const std::string& title,
                                  const std::string& author);

}  // namespace tomeferry::catalogue
