#include "ui/gbk_text.h"

#include "platform/text_encoding.h"

namespace tomeferry::ui {

QString fromGbk(const std::string& gbk) {
  return QString::fromStdString(platform::gbkToUtf8(gbk));
}

std::string toGbk(const QString& text) { return platform::utf8ToGbk(text.toStdString()); }

}  // namespace tomeferry::ui
