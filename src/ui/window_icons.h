#pragma once
// The program's own pictures, drawn at run time so that no image file has to ship.
#include <QIcon>
#include <QPixmap>

namespace tomeferry::ui {

// An open book, in 16, 32, 48 and 128 pixel sizes: the window's and the program's icon.
QIcon programIcon();

// A magnifying glass on a light grey round badge, 20 × 20: the search field's icon.
QPixmap searchIcon();

}  // namespace tomeferry::ui
