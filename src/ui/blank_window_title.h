#pragma once
// A title bar without text. Qt's X11 backend never lets a window name be empty: for an empty
// title it announces the application name instead, which a window manager then shows.

class QWidget;

namespace tomeferry::ui {

// Clears the name that the window manager shows for `window`, which must have been created
// (winId()); does nothing on other window systems. Call it again after every setWindowTitle.
void blankNativeWindowTitle(QWidget* window);

}  // namespace tomeferry::ui
