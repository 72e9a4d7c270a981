#pragma once
// The table and column names of the catalogue file, in GBK.
#include <string>

namespace tomeferry::catalogue::names {

const std::string& table();          // 书库
const std::string& title();          // 书名
const std::string& author();         // 作者
const std::string& size();           // 大小
const std::string& category();       // 类型
const std::string& downloadAddress();  // 下载地址

}  // namespace tomeferry::catalogue::names
