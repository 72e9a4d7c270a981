#pragma once
// The program's texts are GBK; Qt's are Unicode. These are the only crossings.
#include <QString>
#include <string>

namespace tomeferry::ui {

QString fromGbk(const std::string& gbk);
std::string toGbk(const QString& text);

}  // namespace tomeferry::ui
