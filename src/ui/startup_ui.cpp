#include "ui/startup_ui.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QString>

#include <utility>

#include "platform/http_client.h"
#include "ui/gbk_text.h"
#include "ui/refresh_dialog.h"
#include "update/catalogue_refresh.h"
#include "update/refresh_flag.h"

namespace tomeferry::ui {

QtStartupUi::QtStartupUi(std::string noticeUrl, std::string programDir)
    : noticeUrl_(std::move(noticeUrl)), programDir_(std::move(programDir)) {}

void QtStartupUi::showRefreshDialog() {
  // The dialog has no parent: it is centred on the screen, not on the hidden main window, and it
  // disables every top-level window, the main window among them, for as long as it exists.
  RefreshDialog dialog(
      [this] {
        update::startRefreshWorker(platform::processHttpClient(), noticeUrl_, programDir_,
                                   update::refreshDoneFlag());
      },
      update::refreshDoneFlag());
  dialog.exec();
}

void QtStartupUi::showInformation(const std::string& text, const std::string& caption) {
  // No owner: the box is application-modal and centred on the screen even with the main
  // window still hidden.
  QMessageBox box(QMessageBox::NoIcon, fromGbk(caption), fromGbk(text), QMessageBox::Ok);
  // Desktop themes put a pictogram on the OK button; the message has no icon anywhere.
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->setIcon(QIcon());
  box.exec();
}

}  // namespace tomeferry::ui
