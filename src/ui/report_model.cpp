#include "ui/report_model.h"

#include "platform/text_encoding.h"

namespace tomeferry::ui {

QString ReportModel::displayText(const std::string& gbk) {
  if (gbk.empty()) return {};
  return QString::fromStdString(platform::gbkToUtf8(gbk));
}

}  // namespace tomeferry::ui
