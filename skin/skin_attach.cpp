// The theme library: SkinH_Attach gives every window of the program one calm look.
#include <QApplication>
#include <QPalette>

#include "theme_sheet.h"

extern "C" __attribute__((visibility("default"))) void SkinH_Attach() {
  // Loaded by the program after its QApplication exists; without one there is nothing to dress.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;
  QPalette colours = QApplication::palette();
  colours.setColor(QPalette::Window, QColor(0xee, 0xf2, 0xf6));
  colours.setColor(QPalette::Button, QColor(0xe6, 0xec, 0xf2));
  colours.setColor(QPalette::Highlight, QColor(0x4f, 0x7e, 0xa8));
  colours.setColor(QPalette::HighlightedText, Qt::white);
  QApplication::setPalette(colours);
  qApp->setStyleSheet(tomeferry::skin::themeSheet());
}
